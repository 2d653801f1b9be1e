#pragma once
// How far a transfer has come: a position within a range, and a phase with
// its own clock from which the time still needed is estimated. Every
// operation holds one recursive lock, the change notification included.

#include <chrono>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <string>

#include "GLO_NonCopyable.h"
#include "THR_Phase.h"
#include "WIN_Event.h"

namespace thr {

class Progress_t : public glo::NonCopyable_t {
 public:
  // The position is held within the range.
  Progress_t(std::uint32_t range, std::uint32_t position);
  virtual ~Progress_t() = default;

  // Allocate nothing: they run for every block written.
  virtual void SetPos(std::uint32_t position);
  void SetPos(std::uint32_t position, bool notify);
  // The range never drops below the position.
  virtual void SetRange(std::uint32_t range, bool notify);
  virtual void Step(std::uint32_t amount);

  std::uint32_t Position() const;
  std::uint32_t Range() const;
  // Position × 100 / range; 0 for an empty range.
  double Percent() const;
  // The percent rounded half away from zero.
  std::int32_t RoundedPercent() const;

 protected:
  // Runs with the lock held after every notifying change.
  virtual void OnChange() = 0;
  std::recursive_mutex& Lock() const noexcept { return lock_; }

 private:
  mutable std::recursive_mutex lock_;
  std::uint32_t position_;
  std::uint32_t range_;
};

// A millisecond stopwatch on a 32-bit tick counter; differences are taken
// modulo 2^32, so it survives the counter's wrap.
class Stopwatch_t {
 public:
  void Start(std::uint32_t now) noexcept { start_ = now; }
  std::uint32_t Elapsed(std::uint32_t now) const noexcept { return now - start_; }

 private:
  std::uint32_t start_ = 0;
};

// Milliseconds of a monotonic clock, wrapping at 2^32.
std::uint32_t THR_TickCount();

// The time still needed when percent is done after elapsed milliseconds, as
// the long text of a time span ("2 minute(s)").
std::u16string THR_RemainingText(std::uint32_t elapsed, double percent);

template <class Phase>
class PhasedProgress_t : public Progress_t {
 public:
  PhasedProgress_t(std::uint32_t range, Phase phase, std::uint32_t position)
      : Progress_t(range, position), phaseChanged_(false, false), phase_(phase)
  {
    clock_.Start(THR_TickCount());
  }

  // Position 0 and the new range without notifying, a new phase clock, the
  // phase-changed event, the phase; then one notification.
  virtual void SetPhase(Phase phase, std::uint32_t range)
  {
    std::lock_guard guard(Lock());
    SetPos(0, false);
    SetRange(range, false);
    clock_.Start(THR_TickCount());
    phaseChanged_.Set();
    phase_ = phase;
    OnChange();
  }

  Phase GetPhase() const
  {
    std::lock_guard guard(Lock());
    return phase_;
  }

  // Milliseconds since the last phase change.
  std::uint32_t PhaseElapsed() const
  {
    std::lock_guard guard(Lock());
    return clock_.Elapsed(THR_TickCount());
  }

  // Asked once at least a percent is done.
  std::u16string RemainingText() const
  {
    std::lock_guard guard(Lock());
    return THR_RemainingText(PhaseElapsed(), Percent());
  }

 protected:
  // Signalled at every phase change; a wait of 0 in OnChange tells whether
  // the phase changed since the last test, and resets it.
  win::Event_t& PhaseChanged() noexcept { return phaseChanged_; }

 private:
  win::Event_t phaseChanged_;
  Phase phase_;
  Stopwatch_t clock_;
};

}  // namespace thr
