#include <fcntl.h>
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <cerrno>

#include "WIN_Error.h"
#include "WIN_FileSystem.h"
#include "WIN_Handle.h"
#include "WIN_PathAt.h"
#include "WIN_Utilities.h"

namespace win {
namespace {

static_assert(FileAttributeReadOnly == ATTR_RO && FileAttributeHidden == ATTR_HIDDEN &&
              FileAttributeSystem == ATTR_SYS);

// On a FAT volume the attributes are the DOS attributes of the entry;
// elsewhere hidden and system do not exist, and there is nothing to clear.
bool ClearDosAttributes(const std::string& path, std::uint32_t mask)
{
  const std::uint32_t clear = mask & (ATTR_RO | ATTR_HIDDEN | ATTR_SYS);
  if (clear == 0) return true;
  const Handle_t file(WIN_OpenPath(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK));
  if (!file.IsValid()) return false;
  struct statfs volume;
  if (::fstatfs(file.Get(), &volume) != 0) return false;
  if (volume.f_type != MSDOS_SUPER_MAGIC) return true;
  std::uint32_t attributes = 0;
  if (::ioctl(file.Get(), FAT_IOCTL_GET_ATTRIBUTES, &attributes) != 0) return false;
  if ((attributes & clear) == 0) return true;
  attributes &= ~clear;
  return ::ioctl(file.Get(), FAT_IOCTL_SET_ATTRIBUTES, &attributes) == 0;
}

}  // namespace

bool WIN_ClearAttributesOf(const std::string& path, std::uint32_t mask) noexcept
{
  PathAt_t at;
  if (!WIN_PathAt(path, at)) return false;
  struct stat status;
  if (::fstatat(at.folder, at.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return false;
  // Links have no attributes of their own; devices and pipes are no files
  // of a card, and opening one could wait for ever.
  if (!S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode)) return true;
  if (!ClearDosAttributes(path, mask)) return false;
  if ((mask & FileAttributeReadOnly) == 0) return true;
  // Read again: clearing the DOS read-only attribute gives write permission.
  if (::fstatat(at.folder, at.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return false;
  if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0) return true;
  return ::fchmodat(at.folder, at.name.c_str(), (status.st_mode & 07777) | S_IWUSR, 0) == 0;
}

void WIN_ClearFileAttributes(const std::u16string& path, std::uint32_t mask)
{
  if (WIN_ClearAttributesOf(WIN_SystemPathWithoutTrailingSeparator(path), mask)) return;
  const int error = errno;
  WIN_ThrowFileError(GLO_HERE, error, path);
}

}  // namespace win
