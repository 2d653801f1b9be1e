#include "WIN_MountTable.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "WIN_Error.h"
#include "WIN_FileSystem.h"
#include "WIN_Handle.h"
#include "WIN_Retry.h"

namespace win {
namespace {

bool IsOctal(char c) noexcept
{
  return c >= '0' && c <= '7';
}

int HexValue(char c) noexcept
{
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The fields of a line; the kernel separates them by single spaces and
// escapes the spaces inside them.
std::vector<std::string_view> Fields(std::string_view line)
{
  std::vector<std::string_view> fields;
  while (!line.empty()) {
    const auto space = line.find(' ');
    if (space != 0) fields.push_back(line.substr(0, space));
    line.remove_prefix(space == std::string_view::npos ? line.size() : space + 1);
  }
  return fields;
}

}  // namespace

std::vector<MountEntry_t> WIN_ParseMountTable(std::string_view text)
{
  std::vector<MountEntry_t> entries;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const auto fields = Fields(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

    // Mount id, parent id, major:minor, root, mount point, options, any
    // number of optional fields, "-", file system, source, super options.
    constexpr std::ptrdiff_t optionalFields = 6;
    if (static_cast<std::ptrdiff_t>(fields.size()) < optionalFields) continue;
    const auto separator = std::find(fields.begin() + optionalFields, fields.end(), "-");
    if (fields.end() - separator < 3 || fields[4].front() != '/') continue;
    entries.push_back({WIN_DecodeMountField(fields[2]), WIN_DecodeMountField(fields[4]),
                       WIN_DecodeMountField(separator[1]), WIN_DecodeMountField(separator[2])});
  }
  return entries;
}

std::string WIN_DecodeMountField(std::string_view field)
{
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3' &&
        IsOctal(field[i + 2]) && IsOctal(field[i + 3])) {
      text += static_cast<char>((field[i + 1] - '0') << 6 | (field[i + 2] - '0') << 3 | (field[i + 3] - '0'));
      i += 3;
    } else {
      text += field[i];
    }
  }
  return text;
}

std::string WIN_DecodeLabelLink(std::string_view name)
{
  std::string text;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && HexValue(name[i + 2]) >= 0 &&
        HexValue(name[i + 3]) >= 0) {
      text += static_cast<char>(HexValue(name[i + 2]) << 4 | HexValue(name[i + 3]));
      i += 3;
    } else {
      text += name[i];
    }
  }
  return text;
}

std::vector<MountEntry_t> WIN_ReadMountTable(const std::u16string& path)
{
  Handle_t file(::open(WIN_SystemPath(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.IsValid()) throw FileError_t(GLO_HERE, path);
  // Files in /proc tell no size: read until the end.
  std::string text;
  char buffer[16384];
  for (;;) {
    const ssize_t got = WIN_Retry([&] { return ::read(file.Get(), buffer, sizeof buffer); });
    if (got < 0) throw FileError_t(GLO_HERE, path);
    if (got == 0) return WIN_ParseMountTable(text);
    text.append(buffer, static_cast<std::size_t>(got));
  }
}

}  // namespace win
