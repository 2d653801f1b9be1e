#pragma once
// The requests to stop that a program receives (Ctrl-C, a terminating
// signal, the end of its terminal or session: SIGINT, SIGTERM, SIGHUP),
// turned into a call instead of the program's end.

#include <functional>
#include <memory>

#include "GLO_NonCopyable.h"

namespace win {

class StopSignals_t : public glo::NonCopyable_t {
 public:
  // From now on each of these signals calls onStop on a thread
  // of the object's own, each time one arrives. Make it before any other
  // thread starts, so that every thread leaves these signals to it. Raises
  // Error_t when the signals cannot be taken over.
  explicit StopSignals_t(std::function<void()> onStop);
  // Gives the signals back to their default handling.
  ~StopSignals_t();

  // Whether a signal arrived.
  bool Received() const noexcept;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace win
