#include "WelcomePage.h"

#include <QLabel>

#include "AFX_DlgItem.h"
#include "AFX_Text.h"
#include "GLO_Exception.h"
#include "WIN_ResourceString.h"
#include "WIN_VersionInfo.h"
#include "ui_WelcomePage.h"

namespace vm {
namespace {

void SetText(QWidget* page, int id, const std::u16string& text)
{
  auto* label = qobject_cast<QLabel*>(afx::AFX_GetDlgItem(page, id));
  glo::GLO_Assert(label != nullptr, GLO_HERE);
  label->setText(afx::AFX_ToQString(text));
}

}  // namespace

WelcomePage_t::WelcomePage_t(RunMode_t runMode, const avn::VlmsDatabase_t* updateFile)
    : PropertyPage_t(103), ui_(std::make_unique<Ui::WelcomePage>()), runMode_(runMode), updateFile_(updateFile)
{
  if (runMode_ == RunModeUpdateFile)
    glo::GLO_Assert(
        updateFile_ != nullptr && !updateFile_->DeviceName().empty() && !updateFile_->DatabaseName().empty(), GLO_HERE);
  ui_->setupUi(this);
}

WelcomePage_t::~WelcomePage_t() = default;

void WelcomePage_t::OnInitDialog()
{
  const std::u16string& product = win::VersionInfo_t::Get().ProductName();
  if (runMode_ == RunModeUpdateFile) {
    SetText(this, 1003, updateFile_->DeviceName());
    SetText(this, 1005, updateFile_->DatabaseName());
    SetText(this, 1007, updateFile_->CycleText());
    SetText(this, 1011, win::ResourceString_t(2024, GLO_HERE).Format(product, GLO_HERE));
  } else {
    for (int id : {1035, 1037, 1036, 1003, 1005, 1007}) SetText(this, id, {});
    SetText(this, 1011, win::ResourceString_t(2027, GLO_HERE).Format(product, GLO_HERE));
  }
}

bool WelcomePage_t::OnSetActive()
{
  SetWizardButtons(WizardNext);
  return true;
}

}  // namespace vm
