#include "WIN_Handle.h"

#include <unistd.h>

namespace win {

void Handle_t::Reset(int fd) noexcept
{
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

}  // namespace win
