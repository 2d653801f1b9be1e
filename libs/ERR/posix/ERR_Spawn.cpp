#include "ERR_Spawn.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <csignal>
#include <system_error>
#include <thread>

#include "GLO_Text.h"
#include "WIN_Utilities.h"

extern char** environ;

namespace err {
namespace {

// The started program stays our child, so its end would leave a zombie for
// as long as we run (the wizard runs for hours after its start-up launch).
// A watcher of its own collects it; a SIGCHLD handler would be the whole
// program's business, and a waitpid for one process takes no other's
// status from the script runs.
void Reap(pid_t child) noexcept
{
  try {
    std::thread([child] {
      int status = 0;
      while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
      }
    }).detach();
  } catch (const std::system_error&) {
    // No thread to be had: the reporter runs all the same, and its zombie
    // goes with us.
  }
}

}  // namespace

std::uint32_t ERR_Spawn(const std::u16string& program, const std::vector<std::u16string>& arguments)
{
  const std::string path = win::WIN_SystemPath(program);
  std::vector<std::string> texts{path};
  for (const auto& argument : arguments) texts.push_back(glo::GLO_ToNarrow(argument, glo::CodePageUtf8));
  std::vector<char*> argv;
  for (auto& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  if (int code = posix_spawn_file_actions_init(&actions); code != 0) return static_cast<std::uint32_t>(code);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawnattr_init(&attributes);
  // The reporter outlives a fatal error of ours: it gets default signal
  // actions, no signals blocked (a transfer blocks its stop signals), and a
  // process group of its own, so a Ctrl-C meant for us does not end it.
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
  pid_t child = 0;
  const int code = posix_spawn(&child, path.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (code == 0) Reap(child);
  return static_cast<std::uint32_t>(code);
}

bool ERR_IsFile(const std::u16string& path)
{
  struct stat status;
  return ::stat(win::WIN_SystemPath(path).c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace err
