#include "WIN_FileSystem.h"

#include <cerrno>

#include "GLO_Text.h"
#include "WIN_Error.h"

namespace win {

std::string WIN_SystemPath(std::u16string_view path)
{
  std::string text = glo::GLO_FileNameToNarrow(path);
  for (char& c : text)
    if (c == '\\') c = '/';
  return text;
}

std::string WIN_SystemPathWithoutTrailingSeparator(std::u16string_view path)
{
  std::string text = WIN_SystemPath(path);
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

void WIN_ThrowFileError(const char* file, unsigned line, int code, const std::u16string& path)
{
  errno = code;
  throw FileError_t(file, line, path);
}

void WIN_CheckSearchFailure(int code, const std::u16string& path)
{
  if (code == ENOMEDIUM) throw DeviceNotReadyError_t(GLO_HERE, path, static_cast<std::uint32_t>(code));
}

}  // namespace win
