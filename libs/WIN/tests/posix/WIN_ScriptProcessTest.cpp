#include "WIN_ScriptProcess.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <thread>

#include "TempFolder.h"
#include "WIN_Error.h"
#include "WIN_Event.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Whether the process runs: it exists and is no zombie waiting to be
// reaped.
bool Alive(std::uint32_t id)
{
  const std::string stat = vtest::ReadFile("/proc/" + std::to_string(id) + "/stat");
  const auto close = stat.rfind(')');
  return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

// Whether anything, a zombie included, is left of the process.
bool Exists(std::uint32_t id)
{
  return std::filesystem::exists("/proc/" + std::to_string(id));
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
}

TEST_F(ScriptProcess, OnlyARegularFileIsRun)
{
  vtest::WriteFile(folder / "real.sh", "echo ran >> \"$1/ran\"\n");
  fs::create_symlink(folder / "real.sh", folder / "link.sh");
  fs::create_directory(folder / "folder.sh");
  ASSERT_EQ(::mkfifo((folder / "fifo.sh").c_str(), 0600), 0);
  const std::pair<const char*, std::uint32_t> cases[] = {
      {"missing.sh", ENOENT}, {"link.sh", ELOOP}, {"folder.sh", EINVAL}, {"fifo.sh", EINVAL}};
  for (const auto& [name, code] : cases) {
    SCOPED_TRACE(name);
    try {
      win::ScriptProcess_t script(folder.Wide(name), folder.Wide());
      ADD_FAILURE() << "started";
    } catch (const win::Error_t& error) {
      EXPECT_EQ(error.Code(), code);
    }
  }
  EXPECT_FALSE(fs::exists(folder / "ran"));
}

TEST_F(ScriptProcess, EndingTheGroupEndsWhatTheScriptLeftRunning)
{
  // The child outlives the shell and would write long after it.
  win::ScriptProcess_t script(Script("(sleep 600; echo late > \"$1/late\") &\necho $! > \"$1/child\"\n"),
                              folder.Wide());
  ASSERT_TRUE(win::WIN_WaitForAny({&script.Handle()}, 10s));
  const auto child = static_cast<std::uint32_t>(std::stoul(vtest::ReadFile(folder / "child")));
  ASSERT_TRUE(Alive(child));
  script.EndGroup();
  EXPECT_EQ(script.ExitCode(), glo::Optional_t<int>(0));
  EXPECT_TRUE(AwaitEnd(child));
}

TEST_F(ScriptProcess, AScriptPathStartingWithADashIsAFileNotAnOption)
{
  vtest::WriteFile(folder / "-s.sh", "echo ran > \"$1/ran\"\n");
  const vtest::CurrentFolder current(folder.Path());
  win::ScriptProcess_t process(u"-s.sh", folder.Wide());
  EXPECT_EQ(process.ExitCode(), glo::Optional_t<int>(0));
  EXPECT_EQ(vtest::ReadFile(folder / "ran"), "ran\n");
}

TEST_F(ScriptProcess, TheScriptGetsNoOtherOpenFiles)
{
  // Not closed on exec, as a library might leave one; far above the
  // descriptors the shell opens for itself.
  const win::Handle_t inheritable(::fcntl(::open("/dev/null", O_RDONLY | O_CLOEXEC), F_DUPFD, 200));
  ASSERT_TRUE(inheritable.IsValid());
  const std::string fd = std::to_string(inheritable.Get());
  win::ScriptProcess_t process(
      Script("if [ -e /proc/$$/fd/" + fd + " ]; then echo open; else echo closed; fi > \"$1/fd\"\n"), folder.Wide());
  EXPECT_EQ(process.ExitCode(), glo::Optional_t<int>(0));
  EXPECT_EQ(vtest::ReadFile(folder / "fd"), "closed\n");
}

// Ignores or blocks a signal in the calling thread for a scope.
class SignalChange {
 public:
  SignalChange(int signal, bool ignore) : signal_(signal), ignore_(ignore)
  {
    struct sigaction ignored {};
    ignored.sa_handler = SIG_IGN;
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, signal);
    if (ignore_)
      ::sigaction(signal_, &ignored, &previousAction_);
    else
      ::pthread_sigmask(SIG_BLOCK, &blocked, &previousMask_);
  }
  SignalChange(const SignalChange&) = delete;
  SignalChange& operator=(const SignalChange&) = delete;
  ~SignalChange()
  {
    if (ignore_)
      ::sigaction(signal_, &previousAction_, nullptr);
    else
      ::pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
  }

 private:
  int signal_;
  bool ignore_;
  struct sigaction previousAction_ {};
  sigset_t previousMask_{};
};

TEST_F(ScriptProcess, SignalsTheProgramBlocksOrIgnoresAreTheScriptsAgain)
{
  struct Case {
    int signal;
    bool ignore;  // else blocked
  };
  const Case cases[] = {{SIGPIPE, true}, {SIGTERM, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.signal);
    const auto script = Script("kill -" + std::to_string(c.signal) + " $$\nexit 0\n");
    std::optional<win::ScriptProcess_t> process;
    {
      const SignalChange change(c.signal, c.ignore);
      process.emplace(script, folder.Wide());
    }
    EXPECT_FALSE(process->ExitCode());
  }
}

TEST_F(ScriptProcess, ItsHandleSignalsItsEndAndNotBefore)
{
  win::ScriptProcess_t process(Script("while [ ! -e \"$1/gate\" ]; do sleep 0.05; done\n"), folder.Wide());
  win::Event_t stop(true, false);
  EXPECT_FALSE(win::WIN_WaitForAny({&stop.Handle(), &process.Handle()}, 200ms));
  vtest::WriteFile(folder / "gate", "");
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
  const auto shell = std::find_if(snapshot.begin(), snapshot.end(),
                                  [&](const win::ProcessEntry_t& entry) { return entry.id == process.Id(); });
  ASSERT_NE(shell, snapshot.end());
  EXPECT_EQ(shell->parentId, static_cast<std::uint32_t>(::getpid()));
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

TEST_F(ScriptProcess, TheScriptsGrandchildrenAreFoundAndEndedWithoutZombies)
{
  win::ScriptProcess_t process(Script("( sleep 30 & sleep 30 & wait ) &\nwait\n"), folder.Wide());
  // The script's descendants by their depth below it, from one snapshot.
  const auto descendants = [&process] {
    std::map<std::uint32_t, int> depths{{process.Id(), 0}};
    const auto snapshot = win::WIN_ProcessSnapshot();
    for (bool grown = true; grown;) {
      grown = false;
      for (const auto& entry : snapshot)
        if (const auto parent = depths.find(entry.parentId); parent != depths.end() && !depths.count(entry.id)) {
          depths[entry.id] = parent->second + 1;
          grown = true;
        }
    }
    return std::make_pair(depths, snapshot);
  };
  std::vector<std::uint32_t> grandchildren, children;
  for (auto deadline = std::chrono::steady_clock::now() + 10s;
       grandchildren.size() < 2 && std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(10ms)) {
    const auto [depths, snapshot] = descendants();
    grandchildren.clear();
    children.clear();
    for (const auto& entry : snapshot) {
      const auto depth = depths.find(entry.id);
      if (depth == depths.end()) continue;
      if (depth->second == 1) children.push_back(entry.id);
      if (depth->second == 2 && entry.name == u"sleep") grandchildren.push_back(entry.id);
    }
  }
  ASSERT_EQ(grandchildren.size(), 2u);
  ASSERT_EQ(children.size(), 1u);
  for (const auto id : grandchildren) EXPECT_TRUE(win::WIN_TerminateProcess(id));
  // With the sleeps gone every shell's wait ends, and each reaps its own.
  ASSERT_EQ(win::WIN_WaitForAny({&process.Handle()}, 10s), std::optional<std::size_t>(0));
  EXPECT_EQ(process.ExitCode(), glo::Optional_t<int>(0));
  for (const auto id : grandchildren) EXPECT_FALSE(Exists(id)) << id;
  EXPECT_FALSE(Exists(children.front()));
  EXPECT_FALSE(Exists(process.Id()));
}

TEST_F(ScriptProcess, AShellStillRunningIsEndedWithItsObject)
{
  struct Case {
    std::string script;
    bool ended;  // waited for, but its exit code never asked
  };
  const Case cases[] = {{"sleep 60\n", false}, {"exit 3\n", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    std::uint32_t id = 0;
    {
      win::ScriptProcess_t process(Script(c.script), folder.Wide());
      id = process.Id();
      if (c.ended)
        ASSERT_TRUE(win::WIN_WaitForAny({&process.Handle()}, 10s));
      else
        EXPECT_TRUE(Alive(id));
    }
    // Not even a zombie is left.
    EXPECT_FALSE(Exists(id));
  }
}

// What WIN_TerminateProcess reports (0: success, else errno), asked from a
// child in a process group of its own: were id 0 taken as "this process
// group", only that child would be ended.
int TerminateFailure(std::uint32_t id)
{
  const pid_t child = ::fork();
  if (child == 0) {
    ::setpgid(0, 0);
    ::_exit(win::WIN_TerminateProcess(id) ? 0 : errno);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST(TerminateProcess, FailsWithTheSystemsReasonWhenThereIsNoSuchProcess)
{
  vtest::TempFolder folder;
  vtest::WriteFile(folder / "script.sh", "exit 0\n");
  win::ScriptProcess_t ended(folder.Wide("script.sh"), u"");
  ASSERT_TRUE(ended.ExitCode());
  struct Case {
    const char* what;
    std::uint32_t id;
  };
  const Case cases[] = {{"reaped", ended.Id()}, {"zero", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(TerminateFailure(c.id), ESRCH);
  }
}

TEST(ProcessSnapshot, ReadsNamesWithSpacesAndParentheses)
{
  vtest::TempFolder proc;
  vtest::WriteFile(proc / "1/stat", "1 (init) S 0 1 1 0 -1\n");
  vtest::WriteFile(proc / "42/stat", "42 (my (odd) name) R 1 42 42 0 -1\n");
  // A name that looks like the fields after it, and one cut inside a
  // character as the system cuts long names.
  vtest::WriteFile(proc / "50/stat", "50 (a) S 9 (b) R 1 50 50 0 -1\n");
  vtest::WriteFile(proc / "51/stat", "51 (caf\xC3) S 42 51 51 0 -1\n");
  vtest::WriteFile(proc / "43/stat", "43 broken\n");
  vtest::WriteFile(proc / "self/stat", "7 (self) S 1\n");
  vtest::WriteFile(proc / "99/other", "");
  auto snapshot = win::WIN_ProcessSnapshot(proc.Wide());
  std::sort(snapshot.begin(), snapshot.end(),
            [](const win::ProcessEntry_t& a, const win::ProcessEntry_t& b) { return a.id < b.id; });
  ASSERT_EQ(snapshot.size(), 4u);
  EXPECT_EQ(snapshot[0].name, u"init");
  EXPECT_EQ(snapshot[0].parentId, 0u);
  EXPECT_EQ(snapshot[1].id, 42u);
  EXPECT_EQ(snapshot[1].name, u"my (odd) name");
  EXPECT_EQ(snapshot[1].parentId, 1u);
  EXPECT_EQ(snapshot[2].id, 50u);
  EXPECT_EQ(snapshot[2].name, u"a) S 9 (b");
  EXPECT_EQ(snapshot[2].parentId, 1u);
  EXPECT_EQ(snapshot[3].id, 51u);
  EXPECT_EQ(snapshot[3].name, u"caf\uFFFD");
  EXPECT_EQ(snapshot[3].parentId, 42u);
  EXPECT_THROW(win::WIN_ProcessSnapshot(proc.Wide("none")), win::Error_t);
}

}  // namespace
