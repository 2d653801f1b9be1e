#pragma once
// The progress dialog as a child of another window (the transfer page):
// it starts and stops the worker that the derived class supplies, serves
// the worker's calls (message 0x8001 to its window) while the work runs,
// and tells the parent window when the work has finished or ended.
//
// Constructed → attached → placed → started (serving, worker running) →
// finished (Finish) → ended (End) → reset by the parent; Start again for
// the next piece of work.

#include "TUI_ProgressDlgBase.h"

namespace tui {

class EmbeddedProgressDlg_t : public ProgressDlgBase_t {
  Q_OBJECT

 public:
  // Not serving and not attached.
  EmbeddedProgressDlg_t(int templateId, BarMode_t mode, std::unique_ptr<err::FatalDialogIntf_t> fatalDialog);
  ~EmbeddedProgressDlg_t() override;

  // The window the worker's calls are posted to.
  win::WindowHandle_t Handle() const noexcept { return window_.Handle(); }
  bool Attached() const noexcept { return attached_; }
  bool Serving() const noexcept { return serving_; }

  // Makes the dialog a child of the widget, with the template id as its
  // control id; the parent window hears of the work's end and holds.
  void Attach(QWidget* parent, win::WindowHandle_t parentWindow);
  // Puts the dialog right after the parent's placeholder control, in the
  // placeholder's layout, and hides it; the place it will take is kept
  // while it is hidden, so the parent does not change its layout when it
  // appears. Requires Attach (glo::Assert_t), and a placeholder in a box
  // layout.
  void Place(int placeholderId);
  // Stops serving and any earlier worker, then serves a new worker.
  // Requires Attach.
  void Start();
  // Unless the work has finished: stops serving and the worker. Requires
  // Attach.
  void Abort();
  // Empty lines, bar and dialog hidden.
  void Reset();

  // Requires Attach; unless the work finished, serving stops; then the
  // parent hears of the end.
  void End() override;

 protected:
  // Starts the worker, aimed at Handle().
  virtual void StartWorker() = 0;

 private:
  std::intptr_t OnMessage(const win::Message_t& message);

  int templateId_;
  bool attached_ = false;
  bool serving_ = false;
  win::Window_t window_;
};

}  // namespace tui
