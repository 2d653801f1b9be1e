#include "TransferPage.h"

#include <QLabel>

#include "AFX_Text.h"
#include "GLO_Exception.h"
#include "SelectDrivePage.h"
#include "WIN_ResourceString.h"
#include "WizardSheet.h"
#include "ui_TransferPage.h"

namespace vm {
namespace {

QString Message(std::uint32_t id)
{
  return afx::AFX_ToQString(win::ResourceString_t(id, GLO_HERE).Text());
}

}  // namespace

TransferPage_t::TransferPage_t(const WizardContext_t& context)
    : PropertyPage_t(105), ui_(std::make_unique<Ui::TransferPage>()), context_(context)
{
  ui_->setupUi(this);
}

TransferPage_t::~TransferPage_t() = default;

void TransferPage_t::OnInitDialog()
{
  afx::AFX_InitControlMember(this, 1010, transferButton_);
  afx::AFX_InitControlMember(&Sheet(), IdFinishButton, finishButton_);
  afx::AFX_InitControlMember(&Sheet(), IdBackButton, backButton_);
  afx::AFX_InitControlMember(&Sheet(), IdCancelButton, cancelButton_);
  // The button says "Program Device" in every run mode, although the
  // instructions of the configuration cards speak of "Program Card".
  transferButton_->setText(Message(2022));
  auto* instructions = qobject_cast<QLabel*>(afx::AFX_GetDlgItem(this, 1008));
  glo::GLO_Assert(instructions != nullptr, GLO_HERE);
  instructions->setText(Message(context_.runMode == RunModeUpdateFile ? 2001 : 2030));
  dialog_.Attach(this, Handle());
  dialog_.Place(1009);
  connect(transferButton_.Get(), &QPushButton::clicked, this, &TransferPage_t::OnTransfer);
}

bool TransferPage_t::OnSetActive()
{
  const std::u16string drive = Sheet().SelectDrive().SelectedDrive();
  dialog_.SetParameters(context_.runMode, drive, context_.updateFile, context_.batchScriptPath, context_.filePath,
                        context_.dismountSources);
  dialog_.Reset();
  transferButton_->setEnabled(!drive.empty());
  SetWizardButtons(WizardBack | (Sheet().Done() ? WizardFinish : WizardDisabledFinish));
  return true;
}

void TransferPage_t::OnCancel()
{
  Stop();
  PropertyPage_t::OnCancel();
}

void TransferPage_t::OnTransfer()
{
  if (running_) {
    Stop();
    return;
  }
  transferButton_->setText(Message(2023));
  // Completeness rules Finish; Back comes after it, as QWizard resets Back
  // whenever completeness changes.
  SetComplete(false);
  backButton_->setEnabled(false);
  dialog_.Start();
  running_ = true;
}

void TransferPage_t::RestoreButtons()
{
  transferButton_->setText(Message(2022));
  SetComplete(Sheet().Done());
  backButton_->setEnabled(true);
}

void TransferPage_t::Stop()
{
  dialog_.Abort();
  OnEnded();
}

void TransferPage_t::OnEnded()
{
  dialog_.Reset();
  RestoreButtons();
  running_ = false;
}

std::intptr_t TransferPage_t::OnMessage(const win::Message_t& message)
{
  switch (message.id) {
    case MessageTransferSucceeded:
      Sheet().SetDone();
      RestoreButtons();
      running_ = false;
      break;
    case MessageStopTransfer:
      Stop();
      break;
    case MessageTransferEnded:
      OnEnded();
      break;
    default:
      break;
  }
  return 0;
}

}  // namespace vm
