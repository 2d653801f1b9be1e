#include "ERR_ErrorReporter.h"

#include "ERR_Spawn.h"
#include "GLO_Text.h"
#include "WIN_RegException.h"
#include "WIN_ResourceModule.h"
#include "WIN_Settings.h"
#include "WIN_VersionInfo.h"

namespace err {
namespace {

// The most a launch failure's code may be.
constexpr std::uint32_t MaxLaunchCode = 32;

std::u16string BesideProgram()
{
  const std::u16string& program = win::WIN_GetModulePath(win::WIN_GetMainModule());
  return program.substr(0, program.find_last_of(u'/') + 1) + ErrorReporterFileName;
}

std::u16string LaunchFailureText(std::uint32_t code)
{
  return u"The error reporter could not be started: " + glo::GLO_Decimal(code);
}

}  // namespace

ErrorReporterLaunchFailureException_t::ErrorReporterLaunchFailureException_t(const char* file, unsigned line,
                                                                             std::uint32_t code)
    : glo::Exception_t(file, line, LaunchFailureText(code), std::to_string(code)), code_(code)
{
}

std::u16string ERR_ErrorReporterPath()
{
  std::u16string folder = win::WIN_ErrorReporterInstallDir().get();
  if (folder.empty() || (folder.back() != u'/' && folder.back() != u'\\')) folder += u'/';
  return folder + ErrorReporterFileName;
}

bool ERR_ErrorReporterSupported()
{
  if (win::VersionInfo_t::Get().ProductName() == ErrorReporterFileName) return false;
  try {
    ERR_ErrorReporterPath();
    return true;
  } catch (const win::RegException_t&) {
  }
  return ERR_IsFile(BesideProgram());
}

void ERR_LaunchErrorReporter(std::uint32_t mode, const std::u16string& applicationName)
{
  glo::GLO_Assert(mode != ReporterOwnMode && ERR_ErrorReporterSupported(), GLO_HERE);
  std::u16string reporter;
  try {
    reporter = ERR_ErrorReporterPath();
  } catch (const win::RegException_t&) {
    reporter = BesideProgram();
  }
  const std::uint32_t code =
      ERR_Spawn(reporter, {u"/Mode", glo::GLO_Decimal(mode), u"/AppName", applicationName});
  if (code != 0) throw ErrorReporterLaunchFailureException_t(GLO_HERE, std::min(code, MaxLaunchCode));
}

}  // namespace err
