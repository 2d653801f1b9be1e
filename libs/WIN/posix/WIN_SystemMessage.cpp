#include <string.h>

#include "GLO_PosixLocale.h"
#include "GLO_Text.h"
#include "WIN_Error.h"

namespace win {

std::u16string WIN_GetSystemMessage(std::uint32_t code, std::uint16_t language)
{
  // The neutral language is the C locale; any other that is not installed
  // falls back to it as well.
  const char* text = strerror_l(static_cast<int>(code), glo::GLO_PosixLocale(language));
  if (text == nullptr || *text == '\0') return {};
  return glo::GLO_ToWide(text, glo::CodePageUtf8) + u"\n";
}

}  // namespace win
