#include "XferDialog.h"

#include <QTimer>

#include "ConfigXferThread.h"
#include "DIO_AccessPoint.h"
#include "ERR_ErrorDialog.h"
#include "ERR_FatalDialog.h"
#include "GLO_Exception.h"
#include "VlmsXferThread.h"
#include "WIN_ResourceString.h"

namespace vm {
namespace {

// "Transferring Data"
constexpr std::uint32_t TransferringMessage = 2002;
// The worker's thread is done; wParam is its run.
constexpr std::uint32_t WorkerDone = 0x8101;

// The fatal-error dialog that the worker's faults reach: logged, handed to
// the reporter, or shown in the program's own dialog over the wizard.
class FatalDialog_t : public err::FatalDialogIntf_t {
 public:
  explicit FatalDialog_t(QWidget* over) : windows_(over), dialog_(windows_) {}

  void Show(const std::string& file, std::uint16_t line, const std::u16string& extra, const std::string& subId,
            const glo::Optional_t<std::uint32_t>& programAddress, const std::vector<std::uint32_t>& stackTrace) override
  {
    dialog_.Show(file, line, extra, subId, programAddress, stackTrace);
  }

 private:
  err::ErrorDialog_t windows_;
  err::FatalDialog_t dialog_;
};

}  // namespace

XferDialog_t::XferDialog_t()
    : EmbeddedProgressDlg_t(TemplateId, PercentageBar, std::make_unique<FatalDialog_t>(this)),
      workerWindow_([this](const win::Message_t& message) { return OnWorkerMessage(message); })
{
}

// No event loop runs here: the page stopped its worker when the wizard was
// closed; one that is still there is waited for without a loop.
XferDialog_t::~XferDialog_t() = default;

void XferDialog_t::SetParameters(RunMode_t runMode, std::u16string root, const avn::VlmsDatabase_t* updateFile,
                                 glo::Optional_t<std::u16string> batchScript, std::u16string configurationFile,
                                 win::DismountSources_t dismount)
{
  runMode_ = runMode;
  root_ = std::move(root);
  updateFile_ = updateFile;
  batchScript_ = std::move(batchScript);
  configurationFile_ = std::move(configurationFile);
  dismount_ = std::move(dismount);
  parametersSet_ = true;
}

void XferDialog_t::Start()
{
  glo::GLO_Assert(parametersSet_, GLO_HERE);
  EmbeddedProgressDlg_t::Start();
  Show();
  SetItemText(tui::IdTitleLine, win::ResourceString_t(TransferringMessage, GLO_HERE).Text());
  ShowBar();
}

void XferDialog_t::StartWorker()
{
  thr::UIThread_t::Entry_t entry;
  std::unique_ptr<XferParameter_t> parameter;
  if (runMode_ == RunModeUpdateFile) {
    glo::GLO_Assert(updateFile_ != nullptr, GLO_HERE);
    auto update = std::make_unique<VlmsXferParameter_t>();
    update->update = updateFile_;
    parameter = std::move(update);
    entry = XferWorkerEntry<VlmsXferThread_t, VlmsXferParameter_t>;
  } else {
    auto configuration = std::make_unique<ConfigXferParameter_t>();
    configuration->runMode = runMode_;
    configuration->batchScript = batchScript_;
    configuration->configurationFile = configurationFile_;
    parameter = std::move(configuration);
    entry = XferWorkerEntry<ConfigXferThread_t, ConfigXferParameter_t>;
  }
  parameter->root = root_;
  parameter->dismount = dismount_;
  // The worker has no window of its own to show a fault on: what fails on
  // the dialog's side is reported there.
  parameter->workerFatalDialog = nullptr;

  const std::uintptr_t run = ++run_;
  const win::WindowHandle_t told = workerWindow_.Handle();
  worker_ = std::make_unique<thr::UIThread_t>(
      [entry = std::move(entry), told, run](thr::UIThread_t::Context_t& context) {
        entry(context);
        win::WIN_PostMessage(told, win::Message_t{WorkerDone, run, 0, nullptr});
      },
      Handle(), dio::CallMessage, std::move(parameter), false);
}

void XferDialog_t::StopWorker()
{
  // A stop asked for while one is under way waits for that one.
  if (worker_ == nullptr || stopping_) return;
  stopping_ = true;
  if (!worker_->Stop(std::chrono::milliseconds::zero()) && endedRun_ != run_) {
    QEventLoop loop;
    QTimer::singleShot(StopWait, &loop, &QEventLoop::quit);
    waiting_ = &loop;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    waiting_ = nullptr;
  }
  // Joins a worker that has ended; abandons one that has not.
  worker_->Release();
  worker_.reset();
  stopping_ = false;
}

std::intptr_t XferDialog_t::OnWorkerMessage(const win::Message_t& message)
{
  if (message.id == WorkerDone && message.wParam == run_) {
    endedRun_ = message.wParam;
    if (waiting_ != nullptr) waiting_->quit();
  }
  return 0;
}

}  // namespace vm
