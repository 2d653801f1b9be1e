#include "WIN_Event.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "GLO_Exception.h"
#include "WIN_Error.h"
#include "WIN_Retry.h"

namespace win {
namespace {

// Empties the counter; false when there was nothing to take (another waiter
// of an automatic-reset event was first).
bool Drain(int fd)
{
  std::uint64_t count = 0;
  if (WIN_Retry([&] { return ::read(fd, &count, sizeof count); }) == static_cast<ssize_t>(sizeof count)) return true;
  if (errno == EAGAIN) return false;
  throw Error_t(GLO_HERE);
}

}  // namespace

Event_t::Event_t(bool manualReset, bool signalled)
    : handle_(::eventfd(signalled ? 1 : 0, EFD_CLOEXEC | EFD_NONBLOCK)), manualReset_(manualReset)
{
  if (!handle_.IsValid()) throw Error_t(GLO_HERE);
}

Event_t Event_t::Duplicate(const Event_t& other)
{
  return Event_t(Handle_t::Duplicate(other.handle_), other.manualReset_);
}

void Event_t::Set()
{
  const std::uint64_t one = 1;
  // A counter that is already high stays signalled; EAGAIN means it is.
  if (WIN_Retry([&] { return ::write(handle_.Get(), &one, sizeof one); }) < 0 && errno != EAGAIN)
    throw Error_t(GLO_HERE);
}

void Event_t::Reset()
{
  Drain(handle_.Get());
}

bool Event_t::Wait(std::chrono::milliseconds timeout)
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (!WIN_WaitForAny({&handle_},
                        left < std::chrono::milliseconds::zero() ? std::chrono::milliseconds::zero() : left))
      return false;
    if (manualReset_ || Drain(handle_.Get())) return true;
  }
}

}  // namespace win
