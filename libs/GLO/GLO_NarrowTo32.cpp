#include "GLO_NarrowTo32.h"

#include <limits>

#include "GLO_Exception.h"
#include "GLO_Text.h"

namespace glo {

std::uint32_t GLO_NarrowTo32(std::uint64_t value, const char* file, unsigned line)
{
  if (value > std::numeric_limits<std::uint32_t>::max())
    throw OutOfRange_t(file, line, u"Value " + GLO_Decimal(static_cast<long long>(value)) + u" exceeds 32 bits");
  return static_cast<std::uint32_t>(value);
}

}  // namespace glo
