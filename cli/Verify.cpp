// velmora-cli verify FILE: does what a transfer does before it touches a
// card (the signature, the block copied to the temporary folder, every
// database against its checksum) and tells which databases passed.

#include <iostream>

#include "AVN_UpdateRegionFile.h"
#include "Cli.h"
#include "WIN_StopSignals.h"

namespace cli {
namespace {

// Nobody watches the progress here.
class Quiet_t : public avn::TransferProgress_t {
 public:
  Quiet_t() : avn::TransferProgress_t(0, ioa::PhaseInitial, 0) {}

 protected:
  void OnChange() override {}
};

}  // namespace

int Verify(const Arguments& arguments)
{
  if (arguments.size() != 1 || arguments[0].empty() || arguments[0][0] == '-')
    throw UsageError("verify: needs one update file");
  avn::VlmsDatabase_t update;
  update.Load(Path(arguments[0]));
  win::Event_t stop(true, false);
  // Ctrl-C ends the work the ordinary way, so that the temporary copy of
  // the block goes with it.
  win::StopSignals_t signals([&stop] { stop.Set(); });
  Quiet_t progress;
  try {
    // No card: the databases are checked, never written.
    const avn::UpdateRegionFile_t region(update, {}, stop, progress);
    for (const auto& [kind, database] : region.Databases()) std::cout << "kind " << kind << ": ok\n";
  } catch (const glo::Terminate_t&) {
    return Stopped;
  }
  return Success;
}

}  // namespace cli
