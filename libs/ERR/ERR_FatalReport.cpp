#include "ERR_FatalReport.h"

#include "GLO_Text.h"

namespace err {

void ERR_ReportFatal(FatalDialogIntf_t& dialog, const glo::Exception_t& error)
{
  dialog.Show(error.SourceFile(), error.SourceLine(), error.Message(), error.SubId(), {}, error.StackTrace());
}

void ERR_ReportFatal(FatalDialogIntf_t& dialog, const char* file, unsigned line, const win::StructuredException_t& fault)
{
  dialog.Show(file, static_cast<std::uint16_t>(line), fault.Message(), fault.SubId(), fault.ProgramAddress(),
              fault.StackTrace());
}

void ERR_ReportFatal(FatalDialogIntf_t& dialog, const char* file, unsigned line, const std::exception& error)
{
  ERR_ReportFatal(dialog, file, line, glo::GLO_ToWide(error.what(), glo::CodePageWestern));
}

void ERR_ReportFatal(FatalDialogIntf_t& dialog, const char* file, unsigned line, const std::u16string& text)
{
  dialog.Show(file, static_cast<std::uint16_t>(line), text, {}, {}, {});
}

}  // namespace err
