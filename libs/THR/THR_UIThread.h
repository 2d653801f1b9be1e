#pragma once
// One worker thread started on behalf of a window, with what it needs to
// call back into that window's thread: an access point aimed at the window,
// a stop event, and a parameter object.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "DIO_AccessPoint.h"
#include "GLO_NonCopyable.h"
#include "WIN_Event.h"
#include "WIN_Window.h"

namespace thr {

// Base of the objects handed to workers.
class Parameter_t {
 public:
  virtual ~Parameter_t() = default;
};

class UIThread_t : public glo::NonCopyable_t {
 public:
  // What the worker works with. The worker shares it, so a worker that was
  // abandoned never touches freed memory; its calls then fail with
  // dio::Exception_t instead of reaching the window.
  class Context_t : public glo::NonCopyable_t {
   public:
    Context_t(win::WindowHandle_t window, std::uint32_t message, std::unique_ptr<Parameter_t> parameter);

    dio::AccessPointIntf_t& AccessPoint() noexcept { return accessPoint_; }
    // The parameter object, once; the worker owns it from then on.
    std::unique_ptr<Parameter_t> TakeParameter() noexcept { return std::move(parameter_); }
    // The stop event, which the worker tests or waits on (manual reset).
    win::Event_t DuplicateStopEvent() const { return win::Event_t::Duplicate(stop_); }

   private:
    friend class UIThread_t;
    win::Event_t stop_;
    win::Event_t ended_;
    win::Event_t resumed_;
    // Set when the worker is not to run at all.
    std::atomic<bool> cancelled_{false};
    std::unique_ptr<Parameter_t> parameter_;
    dio::UIAccessPoint_t accessPoint_;
  };

  using Entry_t = std::function<void(Context_t&)>;

  // Starts the worker, held back until Resume when startSuspended is set.
  // An exception that leaves the entry function ends the worker quietly. A
  // worker never resumed never runs its entry function.
  UIThread_t(Entry_t entry, win::WindowHandle_t window, std::uint32_t message, std::unique_ptr<Parameter_t> parameter,
             bool startSuspended);
  // Stops the worker and waits for it at most 3000 ms; a worker that has not
  // ended by then is abandoned and ends on its own.
  ~UIThread_t();

  void Resume();
  // True at once, without signalling the stop event, when the worker has
  // ended; otherwise signals it and waits at most the timeout.
  bool Stop(std::chrono::milliseconds timeout);
  // Signals the stop event and returns, so that the caller can go on
  // serving the worker's calls while it winds down. Error_t when the event
  // cannot be set.
  void RequestStop();
  // Gives up on the worker now, for a caller that has waited for it on its
  // own: joined when it has ended, else abandoned (its calls fail from now
  // on) and left to end by itself. The destructor then waits no more.
  void Release() noexcept;

  // Waits until every worker of the process has ended, the abandoned ones
  // included, for the timeout at most; true when none runs any more. A
  // program calls it before it ends, so that a worker that was asked to
  // stop can finish cleaning up (a card file it leaves unfinished is
  // removed) instead of dying with the process.
  static bool WaitForAll(std::chrono::milliseconds timeout);

 private:
  // Stops the worker and waits for it at most the wait: joined when it has
  // ended, else abandoned.
  void Finish(std::chrono::milliseconds wait) noexcept;

  std::shared_ptr<Context_t> context_;
  std::thread thread_;
  bool resumed_ = false;
};

}  // namespace thr
