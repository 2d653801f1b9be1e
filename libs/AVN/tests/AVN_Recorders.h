#pragma once
// What the writers tell the progress and the dialog, recorded for checks.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "AVN_UpdateDb.h"
#include "RecordingDialogs.h"

namespace avntest {

// Every phase with its range, and every step, as text in order:
// "phase 10/2048", "step 1024".
class RecordingProgress_t : public avn::TransferProgress_t {
 public:
  RecordingProgress_t() : avn::TransferProgress_t(0, ioa::PhaseInitial, 0) {}

  void SetPhase(ioa::Phase_t phase, std::uint32_t range) override
  {
    events.push_back("phase " + std::to_string(phase) + "/" + std::to_string(range));
    avn::TransferProgress_t::SetPhase(phase, range);
  }
  void Step(std::uint32_t amount) override
  {
    events.push_back("step " + std::to_string(amount));
    avn::TransferProgress_t::Step(amount);
    if (action_ && ++steps_ == atStep_) std::exchange(action_, {})();
  }
  // The phases alone.
  std::vector<std::string> Phases() const
  {
    std::vector<std::string> phases;
    for (const auto& event : events)
      if (event.rfind("phase ", 0) == 0) phases.push_back(event);
    return phases;
  }
  // Calls the action at the step with the given number (1 for the first).
  void AtStep(std::size_t step, std::function<void()> action)
  {
    atStep_ = step;
    action_ = std::move(action);
  }

  std::vector<std::string> events;

 protected:
  void OnChange() override {}

 private:
  std::size_t steps_ = 0;
  std::size_t atStep_ = 0;
  std::function<void()> action_;
};

using RecordingDialog_t = vtest::RecordingProgressDlg;

}  // namespace avntest
