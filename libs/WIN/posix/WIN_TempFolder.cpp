#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "GLO_Exception.h"
#include "GLO_Text.h"
#include "WIN_Error.h"
#include "WIN_FileSystem.h"
#include "WIN_Utilities.h"
#include "WIN_VersionInfo.h"

namespace win {
namespace {

// Creates the folder for this user alone. One that is there already must be
// our own folder and no link, or someone else could read or plant our files.
void MakePrivateFolder(const std::u16string& folder)
{
  const std::string name = WIN_SystemPathWithoutTrailingSeparator(folder);
  if (::mkdir(name.c_str(), 0700) == 0) return;
  if (errno != EEXIST) throw FileError_t(GLO_HERE, folder);
  struct stat status;
  if (::lstat(name.c_str(), &status) != 0) throw FileError_t(GLO_HERE, folder);
  if (S_ISLNK(status.st_mode) || status.st_uid != ::geteuid()) WIN_ThrowFileError(GLO_HERE, EACCES, folder);
  if (!S_ISDIR(status.st_mode)) WIN_ThrowFileError(GLO_HERE, ENOTDIR, folder);
  if ((status.st_mode & 077) != 0 && ::chmod(name.c_str(), 0700) != 0) throw FileError_t(GLO_HERE, folder);
}

}  // namespace

std::u16string WIN_TempFolderFromEnvironment()
{
  const char* variable = std::getenv("TMPDIR");
  std::string folder = variable != nullptr && variable[0] == '/' ? variable : "/tmp";
  if (folder.back() != '/') folder += '/';
  return glo::GLO_FileNameToWide(folder);
}

std::u16string WIN_GetTempFolder()
{
  static const std::u16string folder = WIN_TempFolderFromEnvironment();
  WIN_CreateFolder(folder);
  return folder;
}

std::u16string WIN_GetAppTempFolder()
{
  return WIN_GetAppTempFolder(WIN_GetTempFolder());
}

std::u16string WIN_GetAppTempFolder(const std::u16string& tempFolder)
{
  return WIN_GetPrivateTempFolder(tempFolder, VersionInfo_t::Get().ProductName());
}

std::u16string WIN_GetPrivateTempFolder(const std::u16string& tempFolder, const std::u16string& name)
{
  glo::GLO_Assert(!tempFolder.empty(), GLO_HERE);
  std::u16string folder = tempFolder;
  if (!WIN_IsSeparator(folder.back())) folder += u'/';
  folder += name + u"-" + glo::GLO_Decimal(::geteuid()) + u"/";
  MakePrivateFolder(folder);
  return folder;
}

}  // namespace win
