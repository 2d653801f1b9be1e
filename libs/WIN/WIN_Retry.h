#pragma once
// System calls that a signal interrupts are made again.

#include <cerrno>

namespace win {

// Makes the call again for as long as it fails with EINTR, and returns its
// last result: a call that reports failure by -1 and errno, as the system's
// calls do. A call with a time limit must work out what is left of it
// itself on each try.
template <class Call>
auto WIN_Retry(const Call& call) -> decltype(call())
{
  for (;;) {
    const auto result = call();
    if (result != -1 || errno != EINTR) return result;
  }
}

}  // namespace win
