#pragma once
// The error dialogs of the fatal-error dialog as windows: the program's own
// dialog (err::OldErrDlg_t) and a plain message box, both modal.

#include "ERR_ErrorDialogIntf.h"

class QWidget;

namespace err {

class ErrorDialog_t : public ErrorDialogIntf_t {
 public:
  // Over the parent, which must outlive this object; none: over the active
  // window, if any.
  explicit ErrorDialog_t(QWidget* parent = nullptr) : parent_(parent) {}

  // err::OldErrDlg_t, modal.
  void ShowErrorDialog(const std::u16string& errorText, const std::string& logText) override;
  // A message box with OK and no icon, captioned with the product name.
  void ShowMessage(const std::u16string& text) override;

 private:
  QWidget* parent_;
};

}  // namespace err
