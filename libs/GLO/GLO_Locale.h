#pragma once
// Locales by their numeric ids, and the text operations that depend on them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace glo {

// The system's 32-bit locale ids: language in the low 10 bits, sublanguage
// above (1033 = US English, 1031 = German).
using LocaleId_t = std::uint32_t;

// The user's locale environment (LC_ALL, LC_CTYPE, LC_TIME, LANG ...).
inline constexpr LocaleId_t UserDefaultLocale = 0x0400;
// The machine's default locale (/etc/default/locale), else the user's.
inline constexpr LocaleId_t SystemDefaultLocale = 0x0800;

// The locale id of a locale name such as "de_AT.UTF-8@euro" or "de"; a bare
// language gives its primary locale. Absent for a language without an id.
std::optional<LocaleId_t> GLO_LocaleIdFromName(std::string_view name);

// The primary locale of the id's language (de_AT gives de_DE).
LocaleId_t GLO_PrimaryLocale(LocaleId_t locale);

// The three-letter language abbreviation (DEU, DEA, ENU ...); absent for an id
// without one.
std::optional<std::string> GLO_LocaleAbbreviation(LocaleId_t locale);

// The machine's default locale name (LANG of /etc/default/locale); empty
// when it has none.
std::string GLO_SystemLocaleName();

// Case-insensitive equality under the locale's casing rules.
bool GLO_NoCase(LocaleId_t locale, std::u16string_view left, std::u16string_view right);

// The text in upper case under the locale's casing rules.
std::u16string GLO_ToUpper(std::u16string_view text, LocaleId_t locale);

// Whether the character is printable in the locale: letters, digits,
// punctuation and the blank, never a control character such as tab.
bool GLO_IsPrintable(char16_t character, LocaleId_t locale);
// The same for a byte of the locale's own narrow code set.
bool GLO_IsPrintable(char character, LocaleId_t locale);

}  // namespace glo
