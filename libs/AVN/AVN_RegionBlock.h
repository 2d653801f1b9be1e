#pragma once
// Walking the block of databases of an update: "KpQr", version 100, a 'D'
// record with data version 100, then records; an 'R' record is a database
// (kind 16-bit, an ignored 32-bit value, the data length, then the data,
// whose last four bytes are its checksum trailer).

#include <cstdint>

#include "BIN_Stream.h"

namespace avn {

inline constexpr std::uint32_t RegionMagic = 0x7251704B;  // "KpQr"

// Checks the block's header from its start; BadRegionFile_t when it is
// wrong or cut short.
void HeaderCheck(bin::istream& stream);

// Leaves the stream at byte offset of the first database of the kind that
// is longer than offset. A record cut short raises BadRegionFile_t; a block
// without such a database leaves the stream at its end, so that the next
// read fails.
void SeekDatabase(bin::istream& stream, std::uint32_t kind, std::uint32_t offset);

}  // namespace avn
