// velmora-cli crash [--worker]: a real processor fault, a write through a
// null pointer, on the main thread or on a transfer worker, so that the
// whole fatal path can be seen at work: the report on the console, the
// error log, the error reporter. It ends as every fatal error does.

#include <unistd.h>

#include "Cli.h"
#include "Console.h"
#include "Fatal.h"
#include "XferHost.h"
#include "XferThread.h"

namespace cli {
namespace {

// Read through a volatile pointer, so that the compiler cannot see that it
// is null and must make the store.
int* volatile nowhere = nullptr;

// The sanitizers would stop at the store themselves: the processor is to
// fault.
__attribute__((noinline, no_sanitize("address", "undefined"))) void WriteThroughNull()
{
  *nowhere = 1;
}

class FaultingTransfer_t : public vm::XferThread_t {
 public:
  using vm::XferThread_t::XferThread_t;

 protected:
  void Run(win::Event_t&, avn::HalcyonDcp_t&, avn::TransferProgress_t&, tui::ProgressDlgIntf_t&) override
  {
    WriteThroughNull();
  }
};

}  // namespace

int Crash(const Arguments& arguments)
{
  bool worker = false;
  for (const auto& argument : arguments) {
    if (argument != "--worker") throw UsageError("crash: unknown argument '" + argument + "'");
    worker = true;
  }
  if (!worker) {
    WriteThroughNull();
    return Failure;
  }
  ConsoleOptions_t options;
  options.terminal = ::isatty(STDERR_FILENO) == 1;
  ConsoleProgress_t progress(options);
  ConsoleMessageBox_t messages(progress);
  ConsoleFatalReport_t fatal;
  auto parameter = std::make_unique<vm::XferParameter_t>();
  // The fault comes before the card is touched; the current folder stands in.
  parameter->root.assign(1, u'.');
  parameter->workerFatalDialog = &fatal;
  vm::XferHost_t host(progress, messages, fatal);
  host.Run(vm::XferWorkerEntry<FaultingTransfer_t, vm::XferParameter_t>, std::move(parameter));
  progress.BreakLine();
  return Failure;
}

}  // namespace cli
