#pragma once
// An owned file descriptor, the handle of this platform.

#include <chrono>
#include <initializer_list>
#include <optional>
#include <utility>

namespace win {

// The system's own handle of an open file, event or process: a file
// descriptor here; NoHandle for none.
using NativeHandle_t = int;
inline constexpr NativeHandle_t NoHandle = -1;

class Handle_t {
 public:
  Handle_t() = default;
  explicit Handle_t(NativeHandle_t fd) noexcept : fd_(fd) {}
  Handle_t(Handle_t&& other) noexcept : fd_(std::exchange(other.fd_, NoHandle)) {}
  Handle_t& operator=(Handle_t&& other) noexcept
  {
    if (this != &other) Reset(std::exchange(other.fd_, NoHandle));
    return *this;
  }
  ~Handle_t() { Reset(); }

  NativeHandle_t Get() const noexcept { return fd_; }
  bool IsValid() const noexcept { return fd_ >= 0; }
  // Closes the descriptor held, if any, and holds the given one.
  void Reset(NativeHandle_t fd = NoHandle) noexcept;
  // Closing twice closes once.
  void Close() noexcept { Reset(); }
  // Gives up the descriptor without closing it, for callers that must see
  // how closing it went.
  NativeHandle_t Release() noexcept { return std::exchange(fd_, NoHandle); }

  // A new descriptor for the same object, not inherited by programs this
  // process starts; Error_t when that fails.
  static Handle_t Duplicate(const Handle_t& source);

 private:
  NativeHandle_t fd_ = NoHandle;
};

// Waits until one of the handles is readable (a signalled event, an ended
// process) or the time runs out; the index of the first readable one, or
// nothing on time-out. Nothing is consumed. Error_t when the wait fails or a
// handle is empty (EBADF).
std::optional<std::size_t> WIN_WaitForAny(std::initializer_list<const Handle_t*> handles,
                                          std::chrono::milliseconds timeout);

}  // namespace win
