#pragma once
// Where the avionics expects each kind of database on its card.

#include <cstdint>
#include <string>

namespace avn {

// Whether the kind is one of the 33 kinds written to cards; a database of any
// other kind is skipped.
bool AVN_IsSupportedKind(std::uint32_t kind);

// The card file of a kind, relative to the card's root, as the avionics
// names it ("ldr_sys\avtn_db.bin"). A kind that is not supported is a
// program fault (glo::Assert_t).
const std::u16string& AVN_CardName(std::uint32_t kind);

// A folder below the card's root, given with its trailing "/" ("sl_tpc/"),
// or the root itself with its separator for an empty name.
std::u16string CardFolder(const std::u16string& root, const std::u16string& name);

// The card file of a kind below the card's root folder, with "/" between
// folders: "/media/card/ldr_sys/avtn_db.bin".
std::u16string CardPath(const std::u16string& root, std::uint32_t kind);

}  // namespace avn
