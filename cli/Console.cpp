#include "Console.h"

#include <cstdio>
#include <iostream>

#include "Cli.h"
#include "WIN_ResourceString.h"

namespace cli {
namespace {

constexpr std::uint32_t FirstLine = 5881;
constexpr std::uint32_t PhaseLine = 5882;

bool IsCompletionText(const std::u16string& text)
{
  static const win::ResourceString_t complete(2010, GLO_HERE), successful(2011, GLO_HERE);
  return text == complete.Text() || text == successful.Text();
}

}  // namespace

void ConsoleProgress_t::SetItemText(std::uint32_t controlId, const std::u16string& text)
{
  const std::uint32_t index = controlId - FirstLine;
  if (index >= 3 || lines_[index] == text) return;
  lines_[index] = text;
  // The completion texts go to standard output once the transfer has
  // finished.
  if (IsCompletionText(text)) return;
  if (terminal_) {
    Redraw();
  } else if (controlId != FirstLine + 2 && !text.empty()) {
    // The counter and the phases, not every percentage.
    std::cerr << Utf8(text) << '\n';
  }
}

void ConsoleProgress_t::Finish()
{
  finished_ = true;
  BreakLine();
  std::cout << Utf8(lines_[0]) << '\n' << Utf8(lines_[PhaseLine - FirstLine]) << '\n';
}

void ConsoleProgress_t::BreakLine()
{
  if (!drawn_) return;
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
  std::cerr << "\r\033[K" << line << std::flush;
  drawn_ = true;
}

std::int32_t ConsoleMessageBox_t::Show(const std::u16string& text, std::uint32_t, std::uint32_t)
{
  progress_.BreakLine();
  std::cerr << Utf8(text) << '\n';
  return 1;
}

void ConsoleMessageBox_t::ShowNoResult(const std::u16string& text, std::uint32_t type, std::uint32_t helpId)
{
  Show(text, type, helpId);
}

}  // namespace cli
