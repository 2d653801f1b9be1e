#include "WIN_Handle.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "GLO_Exception.h"
#include "WIN_Error.h"
#include "WIN_Retry.h"

namespace win {

void Handle_t::Reset(NativeHandle_t fd) noexcept
{
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

Handle_t Handle_t::Duplicate(const Handle_t& source)
{
  const int fd = ::fcntl(source.Get(), F_DUPFD_CLOEXEC, 0);
  if (fd < 0) throw Error_t(GLO_HERE);
  return Handle_t(fd);
}

std::optional<std::size_t> WIN_WaitForAny(std::initializer_list<const Handle_t*> handles,
                                          std::chrono::milliseconds timeout)
{
  std::vector<pollfd> polled;
  for (const Handle_t* handle : handles) {
    // An empty handle would be skipped by poll, and the wait would never end.
    if (!handle->IsValid()) throw Error_t(GLO_HERE, EBADF);
    polled.push_back({handle->Get(), POLLIN, 0});
  }
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const int ready = WIN_Retry([&] {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      return ::poll(polled.data(), polled.size(), static_cast<int>(std::max<long long>(left.count(), 0)));
    });
    if (ready < 0) throw Error_t(GLO_HERE);
    if (ready == 0) return std::nullopt;
    for (std::size_t i = 0; i < polled.size(); ++i) {
      if ((polled[i].revents & POLLNVAL) != 0) throw Error_t(GLO_HERE, EBADF);
      if (polled[i].revents != 0) return i;
    }
  }
}

}  // namespace win
