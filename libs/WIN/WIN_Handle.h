#pragma once
// An owned file descriptor, the handle of this platform.

#include <chrono>
#include <initializer_list>
#include <optional>
#include <utility>

namespace win {

class Handle_t {
 public:
  Handle_t() = default;
  explicit Handle_t(int fd) noexcept : fd_(fd) {}
  Handle_t(Handle_t&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Handle_t& operator=(Handle_t&& other) noexcept
  {
    if (this != &other) Reset(std::exchange(other.fd_, -1));
    return *this;
  }
  ~Handle_t() { Reset(); }

  int Get() const noexcept { return fd_; }
  bool IsValid() const noexcept { return fd_ >= 0; }
  // Closes the descriptor held, if any, and holds the given one.
  void Reset(int fd = -1) noexcept;
  // Closing twice closes once.
  void Close() noexcept { Reset(); }
  // Gives up the descriptor without closing it, for callers that must see
  // how closing it went.
  int Release() noexcept { return std::exchange(fd_, -1); }

  // A new descriptor for the same object, not inherited by programs this
  // process starts; Error_t when that fails.
  static Handle_t Duplicate(const Handle_t& source);

 private:
  int fd_ = -1;
};

// Waits until one of the handles is readable (a signalled event, an ended
// process) or the time runs out; the index of the first readable one, or
// nothing on time-out. Nothing is consumed. Error_t when the wait fails or a
// handle is empty (EBADF).
std::optional<std::size_t> WIN_WaitForAny(std::initializer_list<const Handle_t*> handles,
                                          std::chrono::milliseconds timeout);

}  // namespace win
