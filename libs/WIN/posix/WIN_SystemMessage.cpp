#include <string.h>

#include "GLO_PosixLocale.h"
#include "GLO_Text.h"
#include "WIN_Error.h"

namespace win {

std::u16string WIN_GetSystemMessage(std::uint32_t code, std::uint16_t language)
{
  // English and the neutral language come from the C locale: the system's own
  // texts, which no LANGUAGE setting translates.
  static const locale_t untranslated = newlocale(LC_ALL_MASK, "C", nullptr);
  const bool english = language == 0 || (language & 0x3FF) == 0x09;
  const char* text = strerror_l(static_cast<int>(code), english ? untranslated : glo::GLO_PosixLocale(language));
  if (text == nullptr || *text == '\0') return {};
  return glo::GLO_ToWide(text, glo::CodePageUtf8) + u"\n";
}

}  // namespace win
