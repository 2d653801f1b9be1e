#pragma once
// The transfer of a configuration card: a script prepares the card, then
// the configuration file is copied onto it.

#include <cstdint>
#include <string>

#include "GLO_Optional.h"
#include "XferThread.h"

namespace vm {

struct ConfigXferParameter_t : XferParameter_t {
  // 1 puts the file into the card's "cfg" folder, 2 into its root.
  std::int32_t runMode = 2;
  // The script that prepares the card; relative paths are taken from the
  // program's folder.
  glo::Optional_t<std::u16string> batchScript;
  // The configuration file the program was started with.
  std::u16string configurationFile;
};

class ConfigXferThread_t : public XferThread_t {
 public:
  ConfigXferThread_t(dio::AccessPointIntf_t& accessPoint, const ConfigXferParameter_t& parameter,
                     tui::ProgressDlgIntf_t& progressDialog, tui::MessageBoxIntf_t& messageBox);

  // Runs "/bin/sh SCRIPT ROOT" under the indefinite bar of phase 0 and
  // waits for it or for the stop event. True when it ended with exit code
  // 0; false without a script, when it cannot be started, and for any other
  // end. A stop kills the script's whole tree of processes and raises
  // glo::Terminate_t.
  bool RunBatchScript(win::Event_t& stop, avn::TransferProgress_t& progress);

  // The script path as it is run: an absolute path unchanged, any other
  // path after the program's folder.
  static std::u16string ResolveScriptPath(const std::u16string& path, const std::u16string& programFolder);

 protected:
  // The script, then the configuration file (BatchFileFailure_t when the
  // script fails).
  void Run(win::Event_t& stop, avn::HalcyonDcp_t& programmer, avn::TransferProgress_t& progress,
           tui::ProgressDlgIntf_t& progressDialog) override;

 private:
  std::int32_t runMode_;
  glo::Optional_t<std::u16string> batchScript_;
  std::u16string configurationFile_;
};

// Ends every descendant of the process, deepest first, each level from a
// new snapshot of the processes, tracing what it finds and does.
void TerminateProcessTree(std::uint32_t processId);

}  // namespace vm
