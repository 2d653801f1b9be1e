#include "Fatal.h"

#include <iostream>

#include "Cli.h"

namespace cli {
namespace {

// The dialog's line ends as the console writes them.
std::string Lines(const std::u16string& text)
{
  std::u16string lines;
  for (char16_t c : text)
    if (c != u'\r') lines += c;
  return Utf8(lines);
}

}  // namespace

void ConsoleErrorDialog_t::ShowErrorDialog(const std::u16string& errorText, const std::string&)
{
  const err::ErrorDialogTexts_t texts = err::ERR_ErrorDialogTexts(errorText);
  std::cerr << '\n' << Lines(texts.explanation) << "\n\n" << Lines(texts.information) << '\n';
}

void ConsoleErrorDialog_t::ShowMessage(const std::u16string& text)
{
  std::cerr << '\n' << Lines(text) << '\n';
}

void ConsoleFatalReport_t::Show(const std::string& file, std::uint16_t line, const std::u16string& extra,
                                const std::string& subId, const glo::Optional_t<std::uint32_t>& programAddress,
                                const std::vector<std::uint32_t>& stackTrace)
{
  std::lock_guard guard(lock_);
  dialog_.Show(file, line, extra, subId, programAddress, stackTrace);
}

}  // namespace cli
