#include "WIN_ConfinedFolder.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <vector>

#include "GLO_Exception.h"
#include "WIN_Error.h"
#include "WIN_FileSystem.h"
#include "WIN_PathAt.h"
#include "WIN_Retry.h"

namespace win {

struct ConfinedFolder_t::Held_t {
  std::string root;  // the system path, without a trailing separator
  Handle_t folder;
  dev_t device = 0;
  ino_t inode = 0;
};

namespace {

std::mutex confinementsLock;
std::vector<std::shared_ptr<const ConfinedFolder_t::Held_t>> confinements;

// The confinement whose folder holds the path, with the rest of the path
// below it; none for a path outside every confined folder.
std::shared_ptr<const ConfinedFolder_t::Held_t> Find(const std::string& path, std::string& relative)
{
  const std::lock_guard<std::mutex> guard(confinementsLock);
  std::shared_ptr<const ConfinedFolder_t::Held_t> found;
  for (const auto& held : confinements) {
    const std::string& root = held->root;
    const bool below = path.compare(0, root.size(), root) == 0 &&
                       (path.size() == root.size() || path[root.size()] == '/' || root == "/");
    if (below && (found == nullptr || root.size() > found->root.size())) found = held;
  }
  if (found != nullptr) {
    std::size_t start = std::min(path.size(), found->root.size());
    while (start < path.size() && path[start] == '/') ++start;
    std::size_t end = path.size();
    while (end > start && path[end - 1] == '/') --end;
    relative.assign(path, start, end - start);
  }
  return found;
}

// Whether the root path still leads to the folder held; errno is set when
// it does not.
bool Present(const ConfinedFolder_t::Held_t& held) noexcept
{
  struct stat status;
  if (::stat(held.root.c_str(), &status) != 0) return false;
  if (status.st_dev == held.device && status.st_ino == held.inode) return true;
  errno = ENODEV;
  return false;
}

std::atomic<bool> kernelResolves{true};

int OpenBeneath(int folder, const std::string& relative, int flags, unsigned mode) noexcept
{
  const std::string name = relative.empty() ? "." : relative;
  if (kernelResolves.load(std::memory_order_relaxed)) {
    open_how how{};
    how.flags = static_cast<std::uint64_t>(flags | O_CLOEXEC);
    how.mode = (flags & (O_CREAT | O_TMPFILE)) != 0 ? mode : 0;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_XDEV;
    for (int attempt = 0; attempt < 8; ++attempt) {
      const long fd = WIN_Retry([&] { return ::syscall(SYS_openat2, folder, name.c_str(), &how, sizeof how); });
      if (fd >= 0) return static_cast<int>(fd);
      // A rename elsewhere on the volume while the path was walked.
      if (errno == EAGAIN) continue;
      if (errno != ENOSYS) return -1;
      kernelResolves.store(false, std::memory_order_relaxed);
      break;
    }
  }
  return WIN_OpenBeneathByWalk(folder, relative, flags, mode);
}

}  // namespace

int WIN_OpenBeneathByWalk(int folder, const std::string& relative, int flags, unsigned mode) noexcept
{
  struct stat status;
  if (::fstat(folder, &status) != 0) return -1;
  const dev_t device = status.st_dev;
  std::vector<std::string> components;
  for (std::size_t start = 0; start <= relative.size();) {
    const std::size_t end = std::min(relative.find('/', start), relative.size());
    const std::string component = relative.substr(start, end - start);
    if (component == "..") {
      errno = EXDEV;
      return -1;
    }
    if (!component.empty() && component != ".") components.push_back(component);
    start = end + 1;
  }
  Handle_t current(::openat(folder, ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!current.IsValid()) return -1;
  for (std::size_t i = 0; i + 1 < components.size(); ++i) {
    if (::fstatat(current.Get(), components[i].c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return -1;
    if (S_ISLNK(status.st_mode)) {
      errno = ELOOP;
      return -1;
    }
    Handle_t next(::openat(current.Get(), components[i].c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!next.IsValid()) return -1;
    if (::fstat(next.Get(), &status) != 0) return -1;
    if (status.st_dev != device) {
      errno = EXDEV;
      return -1;
    }
    current = std::move(next);
  }
  const char* last = components.empty() ? "." : components.back().c_str();
  Handle_t file(::openat(current.Get(), last, flags | O_NOFOLLOW | O_CLOEXEC, mode));
  if (!file.IsValid()) return -1;
  if (::fstat(file.Get(), &status) != 0) return -1;
  if (status.st_dev != device) {
    errno = EXDEV;
    return -1;
  }
  return file.Release();
}

int WIN_OpenPath(const std::string& path, int flags, unsigned mode) noexcept
{
  std::string relative;
  const auto held = Find(path, relative);
  if (held == nullptr) return ::open(path.c_str(), flags | O_CLOEXEC, mode);
  if (!Present(*held)) return -1;
  return OpenBeneath(held->folder.Get(), relative, flags, mode);
}

bool WIN_PathAt(const std::string& path, PathAt_t& at) noexcept
{
  std::string relative;
  const auto held = Find(path, relative);
  if (held == nullptr) {
    at.folder = AT_FDCWD;
    at.name = path;
    return true;
  }
  if (!Present(*held)) return false;
  const auto slash = relative.rfind('/');
  at.name = slash == std::string::npos ? relative : relative.substr(slash + 1);
  if (at.name.empty()) at.name = ".";
  // The folder's own parent lies outside it.
  if (at.name == ".." || (at.name == "." && !relative.empty())) {
    errno = EXDEV;
    return false;
  }
  at.owned.Reset(OpenBeneath(held->folder.Get(), slash == std::string::npos ? "" : relative.substr(0, slash),
                             O_PATH | O_DIRECTORY, 0));
  at.folder = at.owned.Get();
  return at.owned.IsValid();
}

ConfinedFolder_t::ConfinedFolder_t(const std::u16string& path) : path_(path)
{
  auto held = std::make_shared<Held_t>();
  held->root = WIN_SystemPathWithoutTrailingSeparator(path);
  held->folder.Reset(::open(held->root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!held->folder.IsValid()) throw FileError_t(GLO_HERE, path);
  struct stat status;
  if (::fstat(held->folder.Get(), &status) != 0) throw FileError_t(GLO_HERE, path);
  held->device = status.st_dev;
  held->inode = status.st_ino;
  const std::lock_guard<std::mutex> guard(confinementsLock);
  confinements.push_back(held);
  held_ = std::move(held);
}

ConfinedFolder_t::~ConfinedFolder_t()
{
  const std::lock_guard<std::mutex> guard(confinementsLock);
  std::erase(confinements, held_);
}

bool ConfinedFolder_t::Lock()
{
  if (WIN_Retry([this] { return ::flock(held_->folder.Get(), LOCK_EX | LOCK_NB); }) == 0) return true;
  if (errno == EWOULDBLOCK) return false;
  throw FileError_t(GLO_HERE, path_);
}

void ConfinedFolder_t::CheckPresent() const
{
  if (!Present(*held_)) throw FileError_t(GLO_HERE, path_);
}

void ConfinedFolder_t::Sync() const
{
  CheckPresent();
  if (::syncfs(held_->folder.Get()) != 0) throw FileError_t(GLO_HERE, path_);
}

std::uint64_t ConfinedFolder_t::AllocationUnit() const
{
  struct statvfs volume;
  if (::fstatvfs(held_->folder.Get(), &volume) != 0) throw FileError_t(GLO_HERE, path_);
  const std::uint64_t unit = volume.f_frsize != 0 ? volume.f_frsize : volume.f_bsize;
  return std::max<std::uint64_t>(unit, 1);
}

}  // namespace win
