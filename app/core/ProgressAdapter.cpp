#include "ProgressAdapter.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "GLO_Exception.h"
#include "GLO_Text.h"
#include "WIN_ResourceString.h"

namespace vm {
namespace {

// The remaining time is shown only once the phase ran longer than this; an
// earlier estimate jumps about too much to be of use.
constexpr std::uint32_t EstimateDelay = 300;
// The completion texts of the first two lines.
constexpr std::uint32_t CompleteTitle = 2010;
constexpr std::uint32_t CompleteText = 2011;

struct PhaseText_t {
  ioa::Phase_t phase;
  bool indefinite;  // the bar runs as an indefinite bar
  std::uint32_t message;
};

constexpr std::array<PhaseText_t, 8> phaseTexts{{
    {ioa::PhaseInitial, true, 2013},
    {ioa::PhaseCopying, false, 2006},
    {ioa::PhasePreparing, false, 2007},
    {ioa::PhaseErasing, false, 2017},
    {ioa::PhaseVerifying, false, 2035},
    {ioa::PhaseCharts, false, 2034},
    {ioa::PhaseTransferring, false, 2008},
    {ioa::PhaseFinalizing, false, 2005},
}};

// Null for the phase that has no text of its own (complete); any phase the
// transfer never reports is a program fault.
const PhaseText_t* TextOf(ioa::Phase_t phase)
{
  if (phase == ioa::PhaseComplete) return nullptr;
  const auto row = std::find_if(phaseTexts.begin(), phaseTexts.end(),
                                [phase](const PhaseText_t& text) { return text.phase == phase; });
  if (row == phaseTexts.end()) throw glo::Assert_t(GLO_HERE);
  return &*row;
}

// Loaded once per process and kept: they are needed up to ten times a
// second.
const win::ResourceString_t& PercentText()
{
  static const win::ResourceString_t text(5888, GLO_HERE);
  return text;
}

const win::ResourceString_t& PercentRemainingText()
{
  static const win::ResourceString_t text(5889, GLO_HERE);
  return text;
}

std::size_t LineIndex(std::uint32_t controlId)
{
  return controlId - ProgressAdapter_t::TitleLine;
}

}  // namespace

std::optional<ioa::Phase_t> ProgressAdapter_t::PhaseOfText(const std::u16string& text)
{
  for (const PhaseText_t& row : phaseTexts)
    if (text == win::ResourceString_t(row.message, GLO_HERE).Text()) return row.phase;
  if (text == win::ResourceString_t(CompleteText, GLO_HERE).Text()) return ioa::PhaseComplete;
  return std::nullopt;
}

ProgressAdapter_t::ProgressAdapter_t(tui::ProgressDlgIntf_t& dialog, std::uint32_t updateInterval, Clock_t clock)
    : PhasedProgress_t(0, ioa::PhaseInitial, 0),
      dialog_(&dialog),
      updateInterval_(updateInterval),
      clock_(std::move(clock))
{
  const std::uint32_t now = clock_();
  updateClock_.Start(now);
  phaseClock_.Start(now);
}

void ProgressAdapter_t::OnChange()
{
  thread_.Check(GLO_HERE);
  const bool phaseChanged = PhaseChanged().Wait(std::chrono::milliseconds(0));
  if (phaseChanged) phaseClock_.Start(clock_());
  const ioa::Phase_t phase = GetPhase();
  const PhaseText_t* text = TextOf(phase);
  if (phaseChanged && text != nullptr) {
    RunIndefinite(text->indefinite);
    SetLine(PhaseLine, win::ResourceString_t(text->message, GLO_HERE).Text());
    SetLine(PercentLine, u"");
  }
  if (phase == ioa::PhaseComplete)
    WriteCompletion();
  else if (phase == ioa::PhaseInitial)
    updateClock_.Start(clock_());
  else
    WritePercentage();
}

void ProgressAdapter_t::WritePercentage()
{
  const std::int32_t percent = RoundedPercent();
  const std::uint32_t now = clock_();
  if (percent < 100 && updateClock_.Elapsed(now) < updateInterval_) return;
  SetBarPos(percent);
  const std::uint32_t inPhase = phaseClock_.Elapsed(now);
  const std::u16string number = glo::GLO_Decimal(percent);
  SetLine(PercentLine,
          percent < 1 || inPhase <= EstimateDelay
              ? PercentText().Format(number, GLO_HERE)
              : PercentRemainingText().Format({number, thr::THR_RemainingText(inPhase, Percent())}, GLO_HERE));
  // Also when nothing had to be sent: the dialog shows this moment's state,
  // and the next look at it is due an interval later.
  updateClock_.Start(clock_());
}

void ProgressAdapter_t::WriteCompletion()
{
  // Finish tells the transfer page that the transfer succeeded; it hears
  // that once per transfer.
  if (completed_) return;
  SetLine(TitleLine, win::ResourceString_t(CompleteTitle, GLO_HERE).Text());
  SetLine(PhaseLine, win::ResourceString_t(CompleteText, GLO_HERE).Text());
  SetLine(PercentLine, u"");
  dialog_->Finish();
  dialog_->HideBar();
  completed_ = true;
}

void ProgressAdapter_t::SetLine(std::uint32_t controlId, const std::u16string& text)
{
  std::optional<std::u16string>& shown = lines_[LineIndex(controlId)];
  if (shown == text) return;
  dialog_->SetItemText(controlId, text);
  shown = text;
}

void ProgressAdapter_t::SetBarPos(std::int32_t percent)
{
  if (barPos_ == percent) return;
  // Also makes the percentage bar current and stops the indefinite one.
  dialog_->SetPos(percent);
  barPos_ = percent;
  indefiniteRunning_ = false;
}

void ProgressAdapter_t::RunIndefinite(bool run)
{
  if (indefiniteRunning_ == run) return;
  if (run) {
    dialog_->StartIndefinite();
    // The indefinite bar is current now; a position must be sent again to
    // bring back the percentage bar.
    barPos_.reset();
  } else {
    dialog_->StopIndefinite();
  }
  indefiniteRunning_ = run;
}

}  // namespace vm
