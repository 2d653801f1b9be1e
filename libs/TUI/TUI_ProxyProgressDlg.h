#pragma once
// The worker's side of the progress dialog: every operation is a two-way
// cross-thread call.

#include "DIO_Reference.h"
#include "GLO_ThreadChecker.h"
#include "TUI_ProgressDlgIntf.h"

namespace tui {

class ProxyProgressDlg_t : public ProgressDlgIntf_t, public dio::Proxy_t {
 public:
  using dio::Proxy_t::Proxy_t;

  void SetItemText(std::uint32_t controlId, const std::u16string& text) override;
  void ShowItem(std::uint32_t controlId, std::int32_t showCommand) override;
  void SetPos(std::int32_t percent) override;
  void SetTitle(const std::u16string& title) override;
  void Show() override { Plain(OpShow); }
  void Hide() override { Plain(OpHide); }
  void ShowBar() override { Plain(OpShowBar); }
  void HideBar() override { Plain(OpHideBar); }
  void StartIndefinite() override { Plain(OpStartIndefinite); }
  void StopIndefinite() override { Plain(OpStopIndefinite); }
  void RaiseHold() override { Plain(OpRaiseHold); }
  void ReleaseHold() override { Plain(OpReleaseHold); }
  void Finish() override { Plain(OpFinish); }
  void End() override { Plain(OpEnd); }

 private:
  // An operation without arguments.
  void Plain(Operation_t operation);
};

// The user-interface side: runs calls on the real dialog.
class ProgressDlgRef_t : public dio::ReferenceIntf_t {
 public:
  explicit ProgressDlgRef_t(ProgressDlgIntf_t& dialog) : dialog_(&dialog) {}

  std::unique_ptr<dio::ReferenceIntf_t> Clone() const override;
  // Refused: every operation changes the dialog (dio::Exception_t).
  void InvokeConst(dio::Stack_t& stack) override;
  // An unknown operation number raises dio::Exception_t.
  void Invoke(dio::Stack_t& stack) override;

 private:
  ProgressDlgIntf_t* dialog_;
  // Calls run on the thread that made the reference, the dialog's.
  glo::ThreadChecker_t thread_;
};

}  // namespace tui
