#include "RunMode.h"

#include <array>

#include "GLO_Exception.h"
#include "WIN_ResourceString.h"

namespace vm {
namespace {

char16_t Lower(char16_t c)
{
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool SameIgnoringCase(std::u16string_view left, std::u16string_view right)
{
  if (left.size() != right.size()) return false;
  for (std::size_t i = 0; i < left.size(); ++i)
    if (Lower(left[i]) != Lower(right[i])) return false;
  return true;
}

}  // namespace

RunMode_t RunModeOf(const std::u16string& filePath)
{
  static constexpr std::array<std::u16string_view, 3> extensions{u".vlm", u".ini", u".qza"};
  const std::u16string_view tail = std::u16string_view(filePath).substr(filePath.size() < 4 ? 0 : filePath.size() - 4);
  for (std::size_t mode = 0; mode < extensions.size(); ++mode)
    if (SameIgnoringCase(tail, extensions[mode])) return static_cast<RunMode_t>(mode);
  throw glo::InvalidInput_t(win::ResourceString_t(2016, GLO_HERE).Text(), GLO_HERE);
}

}  // namespace vm
