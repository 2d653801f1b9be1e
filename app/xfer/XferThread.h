#pragma once
// The frame of every transfer: one worker thread that programs one card,
// reports its progress, finalizes the card, and turns every failure into
// what the user is shown before it tells the progress dialog that the work
// has ended. The worker never touches a window: it reaches the progress
// dialog, the message box and the fatal-error dialog through cross-thread
// proxies, and learns of a stop request from its stop event.

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "AVN_HalcyonDcp.h"
#include "DIO_AccessPoint.h"
#include "ERR_FatalDialogIntf.h"
#include "GLO_NonCopyable.h"
#include "THR_UIThread.h"
#include "TUI_MessageBoxIntf.h"
#include "TUI_ProgressDlgIntf.h"
#include "WIN_DismountVolume.h"
#include "WIN_Event.h"
#include "WIN_StructuredException.h"

namespace vm {

// What every transfer is handed.
struct XferParameter_t : thr::Parameter_t {
  // The card: the root folder of its volume, or any folder chosen as the
  // target. Never empty.
  std::u16string root;
  // A fatal-error dialog that the worker may show on its own thread, for the
  // failures of the cross-thread calls themselves; it must outlive the
  // worker, and be safe to use from any thread.
  err::FatalDialogIntf_t* workerFatalDialog = nullptr;
  // Where the card's volume is looked up, and how it is unmounted, when the
  // card is finalized: the system's own unless a test says otherwise.
  win::DismountSources_t dismount;
};

class XferThread_t : public glo::NonCopyable_t {
 public:
  // The texts of the messages.
  static constexpr std::uint32_t CardTooSmall = 2025;
  static constexpr std::uint32_t DriveTooSmall = 2026;
  static constexpr std::uint32_t DamagedUpdate = 2020;
  static constexpr std::uint32_t ScriptFailed = 2032;
  // OK button and exclamation icon.
  static constexpr std::uint32_t MessageType = 0x30;
  // How long the card is left to settle when it cannot be dismounted.
  static constexpr std::chrono::milliseconds DismountPause{20000};

  // None of the objects is owned; all outlive the transfer.
  XferThread_t(dio::AccessPointIntf_t& accessPoint, const XferParameter_t& parameter,
               tui::ProgressDlgIntf_t& progressDialog, tui::MessageBoxIntf_t& messageBox);
  virtual ~XferThread_t() = default;

  // Runs the transfer, then, unless a stop was requested, finalizes the
  // card (phase 13: what was written made durable on the card, then the
  // dismount) and reports completion (phase 14). Never
  // raises: every failure ends in a message or a fatal-error report and the
  // dialog's End; a stop ends silently.
  void Execute(win::Event_t& stop);

 protected:
  // The transfer itself.
  virtual void Run(win::Event_t& stop, avn::HalcyonDcp_t& programmer, avn::TransferProgress_t& progress,
                   tui::ProgressDlgIntf_t& progressDialog) = 0;

  const std::u16string& Root() const noexcept { return root_; }

 private:
  void Finalize(win::Event_t& stop, avn::TransferProgress_t& progress, avn::HalcyonDcp_t& programmer);
  void Tell(const std::u16string& text);
  void ReportFatal(const std::function<void(err::FatalDialogIntf_t&)>& report);

  dio::AccessPointIntf_t* accessPoint_;
  std::u16string root_;
  win::DismountSources_t dismount_;
  err::FatalDialogIntf_t* workerFatalDialog_;
  tui::ProgressDlgIntf_t* progressDialog_;
  tui::MessageBoxIntf_t* messageBox_;
};

// The worker's entry for a transfer of class Transfer, built from its
// parameter object of class Parameter: installs the fault translator,
// takes the parameter, builds the proxies of the progress dialog and the
// message box on the worker's access point, and executes the transfer with
// the worker's stop event.
template <class Transfer, class Parameter>
void XferWorkerEntry(thr::UIThread_t::Context_t& context);

// What XferWorkerEntry does after taking its parameter.
void XferRun(thr::UIThread_t::Context_t& context,
             const std::function<std::unique_ptr<XferThread_t>(dio::AccessPointIntf_t&, tui::ProgressDlgIntf_t&,
                                                               tui::MessageBoxIntf_t&)>& make);

template <class Transfer, class Parameter>
void XferWorkerEntry(thr::UIThread_t::Context_t& context)
{
  win::WIN_InstallStructuredExceptionTranslator();
  auto handedOver = context.TakeParameter();
  const Parameter parameter = dynamic_cast<const Parameter&>(*handedOver);
  handedOver.reset();
  XferRun(context, [&parameter](dio::AccessPointIntf_t& accessPoint, tui::ProgressDlgIntf_t& progressDialog,
                                tui::MessageBoxIntf_t& messageBox) {
    return std::make_unique<Transfer>(accessPoint, parameter, progressDialog, messageBox);
  });
}

}  // namespace vm
