#include "WIN_ReplaceFile.h"

#include <cerrno>
#include <cstdio>

#include "WIN_Error.h"
#include "WIN_FileSystem.h"
#include "WIN_Utilities.h"

namespace win {

void WIN_ReplaceFile(const std::u16string& from, const std::u16string& to)
{
  switch (WIN_PathKind(to)) {
    case PathKind_t::Folder:
      WIN_ThrowFileError(GLO_HERE, EISDIR, to);
    case PathKind_t::Special:
      WIN_ThrowFileError(GLO_HERE, EEXIST, to);
    case PathKind_t::Missing:
    case PathKind_t::File:
    case PathKind_t::Link:
      break;
  }
  if (std::rename(WIN_SystemPath(from).c_str(), WIN_SystemPath(to).c_str()) != 0) throw FileError_t(GLO_HERE, from);
}

}  // namespace win
