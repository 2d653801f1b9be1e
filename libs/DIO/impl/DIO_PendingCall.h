#pragma once
// One posted call between posting and its answer, shared by the caller and
// the posted message, so that neither outlives what it uses.

#include <condition_variable>
#include <memory>
#include <mutex>

#include "DIO_AccessPoint.h"

namespace dio {

class PendingCall_t : public CallReply_t {
 public:
  // A two-way call works on the caller's stack, which stays alive while the
  // caller waits; a one-way call takes its stack along.
  explicit PendingCall_t(Stack_t& stack);

  // The serving side claims the call before it touches the stack; false
  // when the call was given up already (its stack may be gone).
  bool StartServing();
  Stack_t& Stack() noexcept { return *stack_; }
  void Served() override;
  // Gives the call up, unless it was answered already.
  void Failed() override;
  // The caller's side: waits for the answer; true when the call was served.
  bool Wait();

 private:
  enum class State { Pending, Serving, Served, Failed };
  void Finish(State state);

  Stack_t own_;
  Stack_t* stack_;
  std::mutex lock_;
  std::condition_variable answered_;
  State state_ = State::Pending;
};

// What a call message carries: a call that fails when the message is
// dropped without being served (its window went away, or its handler
// ignored it).
struct CallTicket_t {
  explicit CallTicket_t(std::shared_ptr<PendingCall_t> call) : call(std::move(call)) {}
  ~CallTicket_t() { call->Failed(); }
  std::shared_ptr<PendingCall_t> call;
};

}  // namespace dio
