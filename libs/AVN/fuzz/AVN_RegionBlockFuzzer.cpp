// Feeds arbitrary bytes to the walk over a block of databases: the listing,
// the verification of every supported database and the seek to its
// trailer. Every input must end in a result or in BadRegionFile_t: anything
// else (a crash, a hang, a read past a buffer, another exception) is a
// fault. The scan that takes the checksums during the copy sees the same
// bytes in chunks of a size the input picks, and must answer for every
// database the verification reads whole, as the verification does.

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "AVN_CardLayout.h"
#include "AVN_DatabaseChecksum.h"
#include "AVN_Exceptions.h"
#include "AVN_RegionBlock.h"
#include "AVN_RegionScan.h"
#include "BIN_StringStream.h"

namespace {

class Quiet_t : public thr::Progress_t {
 public:
  Quiet_t() : Progress_t(0xFFFFFFFF, 0) {}

 protected:
  void OnChange() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  bin::stringstream block(std::vector<unsigned char>(data, data + size));
  Quiet_t progress;
  win::Event_t stop(true, false);
  avn::RegionScan_t scan;
  const std::size_t chunk = size == 0 ? 1 : data[0] % 64 + 1;
  for (std::size_t at = 0; at < size; at += chunk)
    scan.Feed(data + at, static_cast<std::uint32_t>(std::min(chunk, size - at)));
  // The first database of each supported kind up to where the walk stops,
  // also in a block that is cut further on.
  std::map<std::uint32_t, avn::DatabaseRecord_t> first;
  try {
    avn::AVN_WalkDatabases(block, [&first](const avn::DatabaseRecord_t& database) {
      if (avn::AVN_IsSupportedKind(database.kind)) first.emplace(database.kind, database);
      return true;
    });
  } catch (const avn::BadRegionFile_t&) {
  }
  for (const auto& [kind, database] : first) {
    std::optional<bool> verified;
    try {
      verified = avn::VerifyDatabase(block, database.kind, database.length, progress, stop);
    } catch (const avn::BadRegionFile_t&) {
    }
    // The scan answers for exactly the databases it saw whole, as the
    // verification does.
    const bool whole = database.length >= 4 && database.length <= size - database.start;
    const auto scanned = scan.Verified(database.start, database.length);
    if (whole != scanned.has_value() || (scanned && scanned != verified)) __builtin_trap();
    try {
      avn::SeekDatabase(block, database.kind, database.length - 1);
    } catch (const avn::BadRegionFile_t&) {
    }
  }
  return 0;
}
