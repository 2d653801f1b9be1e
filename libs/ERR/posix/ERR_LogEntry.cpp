#include "ERR_LogEntry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "WIN_Error.h"
#include "WIN_Handle.h"
#include "WIN_Utilities.h"

namespace err {

std::u16string ERR_LogFolder()
{
  return win::WIN_GetPrivateTempFolder(win::WIN_GetTempFolder(), u"Telvan Error Reporting");
}

void ERR_RemoveUnlessPlainFile(const std::u16string& path)
{
  const std::string name = win::WIN_SystemPath(path);
  struct stat status;
  if (::lstat(name.c_str(), &status) != 0) {
    if (errno == ENOENT) return;
    throw win::FileError_t(GLO_HERE, path);
  }
  if (S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)) return;
  if (::unlink(name.c_str()) != 0) throw win::FileError_t(GLO_HERE, path);
}

void ERR_ReplaceFile(const std::u16string& from, const std::u16string& to)
{
  const std::string source = win::WIN_SystemPath(from);
  const std::string target = win::WIN_SystemPath(to);
  if (::rename(source.c_str(), target.c_str()) != 0) throw win::FileError_t(GLO_HERE, from);
  const std::string folder = target.substr(0, target.find_last_of('/') + 1);
  const win::Handle_t directory(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.IsValid()) ::fsync(directory.Get());
}

}  // namespace err
