// Feeds arbitrary bytes to the walk over a block of databases: the listing,
// the verification of every supported database and the seek to its
// trailer. Every input must end in a result or in BadRegionFile_t: anything
// else (a crash, a hang, a read past a buffer, another exception) is a
// fault.

#include <cstdint>
#include <vector>

#include "AVN_DatabaseChecksum.h"
#include "AVN_Exceptions.h"
#include "AVN_RegionBlock.h"
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
  try {
    for (const auto& database : avn::AVN_SupportedDatabases(block)) {
      avn::VerifyDatabase(block, database.kind, database.length, progress, stop);
      avn::SeekDatabase(block, database.kind, database.length - 1);
    }
  } catch (const avn::BadRegionFile_t&) {
  }
  return 0;
}
