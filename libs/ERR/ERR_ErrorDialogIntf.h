#pragma once
// The program's own fatal-error dialog, shown when no error reporter takes
// the report, and the plain message box of a failed reporter launch. The
// wizard shows them as windows (err::OldErrDlg_t), velmora-cli on its
// console.

#include <cstdint>
#include <string>

#include "GLO_NonCopyable.h"

namespace win {
class VersionInfo_t;
}

namespace err {

// Messages of the dialog.
inline constexpr std::uint32_t ReporterLaunchFailedMessage = 5602;  // "%1$@ cannot start ..."
inline constexpr std::uint32_t ReleaseExplanationMessage = 5606;
inline constexpr std::uint32_t ErrorInformationMessage = 5608;      // "Error Information:"
inline constexpr std::uint32_t BetaExplanationMessage = 5611;       // with the beta contact

class ErrorDialogIntf_t : public glo::NonCopyable_t {
 public:
  virtual ~ErrorDialogIntf_t() = default;
  // The dialog, modal: the error text (ERR_ErrorDialogTexts), and the log's
  // text for its copy button (empty when the error was not logged: the
  // button then copies the error text).
  virtual void ShowErrorDialog(const std::u16string& errorText, const std::string& logText) = 0;
  // A message with an OK button, modal.
  virtual void ShowMessage(const std::u16string& text) = 0;
};

// What the dialog shows of an error text.
struct ErrorDialogTexts_t {
  std::u16string caption;      // the application's name
  std::u16string explanation;  // message 5606 in release builds, else 5611
  // Message 5608, "\r\n" and the error text with every "\n" as "\r\n".
  std::u16string information;
};

// From the running program's version information, or from the one given.
ErrorDialogTexts_t ERR_ErrorDialogTexts(const std::u16string& errorText);
ErrorDialogTexts_t ERR_ErrorDialogTexts(const std::u16string& errorText, const win::VersionInfo_t& version);

}  // namespace err
