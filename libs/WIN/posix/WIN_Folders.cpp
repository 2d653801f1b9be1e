#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "GLO_Exception.h"
#include "GLO_NarrowTo32.h"
#include "GLO_Text.h"
#include "WIN_Error.h"
#include "WIN_FileSystem.h"
#include "WIN_Utilities.h"

namespace win {
namespace {

// Raises FileError_t with errno as it stands for a system path.
[[noreturn]] void FailOn(const std::string& path, const char* file, unsigned line)
{
  const int error = errno;
  WIN_ThrowFileError(file, line, error, glo::GLO_ToWide(path, glo::CodePageUtf8));
}

struct Entry_t {
  std::string name;
  bool isFolder;
  std::uint64_t size;
};

// The entries of a folder, read in full before any is deleted: on some file
// systems a folder that changes while it is read skips entries.
std::vector<Entry_t> ReadFolder(const std::string& folder)
{
  struct Close_t {
    void operator()(DIR* d) const noexcept { ::closedir(d); }
  };
  const std::unique_ptr<DIR, Close_t> handle(::opendir(folder.c_str()));
  if (handle == nullptr) {
    const int error = errno;
    WIN_CheckSearchFailure(error, glo::GLO_ToWide(folder, glo::CodePageUtf8));
    errno = error;
    FailOn(folder, GLO_HERE);
  }
  std::vector<Entry_t> entries;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(handle.get());
    if (entry == nullptr) {
      if (errno != 0) FailOn(folder, GLO_HERE);
      return entries;
    }
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    struct stat status;
    if (::fstatat(::dirfd(handle.get()), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno == ENOENT) continue;
      FailOn(folder + "/" + entry->d_name, GLO_HERE);
    }
    entries.push_back({entry->d_name, S_ISDIR(status.st_mode),
                       S_ISREG(status.st_mode) ? static_cast<std::uint64_t>(status.st_size) : 0});
  }
}

void DeleteTree(const std::string& folder, std::uint32_t mask, const DeletedBytesObserver_t& observer)
{
  // A folder without write permission would keep its entries.
  if (mask != 0 && !WIN_ClearAttributesOf(folder, mask)) FailOn(folder, GLO_HERE);
  for (const Entry_t& entry : ReadFolder(folder)) {
    const std::string path = folder + "/" + entry.name;
    if (entry.isFolder) {
      DeleteTree(path, mask, observer);
      continue;
    }
    if (mask != 0 && !WIN_ClearAttributesOf(path, mask)) FailOn(path, GLO_HERE);
    if (::unlink(path.c_str()) != 0) FailOn(path, GLO_HERE);
    if (observer) observer(glo::GLO_NarrowTo32(entry.size, GLO_HERE));
  }
  if (::rmdir(folder.c_str()) != 0) FailOn(folder, GLO_HERE);
}

}  // namespace

std::uint64_t WIN_GetFreeDiskSpace(const std::u16string& path)
{
  struct statvfs volume;
  if (::statvfs(WIN_SystemPath(path).c_str(), &volume) != 0) throw FileError_t(GLO_HERE, path);
  // A volume of no blocks at all does not report its size (FAT through FUSE
  // does this): it cannot be measured ahead, and the writes tell when it is
  // full.
  if (volume.f_blocks == 0) return std::numeric_limits<std::uint64_t>::max();
  return static_cast<std::uint64_t>(volume.f_bavail) * volume.f_frsize;
}

bool WIN_IsRootPath(const std::u16string& path)
{
  glo::GLO_Assert(!path.empty(), GLO_HERE);
  const std::string name = WIN_SystemPathWithoutTrailingSeparator(path);
  if (name == "/") return true;
  struct statx status;
  if (::statx(AT_FDCWD, name.c_str(), 0, STATX_INO, &status) != 0) return false;
  if ((status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0)
    return (status.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
  // Kernels that cannot tell: the root of a volume lies on another device
  // than its parent folder (a bind mount of the same volume goes unseen).
  struct stat self, parent;
  if (::stat(name.c_str(), &self) != 0 || ::stat((name + "/..").c_str(), &parent) != 0) return false;
  return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
}

bool WIN_CreateFolder(const std::u16string& path)
{
  glo::GLO_Assert(!path.empty(), GLO_HERE);
  if (WIN_IsRootPath(path)) return true;
  const std::string name = WIN_SystemPathWithoutTrailingSeparator(path);
  if (::mkdir(name.c_str(), 0777) == 0) return true;
  if (errno != EEXIST) throw FileError_t(GLO_HERE, path);
  struct stat status;
  if (::stat(name.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) return false;
  // A file, or a link that leads to no folder, stands where the folder belongs.
  if (::unlink(name.c_str()) != 0 || ::mkdir(name.c_str(), 0777) != 0) throw FileError_t(GLO_HERE, path);
  return true;
}

bool WIN_CreateFolders(const std::u16string& folder)
{
  // The root of an absolute path is there; a relative path starts with a folder.
  std::size_t position = 0;
  while (position < folder.size() && WIN_IsSeparator(folder[position])) ++position;
  bool created = false;
  for (;;) {
    const auto separator = folder.find_first_of(u"\\/", position);
    if (separator == std::u16string::npos) return created;
    if (WIN_CreateFolder(folder.substr(0, separator + 1))) created = true;
    position = separator + 1;
  }
}

void WIN_CreateFoldersForFile(const std::u16string& path)
{
  struct stat status;
  if (::lstat(WIN_SystemPath(path).c_str(), &status) == 0) return;
  const auto separator = path.find_last_of(u"\\/");
  if (separator == std::u16string::npos) return;
  const std::u16string folder = path.substr(0, separator + 1);
  if (::stat(WIN_SystemPath(folder).c_str(), &status) == 0 && S_ISDIR(status.st_mode)) return;
  WIN_CreateFolders(folder);
}

void WIN_DeleteFolderTree(const std::u16string& folder, std::uint32_t attributesToClear,
                          const DeletedBytesObserver_t& observer)
{
  glo::GLO_Assert(!folder.empty(), GLO_HERE);
  const std::string name = WIN_SystemPathWithoutTrailingSeparator(folder);
  struct stat status;
  if (::lstat(name.c_str(), &status) != 0) throw FileError_t(GLO_HERE, folder);
  if (!S_ISDIR(status.st_mode)) WIN_ThrowFileError(GLO_HERE, ENOTDIR, folder);
  DeleteTree(name, attributesToClear, observer);
}

bool WIN_DeleteFile(const std::u16string& path)
{
  return ::unlink(WIN_SystemPath(path).c_str()) == 0;
}

}  // namespace win
