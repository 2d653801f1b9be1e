#pragma once
// Window messages without a window system: every window has a handle that
// can outlive it and a handler that runs on the thread that made it.
// Posting queues a message for that thread; the thread delivers its
// messages from its own loop (MessageLoop_t here, the GUI's event loop in
// the wizard).

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "GLO_NonCopyable.h"
#include "WIN_Event.h"

namespace win {

// A window's handle; 0 is no window.
using WindowHandle_t = std::uint64_t;

struct Message_t {
  std::uint32_t id = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  // Released once the message has been delivered, or dropped because its
  // window went away: an owner that must learn of a drop can tell from its
  // payload's destruction.
  std::shared_ptr<void> payload;
};

using MessageHandler_t = std::function<std::intptr_t(const Message_t&)>;

// The messages posted to the windows of one thread.
class MessageQueue_t : public glo::NonCopyable_t {
 public:
  MessageQueue_t();
  // What is still queued is dropped.
  ~MessageQueue_t();

  // The calling thread's queue, made on first use.
  static std::shared_ptr<MessageQueue_t> ForThisThread();

  // Signalled while messages wait; an event loop can watch its handle.
  const Event_t& Ready() const noexcept { return ready_; }
  // Delivers the messages waiting now, each to its window's handler, in the
  // order they were posted; returns how many were taken.
  std::size_t DispatchPending();

  void Push(WindowHandle_t window, Message_t message);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  Event_t ready_;
};

// A window of the calling thread.
class Window_t : public glo::NonCopyable_t {
 public:
  explicit Window_t(MessageHandler_t handler);
  // From now on posting to the handle fails, and messages still queued for
  // it are dropped.
  ~Window_t();

  WindowHandle_t Handle() const noexcept { return handle_; }

 private:
  WindowHandle_t handle_;
};

// Queues the message for the thread that owns the window. False, with errno
// EBADF, when the window is gone.
bool WIN_PostMessage(WindowHandle_t window, Message_t message);

// Runs the window's handler at once; only its own thread may send to a
// window (a program fault otherwise). Error_t (EBADF) when it is gone.
std::intptr_t WIN_SendMessage(WindowHandle_t window, const Message_t& message);

// Delivers the calling thread's messages until Quit.
class MessageLoop_t : public glo::NonCopyable_t {
 public:
  MessageLoop_t();
  void Run();
  // Ends Run soon; may be called from any thread.
  void Quit();

 private:
  std::shared_ptr<MessageQueue_t> queue_;
  Event_t quit_;
};

}  // namespace win
