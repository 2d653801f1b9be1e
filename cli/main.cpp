// velmora-cli: the Velmora engine without a window, for scripts and tests.
//
// Exit codes: 0 success, 1 failure, 2 usage error.

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "GLO_Exception.h"
#include "GLO_Text.h"
#include "WIN_DebugServer.h"
#include "WIN_LanguageModule.h"
#include "WIN_VersionInfo.h"

namespace {

constexpr int Success = 0;
constexpr int Failure = 1;
constexpr int Usage = 2;

std::string Utf8(const std::u16string& text)
{
  return glo::GLO_ToNarrow(text, glo::CodePageUtf8);
}

void PrintHelp(std::ostream& out)
{
  out << "Usage: velmora-cli COMMAND [OPTIONS]\n"
         "\n"
         "Prepares storage cards for avionics without a window.\n"
         "\n"
         "Options:\n"
         "  --help      show this text and exit\n"
         "  --version   show the program's version and exit\n"
         "\n"
         "Exit codes: 0 success, 1 failure, 2 usage error.\n";
}

// "Velmora 1.0.0", with the build time and builder where the build type
// shows them.
void PrintVersion()
{
  const auto& info = win::VersionInfo_t::Get();
  std::u16string text = info.ProductName() + u" " + info.VersionText();
  if (auto time = info.BuildTimeText()) text += u" " + *time;
  if (auto builder = info.BuilderText()) text += u" " + *builder;
  std::cout << Utf8(text) << '\n' << Utf8(info.LegalNotice()) << '\n';
}

int Run(const std::vector<std::string_view>& arguments)
{
  if (arguments.empty()) {
    PrintHelp(std::cerr);
    return Usage;
  }
  const std::string_view command = arguments.front();
  if (command == "--help" || command == "-h" || command == "help") {
    PrintHelp(std::cout);
    return Success;
  }
  if (command == "--version") {
    PrintVersion();
    return Success;
  }
  std::cerr << "velmora-cli: unknown command '" << command << "'\n"
            << "Try 'velmora-cli --help'.\n";
  return Usage;
}

}  // namespace

int main(int argc, char** argv)
{
  win::WIN_InstallDebugTrace();
  try {
    const bool languageReady =
        win::WIN_LoadLanguageModule([](const std::u16string& text) { std::cerr << Utf8(text) << '\n'; });
    if (!languageReady) return Failure;
    return Run(std::vector<std::string_view>(argv + 1, argv + argc));
  } catch (const glo::Exception_t& error) {
    std::cerr << "velmora-cli: " << Utf8(error.Message()) << " (" << error.SourceFile() << ':' << error.SourceLine()
              << ")\n";
  } catch (const std::exception& error) {
    std::cerr << "velmora-cli: " << error.what() << '\n';
  }
  return Failure;
}
