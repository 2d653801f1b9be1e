#include "WIN_ScriptProcess.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>

#include "GLO_Text.h"
#include "WIN_Error.h"
#include "WIN_FileSystem.h"
#include "WIN_Retry.h"

extern char** environ;

namespace win {
namespace {

// Frees the spawn attributes and file actions however the start goes.
struct SpawnSetup_t {
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_t actions;
  SpawnSetup_t()
  {
    ::posix_spawnattr_init(&attributes);
    ::posix_spawn_file_actions_init(&actions);
  }
  ~SpawnSetup_t()
  {
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attributes);
  }
};

// The whole of a small file; empty when it cannot be read.
std::string ReadSmallFile(const std::string& path)
{
  const Handle_t file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  std::string text;
  if (!file.IsValid()) return text;
  char buffer[1024];
  for (ssize_t got; (got = ::read(file.Get(), buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<std::size_t>(got));
  return text;
}

}  // namespace

ScriptProcess_t::ScriptProcess_t(const std::u16string& script, const std::u16string& argument)
{
  const std::string scriptPath = WIN_SystemPath(script);
  struct stat status;
  if (::lstat(scriptPath.c_str(), &status) != 0) throw Error_t(GLO_HERE, static_cast<std::uint32_t>(errno));
  if (S_ISLNK(status.st_mode)) throw Error_t(GLO_HERE, ELOOP);
  if (!S_ISREG(status.st_mode)) throw Error_t(GLO_HERE, EINVAL);
  const std::string argumentText = glo::GLO_FileNameToNarrow(argument);
  SpawnSetup_t setup;
  // A group of its own, so that the terminal's Ctrl-C reaches the program
  // and the program decides what becomes of the script. The signals the
  // program blocks or ignores for its own threads are not the script's.
  ::posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  ::posix_spawnattr_setpgroup(&setup.attributes, 0);
  sigset_t signals;
  sigemptyset(&signals);
  ::posix_spawnattr_setsigmask(&setup.attributes, &signals);
  sigfillset(&signals);
  ::posix_spawnattr_setsigdefault(&setup.attributes, &signals);
  ::posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  // Descriptors opened without O_CLOEXEC (by a library, say) would keep
  // files and pipes of the program open for as long as the script runs.
  ::posix_spawn_file_actions_addclosefrom_np(&setup.actions, STDERR_FILENO + 1);
  // "--": a script path starting with "-" is a file, not an option.
  char* const arguments[] = {const_cast<char*>("sh"), const_cast<char*>("--"), const_cast<char*>(scriptPath.c_str()),
                             const_cast<char*>(argumentText.c_str()), nullptr};
  pid_t id = 0;
  if (const int error = ::posix_spawn(&id, "/bin/sh", &setup.actions, &setup.attributes, arguments, environ);
      error != 0)
    throw Error_t(GLO_HERE, static_cast<std::uint32_t>(error));
  id_ = static_cast<std::uint32_t>(id);
  handle_.Reset(static_cast<int>(::syscall(SYS_pidfd_open, id, 0)));
  if (!handle_.IsValid()) {
    const int error = errno;
    ::kill(id, SIGKILL);
    ::waitpid(id, nullptr, 0);
    reaped_ = true;
    throw Error_t(GLO_HERE, static_cast<std::uint32_t>(error));
  }
}

ScriptProcess_t::~ScriptProcess_t()
{
  if (reaped_ || id_ == 0) return;
  ::kill(static_cast<pid_t>(id_), SIGKILL);
  WIN_Retry([this] { return ::waitpid(static_cast<pid_t>(id_), nullptr, 0); });
}

glo::Optional_t<int> ScriptProcess_t::ExitCode()
{
  if (!reaped_) {
    int status = 0;
    const pid_t got = WIN_Retry([&] { return ::waitpid(static_cast<pid_t>(id_), &status, 0); });
    reaped_ = true;
    if (got == static_cast<pid_t>(id_) && WIFEXITED(status)) exitCode_.Set(WEXITSTATUS(status));
  }
  return exitCode_;
}

void ScriptProcess_t::EndGroup() noexcept
{
  if (id_ != 0 && !reaped_) ::kill(-static_cast<pid_t>(id_), SIGKILL);
}

bool ScriptProcess_t::Terminate()
{
  // A shell that has been reaped has ended; its id may belong to another
  // process by now.
  if (reaped_) {
    errno = ESRCH;
    return false;
  }
  return ::syscall(SYS_pidfd_send_signal, handle_.Get(), SIGKILL, nullptr, 0) == 0;
}

std::vector<ProcessEntry_t> WIN_ProcessSnapshot(const std::u16string& procRoot)
{
  const std::string root = WIN_SystemPathWithoutTrailingSeparator(procRoot);
  const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(root.c_str()), ::closedir);
  if (!folder) throw Error_t(GLO_HERE, static_cast<std::uint32_t>(errno));
  std::vector<ProcessEntry_t> processes;
  while (const dirent* entry = ::readdir(folder.get())) {
    char* end = nullptr;
    const unsigned long id = std::strtoul(entry->d_name, &end, 10);
    if (*entry->d_name == '\0' || *end != '\0') continue;
    // "PID (NAME) STATE PPID ...": the name may hold spaces and ")", so it
    // ends at the last ")".
    const std::string stat = ReadSmallFile(root + "/" + entry->d_name + "/stat");
    const auto open = stat.find('('), close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) continue;
    unsigned long parent = 0;
    char state = 0;
    if (std::sscanf(stat.c_str() + close + 1, " %c %lu", &state, &parent) != 2) continue;
    processes.push_back({static_cast<std::uint32_t>(id), static_cast<std::uint32_t>(parent),
                         glo::GLO_ToWide(stat.substr(open + 1, close - open - 1), glo::CodePageUtf8)});
  }
  return processes;
}

bool WIN_TerminateProcess(std::uint32_t processId)
{
  // No process has these ids, and kill would read them as "this process
  // group" (0) or as other process groups and "every process" (negative).
  if (processId == 0 || processId > static_cast<std::uint32_t>(std::numeric_limits<pid_t>::max())) {
    errno = ESRCH;
    return false;
  }
  return ::kill(static_cast<pid_t>(processId), SIGKILL) == 0;
}

}  // namespace win
