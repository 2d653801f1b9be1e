#include "WIN_SmartTempFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "GLO_Text.h"
#include "WIN_Error.h"
#include "WIN_FileSystem.h"
#include "WIN_Handle.h"
#include "WIN_Utilities.h"

namespace win {
namespace {

constexpr int SuffixLength = 4;  // ".tmp"

// Creates the file; -1 with errno set when that fails.
int MakeFile(const std::string& pattern, std::string& path)
{
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemps(name.data(), SuffixLength);
  if (fd >= 0) path = name.data();
  return fd;
}

// Whether the name is one that MakeFile gives for the prefix.
bool IsTempName(const std::string& name, const std::string& prefix)
{
  constexpr std::size_t Unique = 6;
  if (name.size() != prefix.size() + Unique + SuffixLength || name.compare(0, prefix.size(), prefix) != 0 ||
      name.compare(name.size() - SuffixLength, SuffixLength, ".tmp") != 0)
    return false;
  for (std::size_t i = prefix.size(); i < prefix.size() + Unique; ++i)
    if (std::strchr("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", name[i]) == nullptr) return false;
  return true;
}

// Deletes the files of the prefix that no living object holds. The caller
// holds the folder's lock, so no file can be between its making and its
// lock meanwhile.
void Sweep(int folder, const std::string& prefix) noexcept
{
  const int listed = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listed < 0) return;
  const std::unique_ptr<DIR, int (*)(DIR*)> entries(::fdopendir(listed), ::closedir);
  if (entries == nullptr) {
    ::close(listed);
    return;
  }
  while (const dirent* entry = ::readdir(entries.get())) {
    if (!IsTempName(entry->d_name, prefix)) continue;
    const Handle_t file(::openat(folder, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.IsValid() && ::flock(file.Get(), LOCK_EX | LOCK_NB) == 0) ::unlinkat(folder, entry->d_name, 0);
  }
}

}  // namespace

SmartTempFile_t::SmartTempFile_t(const std::u16string& prefix) : SmartTempFile_t(prefix, WIN_GetAppTempFolder()) {}

SmartTempFile_t::SmartTempFile_t(const std::u16string& prefix, const std::u16string& folder)
{
  std::u16string base = folder;
  if (!base.empty() && !WIN_IsSeparator(base.back())) base += u'/';
  const std::string pattern = WIN_SystemPath(base + prefix) + "XXXXXX.tmp";
  const std::string folderName = WIN_SystemPathWithoutTrailingSeparator(base.empty() ? u"." : base);
  const Handle_t folderHandle(::open(folderName.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  // Not being able to lock the folder only means that nothing is swept.
  const bool locked = folderHandle.IsValid() && ::flock(folderHandle.Get(), LOCK_EX) == 0;
  if (locked) Sweep(folderHandle.Get(), WIN_SystemPath(prefix));
  Handle_t file(MakeFile(pattern, systemPath_));
  if (!file.IsValid()) {
    const int error = errno;
    struct stat status;
    if (::stat(folderName.c_str(), &status) != 0 || (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0)
      WIN_ThrowFileError(GLO_HERE, error, folder);
    if (!WIN_ClearAttributesOf(folderName, FileAttributeReadOnly)) WIN_ThrowFileError(GLO_HERE, errno, folder);
    file.Reset(MakeFile(pattern, systemPath_));
    if (!file.IsValid()) WIN_ThrowFileError(GLO_HERE, errno, folder);
  }
  ::flock(file.Get(), LOCK_EX);
  held_ = std::move(file);
  path_ = glo::GLO_FileNameToWide(systemPath_);
}

SmartTempFile_t::~SmartTempFile_t()
{
  // Deleted while still locked, so that no sweep can take it for a left-over.
  if (!systemPath_.empty()) ::unlink(systemPath_.c_str());
}

}  // namespace win
