#pragma once
// The check of an object that belongs to one thread: the thread that made it.

#include <thread>

#include "GLO_Exception.h"

namespace glo {

// Remembers the thread that made it; Check raises Assert_t, with the given
// source location and a stack trace, when any other thread calls it. A copy
// belongs to the thread that makes the copy.
class ThreadChecker_t {
 public:
  ThreadChecker_t() noexcept : owner_(std::this_thread::get_id()) {}
  ThreadChecker_t(const ThreadChecker_t&) noexcept : ThreadChecker_t() {}
  ThreadChecker_t& operator=(const ThreadChecker_t&) noexcept { return *this; }

  void Check(const char* file, unsigned line) const { GLO_Assert(std::this_thread::get_id() == owner_, file, line); }

 private:
  std::thread::id owner_;
};

}  // namespace glo
