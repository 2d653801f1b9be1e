#pragma once
// An event object that threads wait on: an eventfd, readable while it is
// signalled.

#include <chrono>
#include <utility>

#include "WIN_Handle.h"

namespace win {

class Event_t {
 public:
  // A manual-reset event stays signalled until Reset; an automatic-reset
  // event is consumed by the wait that sees it. Error_t when it cannot be
  // made.
  Event_t(bool manualReset, bool signalled);
  Event_t(Event_t&&) noexcept = default;
  Event_t& operator=(Event_t&&) noexcept = default;

  // Another owner of the same event object: setting either sets both.
  static Event_t Duplicate(const Event_t& other);

  void Set();
  void Reset();
  // True when the event was signalled within the time, false when the time
  // ran out; a wait of 0 tests without blocking. Error_t on failure.
  bool Wait(std::chrono::milliseconds timeout);

  const Handle_t& Handle() const noexcept { return handle_; }
  bool ManualReset() const noexcept { return manualReset_; }

 private:
  Event_t(Handle_t handle, bool manualReset) noexcept : handle_(std::move(handle)), manualReset_(manualReset) {}

  Handle_t handle_;
  bool manualReset_;
};

}  // namespace win
