#pragma once
// The fatal-error dialog: records the error in the error log, then hands
// the report to the error reporter or shows the program's own dialog. It
// never fails in a way its caller sees.

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "ERR_ErrorDialogIntf.h"
#include "ERR_FatalDialogIntf.h"
#include "GLO_Exception.h"
#include "WIN_StructuredException.h"

namespace err {

class FatalDialog_t : public FatalDialogIntf_t {
 public:
  // The dialogs must outlive this object.
  explicit FatalDialog_t(ErrorDialogIntf_t& dialog) : dialog_(&dialog) {}
  // Each builds the dialog and shows at once: the exception's site,
  // message, SubId and stack trace (no program address); the given site and
  // a processor fault's message, SubId, stack trace and program address; the
  // given site and the text of a standard exception (code page 1252).
  FatalDialog_t(ErrorDialogIntf_t& dialog, const glo::Exception_t& error);
  FatalDialog_t(ErrorDialogIntf_t& dialog, const char* file, unsigned line, const win::StructuredException_t& fault);
  FatalDialog_t(ErrorDialogIntf_t& dialog, const char* file, unsigned line, const std::exception& error);

  // Builds the client error and appends it to the error log; then starts
  // the reporter (mode 0) when there is one, else shows the dialog with the
  // error's text and the log. When any of that fails, shows the dialog with
  // the text of the arguments alone, after message 5602 when the reporter
  // would not start. Never raises.
  void Show(const std::string& file, std::uint16_t line, const std::u16string& extra, const std::string& subId,
            const glo::Optional_t<std::uint32_t>& programAddress,
            const std::vector<std::uint32_t>& stackTrace) override;

 private:
  ErrorDialogIntf_t* dialog_;
};

}  // namespace err
