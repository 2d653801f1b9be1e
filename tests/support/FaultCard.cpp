#include "FaultCard.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "GLO_Text.h"
#include "TempFolder.h"

namespace vtest {
namespace {

const char* FaultName(CardFault fault)
{
  switch (fault) {
    case CardFault::NoSpace: return "ENOSPC";
    case CardFault::IoError: return "EIO";
    case CardFault::ReadOnly: return "EROFS";
    case CardFault::NotPermitted: return "EPERM";
    case CardFault::Vanish: return "vanish";
    case CardFault::None: break;
  }
  return "";
}

// A field of the mount table without its octal escapes ("\040" a space).
std::string Unescaped(const std::string& field)
{
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    const bool escape = field[i] == '\\' && i + 3 < field.size() && field.find_first_not_of("01234567", i + 1) >= i + 4;
    if (escape) {
      text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
      i += 3;
    } else {
      text += field[i];
    }
  }
  return text;
}

bool OnPath(const std::string& program)
{
  const char* path = std::getenv("PATH");
  std::istringstream folders(path != nullptr ? path : "/usr/bin:/bin");
  for (std::string folder; std::getline(folders, folder, ':');)
    if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0) return true;
  return false;
}

// Starts a program with no descriptors but its own, default signal actions
// and none blocked; its standard output and error go to the file given.
pid_t Spawn(const std::vector<std::string>& arguments, const std::string& output)
{
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE, SIGCHLD}) sigaddset(&signals, signal);
  posix_spawnattr_setsigdefault(&attributes, &signals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t child = -1;
  const int failed = ::posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) {
    errno = failed;
    return -1;
  }
  return child;
}

// Runs a program quietly; true when it exits with 0.
bool Run(const std::vector<std::string>& arguments)
{
  const pid_t child = Spawn(arguments, "/dev/null");
  int status = 0;
  while (child > 0 && ::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The daemon's complaint on one line.
std::string OneLine(std::string text)
{
  while (!text.empty() && text.back() == '\n') text.pop_back();
  for (char& c : text)
    if (c == '\n') c = ' ';
  return text;
}

std::string FirstLine(const std::string& text)
{
  return text.substr(0, text.find('\n'));
}

}  // namespace

FaultCard::FaultCard(const FaultCardOptions& options) : owner_(::getpid())
{
  const std::string program = VTEST_FAULTCARD_PROGRAM;
  struct stat device;
  if (::access(program.c_str(), X_OK) != 0) {
    why_ = program + " is not built";
    return;
  }
  if (::stat("/dev/fuse", &device) != 0 || !S_ISCHR(device.st_mode)) {
    why_ = "/dev/fuse is missing here";
    return;
  }
  if (::geteuid() != 0 && !OnPath("fusermount3")) {
    why_ = "fusermount3 is not installed";
    return;
  }
  std::string pattern = (std::filesystem::temp_directory_path() / "velmora-faultcard-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    why_ = std::string("no temporary folder: ") + std::strerror(errno);
    return;
  }
  // As the mount table names it, without links on the way.
  folder_ = std::filesystem::canonical(pattern);
  backing_ = folder_ / "backing";
  root_ = folder_ / "card";
  log_ = folder_ / "daemon.log";
  std::filesystem::create_directory(backing_);
  std::filesystem::create_directory(root_);

  std::vector<std::string> arguments = {program, "--backing", backing_.string(), "--unit", std::to_string(options.unit),
                                        "--capacity", std::to_string(options.capacity)};
  if (options.rate != 0) arguments.insert(arguments.end(), {"--rate", std::to_string(options.rate)});
  if (!options.writebackCache) arguments.insert(arguments.end(), {"--writeback-cache", "no"});
  if (options.directIo) arguments.insert(arguments.end(), {"--direct-io", "yes"});
  if (options.fault != CardFault::None)
    arguments.insert(arguments.end(), {"--fail-after", std::to_string(options.failAfter), "--fail-with", FaultName(options.fault)});
  arguments.push_back(root_.string());
  daemon_ = Spawn(arguments, log_.string());
  if (daemon_ < 0) {
    why_ = "velmora-faultcard cannot be started: " + std::string(std::strerror(errno));
    return;
  }
  for (int waited = 0; waited < 10000; waited += 10) {
    if (Live()) {
      mounted_ = true;
      return;
    }
    int status = 0;
    if (::waitpid(daemon_, &status, WNOHANG) == daemon_) {
      daemon_ = -1;
      const std::string complaint = Log();
      if (WIFEXITED(status) && WEXITSTATUS(status) == 2) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        throw std::invalid_argument(FirstLine(complaint));
      }
      why_ = "the fault card cannot be mounted here: " + OneLine(complaint);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  why_ = "the fault card was not mounted within 10 s";
  Unmount();
}

FaultCard::~FaultCard()
{
  // A child forked by a death test leaves its parent's card alone.
  if (owner_ != ::getpid()) return;
  Unmount();
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
}

std::u16string FaultCard::Wide() const
{
  return glo::GLO_ToWide(root_.string(), glo::CodePageUtf8);
}

bool FaultCard::Live() const
{
  if (root_.empty()) return false;
  std::ifstream table("/proc/self/mountinfo");
  for (std::string line; std::getline(table, line);) {
    // "ID PARENT MAJOR:MINOR ROOT MOUNT-POINT OPTIONS ... - TYPE SOURCE ..."
    std::istringstream fields(line);
    std::string id, parent, device, root, mountPoint;
    fields >> id >> parent >> device >> root >> mountPoint;
    const std::size_t dash = line.find(" - ");
    if (Unescaped(mountPoint) == root_.string() && dash != std::string::npos &&
        line.compare(dash + 3, 23, "fuse.velmora-faultcard ") == 0)
      return true;
  }
  return false;
}

bool FaultCard::Reaped(int milliseconds)
{
  for (int waited = 0; daemon_ > 0; waited += 10) {
    int status = 0;
    const pid_t ended = ::waitpid(daemon_, &status, WNOHANG);
    // ECHILD: reaped by someone else, or children are not kept for waiting.
    if (ended == daemon_ || (ended < 0 && errno == ECHILD)) daemon_ = -1;
    if (daemon_ < 0 || waited >= milliseconds) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return daemon_ < 0;
}

bool FaultCard::WaitGone()
{
  return Reaped(10000) && !Live();
}

bool FaultCard::Unmount()
{
  if (owner_ != ::getpid()) return false;
  const std::string root = root_.string();
  // Unmounted, the daemon ends by itself. Detached while busy, it would
  // serve the files still open, so it is ended; so is one that hangs.
  bool detached = false;
  if (Live() && !Run({"fusermount3", "-u", "--", root})) detached = Run({"fusermount3", "-u", "-z", "--", root});
  if (!Reaped(detached ? 0 : 5000)) {
    ::kill(daemon_, SIGTERM);
    if (!Reaped(2000)) {
      ::kill(daemon_, SIGKILL);
      Reaped(10000);
    }
  }
  // A daemon ended by a signal may leave its mount behind.
  if (Live()) Run({"fusermount3", "-u", "-z", "--", root});
  mounted_ = false;
  return !Live();
}

std::string FaultCard::Log() const
{
  return log_.empty() ? std::string() : ReadFile(log_);
}

}  // namespace vtest
