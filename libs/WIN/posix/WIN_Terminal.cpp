#include "WIN_Terminal.h"

#include <unistd.h>

namespace win {

bool WIN_IsTerminal(StandardStream_t stream) noexcept
{
  switch (stream) {
    case StandardStream_t::Input:
      return ::isatty(STDIN_FILENO) == 1;
    case StandardStream_t::Output:
      return ::isatty(STDOUT_FILENO) == 1;
    case StandardStream_t::Error:
      return ::isatty(STDERR_FILENO) == 1;
  }
  return false;
}

}  // namespace win
