#include "THR_UIThread.h"

#include "WIN_Error.h"

namespace thr {

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
  thread_ = std::thread([context = context_, entry = std::move(entry)] {
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
  });
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
