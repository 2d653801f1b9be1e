#pragma once
// The external error reporter: the program "ErrorReporter" in the folder
// that "InstallDir" of the machine's Software\Telvan\ErrorReporter key
// names, or beside the running program. It is started as
// "ErrorReporter /Mode N /AppName NAME", never through a shell.

#include <cstdint>
#include <string>

#include "GLO_Exception.h"

namespace err {

inline constexpr char16_t ErrorReporterFileName[] = u"ErrorReporter";

// What the reporter is asked to do.
enum ErrorReporterMode_t : std::uint32_t {
  ReportLoggedError = 0,  // the error just written to the error log
  ApplicationStarted = 1,
  ReporterOwnMode = 2,  // never passed by an application
};

// The reporter could not be started; the code is the system's error
// number, always 32 or less.
class ErrorReporterLaunchFailureException_t : public glo::Exception_t {
 public:
  ErrorReporterLaunchFailureException_t(const char* file, unsigned line, std::uint32_t code);
  std::uint32_t Code() const noexcept { return code_; }

 private:
  std::uint32_t code_;
};

// "InstallDir", "/" and the reporter's file name; the registry's exception
// when the key or the value is missing.
std::u16string ERR_ErrorReporterPath();

// False for the reporter itself; else whether the registry names its folder
// (the file is not looked for there), or it lies beside the running
// program.
bool ERR_ErrorReporterSupported();

// Starts the reporter of ERR_ErrorReporterPath, or the one beside the
// running program when the registry names none, and leaves it running.
// Asserts a mode other than ReporterOwnMode and that the reporter is
// supported; a failed start raises ErrorReporterLaunchFailureException_t.
void ERR_LaunchErrorReporter(std::uint32_t mode, const std::u16string& applicationName);

}  // namespace err
