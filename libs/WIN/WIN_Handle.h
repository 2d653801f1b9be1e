#pragma once
// An owned file descriptor, the handle of this platform.

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

 private:
  int fd_ = -1;
};

}  // namespace win
