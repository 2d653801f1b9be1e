#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "GLO_Exception.h"
#include "GLO_NarrowTo32.h"
#include "GLO_Text.h"
#include "WIN_Error.h"
#include "WIN_FileSystem.h"
#include "WIN_PathAt.h"
#include "WIN_Utilities.h"

namespace win {
namespace {

// Raises FileError_t with errno as it stands for a system path.
[[noreturn]] void FailOn(const std::string& path, const char* file, unsigned line)
{
  const int error = errno;
  WIN_ThrowFileError(file, line, error, glo::GLO_FileNameToWide(path));
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
  Handle_t opened(WIN_OpenPath(folder, O_RDONLY | O_DIRECTORY));
  const std::unique_ptr<DIR, Close_t> handle(opened.IsValid() ? ::fdopendir(opened.Get()) : nullptr);
  if (handle != nullptr) opened.Release();
  if (handle == nullptr) {
    const int error = errno;
    WIN_CheckSearchFailure(error, glo::GLO_FileNameToWide(folder));
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

// Removes a file, or with AT_REMOVEDIR an empty folder; false with errno set.
bool Remove(const std::string& path, int flags)
{
  PathAt_t at;
  return WIN_PathAt(path, at) && ::unlinkat(at.folder, at.name.c_str(), flags) == 0;
}

// The entry itself, a link not followed; false with errno set.
bool Status(const std::string& path, struct stat& status)
{
  PathAt_t at;
  return WIN_PathAt(path, at) && ::fstatat(at.folder, at.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
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
    if (!Remove(path, 0)) FailOn(path, GLO_HERE);
    if (observer) observer(glo::GLO_NarrowTo32(entry.size, GLO_HERE));
  }
  if (!Remove(folder, AT_REMOVEDIR)) FailOn(folder, GLO_HERE);
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
  PathAt_t at;
  if (!WIN_PathAt(name, at)) throw FileError_t(GLO_HERE, path);
  if (::mkdirat(at.folder, at.name.c_str(), 0777) == 0) return true;
  if (errno != EEXIST) throw FileError_t(GLO_HERE, path);
  struct stat status;
  if (::fstatat(at.folder, at.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) throw FileError_t(GLO_HERE, path);
  if (S_ISDIR(status.st_mode)) return false;
  // Outside a confined folder a link to a folder serves as the folder (a
  // temporary folder may be one).
  if (S_ISLNK(status.st_mode) && at.folder == AT_FDCWD && ::stat(name.c_str(), &status) == 0 &&
      S_ISDIR(status.st_mode))
    return false;
  // A file, a link or a device where the folder belongs is someone's, and
  // is left alone.
  WIN_ThrowFileError(GLO_HERE, ENOTDIR, path);
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
  if (Status(WIN_SystemPath(path), status)) return;
  const auto separator = path.find_last_of(u"\\/");
  if (separator == std::u16string::npos) return;
  const std::u16string folder = path.substr(0, separator + 1);
  if (Status(WIN_SystemPathWithoutTrailingSeparator(folder), status) && S_ISDIR(status.st_mode)) return;
  WIN_CreateFolders(folder);
}

void WIN_DeleteFolderTree(const std::u16string& folder, std::uint32_t attributesToClear,
                          const DeletedBytesObserver_t& observer)
{
  glo::GLO_Assert(!folder.empty(), GLO_HERE);
  const std::string name = WIN_SystemPathWithoutTrailingSeparator(folder);
  struct stat status;
  if (!Status(name, status)) throw FileError_t(GLO_HERE, folder);
  if (!S_ISDIR(status.st_mode)) WIN_ThrowFileError(GLO_HERE, ENOTDIR, folder);
  DeleteTree(name, attributesToClear, observer);
}

PathKind_t WIN_PathKind(const std::u16string& path)
{
  struct stat status;
  if (!Status(WIN_SystemPathWithoutTrailingSeparator(path), status)) {
    switch (errno) {
      case ENOENT:
        return PathKind_t::Missing;
      case ELOOP:
        return PathKind_t::Link;
      default:
        throw FileError_t(GLO_HERE, path);
    }
  }
  if (S_ISREG(status.st_mode)) return PathKind_t::File;
  if (S_ISDIR(status.st_mode)) return PathKind_t::Folder;
  if (S_ISLNK(status.st_mode)) return PathKind_t::Link;
  return PathKind_t::Special;
}

bool WIN_IsWithin(const std::u16string& path, const std::u16string& folder)
{
  struct Free_t {
    void operator()(char* text) const noexcept { std::free(text); }
  };
  const std::unique_ptr<char, Free_t> inner(::realpath(WIN_SystemPath(path).c_str(), nullptr));
  const std::unique_ptr<char, Free_t> outer(::realpath(WIN_SystemPath(folder).c_str(), nullptr));
  if (inner == nullptr || outer == nullptr) return false;
  const std::string_view in(inner.get()), out(outer.get());
  return in.substr(0, out.size()) == out && (in.size() == out.size() || in[out.size()] == '/' || out == "/");
}

bool WIN_DeleteFile(const std::u16string& path)
{
  return Remove(WIN_SystemPath(path), 0);
}

}  // namespace win
