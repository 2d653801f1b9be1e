#include "TransferPage.h"

#include <QLabel>

#include "AFX_Text.h"
#include "GLO_Exception.h"
#include "WIN_ResourceString.h"
#include "WizardSheet.h"
#include "ui_TransferPage.h"

namespace vm {

TransferPage_t::TransferPage_t(RunMode_t runMode)
    : PropertyPage_t(105), ui_(std::make_unique<Ui::TransferPage>()), runMode_(runMode)
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
  transferButton_->setText(afx::AFX_ToQString(win::ResourceString_t(2022, GLO_HERE).Text()));
  auto* instructions = qobject_cast<QLabel*>(afx::AFX_GetDlgItem(this, 1008));
  glo::GLO_Assert(instructions != nullptr, GLO_HERE);
  const std::uint32_t text = runMode_ == RunModeUpdateFile ? 2001 : 2030;
  instructions->setText(afx::AFX_ToQString(win::ResourceString_t(text, GLO_HERE).Text()));
}

bool TransferPage_t::OnSetActive()
{
  SetWizardButtons(WizardBack | (Sheet().Done() ? WizardFinish : WizardDisabledFinish));
  return true;
}

}  // namespace vm
