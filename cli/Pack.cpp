// velmora-cli pack -o OUT.vlm --device TEXT --database TEXT --major N
//   --minor N [--revision C] KIND=FILE...: assembles an update file.

#include <cstdlib>
#include <iostream>
#include <limits>
#include <set>

#include "AVN_CardLayout.h"
#include "AVN_UpdateFileWriter.h"
#include "Cli.h"
#include "GLO_Text.h"
#include "WIN_ReplaceFile.h"
#include "WIN_Utilities.h"

namespace cli {
namespace {

unsigned long Number(const std::string& option, const std::string& text, unsigned long max)
{
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 10);
  if (text.empty() || text[0] == '-' || *end != '\0' || value > max)
    throw UsageError("pack: " + option + " needs a number up to " + std::to_string(max) + ", not '" + text + "'");
  return value;
}

// Texts inside update files are plain ASCII.
std::u16string Ascii(const std::string& option, const std::string& text)
{
  if (text.empty()) throw UsageError("pack: " + option + " may not be empty");
  for (char c : text)
    if (c < 0x20 || c > 0x7E) throw UsageError("pack: " + option + " must be plain ASCII text");
  return glo::GLO_ToWide(text, glo::CodePageAscii);
}

// The update file is written as OUT.part and renamed to OUT when whole, so
// OUT.part must be free: whatever is there (a file left by a run that was
// killed, or a link planted to have the update written through it) is left
// alone. OUT may be a file or a link, which the rename replaces (the file a
// link points to is never written); a folder or a special file is refused.
// What is wrong, or nothing.
std::string OutputRefusal(const std::string& output)
{
  const std::string part = output + ".part";
  switch (win::WIN_PathKind(Path(output))) {
    case win::PathKind_t::Folder:
      return "cannot write " + output + ": it is a folder";
    case win::PathKind_t::Special:
      return "cannot write " + output + ": it is a FIFO, device or socket, not a file";
    case win::PathKind_t::Missing:
    case win::PathKind_t::File:
    case win::PathKind_t::Link:
      break;
  }
  if (win::WIN_PathKind(Path(part)) != win::PathKind_t::Missing)
    return "cannot write " + output + ": " + part +
           " is in the way (left by a run that stopped, or a link); remove it and pack again";
  return {};
}

}  // namespace

int Pack(const Arguments& arguments)
{
  avn::UpdateFileContent_t content;
  std::string output;
  bool major = false, minor = false;
  std::set<std::uint16_t> kinds;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!argument.empty() && argument[0] == '-') {
      if (i + 1 == arguments.size()) throw UsageError("pack: " + argument + " needs a value");
      const std::string& value = arguments[++i];
      if (argument == "-o" || argument == "--output") {
        output = value;
      } else if (argument == "--device") {
        content.deviceName = Ascii(argument, value);
      } else if (argument == "--database") {
        content.databaseName = Ascii(argument, value);
      } else if (argument == "--major") {
        content.cycleMajor = static_cast<std::uint32_t>(Number(argument, value, 0xFFFFFFFF));
        major = true;
      } else if (argument == "--minor") {
        content.cycleMinor = static_cast<std::uint32_t>(Number(argument, value, 0xFFFFFFFF));
        minor = true;
      } else if (argument == "--revision") {
        if (value.size() != 1 || value[0] <= 0x20 || value[0] > 0x7E)
          throw UsageError("pack: --revision needs one printable ASCII character");
        content.cycleRevision = value[0];
      } else {
        throw UsageError("pack: unknown option '" + argument + "'");
      }
      continue;
    }
    const auto equals = argument.find('=');
    if (equals == std::string::npos || equals + 1 == argument.size())
      throw UsageError("pack: '" + argument + "' is not KIND=FILE");
    const auto kind = static_cast<std::uint16_t>(Number("KIND", argument.substr(0, equals), 0xFFFF));
    // Two databases of a kind would go to one card file.
    if (!kinds.insert(kind).second) throw UsageError("pack: kind " + std::to_string(kind) + " is given twice");
    content.databases.push_back({kind, Path(argument.substr(equals + 1))});
  }
  if (output.empty()) throw UsageError("pack: needs -o OUT.vlm");
  if (content.deviceName.empty() || content.databaseName.empty())
    throw UsageError("pack: needs --device and --database");
  if (!major || !minor) throw UsageError("pack: needs --major and --minor");

  for (const auto kind : kinds)
    if (!avn::AVN_IsSupportedKind(kind))
      std::cerr << "velmora-cli: warning: no card takes kind " << kind << "; it is packed all the same\n";
  if (const std::string refusal = OutputRefusal(output); !refusal.empty()) {
    std::cerr << "velmora-cli: " << refusal << '\n';
    return Failure;
  }
  avn::AVN_WriteUpdateFile(Path(output), content);
  return Success;
}

}  // namespace cli
