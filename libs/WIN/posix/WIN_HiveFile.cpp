#include "WIN_HiveFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "GLO_Text.h"
#include "WIN_Handle.h"
#include "WIN_RegException.h"
#include "WIN_Retry.h"

namespace win {
namespace {

std::string SystemName(const std::u16string& path)
{
  return glo::GLO_FileNameToNarrow(path);
}

std::u16string WidePath(const std::string& path)
{
  return glo::GLO_FileNameToWide(path);
}

std::string Folder(const std::string& path)
{
  auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

// Creates the folder and the folders above it that are missing.
bool MakeFolders(const std::string& folder)
{
  struct stat status;
  if (::stat(folder.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) return true;
    errno = ENOTDIR;
    return false;
  }
  if (errno != ENOENT) return false;
  if (folder != Folder(folder) && !MakeFolders(Folder(folder))) return false;
  return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& bytes)
{
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = WIN_Retry([&] { return ::write(fd, bytes.data() + done, bytes.size() - done); });
    if (wrote < 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

std::string Home()
{
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr) return user->pw_dir;
  return "/";
}

}  // namespace

Hive_t HiveFile_t::Read() const
{
  Handle_t file(::open(SystemName(path_).c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.IsValid()) {
    if (errno == ENOENT) return {};
    throw RegError_t(GLO_HERE, path_, static_cast<std::uint32_t>(errno));
  }
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t got = WIN_Retry([&] { return ::read(file.Get(), buffer, sizeof buffer); });
    if (got < 0) throw RegError_t(GLO_HERE, path_, static_cast<std::uint32_t>(errno));
    if (got == 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  return Hive_t::Parse(text, path_);
}

void HiveFile_t::Update(const std::function<bool(Hive_t&)>& change, const std::u16string& failureName) const
{
  const std::string path = SystemName(path_);
  auto fail = [&failureName]() { throw RegError_t(GLO_HERE, failureName, static_cast<std::uint32_t>(errno)); };
  if (!MakeFolders(Folder(path))) fail();
  Handle_t lock(::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (!lock.IsValid()) fail();
  if (WIN_Retry([&] { return ::flock(lock.Get(), LOCK_EX); }) != 0) fail();

  Hive_t hive = Read();
  if (!change(hive)) return;

  std::vector<char> temporary(path.begin(), path.end());
  for (char c : std::string(".XXXXXX")) temporary.push_back(c);
  temporary.push_back('\0');
  Handle_t file(::mkstemp(temporary.data()));
  if (!file.IsValid()) fail();
  if (!WriteAll(file.Get(), hive.Serialize()) || ::fsync(file.Get()) != 0 ||
      ::rename(temporary.data(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.data());
    errno = error;
    fail();
  }
  // The rename itself becomes durable with the folder.
  Handle_t folder(::open(Folder(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.IsValid()) ::fsync(folder.Get());
}

std::u16string WIN_UserHivePath()
{
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string folder = config != nullptr && *config == '/' ? config : Home() + "/.config";
  return WidePath(folder + "/Telvan/user.reg");
}

std::u16string WIN_MachineHivePath()
{
  const char* dirs = std::getenv("XDG_CONFIG_DIRS");
  std::string first = dirs != nullptr ? std::string(dirs).substr(0, std::string(dirs).find(':')) : std::string();
  if (first.empty() || first.front() != '/') first = "/etc/xdg";
  return WidePath(first + "/Telvan/system.reg");
}

}  // namespace win
