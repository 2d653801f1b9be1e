#pragma once
// The program's own fatal-error dialog (template 5609), shown when no error
// reporter takes the report: the application's name as its caption, the
// explanation (message 5606 in release builds, else 5611 with the beta-test
// address), the error information, a button that copies the log to the
// clipboard, and OK.
//
// The error information can be read, selected and scrolled with the mouse
// and by a screen reader, but never holds the keyboard focus: whenever it
// would get it, OK gets it instead, so Enter always closes the dialog.

#include <QDialog>
#include <memory>
#include <string>

#include "AFX_DlgItem.h"
#include "GLO_NonCopyable.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace Ui {
class ErrorDialog;
}

namespace win {
class VersionInfo_t;
}

namespace err {

class OldErrDlg_t : public QDialog, public glo::NonCopyable_t {
  Q_OBJECT

 public:
  // The error text, and the log's text (narrow, in the user's code page)
  // for the copy button; without one the button copies the error text. The
  // texts follow the running program's version information unless another
  // is given, which must outlive the dialog.
  OldErrDlg_t(const std::u16string& errorText, const std::string& logText, QWidget* parent = nullptr,
              const win::VersionInfo_t* version = nullptr);
  ~OldErrDlg_t() override;

  // Puts the log text, or the error text when there is no log text, on the
  // clipboard (the copy button).
  void CopyToClipboard() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnInitDialog(const win::VersionInfo_t& version);

  std::unique_ptr<Ui::ErrorDialog> ui_;
  afx::Ctrl_t<QLabel> explanation_;
  afx::Ctrl_t<QPlainTextEdit> information_;
  afx::Ctrl_t<QPushButton> ok_;
  std::u16string errorText_;
  std::string logText_;
};

}  // namespace err
