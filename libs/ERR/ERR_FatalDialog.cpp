#include "ERR_FatalDialog.h"

#include "ERR_ClientError.h"
#include "ERR_ErrorReporter.h"
#include "ERR_LogFile.h"
#include "GLO_Text.h"
#include "WIN_Error.h"
#include "WIN_ResourceString.h"
#include "WIN_VersionInfo.h"

namespace err {

FatalDialog_t::FatalDialog_t(ErrorDialogIntf_t& dialog, const glo::Exception_t& error) : dialog_(&dialog)
{
  Show(error.SourceFile(), error.SourceLine(), error.Message(), error.SubId(), {}, error.StackTrace());
}

FatalDialog_t::FatalDialog_t(ErrorDialogIntf_t& dialog, const char* file, unsigned line,
                             const win::StructuredException_t& fault)
    : dialog_(&dialog)
{
  Show(file, static_cast<std::uint16_t>(line), fault.Message(), fault.SubId(), fault.ProgramAddress(),
       fault.StackTrace());
}

FatalDialog_t::FatalDialog_t(ErrorDialogIntf_t& dialog, const char* file, unsigned line, const std::exception& error)
    : dialog_(&dialog)
{
  std::u16string text;
  try {
    text = glo::GLO_ToWide(error.what(), glo::CodePageWestern);
  } catch (...) {
  }
  Show(file, static_cast<std::uint16_t>(line), text, {}, {}, {});
}

void FatalDialog_t::Show(const std::string& file, std::uint16_t line, const std::u16string& extra,
                         const std::string& subId, const glo::Optional_t<std::uint32_t>& programAddress,
                         const std::vector<std::uint32_t>& stackTrace)
{
  try {
    const ClientError_t error(file, line, extra, subId, programAddress, stackTrace);
    std::string logText;
    {
      LogFile_t log;
      log.AddError(error);
      logText = log.ReportText();
    }
    if (ERR_ErrorReporterSupported())
      ERR_LaunchErrorReporter(ReportLoggedError, win::VersionInfo_t::Get().ProductName());
    else
      dialog_->ShowErrorDialog(error.ErrorText(), logText);
    return;
  } catch (const win::FileError_t&) {
  } catch (const ErrorReporterLaunchFailureException_t&) {
    try {
      const std::u16string name = win::VersionInfo_t::Get().ProductName();
      dialog_->ShowMessage(win::ResourceString_t(ReporterLaunchFailedMessage, GLO_HERE).Format(name, GLO_HERE));
    } catch (...) {
    }
  } catch (...) {
  }
  try {
    dialog_->ShowErrorDialog(ERR_FallbackText(file, line, extra, subId, programAddress, stackTrace), {});
  } catch (...) {
  }
}

}  // namespace err
