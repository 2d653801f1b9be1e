#pragma once
// The last page (template 105): the instructions for the run mode, the
// button that programs a card and, while a transfer runs, stops it, and the
// progress dialog below it. Cards are programmed one after the other; the
// first success sets the sheet's done flag, which enables Finish.
//
// Idle ("Program Device") → running ("Stop Transfer", Finish and Back
// disabled, Cancel enabled) → idle again when the transfer succeeded
// (0x8011: the completion texts stay), ended (0x8013: the dialog is hidden)
// or was stopped (0x8012).

#include <QPushButton>
#include <memory>

#include "AFX_DlgItem.h"
#include "PropertyPage.h"
#include "WizardContext.h"
#include "XferDialog.h"

namespace Ui {
class TransferPage;
}

namespace vm {

// What the progress dialog tells the page, and what the frame asks of it.
inline constexpr std::uint32_t MessageTransferSucceeded = 0x8011;
inline constexpr std::uint32_t MessageTransferEnded = 0x8013;

class TransferPage_t : public PropertyPage_t {
  Q_OBJECT

 public:
  // The context must outlive the page.
  explicit TransferPage_t(const WizardContext_t& context);
  ~TransferPage_t() override;

  // Binds the transfer button (1010) and the sheet's Finish, Back and
  // Cancel buttons, labels the button (message 2022), shows the
  // instructions (message 2001 in run mode 0, 2030 in run modes 1 and 2) and
  // places the progress dialog where control 1009 is.
  void OnInitDialog() override;
  // Hands the progress dialog the drive chosen on the drive page, resets it,
  // and asks for Back and Finish once a transfer has succeeded, else for Back
  // and a disabled Finish. Without a drive there is nothing to program: the
  // button is disabled until one is chosen.
  bool OnSetActive() override;
  // Stops a running transfer, then ends the wizard.
  void OnCancel() override;

  // The button: starts a transfer, or stops the one that runs.
  void OnTransfer();
  bool Running() const noexcept { return running_; }
  XferDialog_t& Dialog() noexcept { return dialog_; }

 protected:
  std::intptr_t OnMessage(const win::Message_t& message) override;

 private:
  void Stop();
  void OnEnded();
  void RestoreButtons();

  std::unique_ptr<Ui::TransferPage> ui_;
  const WizardContext_t& context_;
  XferDialog_t dialog_;
  afx::Ctrl_t<QPushButton> transferButton_;
  afx::Ctrl_t<QAbstractButton> finishButton_;
  afx::Ctrl_t<QAbstractButton> backButton_;
  afx::Ctrl_t<QAbstractButton> cancelButton_;
  bool running_ = false;
};

}  // namespace vm
