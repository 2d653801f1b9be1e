#include "THR_UIThread.h"

#include <condition_variable>
#include <mutex>

#include "WIN_Error.h"

namespace thr {
namespace {

// The workers of the process whose threads have not ended yet.
struct Running_t {
  std::mutex lock;
  std::condition_variable changed;
  int count = 0;
};

// Never destroyed: an abandoned worker may still end after the program's
// statics are gone.
Running_t& Running()
{
  static Running_t* const running = new Running_t;
  return *running;
}

}  // namespace

UIThread_t::Context_t::Context_t(win::WindowHandle_t window, std::uint32_t message,
                                 std::unique_ptr<Parameter_t> parameter)
    : stop_(true, false),
      ended_(true, false),
      resumed_(true, false),
      parameter_(std::move(parameter)),
      accessPoint_(window, message)
{
}

UIThread_t::UIThread_t(Entry_t entry, win::WindowHandle_t window, std::uint32_t message,
                       std::unique_ptr<Parameter_t> parameter, bool startSuspended)
    : context_(std::make_shared<Context_t>(window, message, std::move(parameter)))
{
  {
    std::lock_guard guard(Running().lock);
    ++Running().count;
  }
  auto work = [context = context_, entry = std::move(entry)] {
    try {
      while (!context->resumed_.Wait(std::chrono::hours(24))) {
      }
      if (!context->cancelled_.load()) entry(*context);
    } catch (...) {
      // The worker's own frame reports what it can; nothing may end the process here.
    }
    try {
      context->ended_.Set();
    } catch (...) {
    }
    std::lock_guard guard(Running().lock);
    --Running().count;
    Running().changed.notify_all();
  };
  try {
    thread_ = std::thread(std::move(work));
  } catch (...) {
    std::lock_guard guard(Running().lock);
    --Running().count;
    throw;
  }
  if (startSuspended) return;
  try {
    Resume();
  } catch (...) {
    context_->cancelled_ = true;
    thread_.detach();  // it ends as soon as its start gate opens, if ever
    throw;
  }
}

UIThread_t::~UIThread_t()
{
  Finish(std::chrono::milliseconds(3000));
}

void UIThread_t::Release() noexcept
{
  Finish(std::chrono::milliseconds::zero());
}

void UIThread_t::Finish(std::chrono::milliseconds wait) noexcept
{
  if (!thread_.joinable()) return;
  bool ended = false;
  try {
    if (!resumed_) {
      // Never resumed: let the thread pass its start gate and end at once.
      context_->cancelled_ = true;
      Resume();
    }
    ended = Stop(wait);
  } catch (...) {
  }
  if (ended) {
    thread_.join();
    return;
  }
  context_->accessPoint_.Abandon();
  thread_.detach();
}

bool UIThread_t::WaitForAll(std::chrono::milliseconds timeout)
{
  std::unique_lock guard(Running().lock);
  return Running().changed.wait_for(guard, timeout, [] { return Running().count == 0; });
}

void UIThread_t::Resume()
{
  resumed_ = true;
  context_->resumed_.Set();
}

void UIThread_t::RequestStop()
{
  context_->stop_.Set();
}

bool UIThread_t::Stop(std::chrono::milliseconds timeout)
{
  try {
    if (context_->ended_.Wait(std::chrono::milliseconds::zero())) return true;
    context_->stop_.Set();
    return context_->ended_.Wait(timeout);
  } catch (const win::Error_t&) {
    return false;
  }
}

}  // namespace thr
