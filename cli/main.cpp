// velmora-cli: the Velmora engine without a window, for scripts and tests.
//
// Exit codes: 0 success, 1 failure, 2 usage error.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "AVN_Exceptions.h"
#include "Cli.h"
#include "FIL_Exceptions.h"
#include "Fatal.h"
#include "GLO_Exception.h"
#include "GLO_Text.h"
#include "JsonLines.h"
#include "StandardOutput.h"
#include "THR_UIThread.h"
#include "WIN_ByteSize.h"
#include "WIN_DebugServer.h"
#include "WIN_Error.h"
#include "WIN_LanguageModule.h"
#include "WIN_ResourceString.h"
#include "WIN_StructuredException.h"
#include "WIN_VersionInfo.h"

namespace cli {

std::string Utf8(const std::u16string& text)
{
  return glo::GLO_ToNarrow(text, glo::CodePageUtf8);
}

std::u16string Path(const std::string& argument)
{
  return glo::GLO_FileNameToWide(argument);
}

std::string Json(const std::u16string& text)
{
  std::string out = "\"";
  for (char c : Utf8(text)) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + '"';
}

}  // namespace cli

namespace {

// A command's part of the help: its synopsis (continued on lines that start
// with blanks) and what it does, one line a line.
struct CommandHelp_t {
  const char* name;
  const char* synopsis;
  const char* description;
};

constexpr CommandHelp_t Commands[] = {
    {"check", "check --card DIR FILE [--json]",
     "tell whether the card DIR holds what the transfer of\n"
     "FILE writes (exit code 0), or print each file that is\n"
     "missing or differs (exit code 1); reads the card\n"
     "itself rather than the cache, and never changes it"},
    {"crash", "crash [--worker]",
     "make a real processor fault on the main thread (or on a\n"
     "transfer worker) to show the whole fatal path: the\n"
     "report, the error log, the error reporter (exit code 1)"},
    {"drives", "drives [--all] [--json]",
     "list the removable drives a card can be written to\n"
     "(every drive with --all), in the wizard's order"},
    {"info", "info FILE [--json]", "check an update file and show what it holds"},
    {"pack",
     "pack -o OUT.vlm --device TEXT --database TEXT --major N --minor N\n"
     "     [--revision C] KIND=FILE...",
     "assemble an update file from database files"},
    {"program", "program --card DIR [--card DIR...] FILE [--batch SCRIPT] [--json]",
     "write an update file's databases to the card DIR, or\n"
     "prepare it with SCRIPT and copy a configuration file\n"
     "(.ini, .qza) onto it; with several cards, all at once,\n"
     "each line starting with its card (exit code 0 only\n"
     "when every card was written); Ctrl-C stops (exit code\n"
     "130)"},
    {"verify", "verify FILE [--json]",
     "check an update file and every database in it, as a\n"
     "transfer does before it writes to a card"},
};

constexpr const char* ExitCodes = "Exit codes: 0 success, 1 failure, 2 usage error.\n";

// Each line of the text after the indent.
void Indented(std::ostream& out, const std::string& text, const std::string& indent)
{
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t end = std::min(text.find('\n', begin), text.size());
    out << indent << text.substr(begin, end - begin) << '\n';
    begin = end + 1;
  }
}

void PrintHelp(std::ostream& out)
{
  out << "Usage: velmora-cli COMMAND [OPTIONS]\n"
         "\n"
         "Prepares storage cards for avionics without a window.\n"
         "\n"
         "Commands:\n";
  constexpr std::size_t column = 25;
  for (const auto& command : Commands) {
    const std::string synopsis = command.synopsis;
    const std::string last = synopsis.substr(synopsis.rfind('\n') + 1);
    Indented(out, synopsis.substr(0, synopsis.size() - last.size()), "  ");
    std::string description = command.description;
    // The description starts beside a short synopsis, under a long one.
    if (2 + last.size() + 1 < column) {
      const std::size_t first = std::min(description.find('\n'), description.size());
      out << "  " << last << std::string(column - 2 - last.size(), ' ') << description.substr(0, first) << '\n';
      description.erase(0, first + 1);
    } else {
      out << "  " << last << '\n';
    }
    Indented(out, description, std::string(column, ' '));
  }
  out << "\n"
         "Options:\n"
         "  --help      show this text and exit (after a command: that command's part)\n"
         "  --version   show the program's version and exit\n"
         "  --json      (check, program, verify) JSON objects on standard output, one a\n"
         "              line, and nothing else there; each has a \"type\":\n"
         "                progress  \"card\" (null for none), \"phase\" (its number),\n"
         "                          \"text\" (the phase's text), \"title\" (the line above\n"
         "                          it: which database or file), \"percent\", \"remaining\"\n"
         "                          (seconds, null while unknown); at every change\n"
         "                result    one card of several is done: \"card\", \"outcome\",\n"
         "                          \"exit\", \"message\"\n"
         "                end       the last line: \"card\", \"outcome\" (\"ok\", \"failed\",\n"
         "                          \"usage\", \"stopped\"), \"exit\" (the exit code),\n"
         "                          \"message\" (what the command would print, or null);\n"
         "                          check adds \"files\": [{\"path\", \"problem\"}...]\n"
         "\n"
      << ExitCodes;
}

// The command's part of the help, for COMMAND --help.
void PrintCommandHelp(std::ostream& out, const CommandHelp_t& command)
{
  const std::string usage = "Usage: velmora-cli ";
  const std::string synopsis = command.synopsis;
  const std::size_t first = std::min(synopsis.find('\n'), synopsis.size());
  out << usage << synopsis.substr(0, first) << '\n';
  if (first < synopsis.size()) Indented(out, synopsis.substr(first + 1), std::string(usage.size(), ' '));
  out << '\n';
  Indented(out, command.description, "");
  out << '\n' << ExitCodes;
}

// "Velmora 1.0.0", with the build time and builder where the build type
// shows them.
void PrintVersion()
{
  const auto& info = win::VersionInfo_t::Get();
  std::u16string text = info.ProductName() + u" " + info.VersionText();
  if (auto time = info.BuildTimeText()) text += u" " + *time;
  if (auto builder = info.BuilderText()) text += u" " + *builder;
  std::cout << cli::Utf8(text) << '\n' << cli::Utf8(info.LegalNotice()) << '\n';
}

int Run(const cli::Arguments& arguments)
{
  if (arguments.empty()) {
    PrintHelp(std::cerr);
    return cli::Usage;
  }
  const std::string& command = arguments.front();
  const cli::Arguments rest(arguments.begin() + 1, arguments.end());
  if (command == "--help" || command == "-h" || command == "help") {
    PrintHelp(std::cout);
    return cli::Success;
  }
  if (command == "--version") {
    PrintVersion();
    return cli::Success;
  }
  for (const auto& help : Commands)
    if (command == help.name && std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
      PrintCommandHelp(std::cout, help);
      return cli::Success;
    }
  if (command == "check") return cli::Check(rest);
  if (command == "crash") return cli::Crash(rest);
  if (command == "drives") return cli::Drives(rest);
  if (command == "info") return cli::Info(rest);
  if (command == "pack") return cli::Pack(rest);
  if (command == "program") return cli::Program(rest);
  if (command == "verify") return cli::Verify(rest);
  throw cli::UsageError("unknown command '" + command + "'");
}

// Whether the command line asks for JSON lines of a command that has them.
bool WantsJson(const cli::Arguments& arguments)
{
  if (arguments.empty()) return false;
  const std::string& command = arguments.front();
  if (command != "check" && command != "program" && command != "verify") return false;
  return std::find(arguments.begin() + 1, arguments.end(), "--json") != arguments.end();
}

}  // namespace

namespace cli {

std::u16string SystemReason(std::uint32_t code)
{
  std::u16string reason = win::WIN_GetSystemMessage(code, 0);
  while (!reason.empty() && (reason.back() == u'\n' || reason.back() == u'\r')) reason.pop_back();
  return reason;
}

std::optional<std::u16string> FailureMessage()
{
  try {
    throw;
  } catch (const glo::InvalidInput_t& error) {
    // The system's own message for the user, as the wizard would show it.
    return error.UserText();
  } catch (const avn::BadRegionFile_t&) {
    return win::ResourceString_t(2020, GLO_HERE).Text();
  } catch (const avn::InsufficientFreeSpace_t& shortage) {
    // Only the computer's drive can be short here: no command writes a card.
    return win::ResourceString_t(2026, GLO_HERE)
        .Format({win::WIN_FormatByteSize(shortage.Needed()), win::WIN_FormatByteSize(shortage.Available())},
                GLO_HERE);
  } catch (const fil::FileInUse_t& error) {
    return u"velmora-cli: " + error.Path() + u" is in use";
  } catch (const fil::FileError_t& error) {
    std::u16string message = u"velmora-cli: cannot read or write " + error.Path();
    // The system's reason, where the file layer kept one.
    const std::u16string reason = error.Code() != 0 ? cli::SystemReason(error.Code()) : u"";
    if (!reason.empty()) message += u": " + reason;
    return message;
  } catch (const glo::OutOfRange_t& error) {
    return u"velmora-cli: too large for an update file (4 GiB at most)";
  } catch (const win::StructuredException_t& fault) {
    // Every other failure is fatal, as at the wizard's start-up: logged,
    // handed to the error reporter, or shown.
    cli::ConsoleErrorDialog_t console;
    const err::FatalDialog_t reported(console, GLO_HERE, fault);
  } catch (const glo::Exception_t& error) {
    cli::ConsoleErrorDialog_t console;
    const err::FatalDialog_t reported(console, error);
  } catch (const std::exception& error) {
    cli::ConsoleErrorDialog_t console;
    const err::FatalDialog_t reported(console, GLO_HERE, error);
  } catch (...) {
    cli::ConsoleErrorDialog_t console;
    err::FatalDialog_t(console).Show(__FILE__, __LINE__, u"Unknown error.", {}, {}, {});
  }
  return std::nullopt;
}

}  // namespace cli

namespace {

// The command's exit code; its failures are told on standard error, or as
// the last JSON line where the command writes JSON lines.
int RunAndReport(const cli::Arguments& arguments)
{
  const bool json = WantsJson(arguments);
  try {
    const bool languageReady =
        win::WIN_LoadLanguageModule([](const std::u16string& text) { std::cerr << cli::Utf8(text) << '\n'; });
    if (!languageReady) return cli::Failure;
    // After the language, so that a fault's report has its texts.
    win::WIN_InstallStructuredExceptionTranslator();
    return Run(arguments);
  } catch (const cli::UsageError& error) {
    std::cerr << "velmora-cli: " << error.what() << "\nTry 'velmora-cli --help'.\n";
    if (json) cli::JsonLine(cli::JsonOutcome("end", {}, cli::Usage, cli::Path(error.what())));
    return cli::Usage;
  } catch (...) {
    const std::optional<std::u16string> message = cli::FailureMessage();
    if (json)
      cli::JsonLine(cli::JsonOutcome("end", {}, cli::Failure, message));
    else if (message)
      std::cerr << cli::Utf8(*message) << '\n';
  }
  return cli::Failure;
}

}  // namespace

int main(int argc, char** argv)
{
  win::WIN_InstallDebugTrace();
  cli::StandardOutput_t output;
  const int status = RunAndReport(cli::Arguments(argv + 1, argv + argc));
  // A transfer stopped on a card that answers slowly may still be removing
  // what it left unfinished.
  thr::UIThread_t::WaitForAll(std::chrono::seconds(30));
  // Output that never arrived is a failure, whatever the command did.
  if (const int error = output.Close(); error != 0) {
    std::cerr << "velmora-cli: write error: " << std::strerror(error) << '\n';
    return status == cli::Success ? cli::Failure : status;
  }
  return status;
}
