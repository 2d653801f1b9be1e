// velmora-cli program --card DIR FILE [--batch SCRIPT]: the very transfer
// the wizard runs, on a worker thread whose calls this thread serves with
// console dialogs. The run mode comes from the file's extension, as at
// start-up.

#include <iostream>

#include "AVN_AviationDatabase.h"
#include "Cli.h"
#include "ConfigXferThread.h"
#include "Console.h"
#include "DriveSources.h"
#include "Fatal.h"
#include "GLO_Exception.h"
#include "RunMode.h"
#include "VlmsXferThread.h"
#include "WIN_ResourceString.h"
#include "WIN_StopSignals.h"
#include "WIN_Terminal.h"
#include "XferHost.h"

namespace cli {
int Program(const Arguments& arguments)
{
  std::string card, file;
  glo::Optional_t<std::u16string> batch;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--card" || argument == "--batch") {
      if (i + 1 == arguments.size()) throw UsageError("program: " + argument + " needs a value");
      const std::string& value = arguments[++i];
      if (argument == "--card")
        card = value;
      else
        batch.Set(Path(value));
    } else if (!argument.empty() && argument[0] == '-') {
      throw UsageError("program: unknown option '" + argument + "'");
    } else if (file.empty()) {
      file = argument;
    } else {
      throw UsageError("program: one file only");
    }
  }
  if (card.empty()) throw UsageError("program: needs --card DIR");
  if (file.empty()) throw UsageError("program: needs an update or configuration file");

  const std::u16string path = Path(file);
  // The checks of start-up, with its messages.
  if (path.size() < 5) throw glo::InvalidInput_t(win::ResourceString_t(2015, GLO_HERE).Text(), GLO_HERE);
  const vm::RunMode_t mode = vm::RunModeOf(path);
  avn::VlmsDatabase_t update;
  std::unique_ptr<vm::XferParameter_t> parameter;
  thr::UIThread_t::Entry_t entry;
  if (mode == vm::RunModeUpdateFile) {
    update.Load(path);
    auto vlms = std::make_unique<vm::VlmsXferParameter_t>();
    vlms->update = &update;
    parameter = std::move(vlms);
    entry = vm::XferWorkerEntry<vm::VlmsXferThread_t, vm::VlmsXferParameter_t>;
  } else {
    auto config = std::make_unique<vm::ConfigXferParameter_t>();
    config->runMode = mode;
    config->batchScript = batch;
    config->configurationFile = path;
    parameter = std::move(config);
    entry = vm::XferWorkerEntry<vm::ConfigXferThread_t, vm::ConfigXferParameter_t>;
  }
  ConsoleProgress_t progress(win::WIN_IsTerminal(win::StandardStream_t::Error));
  ConsoleMessageBox_t messages(progress);
  ConsoleFatalReport_t fatal;
  parameter->root = Path(card);
  parameter->dismount = vm::DismountSourcesFromEnvironment();
  parameter->workerFatalDialog = &fatal;

  vm::XferHost_t host(progress, messages, fatal);
  // Before the worker starts, so that it leaves the signals to us.
  win::StopSignals_t signals([&host] { host.RequestStop(); });
  host.Run(entry, std::move(parameter));
  progress.BreakLine();
  if (signals.Received()) return Stopped;
  return progress.Finished() ? Success : Failure;
}

}  // namespace cli
