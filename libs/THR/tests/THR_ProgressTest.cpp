#include "THR_Progress.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "WIN_ResourceString.h"

using namespace std::chrono_literals;

namespace {

// Counts notifications and whether each came after a phase change.
class CountingProgress_t : public thr::PhasedProgress_t<ioa::Phase_t> {
 public:
  CountingProgress_t() : PhasedProgress_t(0, ioa::PhaseInitial, 0) {}
  int changes = 0;
  int phaseChanges = 0;

  // The derived class tests the event in its notification, as the progress
  // adapter does.
  void Notice()
  {
    if (PhaseChanged().Wait(0ms)) ++phaseChanges;
  }

 protected:
  void OnChange() override { ++changes; }
};

TEST(Progress, PositionAndRangeHoldEachOther)
{
  CountingProgress_t progress;
  progress.SetRange(100, false);
  progress.SetPos(150);
  EXPECT_EQ(progress.Position(), 100u);
  progress.SetPos(80);
  progress.SetRange(50, true);
  EXPECT_EQ(progress.Range(), 80u);
  progress.Step(0xFFFFFFFF);  // no wrap past the range
  EXPECT_EQ(progress.Position(), 80u);
  EXPECT_EQ(progress.changes, 4);
  progress.SetPos(5, false);
  EXPECT_EQ(progress.changes, 4);
}

TEST(Progress, Percent)
{
  struct Case {
    std::uint32_t position, range;
    double percent;
    std::int32_t rounded;
  };
  const Case cases[] = {{1, 3, 100.0 / 3, 33}, {1, 200, 0.5, 1}, {0, 0, 0, 0}, {2, 3, 200.0 / 3, 67}, {7, 7, 100, 100}};
  for (const auto& c : cases) {
    CountingProgress_t progress;
    progress.SetRange(c.range, false);
    progress.SetPos(c.position);
    EXPECT_DOUBLE_EQ(progress.Percent(), c.percent) << c.position << "/" << c.range;
    EXPECT_EQ(progress.RoundedPercent(), c.rounded) << c.position << "/" << c.range;
  }
}

TEST(Progress, APhaseStartsAtZeroWithItsOwnRangeAndOneNotification)
{
  CountingProgress_t progress;
  progress.SetRange(10, false);
  progress.SetPos(7);
  const int before = progress.changes;
  progress.SetPhase(ioa::PhaseVerifying, 1000);
  EXPECT_EQ(progress.changes, before + 1);
  EXPECT_EQ(progress.Position(), 0u);
  EXPECT_EQ(progress.Range(), 1000u);
  EXPECT_EQ(progress.GetPhase(), ioa::PhaseVerifying);
  EXPECT_LT(progress.PhaseElapsed(), 1000u);
}

TEST(Progress, TwoPhaseChangesBeforeATestAreSeenAsOne)
{
  CountingProgress_t progress;
  progress.SetPhase(ioa::PhaseCopying, 10);
  progress.SetPhase(ioa::PhaseVerifying, 10);
  progress.Notice();
  progress.Notice();
  EXPECT_EQ(progress.phaseChanges, 1);
  progress.SetPhase(ioa::PhaseTransferring, 10);
  progress.Notice();
  EXPECT_EQ(progress.phaseChanges, 2);
}

TEST(Progress, TheStopwatchSurvivesTheCountersWrap)
{
  thr::Stopwatch_t watch;
  watch.Start(0xFFFFFF00u);
  EXPECT_EQ(watch.Elapsed(0x00000100u), 0x200u);
  watch.Start(5);
  EXPECT_EQ(watch.Elapsed(5), 0u);
}

TEST(Progress, RemainingTime)
{
  win::WIN_SetResourceModule(nullptr);
  struct Case {
    std::uint32_t elapsed;
    double percent;
    const char16_t* text;
  };
  // At 50 percent the time still needed equals the time spent.
  const Case cases[] = {
      {59000, 50, u"59 second(s)"},
      {60000, 50, u"2 minute(s)"},
      {120000, 50, u"3 minute(s)"},
      {3599000, 50, u"1 hour(s), 0 minute(s)"},
      {3660000, 50, u"1 hour(s), 2 minute(s)"},
      {20000, 40, u"30 second(s)"},
      {999, 50, u"0 second(s)"},
  };
  for (const auto& c : cases) EXPECT_EQ(thr::THR_RemainingText(c.elapsed, c.percent), c.text) << c.elapsed;
  // No progress yet: an endless estimate still has a text.
  EXPECT_FALSE(thr::THR_RemainingText(1000, 1e-300).empty());
  EXPECT_FALSE(thr::THR_RemainingText(1000, 0).empty());
}

TEST(Progress, ALockedOperationWaitsForAnotherThreadsNotification)
{
  // Notifications run with the lock held, so a step on another thread waits
  // until the phase change's notification is over and then sees it whole.
  class Slow_t : public thr::PhasedProgress_t<ioa::Phase_t> {
   public:
    Slow_t() : PhasedProgress_t(100, ioa::PhaseInitial, 0) {}
    win::Event_t inPhaseChange{true, false};
    std::vector<std::string> seen;

   protected:
    void OnChange() override
    {
      if (GetPhase() == ioa::PhaseCopying && seen.empty()) {
        inPhaseChange.Set();
        // Room for a step that does not wait to come in.
        std::this_thread::sleep_for(20ms);
      }
      seen.push_back(std::to_string(Position()) + "/" + std::to_string(Range()));
    }
  } progress;
  std::thread phase([&progress] { progress.SetPhase(ioa::PhaseCopying, 500); });
  EXPECT_TRUE(progress.inPhaseChange.Wait(10s));
  progress.Step(1);
  phase.join();
  EXPECT_EQ(progress.seen, (std::vector<std::string>{"0/500", "1/500"}));
}

TEST(Progress, PhaseChangesAndStepsOnTwoThreadsSeeEachOtherWhole)
{
  // Each phase has a range of its own; a notification never sees the range
  // of one phase with another. Under the thread sanitizer a phase change
  // outside the lock is reported.
  class Checked_t : public thr::PhasedProgress_t<ioa::Phase_t> {
   public:
    Checked_t() : PhasedProgress_t(1000, ioa::PhaseCopying, 0) {}
    int notifications = 0;
    int mixed = 0;

   protected:
    void OnChange() override
    {
      ++notifications;
      if ((GetPhase() == ioa::PhaseCopying) != (Range() == 1000)) ++mixed;
    }
  } progress;
  constexpr int Changes = 2000;
  std::thread phases([&progress] {
    for (int i = 0; i < Changes; ++i)
      progress.SetPhase(i % 2 == 0 ? ioa::PhaseVerifying : ioa::PhaseCopying, i % 2 == 0 ? 2000 : 1000);
  });
  for (int i = 0; i < Changes; ++i) progress.Step(1);
  phases.join();
  EXPECT_EQ(progress.mixed, 0);
  EXPECT_EQ(progress.notifications, 2 * Changes);
}

}  // namespace
