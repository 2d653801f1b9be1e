#include "ProgressAdapter.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CapturingAccessPoint.h"
#include "DIO_AccessPoint.h"
#include "GLO_Exception.h"
#include "GLO_Text.h"
#include "OtherThread.h"
#include "RecordingDialogs.h"
#include "TUI_ProxyProgressDlg.h"
#include "WIN_ResourceString.h"

namespace {

using RecordingDialog_t = vtest::RecordingProgressDlg;

using Calls = std::vector<std::string>;

// An adapter on a clock that moves only when the test moves it.
class ProgressAdapterTest : public testing::Test {
 protected:
  ProgressAdapterTest() { win::WIN_SetResourceModule(nullptr); }

  // A new adapter built at the current fake time, replacing any earlier one.
  vm::ProgressAdapter_t& Build(std::uint32_t interval = vm::ProgressAdapter_t::DefaultUpdateInterval)
  {
    return Build(dialog, interval);
  }
  vm::ProgressAdapter_t& Build(tui::ProgressDlgIntf_t& target, std::uint32_t interval)
  {
    adapter = std::make_unique<vm::ProgressAdapter_t>(target, interval, [this] { return now; });
    return *adapter;
  }

  std::uint32_t now = 1000;
  RecordingDialog_t dialog;
  std::unique_ptr<vm::ProgressAdapter_t> adapter;
};

TEST_F(ProgressAdapterTest, PhaseZeroRunsTheIndefiniteBarAndShowsNoPercentage)
{
  auto& progress = Build();
  EXPECT_EQ(dialog.Take(), Calls{});

  now += 500;
  progress.SetPhase(ioa::PhaseInitial, 100);
  EXPECT_EQ(dialog.Take(), (Calls{"StartIndefinite", "SetItemText 5882 Preparing data card...", "SetItemText 5883 "}));

  for (int i = 0; i < 5; ++i) {
    now += 1000;
    progress.Step(30);
  }
  EXPECT_EQ(dialog.Take(), Calls{});
}

TEST_F(ProgressAdapterTest, APhaseChangeShowsItsTextThenZeroPercent)
{
  const struct {
    ioa::Phase_t phase;
    const char* text;
  } cases[] = {
      {ioa::PhaseCopying, "Copying database(s)..."},
      {ioa::PhasePreparing, "Preparing database(s)..."},
      {ioa::PhaseErasing, "Erasing existing database(s) on storage device..."},
      {ioa::PhaseVerifying, "Verifying Database Signature..."},
      {ioa::PhaseCharts, "Transferring Chart(s)..."},
      {ioa::PhaseTransferring, "Transferring database(s)..."},
      {ioa::PhaseFinalizing, "Finalizing transfer..."},
  };
  for (const auto& c : cases) {
    auto& progress = Build();
    now += 100;
    progress.SetPhase(c.phase, 1000);
    EXPECT_EQ(dialog.Take(), (Calls{"StopIndefinite", std::string("SetItemText 5882 ") + c.text, "SetItemText 5883 ",
                                    "SetPos 0", "SetItemText 5883 0% complete"}))
        << c.phase;
  }
}

TEST_F(ProgressAdapterTest, APhaseChangeWithinTheIntervalShowsOnlyItsText)
{
  auto& progress = Build();
  now += 99;
  progress.SetPhase(ioa::PhaseCopying, 1000);
  EXPECT_EQ(dialog.Take(), (Calls{"StopIndefinite", "SetItemText 5882 Copying database(s)...", "SetItemText 5883 "}));

  now += 1;
  progress.Step(10);
  EXPECT_EQ(dialog.Take(), (Calls{"SetPos 1", "SetItemText 5883 1% complete"}));
}

// The dialog is only told what changes: the indefinite bar is stopped once,
// an unchanged phase text and bar position are not sent again.
TEST_F(ProgressAdapterTest, PhaseSequenceSendsOnlyChanges)
{
  auto& progress = Build();
  progress.SetPhase(ioa::PhaseInitial, 0);
  dialog.Take();

  // Phase 0 left the third line empty.
  now += 100;
  progress.SetPhase(ioa::PhaseCopying, 10);
  EXPECT_EQ(dialog.Take(), (Calls{"StopIndefinite", "SetItemText 5882 Copying database(s)...", "SetPos 0",
                                  "SetItemText 5883 0% complete"}));

  now += 100;
  progress.SetPhase(ioa::PhasePreparing, 10);
  EXPECT_EQ(dialog.Take(),
            (Calls{"SetItemText 5882 Preparing database(s)...", "SetItemText 5883 ", "SetItemText 5883 0% complete"}));

  now += 100;
  progress.SetPos(5);
  dialog.Take();
  now += 100;
  progress.SetPhase(ioa::PhasePreparing, 10);
  EXPECT_EQ(dialog.Take(), (Calls{"SetItemText 5883 ", "SetPos 0", "SetItemText 5883 0% complete"}));

  now += 100;
  progress.SetPhase(ioa::PhaseInitial, 0);
  EXPECT_EQ(dialog.Take(), (Calls{"StartIndefinite", "SetItemText 5882 Preparing data card...", "SetItemText 5883 "}));

  // Back from the indefinite bar, position 0 must be sent again to bring
  // back the percentage bar; the third line is empty already.
  now += 100;
  progress.SetPhase(ioa::PhaseFinalizing, 0);
  EXPECT_EQ(dialog.Take(), (Calls{"StopIndefinite", "SetItemText 5882 Finalizing transfer...", "SetPos 0",
                                  "SetItemText 5883 0% complete"}));
}

TEST_F(ProgressAdapterTest, EveryPhaseLineTellsItsPhase)
{
  auto& progress = Build();
  const std::string prefix = "SetItemText 5882 ";
  for (const ioa::Phase_t phase : {ioa::PhaseInitial, ioa::PhaseCopying, ioa::PhasePreparing, ioa::PhaseErasing,
                                   ioa::PhaseVerifying, ioa::PhaseCharts, ioa::PhaseTransferring, ioa::PhaseFinalizing,
                                   ioa::PhaseComplete}) {
    now += 100;
    progress.SetPhase(phase, 0);
    std::string line;
    for (const auto& call : dialog.Take())
      if (call.rfind(prefix, 0) == 0) line = call.substr(prefix.size());
    ASSERT_FALSE(line.empty()) << "phase " << phase;
    EXPECT_EQ(vm::ProgressAdapter_t::PhaseOfText(glo::GLO_ToWide(line, glo::CodePageUtf8)), phase) << line;
  }
  EXPECT_EQ(vm::ProgressAdapter_t::PhaseOfText(u"Update Complete"), std::nullopt);
  EXPECT_EQ(vm::ProgressAdapter_t::PhaseOfText(u""), std::nullopt);
}

TEST_F(ProgressAdapterTest, PercentIsTheRoundedShareOfTheRange)
{
  const struct {
    std::uint32_t range, position;
    std::int32_t percent;
  } cases[] = {
      {3, 1, 33},
      {200, 1, 1},  // 0.5 rounds up
      {1000, 994, 99},
      {200, 199, 100},  // 99.5 rounds up
      {100, 150, 100},  // held at the range
      {0xFFFFFFFF, 0xFFFFFFFF, 100},
  };
  for (const auto& c : cases) {
    auto& progress = Build();
    now += 100;
    progress.SetPhase(ioa::PhaseTransferring, c.range);
    dialog.Take();
    now += 100;
    progress.SetPos(c.position);
    const std::string text = std::to_string(c.percent) + "% complete";
    EXPECT_EQ(dialog.Take(), (Calls{"SetPos " + std::to_string(c.percent), "SetItemText 5883 " + text}))
        << c.range << " " << c.position;
  }
}

TEST_F(ProgressAdapterTest, AnEmptyRangeAlwaysShowsZeroPercent)
{
  auto& progress = Build();
  now += 100;
  progress.SetPhase(ioa::PhaseFinalizing, 0);
  dialog.Take();
  for (int i = 0; i < 3; ++i) {
    now += 1000;
    progress.Step(512 * 1024);
  }
  EXPECT_EQ(dialog.Take(), Calls{});
  EXPECT_EQ(dialog.pos, 0);
  EXPECT_EQ(dialog.lines[5883], "0% complete");
}

// The phase starts 10 s after the adapter was built, so that only the phase
// clock can tell the first 300 ms.
TEST_F(ProgressAdapterTest, TheRemainingTimeAppearsAfter300MillisecondsOfAPhaseAndOnePercent)
{
  const struct {
    std::uint32_t inPhase, range, position;
    const char* line;
  } cases[] = {
      {100, 100, 50, "50% complete"},
      {300, 100, 50, "50% complete"},
      {301, 1000, 10, "1% complete, 29 second(s) remaining"},
      {5000, 1000, 4, "0% complete"},  // 0.4 rounds to 0: no estimate
      {20000, 60000, 24000, "40% complete, 30 second(s) remaining"},
      {20000, 100, 10, "10% complete, 4 minute(s) remaining"},
      {3000, 100, 100, "100% complete, 0 second(s) remaining"},
  };
  for (const auto& c : cases) {
    auto& progress = Build();
    now += 10000;
    progress.SetPhase(ioa::PhaseTransferring, c.range);
    now += c.inPhase;
    progress.SetPos(c.position);
    EXPECT_EQ(dialog.lines[5883], c.line) << c.inPhase << " " << c.position;
  }
}

TEST_F(ProgressAdapterTest, UpdatesBelowHundredPercentComeAtMostOncePerInterval)
{
  // The second start wraps the 32-bit tick counter inside the interval.
  for (const std::uint32_t start : {1000u, 0xFFFFFFC0u}) {
    now = start;
    auto& progress = Build();
    now += 100;
    progress.SetPhase(ioa::PhaseTransferring, 1000);
    dialog.Take();

    now += 99;
    progress.SetPos(100);
    EXPECT_EQ(dialog.Take(), Calls{}) << start;

    // The held-back 10 % is never sent: what is shown is the state of now.
    now += 1;
    progress.SetPos(110);
    EXPECT_EQ(dialog.Take(), (Calls{"SetPos 11", "SetItemText 5883 11% complete"})) << start;

    now += 1;
    progress.SetPos(1000);
    EXPECT_EQ(dialog.Take(), (Calls{"SetPos 100", "SetItemText 5883 100% complete"})) << start;
  }
}

// A look that finds nothing to change still counts as an update: the next
// one is due an interval later, as after any update.
TEST_F(ProgressAdapterTest, AnUnchangedStateSendsNothingAndRestartsTheInterval)
{
  auto& progress = Build();
  now += 100;
  progress.SetPhase(ioa::PhaseTransferring, 1000);
  dialog.Take();

  now += 100;
  progress.SetPos(110);
  dialog.Take();
  now += 100;
  progress.SetPos(110);
  EXPECT_EQ(dialog.Take(), Calls{});
  now += 50;
  progress.SetPos(120);
  EXPECT_EQ(dialog.Take(), Calls{});
  now += 50;
  progress.SetPos(120);
  EXPECT_EQ(dialog.Take(), (Calls{"SetPos 12", "SetItemText 5883 12% complete"}));

  // Only the estimate moves: the bar is left alone, and an estimate that
  // stays the same is not sent again.
  now += 2000;
  progress.SetPos(120);
  EXPECT_EQ(dialog.Take(), Calls{"SetItemText 5883 12% complete, 16 second(s) remaining"});
  now += 100;
  progress.SetPos(124);
  EXPECT_EQ(dialog.Take(), Calls{});
}

TEST_F(ProgressAdapterTest, AnIntervalOfZeroHoldsNothingBack)
{
  auto& progress = Build(0);
  progress.SetPhase(ioa::PhaseCopying, 100);
  dialog.Take();
  progress.Step(1);
  progress.Step(1);
  EXPECT_EQ(dialog.Take(),
            (Calls{"SetPos 1", "SetItemText 5883 1% complete", "SetPos 2", "SetItemText 5883 2% complete"}));
}

TEST_F(ProgressAdapterTest, CompletionShowsTheTextsFinishesAndHidesTheBarOnce)
{
  const struct {
    ioa::Phase_t before;
    Calls completion;
  } cases[] = {
      {ioa::PhaseFinalizing,
       {"SetItemText 5881 Update Complete", "SetItemText 5882 The update was successful.", "SetItemText 5883 ",
        "Finish", "HideBar"}},
      // The third line is empty already.
      {ioa::PhaseInitial,
       {"SetItemText 5881 Update Complete", "SetItemText 5882 The update was successful.", "Finish", "HideBar"}},
  };
  for (const auto& [before, completion] : cases) {
    auto& progress = Build();
    now += 100;
    progress.SetPhase(before, 100);
    progress.SetPos(50);
    dialog.Take();

    // Not held back by the interval.
    now += 1;
    progress.SetPhase(ioa::PhaseComplete, 0);
    EXPECT_EQ(dialog.Take(), completion) << before;
    EXPECT_EQ(dialog.lines, (std::map<std::uint32_t, std::string>{
                                {5881, "Update Complete"}, {5882, "The update was successful."}, {5883, ""}}))
        << before;

    now += 1000;
    progress.Step(1);
    progress.SetRange(10, true);
    progress.SetPhase(ioa::PhaseComplete, 0);
    EXPECT_EQ(dialog.Take(), Calls{}) << before;
  }
}

TEST_F(ProgressAdapterTest, OnlyItsOwnWorkerMayChangeIt)
{
  auto& progress = Build();
  EXPECT_TRUE(vtest::AssertsOnAnotherThread([&] { progress.SetPhase(ioa::PhaseTransferring, 100); }));
  EXPECT_EQ(dialog.Take(), Calls{});
}

TEST_F(ProgressAdapterTest, APhaseWithoutATextIsAProgramFault)
{
  for (const std::int32_t phase : {3, 5, 6, 7, 11, 12, 15, -1}) {
    auto& progress = Build();
    now += 100;
    EXPECT_THROW(progress.SetPhase(static_cast<ioa::Phase_t>(phase), 100), glo::Assert_t) << phase;
    // The fault does not turn into a percentage on the next notification.
    now += 100;
    EXPECT_THROW(progress.Step(1), glo::Assert_t) << phase;
    EXPECT_EQ(dialog.Take(), Calls{}) << phase;
  }
}

// The worker steps the progress every block; on fast storage that is
// thousands of times a second. Counted here as the cross-thread calls that
// the worker's proxy makes.
TEST_F(ProgressAdapterTest, ABurstOfStepsMakesFewCrossThreadCalls)
{
  constexpr std::uint32_t steps = 10000;
  constexpr std::uint32_t block = 512 * 1024;
  const struct {
    const char* name;
    std::uint32_t range;
    std::size_t maxCalls;
    std::int32_t lastPos;
  } cases[] = {
      // 0 to 100 % within the second: one bar position and one line per
      // interval, and the final 100 %.
      {"whole phase", steps * (block / 1024), 22, 100},
      // Under 1 %: nothing visible changes after the phase began.
      {"slow phase", 0xFFFFFFFF, 0, 0},
  };
  for (const auto& c : cases) {
    RecordingDialog_t target;
    tui::ProgressDlgRef_t reference(target);
    dio::LocalAccessPoint_t local;
    local.Register({tui::ProgressDlgClass, 1}, reference);
    vtest::CapturingAccessPoint capture(local);
    tui::ProxyProgressDlg_t proxy(dio::RemoteReference_t({tui::ProgressDlgClass, 1}, capture));

    auto& progress = Build(proxy, vm::ProgressAdapter_t::DefaultUpdateInterval);
    now += 100;
    progress.SetPhase(ioa::PhaseTransferring, c.range);
    const std::size_t atPhase = capture.requests.size();
    for (std::uint32_t i = 1; i <= steps; ++i) {
      if (i % 10 == 0) ++now;  // 10 000 steps in 1 000 ms
      progress.Step(block / 1024);
    }
    EXPECT_LE(capture.requests.size() - atPhase, c.maxCalls) << c.name;
    EXPECT_EQ(target.pos, c.lastPos) << c.name;
    adapter.reset();
  }
}

}  // namespace
