#include "WIN_SmartTempFile.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

}  // namespace

SmartTempFile_t::SmartTempFile_t(const std::u16string& prefix) : SmartTempFile_t(prefix, WIN_GetAppTempFolder()) {}

SmartTempFile_t::SmartTempFile_t(const std::u16string& prefix, const std::u16string& folder)
{
  std::u16string base = folder;
  if (!base.empty() && !WIN_IsSeparator(base.back())) base += u'/';
  const std::string pattern = WIN_SystemPath(base + prefix) + "XXXXXX.tmp";
  Handle_t file(MakeFile(pattern, systemPath_));
  if (!file.IsValid()) {
    const int error = errno;
    const std::string folderName = WIN_SystemPathWithoutTrailingSeparator(base.empty() ? u"." : base);
    struct stat status;
    if (::stat(folderName.c_str(), &status) != 0 || (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0)
      WIN_ThrowFileError(GLO_HERE, error, folder);
    if (!WIN_ClearAttributesOf(folderName, FileAttributeReadOnly)) WIN_ThrowFileError(GLO_HERE, errno, folder);
    file.Reset(MakeFile(pattern, systemPath_));
    if (!file.IsValid()) WIN_ThrowFileError(GLO_HERE, errno, folder);
  }
  path_ = glo::GLO_FileNameToWide(systemPath_);
}

SmartTempFile_t::~SmartTempFile_t()
{
  if (!systemPath_.empty()) ::unlink(systemPath_.c_str());
}

}  // namespace win
