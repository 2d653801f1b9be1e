#pragma once
// The machine's side of error reporting for tests: the machine's registry
// (system.reg below XDG_CONFIG_DIRS) in a folder of the test process, and
// an error reporter that records how it was started.

#include <filesystem>
#include <string>

namespace vtest {

// Points XDG_CONFIG_DIRS at a folder of the test process the first time it
// is called, which must come before anything reads the machine's registry
// (from a test suite's or an environment's SetUp). The registry starts
// empty.
class MachineRegistry {
 public:
  static MachineRegistry& Get();

  // No registry: no InstallDir.
  void Clear();
  // "InstallDir" of Software\Telvan\ErrorReporter names the folder.
  void SetReporterFolder(const std::filesystem::path& folder);

 private:
  MachineRegistry();
  std::filesystem::path folder_;
};

// An executable "ErrorReporter" script in the folder that writes its
// arguments, each followed by "|", to the record (which appears whole) and
// its process id to the record's name with ".pid", then runs the shell
// command given ("kill $PPID" ends the program that started it).
void WriteRecordingReporter(const std::filesystem::path& folder, const std::filesystem::path& record,
                            const std::string& then = {});

// The record once the reporter has written it (waiting up to 5 s); empty
// when it did not.
std::string AwaitRecord(const std::filesystem::path& record);

// Whether the reporter of the record has ended and is gone (waiting up to
// 5 s), not left a zombie of the test process.
bool ReporterGone(const std::filesystem::path& record);

}  // namespace vtest
