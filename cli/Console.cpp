#include "Console.h"

#include <iostream>

#include "Cli.h"
#include "JsonLines.h"
#include "ProgressAdapter.h"
#include "WIN_ResourceString.h"

namespace cli {
namespace {

constexpr std::uint32_t FirstLine = vm::ProgressAdapter_t::TitleLine;
constexpr std::uint32_t PhaseLine = vm::ProgressAdapter_t::PhaseLine;
constexpr std::uint32_t PercentLine = vm::ProgressAdapter_t::PercentLine;
// The adapter shows no estimate before a phase ran this long, nor do we.
constexpr std::chrono::milliseconds EstimateDelay{300};

bool IsCompletionText(const std::u16string& text)
{
  static const win::ResourceString_t complete(2010, GLO_HERE), successful(2011, GLO_HERE);
  return text == complete.Text() || text == successful.Text();
}

}  // namespace

std::mutex& ConsoleLock()
{
  static std::mutex lock;
  return lock;
}

ConsoleProgress_t::ConsoleProgress_t(ConsoleOptions_t options)
    : options_(std::move(options)), phaseStart_(std::chrono::steady_clock::now())
{
}

std::string ConsoleProgress_t::Named(const std::u16string& text) const
{
  if (!options_.named) return Utf8(text);
  // Each line of a message of several lines.
  const std::u16string prefix = options_.card + u": ";
  std::u16string named = prefix;
  for (char16_t c : text) {
    named += c;
    if (c == u'\n') named += prefix;
  }
  return Utf8(named);
}

void ConsoleProgress_t::SetItemText(std::uint32_t controlId, const std::u16string& text)
{
  const std::uint32_t index = controlId - FirstLine;
  if (index >= 3 || lines_[index] == text) return;
  lines_[index] = text;
  if (options_.json) {
    if (controlId == PhaseLine) {
      if (const auto phase = vm::ProgressAdapter_t::PhaseOfText(text)) phase_ = *phase;
      percent_ = 0;
      phaseStart_ = std::chrono::steady_clock::now();
    }
    WriteJson();
    return;
  }
  // The completion texts go to standard output once the transfer has
  // finished.
  if (IsCompletionText(text)) return;
  if (options_.terminal) {
    Redraw();
  } else if (controlId != PercentLine && !text.empty()) {
    // The counter and the phases, not every percentage.
    std::lock_guard guard(ConsoleLock());
    std::cerr << Named(text) << '\n';
  }
}

void ConsoleProgress_t::SetPos(std::int32_t percent)
{
  percent_ = percent;
  if (options_.json) WriteJson();
}

void ConsoleProgress_t::Finish()
{
  finished_ = true;
  if (options_.json) return;
  BreakLine();
  std::lock_guard guard(ConsoleLock());
  std::cout << Named(lines_[0]) << '\n' << Named(lines_[PhaseLine - FirstLine]) << '\n';
}

std::u16string ConsoleProgress_t::CompletionText() const
{
  return lines_[0] + u"\n" + lines_[PhaseLine - FirstLine];
}

void ConsoleProgress_t::BreakLine()
{
  if (!drawn_) return;
  std::lock_guard guard(ConsoleLock());
  std::cerr << '\n';
  drawn_ = false;
}

void ConsoleProgress_t::Redraw()
{
  if (finished_) return;
  std::string line;
  for (const auto& text : lines_) {
    if (text.empty()) continue;
    if (!line.empty()) line += "  ";
    line += Utf8(text);
  }
  // Back to the start of the line, which is cleared first.
  std::lock_guard guard(ConsoleLock());
  std::cerr << "\r\033[K" << line << std::flush;
  drawn_ = true;
}

void ConsoleProgress_t::WriteJson()
{
  // The estimate of the adapter: the time taken so far in the phase, for
  // the part still to do.
  std::string remaining = "null";
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                            phaseStart_);
  if (percent_ >= 1 && percent_ <= 100 && elapsed > EstimateDelay)
    remaining = std::to_string(elapsed.count() * (100 - percent_) / percent_ / 1000);
  std::string object = "{\"type\":\"progress\",\"card\":" + JsonCard(options_.card) +
                       ",\"phase\":" + std::to_string(phase_) + ",\"text\":" + Json(lines_[PhaseLine - FirstLine]) +
                       ",\"title\":" + Json(lines_[0]) + ",\"percent\":" + std::to_string(percent_) +
                       ",\"remaining\":" + remaining + "}";
  // A line that would tell nothing new is left out: the percentage line
  // follows each new position.
  if (object == lastJson_) return;
  JsonLine(object);
  lastJson_ = std::move(object);
}

std::int32_t ConsoleMessageBox_t::Show(const std::u16string& text, std::uint32_t, std::uint32_t)
{
  if (!shown_.empty()) shown_ += u'\n';
  shown_ += text;
  if (progress_.Options().json) return 1;
  progress_.BreakLine();
  std::lock_guard guard(ConsoleLock());
  std::cerr << progress_.Named(text) << '\n';
  return 1;
}

void ConsoleMessageBox_t::ShowNoResult(const std::u16string& text, std::uint32_t type, std::uint32_t helpId)
{
  Show(text, type, helpId);
}

}  // namespace cli
