#pragma once
// One call between posting and its answer, shared by the caller and the
// posted message, so that neither outlives what it uses.

#include <atomic>

#include "DIO_AccessPoint.h"

namespace dio {

class PendingCall_t : public CallReply_t {
 public:
  // A two-way call works on the caller's stack, which stays alive while the
  // caller waits; a one-way call takes its stack along.
  PendingCall_t(Stack_t& stack, const win::Event_t& completion);

  Stack_t& Stack() noexcept { return *stack_; }
  void Served() override { Finish(true); }
  void Failed() override { Finish(false); }
  // After the completion event: whether the call was served.
  bool WasServed() const noexcept { return outcome_.load() == Outcome::Served; }

 private:
  enum class Outcome { Pending, Served, Failed };
  void Finish(bool served);

  Stack_t own_;
  Stack_t* stack_;
  // Kept apart: once a two-way call is answered its stack is the caller's again.
  const bool oneWay_;
  win::Event_t completion_;
  std::atomic<Outcome> outcome_{Outcome::Pending};
};

}  // namespace dio
