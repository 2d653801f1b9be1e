#pragma once
// Runs work on a thread of its own, for checks of objects that belong to one
// thread.

#include <exception>
#include <functional>
#include <thread>

#include "GLO_Exception.h"

namespace vtest {

// Whether the work, run on another thread, raised glo::Assert_t. Any other
// exception is rethrown here.
inline bool AssertsOnAnotherThread(const std::function<void()>& work)
{
  bool asserted = false;
  std::exception_ptr other;
  std::thread([&] {
    try {
      work();
    } catch (const glo::Assert_t&) {
      asserted = true;
    } catch (...) {
      other = std::current_exception();
    }
  }).join();
  if (other) std::rethrow_exception(other);
  return asserted;
}

}  // namespace vtest
