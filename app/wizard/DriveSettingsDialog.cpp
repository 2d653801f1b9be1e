#include "DriveSettingsDialog.h"

#include "AFX_Text.h"
#include "WIN_ResourceString.h"

namespace vm {

void DriveSettingsDialog_t::OnInitDialog()
{
  afx::DriveSettingsDialog_t::OnInitDialog();
  instructions_->setText(afx::AFX_ToQString(win::ResourceString_t(11814, GLO_HERE).Text()));
  group_->setTitle(afx::AFX_ToQString(win::ResourceString_t(11813, GLO_HERE).Text()));
}

}  // namespace vm
