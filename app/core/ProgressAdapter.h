#pragma once
// The transfer's progress as the progress dialog shows it: a text for every
// phase, the percentage with the time still needed, and the completion
// texts. Lives on the worker thread for one transfer and reaches the dialog
// only through the interface it was given (the worker's cross-thread proxy).
//
// Every dialog call is a blocking cross-thread call, so the adapter keeps
// them few: a call that would leave the dialog as it is (same text, same bar
// position, bar already in that state) is not made, and percentage updates
// below 100 come at most once per update interval. A held-back update is
// dropped, never queued; the next notification shows the state of then.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "GLO_ThreadChecker.h"
#include "THR_Phase.h"
#include "THR_Progress.h"
#include "TUI_ProgressDlgIntf.h"

namespace vm {

class ProgressAdapter_t : public thr::PhasedProgress_t<ioa::Phase_t> {
 public:
  // Milliseconds of a tick counter that wraps at 2^32.
  using Clock_t = std::function<std::uint32_t()>;

  // The lines of the progress dialog.
  static constexpr std::uint32_t TitleLine = 5881;
  static constexpr std::uint32_t PhaseLine = 5882;
  static constexpr std::uint32_t PercentLine = 5883;

  // The interval the application uses.
  static constexpr std::uint32_t DefaultUpdateInterval = 100;

  // Range 0, phase 0, position 0; sends nothing to the dialog, which must
  // outlive the adapter. With an update interval of 0 no update is held
  // back. The clock times the update interval and the phase; tests give
  // their own.
  ProgressAdapter_t(tui::ProgressDlgIntf_t& dialog, std::uint32_t updateInterval, Clock_t clock = thr::THR_TickCount);

  // The phase whose text the adapter writes on the phase line: complete for
  // the completion text there, nothing for any other text. For those who
  // watch the dialog's lines and need the phase behind them.
  static std::optional<ioa::Phase_t> PhaseOfText(const std::u16string& text);

 protected:
  // After a phase change: the phase's text (phase 0 starts the indefinite
  // bar, the others stop it). Then, in phase 14, the completion texts,
  // Finish and HideBar, once; in the other phases but 0 the percentage. A
  // phase without a text raises glo::Assert_t, and so does a change made on
  // another thread than the adapter's. Failures of dialog calls propagate.
  void OnChange() override;

 private:
  void WritePhaseText(ioa::Phase_t phase);
  void WritePercentage();
  void WriteCompletion();

  // The dialog calls, made only when they change what the dialog shows.
  void SetLine(std::uint32_t controlId, const std::u16string& text);
  void SetBarPos(std::int32_t percent);
  void RunIndefinite(bool run);

  tui::ProgressDlgIntf_t* dialog_;
  std::uint32_t updateInterval_;
  Clock_t clock_;
  // Restarted after every percentage update that reached the dialog.
  thr::Stopwatch_t updateClock_;
  // Restarted when a phase change is seen, which is the moment the phase
  // changed: the notification runs inside SetPhase.
  thr::Stopwatch_t phaseClock_;

  // What the dialog shows as far as this adapter's calls tell; empty where
  // unknown, so that the first call is always made.
  std::array<std::optional<std::u16string>, 3> lines_;
  // Present only while the percentage bar is known to be the current bar.
  std::optional<std::int32_t> barPos_;
  std::optional<bool> indefiniteRunning_;
  // Set once the completion was shown; never cleared.
  bool completed_ = false;
  // Changes are told on the worker that made the adapter, the only thread
  // that may call its dialog proxy.
  glo::ThreadChecker_t thread_;
};

}  // namespace vm
