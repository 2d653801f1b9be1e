#include "ReporterFixture.h"

#include <stdlib.h>

#include <chrono>
#include <thread>

#include "TempFolder.h"

namespace vtest {
namespace {

// Polls for up to 5 s.
template <class Condition>
bool Await(Condition condition)
{
  for (int i = 0; i < 500; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}

std::string Quoted(const std::filesystem::path& path)
{
  return "'" + path.string() + "'";
}

}  // namespace

MachineRegistry& MachineRegistry::Get()
{
  static MachineRegistry registry;
  return registry;
}

MachineRegistry::MachineRegistry()
{
  static TempFolder machine;
  folder_ = machine.Path();
  setenv("XDG_CONFIG_DIRS", folder_.c_str(), 1);
}

void MachineRegistry::Clear()
{
  std::filesystem::remove(folder_ / "Telvan" / "system.reg");
}

void MachineRegistry::SetReporterFolder(const std::filesystem::path& folder)
{
  WriteFile(folder_ / "Telvan" / "system.reg",
            "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Telvan\\ErrorReporter]\n"
            "\"InstallDir\"=\"" +
                folder.string() + "\"\n");
}

void WriteRecordingReporter(const std::filesystem::path& folder, const std::filesystem::path& record,
                            const std::string& then)
{
  const std::string part = Quoted(record.string() + ".tmp");
  WriteFile(folder / "ErrorReporter", "#!/bin/sh\necho $$ > " + Quoted(record.string() + ".pid") +
                                          "\nfor a in \"$@\"; do printf '%s|' \"$a\"; done > " + part + "\nmv " + part +
                                          " " + Quoted(record) + "\n" + then + "\n");
  std::filesystem::permissions(folder / "ErrorReporter", std::filesystem::perms::owner_all);
}

std::string AwaitRecord(const std::filesystem::path& record)
{
  Await([&] { return std::filesystem::exists(record); });
  return ReadFile(record);
}

bool ReporterGone(const std::filesystem::path& record)
{
  const std::string pid = ReadFile(record.string() + ".pid");
  if (pid.empty()) return false;
  const std::filesystem::path process = "/proc/" + std::to_string(std::stoi(pid));
  return Await([&] { return !std::filesystem::exists(process); });
}

}  // namespace vtest
