#include "GLO_FormatMessage.h"

#include <bitset>

#include "GLO_Exception.h"

namespace glo {

std::u16string GLO_FormatMessage(const std::u16string& text, const std::vector<std::u16string>& arguments,
                                 const char* file, unsigned line)
{
  static const std::u16string digits = u"123456789";
  std::u16string result = text;
  std::bitset<9> used;
  for (std::size_t i = result.find(u"$@"); i != std::u16string::npos;) {
    GLO_Assert(i >= 2 && result[i - 2] == u'%', file, line);
    std::size_t k = digits.find(result[i - 1]);
    GLO_Assert(k != std::u16string::npos && k < arguments.size(), file, line);
    used.set(k);
    std::size_t p = i - 2;
    result.replace(p, 4, arguments[k]);
    i = result.find(u"$@", p + arguments[k].size());
  }
  GLO_Assert(used.count() == arguments.size(), file, line);
  return result;
}

}  // namespace glo
