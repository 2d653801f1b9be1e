#include "ERR_ErrorDialog.h"

#include "AFX_MessageBox.h"
#include "ERR_OldErrDlg.h"

namespace err {

void ErrorDialog_t::ShowErrorDialog(const std::u16string& errorText, const std::string& logText)
{
  OldErrDlg_t dialog(errorText, logText, parent_);
  dialog.exec();
}

void ErrorDialog_t::ShowMessage(const std::u16string& text)
{
  afx::AFX_MessageBox(parent_, text, afx::MbOk);
}

}  // namespace err
