#pragma once
// The progress dialog (template 5886): three lines of text above a
// percentage bar or an indefinite bar, and the server of the worker's
// cross-thread calls. It registers itself, its message box and its
// fatal-error dialog for the worker ("ProgressDlgClass",
// "MessageBoxClass", "FatalDialogClass", instance 1) and tells its parent
// window of the work's end and holds.

#include <QWidget>
#include <memory>

#include "DIO_AccessPoint.h"
#include "DIO_Server.h"
#include "ERR_FatalDialogIntf.h"
#include "ERR_ProxyFatalDialog.h"
#include "TUI_MessageBox.h"
#include "TUI_ProgressDlgIntf.h"
#include "TUI_ProxyMessageBox.h"
#include "TUI_ProxyProgressDlg.h"
#include "WIN_Window.h"

class QLabel;
class QProgressBar;

namespace Ui {
class ProgressDialog;
}

namespace tui {

class IndefiniteProgressCtrl_t;

// What the dialog sends its parent window (both parameters 0).
inline constexpr std::uint32_t MessageWorkFinished = 0x8011;
inline constexpr std::uint32_t MessageWorkEnded = 0x8013;
inline constexpr std::uint32_t MessageHoldRaised = 0x8014;
inline constexpr std::uint32_t MessageHoldReleased = 0x8015;

// The dialog's controls.
inline constexpr int IdTitleLine = 5881;
inline constexpr int IdPhaseLine = 5882;
inline constexpr int IdPercentLine = 5883;
inline constexpr int IdPercentageBar = 5880;
inline constexpr int IdIndefiniteBar = 5891;

class ProgressDlgBase_t : public QWidget, public ProgressDlgIntf_t {
  Q_OBJECT

 public:
  enum BarMode_t { PercentageBar = 0, IndefiniteBar = 1 };

  // With the bar of the mode shown, lines empty but the second, which says
  // "Initializing..." (message 5887). The fatal-error dialog must be
  // given.
  ProgressDlgBase_t(BarMode_t mode, std::unique_ptr<err::FatalDialogIntf_t> fatalDialog);
  ~ProgressDlgBase_t() override;

  // The worker's operations, on the user-interface thread. A control id the
  // template lacks raises glo::Exception_t ("Resource Id: "). A show command
  // of 0 hides, any other shows. SetPos leaves the indefinite bar for the
  // percentage bar (0 to 100). Finish and End tell the parent (0x8011,
  // 0x8013), the holds too (0x8014, 0x8015).
  void SetItemText(std::uint32_t controlId, const std::u16string& text) override;
  void ShowItem(std::uint32_t controlId, std::int32_t showCommand) override;
  void SetPos(std::int32_t percent) override;
  void SetTitle(const std::u16string& title) override;
  void Show() override;
  void Hide() override;
  void ShowBar() override;
  void HideBar() override;
  void StartIndefinite() override;
  void StopIndefinite() override;
  void RaiseHold() override;
  void ReleaseHold() override;
  void Finish() override;
  void End() override;

  BarMode_t BarMode() const noexcept { return barMode_; }
  QProgressBar& CurrentBar() const noexcept { return *currentBar_; }
  IndefiniteProgressCtrl_t& Indefinite() const noexcept { return *indefiniteBar_; }
  bool Finished() const noexcept { return finished_; }
  bool Holding() const noexcept { return hold_; }

 protected:
  // Stops the worker, if one runs; it may no longer call in when this
  // returns.
  virtual void StopWorker() = 0;
  // Hides the current bar, then shows the bar of the mode.
  virtual void SetBarMode(BarMode_t mode);

  // The window told of the work's end and holds; 0 for none.
  void SetParentWindow(win::WindowHandle_t parent) noexcept { parent_ = parent; }
  dio::Server_t& Server() noexcept { return server_; }
  void ClearFinished() noexcept { finished_ = false; }

 private:
  void Notify(std::uint32_t message);

  std::unique_ptr<Ui::ProgressDialog> ui_;
  bool hold_ = false;
  BarMode_t barMode_;
  QProgressBar* percentageBar_;
  IndefiniteProgressCtrl_t* indefiniteBar_;
  QProgressBar* currentBar_;
  std::unique_ptr<err::FatalDialogIntf_t> fatalDialog_;
  MessageBox_t messageBox_;
  err::FatalDialogRef_t fatalRef_;
  MessageBoxRef_t messageBoxRef_;
  std::unique_ptr<ProgressDlgRef_t> selfRef_;
  dio::LocalAccessPoint_t local_;
  dio::Server_t server_;
  bool finished_ = false;
  win::WindowHandle_t parent_ = 0;
};

}  // namespace tui
