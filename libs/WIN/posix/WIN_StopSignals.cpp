#include "WIN_StopSignals.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <thread>

#include "WIN_Error.h"
#include "WIN_Event.h"
#include "WIN_Handle.h"
#include "WIN_Retry.h"

namespace win {

struct StopSignals_t::Impl {
  sigset_t signals{};
  sigset_t previousMask{};
  Handle_t signalFd;
  Event_t quit{true, false};
  std::atomic<bool> received{false};
  std::thread watcher;
};

StopSignals_t::StopSignals_t(std::function<void()> onStop) : impl_(std::make_unique<Impl>())
{
  sigemptyset(&impl_->signals);
  sigaddset(&impl_->signals, SIGINT);
  sigaddset(&impl_->signals, SIGTERM);
  sigaddset(&impl_->signals, SIGHUP);
  // Blocked in this thread and in every thread it starts from now on, the
  // signals wait for the descriptor below.
  if (const int error = ::pthread_sigmask(SIG_BLOCK, &impl_->signals, &impl_->previousMask); error != 0)
    throw Error_t(GLO_HERE, static_cast<std::uint32_t>(error));
  impl_->signalFd.Reset(::signalfd(-1, &impl_->signals, SFD_CLOEXEC));
  if (!impl_->signalFd.IsValid()) {
    const int error = errno;
    ::pthread_sigmask(SIG_SETMASK, &impl_->previousMask, nullptr);
    throw Error_t(GLO_HERE, static_cast<std::uint32_t>(error));
  }
  impl_->watcher = std::thread([impl = impl_.get(), onStop = std::move(onStop)] {
    pollfd waited[2] = {{impl->signalFd.Get(), POLLIN, 0}, {impl->quit.Handle().Get(), POLLIN, 0}};
    while (WIN_Retry([&] { return ::poll(waited, 2, -1); }) >= 0) {
      if ((waited[1].revents & POLLIN) != 0) return;
      if ((waited[0].revents & POLLIN) == 0) continue;
      signalfd_siginfo info;
      if (::read(impl->signalFd.Get(), &info, sizeof info) != static_cast<ssize_t>(sizeof info)) continue;
      impl->received = true;
      onStop();
    }
  });
}

StopSignals_t::~StopSignals_t()
{
  try {
    impl_->quit.Set();
    impl_->watcher.join();
  } catch (const Error_t&) {
    // The watcher cannot be told to end; it waits on alone.
    impl_->watcher.detach();
  }
  // A signal that came after the work ended still ends the program as it
  // would have without us.
  ::pthread_sigmask(SIG_SETMASK, &impl_->previousMask, nullptr);
}

bool StopSignals_t::Received() const noexcept
{
  return impl_->received;
}

}  // namespace win
