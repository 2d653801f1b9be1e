// velmora-cli verify FILE [--json]: does what a transfer does before it
// touches a card (the signature, the block copied to the temporary folder,
// every database against its checksum) and tells which databases passed.

#include <iostream>
#include <memory>

#include "AVN_UpdateRegionFile.h"
#include "Cli.h"
#include "CommandLine.h"
#include "Console.h"
#include "JsonLines.h"
#include "ProgressAdapter.h"
#include "WIN_StopSignals.h"

namespace cli {
namespace {

// Nobody watches the progress as text.
class Quiet_t : public avn::TransferProgress_t {
 public:
  Quiet_t() : avn::TransferProgress_t(0, ioa::PhaseInitial, 0) {}

 protected:
  void OnChange() override {}
};

}  // namespace

int Verify(const Arguments& arguments)
{
  const CommandLine_t line("verify", arguments, {}, {"--json"}, "needs one update file");
  const bool json = line.Has("--json");
  const std::string& file = line.File();
  if (file.empty()) throw UsageError("verify: needs one update file");
  avn::VlmsDatabase_t update;
  update.Load(Path(file));
  win::Event_t stop(true, false);
  // Ctrl-C ends the work the ordinary way, so that the temporary copy of
  // the block goes with it.
  win::StopSignals_t signals([&stop] { stop.Set(); });
  ConsoleOptions_t options;
  options.json = true;
  ConsoleProgress_t dialog(options);
  std::unique_ptr<avn::TransferProgress_t> progress;
  if (json)
    progress = std::make_unique<vm::ProgressAdapter_t>(dialog, vm::ProgressAdapter_t::DefaultUpdateInterval);
  else
    progress = std::make_unique<Quiet_t>();
  std::u16string passed;
  try {
    // No card: the databases are checked, never written.
    const avn::UpdateRegionFile_t region(update, {}, stop, *progress);
    for (const auto& [kind, database] : region.Databases()) {
      const std::u16string line = u"kind " + Path(std::to_string(kind)) + u": ok";
      if (!json) std::cout << Utf8(line) << '\n';
      passed += (passed.empty() ? u"" : u"\n") + line;
    }
  } catch (const glo::Terminate_t&) {
    if (json) JsonLine(JsonOutcome("end", {}, Stopped, std::nullopt));
    return Stopped;
  }
  if (json) JsonLine(JsonOutcome("end", {}, Success, passed));
  return Success;
}

}  // namespace cli
