#pragma once
// The user-interface side of one transfer without a window system: runs the
// worker and serves its cross-thread calls on the calling thread, with the
// given dialogs, until the worker ends.

#include <atomic>
#include <memory>

#include "DIO_AccessPoint.h"
#include "DIO_Server.h"
#include "ERR_FatalDialogIntf.h"
#include "ERR_ProxyFatalDialog.h"
#include "GLO_NonCopyable.h"
#include "THR_UIThread.h"
#include "TUI_ProxyMessageBox.h"
#include "TUI_ProxyProgressDlg.h"
#include "WIN_Window.h"

namespace vm {

class XferHost_t : public glo::NonCopyable_t {
 public:
  // The dialogs serve the worker's calls on this thread; they must outlive
  // the host.
  XferHost_t(tui::ProgressDlgIntf_t& progressDialog, tui::MessageBoxIntf_t& messageBox,
             err::FatalDialogIntf_t& fatalDialog);
  ~XferHost_t();

  // Starts the worker with the parameter and serves its calls until it has
  // ended. A stop request signals the worker's stop event; its calls are
  // served on while it winds down, for 3000 ms at most, after which it is
  // abandoned as the wizard does. True when it ended without a stop request.
  bool Run(thr::UIThread_t::Entry_t entry, std::unique_ptr<thr::Parameter_t> parameter);

  // Asks the running transfer to stop; from any thread, any number of times.
  void RequestStop();

 private:
  void Handle(const win::Message_t& message);

  tui::ProgressDlgRef_t progressRef_;
  tui::MessageBoxRef_t messageBoxRef_;
  err::FatalDialogRef_t fatalRef_;
  dio::LocalAccessPoint_t local_;
  dio::Server_t server_;
  win::Window_t window_;
  std::unique_ptr<thr::UIThread_t> worker_;
  std::atomic<bool> stopRequested_{false};
  std::uintptr_t run_ = 0;
  bool ended_ = false;
  bool stopping_ = false;
};

}  // namespace vm
