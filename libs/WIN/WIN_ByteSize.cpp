#include "WIN_ByteSize.h"

#include <charconv>
#include <string>

#include "GLO_Text.h"
#include "WIN_ResourceString.h"

namespace win {

std::u16string WIN_FormatByteSize(std::uint64_t bytes)
{
  const std::uint64_t kilobytes = bytes / 1024 + (bytes % 1024 >= 512 ? 1 : 0);
  if (kilobytes < 1000)
    return ResourceString_t(10101, GLO_HERE).Format(glo::GLO_Decimal(static_cast<long long>(kilobytes)), GLO_HERE);
  // to_chars writes a point whatever locale the window system has set.
  char megabytes[64];
  const auto end = std::to_chars(megabytes, megabytes + sizeof megabytes, static_cast<double>(bytes) / 1048576.0,
                                 std::chars_format::fixed, kilobytes <= 9999 ? 2 : 1)
                       .ptr;
  return ResourceString_t(10102, GLO_HERE)
      .Format(glo::GLO_ToWide(std::string(megabytes, end), glo::CodePageUtf8), GLO_HERE);
}

}  // namespace win
