#include "WIN_AppendFile.h"
#include "WIN_Retry.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "GLO_Text.h"

namespace win {

Handle_t WIN_OpenForAppending(const std::u16string& path) noexcept
{
  try {
    const std::string name = glo::GLO_FileNameToNarrow(path);
    return Handle_t(::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
  } catch (...) {
    return Handle_t();
  }
}

void WIN_AppendToFile(const Handle_t& file, std::string_view bytes) noexcept
{
  while (file.IsValid() && !bytes.empty()) {
    const ssize_t wrote = WIN_Retry([&] { return ::write(file.Get(), bytes.data(), bytes.size()); });
    if (wrote <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(wrote));
  }
}

}  // namespace win
