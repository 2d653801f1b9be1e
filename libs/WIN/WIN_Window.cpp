#include "WIN_Window.h"

#include <atomic>
#include <cerrno>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "GLO_Exception.h"
#include "WIN_Error.h"

namespace win {
namespace {

struct Registered_t {
  std::shared_ptr<MessageHandler_t> handler;
  std::weak_ptr<MessageQueue_t> queue;
  std::thread::id owner;
};

// Every living window. Never destroyed: windows may go away while statics do.
struct Registry_t {
  std::mutex lock;
  std::unordered_map<WindowHandle_t, Registered_t> windows;
  WindowHandle_t last = 0;
};

Registry_t& Registry()
{
  static auto* registry = new Registry_t;
  return *registry;
}

std::shared_ptr<MessageHandler_t> HandlerOf(WindowHandle_t window, std::thread::id* owner = nullptr)
{
  auto& registry = Registry();
  std::lock_guard guard(registry.lock);
  auto it = registry.windows.find(window);
  if (it == registry.windows.end()) return nullptr;
  if (owner != nullptr) *owner = it->second.owner;
  return it->second.handler;
}

}  // namespace

struct MessageQueue_t::Impl {
  std::mutex lock;
  std::deque<std::pair<WindowHandle_t, Message_t>> waiting;
};

MessageQueue_t::MessageQueue_t() : impl_(std::make_unique<Impl>()), ready_(true, false) {}

MessageQueue_t::~MessageQueue_t() = default;

std::shared_ptr<MessageQueue_t> MessageQueue_t::ForThisThread()
{
  thread_local auto queue = std::make_shared<MessageQueue_t>();
  return queue;
}

void MessageQueue_t::Push(WindowHandle_t window, Message_t message)
{
  std::lock_guard guard(impl_->lock);
  impl_->waiting.emplace_back(window, std::move(message));
  ready_.Set();
}

std::size_t MessageQueue_t::DispatchPending()
{
  std::deque<std::pair<WindowHandle_t, Message_t>> taken;
  {
    std::lock_guard guard(impl_->lock);
    ready_.Reset();
    taken.swap(impl_->waiting);
  }
  const std::size_t count = taken.size();
  while (!taken.empty()) {
    auto [window, message] = std::move(taken.front());
    taken.pop_front();
    if (auto handler = HandlerOf(window)) {
      try {
        (*handler)(message);
      } catch (...) {
        // Messages behind this one are delivered on the next round.
        std::lock_guard guard(impl_->lock);
        for (auto it = taken.rbegin(); it != taken.rend(); ++it) impl_->waiting.push_front(std::move(*it));
        if (!impl_->waiting.empty()) ready_.Set();
        throw;
      }
    }
  }
  return count;
}

Window_t::Window_t(MessageHandler_t handler)
{
  auto& registry = Registry();
  std::lock_guard guard(registry.lock);
  handle_ = ++registry.last;
  registry.windows[handle_] = {std::make_shared<MessageHandler_t>(std::move(handler)), MessageQueue_t::ForThisThread(),
                               std::this_thread::get_id()};
}

Window_t::~Window_t()
{
  auto& registry = Registry();
  std::lock_guard guard(registry.lock);
  registry.windows.erase(handle_);
}

bool WIN_PostMessage(WindowHandle_t window, Message_t message)
{
  std::shared_ptr<MessageQueue_t> queue;
  {
    auto& registry = Registry();
    std::lock_guard guard(registry.lock);
    auto it = registry.windows.find(window);
    if (it != registry.windows.end()) queue = it->second.queue.lock();
  }
  if (!queue) {
    errno = EBADF;
    return false;
  }
  queue->Push(window, std::move(message));
  return true;
}

std::intptr_t WIN_SendMessage(WindowHandle_t window, const Message_t& message)
{
  std::thread::id owner;
  auto handler = HandlerOf(window, &owner);
  if (!handler) throw Error_t(GLO_HERE, EBADF);
  glo::GLO_Assert(owner == std::this_thread::get_id(), GLO_HERE);
  return (*handler)(message);
}

MessageLoop_t::MessageLoop_t() : quit_(true, false) {}

void MessageLoop_t::Run()
{
  const auto queue = MessageQueue_t::ForThisThread();
  while (!quit_.Wait(std::chrono::milliseconds::zero())) {
    queue->DispatchPending();
    WIN_WaitForAny({&queue->Ready().Handle(), &quit_.Handle()}, std::chrono::hours(24));
  }
}

void MessageLoop_t::Quit()
{
  quit_.Set();
}

}  // namespace win
