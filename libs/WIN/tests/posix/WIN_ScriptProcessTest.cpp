#include "WIN_ScriptProcess.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "TempFolder.h"
#include "WIN_Error.h"
#include "WIN_Event.h"

namespace {

using namespace std::chrono_literals;

// Whether the process runs: it exists and is no zombie waiting to be
// reaped.
bool Alive(std::uint32_t id)
{
  const std::string stat = vtest::ReadFile("/proc/" + std::to_string(id) + "/stat");
  const auto close = stat.rfind(')');
  return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

bool AwaitEnd(std::uint32_t id)
{
  for (auto deadline = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < deadline;) {
    if (!Alive(id)) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

class ScriptProcess : public testing::Test {
 protected:
  std::u16string Script(const std::string& text)
  {
    vtest::WriteFile(folder / "script.sh", text);
    return folder.Wide("script.sh");
  }
  vtest::TempFolder folder;
};

TEST_F(ScriptProcess, TheScriptGetsItsArgumentAndEndsWithItsCode)
{
  struct Case {
    std::string script;
    glo::Optional_t<int> exitCode;
  };
  const Case cases[] = {
      {"echo \"$1\" > \"$1/seen\"\n", 0},
      {"exit 1\n", 1},
      {"read line; exit $?\n", 1},  // its input is empty
      {"kill -9 $$\n", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    win::ScriptProcess_t process(Script(c.script), folder.Wide());
    ASSERT_TRUE(win::WIN_WaitForAny({&process.Handle()}, 10s));
    EXPECT_EQ(process.ExitCode(), c.exitCode);
  }
  EXPECT_EQ(vtest::ReadFile(folder / "seen"), folder.Path().string() + "\n");
  // A script that is not there is the shell's to report, with an exit code
  // of its own.
  win::ScriptProcess_t missing(folder.Wide("missing.sh"), u"x");
  const auto missingCode = missing.ExitCode();
  ASSERT_TRUE(missingCode);
  EXPECT_NE(missingCode.Get(), 0);
}

TEST_F(ScriptProcess, ItsHandleSignalsItsEndAndNotBefore)
{
  win::ScriptProcess_t process(Script("read line < \"$1/gate\"\n"), folder.Wide());
  ASSERT_EQ(::mkfifo((folder / "gate").c_str(), 0600), 0);
  win::Event_t stop(true, false);
  EXPECT_FALSE(win::WIN_WaitForAny({&stop.Handle(), &process.Handle()}, 100ms));
  vtest::WriteFile(folder / "gate", "open\n");
  EXPECT_EQ(win::WIN_WaitForAny({&stop.Handle(), &process.Handle()}, 10s), std::optional<std::size_t>(1));
  EXPECT_EQ(process.ExitCode(), glo::Optional_t<int>(0));
}

TEST_F(ScriptProcess, TheSnapshotShowsTheScriptsChildrenWhichCanBeEnded)
{
  win::ScriptProcess_t process(Script("sleep 60 &\necho $! > \"$1/child\"\nwait\n"), folder.Wide());
  std::uint32_t child = 0;
  for (auto deadline = std::chrono::steady_clock::now() + 10s;
       child == 0 && std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(10ms)) {
    const std::string text = vtest::ReadFile(folder / "child");
    if (!text.empty() && text.back() == '\n') child = static_cast<std::uint32_t>(std::stoul(text));
  }
  ASSERT_NE(child, 0u);
  const auto snapshot = win::WIN_ProcessSnapshot();
  const auto entry = std::find_if(snapshot.begin(), snapshot.end(),
                                  [child](const win::ProcessEntry_t& process) { return process.id == child; });
  ASSERT_NE(entry, snapshot.end());
  EXPECT_EQ(entry->parentId, process.Id());
  EXPECT_EQ(entry->name, u"sleep");
  EXPECT_TRUE(process.Terminate());
  EXPECT_TRUE(win::WIN_WaitForAny({&process.Handle()}, 10s));
  EXPECT_FALSE(process.ExitCode());
  // Its child lives on until it is ended on its own.
  EXPECT_TRUE(Alive(child));
  EXPECT_TRUE(win::WIN_TerminateProcess(child));
  EXPECT_TRUE(AwaitEnd(child));
  // Reaped: its id may be another process's by now, and is left alone.
  EXPECT_FALSE(process.Terminate());
  EXPECT_EQ(errno, ESRCH);
}

TEST_F(ScriptProcess, AShellStillRunningIsEndedWithItsObject)
{
  std::uint32_t id = 0;
  {
    win::ScriptProcess_t process(Script("sleep 60\n"), folder.Wide());
    id = process.Id();
    EXPECT_TRUE(Alive(id));
  }
  EXPECT_FALSE(Alive(id));
}

TEST(ProcessSnapshot, ReadsNamesWithSpacesAndParentheses)
{
  vtest::TempFolder proc;
  vtest::WriteFile(proc / "1/stat", "1 (init) S 0 1 1 0 -1\n");
  vtest::WriteFile(proc / "42/stat", "42 (my (odd) name) R 1 42 42 0 -1\n");
  vtest::WriteFile(proc / "43/stat", "43 broken\n");
  vtest::WriteFile(proc / "self/stat", "7 (self) S 1\n");
  vtest::WriteFile(proc / "99/other", "");
  auto snapshot = win::WIN_ProcessSnapshot(proc.Wide());
  std::sort(snapshot.begin(), snapshot.end(),
            [](const win::ProcessEntry_t& a, const win::ProcessEntry_t& b) { return a.id < b.id; });
  ASSERT_EQ(snapshot.size(), 2u);
  EXPECT_EQ(snapshot[0].name, u"init");
  EXPECT_EQ(snapshot[0].parentId, 0u);
  EXPECT_EQ(snapshot[1].id, 42u);
  EXPECT_EQ(snapshot[1].name, u"my (odd) name");
  EXPECT_EQ(snapshot[1].parentId, 1u);
  EXPECT_THROW(win::WIN_ProcessSnapshot(proc.Wide("none")), win::Error_t);
}

}  // namespace
