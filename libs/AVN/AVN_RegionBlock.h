#pragma once
// Walking the block of databases of an update: "KpQr", version 100, a 'D'
// record with data version 100, then records; an 'R' record is a database
// (kind 16-bit, an ignored 32-bit value, the data length, then the data,
// whose last four bytes are its checksum trailer).

#include <cstdint>
#include <functional>
#include <vector>

#include "BIN_Stream.h"

namespace avn {

inline constexpr std::uint32_t RegionMagic = 0x7251704B;  // "KpQr"

// Checks the block's header from its start; BadRegionFile_t when it is
// wrong or cut short.
void HeaderCheck(bin::istream& stream);

// Where a database lies in the block: its data starts at Start and holds
// Length bytes, the 4-byte checksum trailer included.
struct DatabaseRecord_t {
  std::uint32_t kind;
  std::uint32_t start;
  std::uint32_t length;
};

// Checks the header, then calls each for every database in the order of
// the block, until it returns false. Records of other types are skipped.
// The stream may be moved inside each; the walk goes on after the
// database's data. A record cut short raises BadRegionFile_t; the walk ends
// at the end of the block with the stream's state cleared there.
void AVN_WalkDatabases(bin::istream& stream, const std::function<bool(const DatabaseRecord_t&)>& each);

// The first database of every supported kind, in kind order, as the block
// holds them, without verifying them.
std::vector<DatabaseRecord_t> AVN_SupportedDatabases(bin::istream& stream);

// Leaves the stream at byte offset of the first database of the kind that
// is longer than offset. A record cut short raises BadRegionFile_t; a block
// without such a database leaves the stream at its end, so that the next
// read fails.
void SeekDatabase(bin::istream& stream, std::uint32_t kind, std::uint32_t offset);

}  // namespace avn
