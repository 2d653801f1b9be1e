#pragma once
// Dates and times in a locale's formats, locale texts and code pages.

#include <cstdint>
#include <ctime>
#include <string>

#include "GLO_Locale.h"
#include "GLO_Text.h"

namespace win {

// Locale information items, by the system's numbers.
enum class LocaleItem_t : std::uint32_t {
  AnsiCodePage = 0x1004,  // "65001"
};

// The date in the locale's short date form, or in the given strftime format.
std::u16string WIN_GetFormattedDate(glo::LocaleId_t locale, const std::tm& date, const char* format = nullptr);

// Time styles of WIN_GetFormattedTime.
inline constexpr int TimeFull = 0;
inline constexpr int TimeNoSeconds = 1;
inline constexpr int TimeForce24Hour = 2;

// The time in the locale's own time format; another style than the three
// above is a program fault.
std::u16string WIN_GetFormattedTime(glo::LocaleId_t locale, const std::tm& time, int style);

// A locale information item as narrow text; an item this platform does not
// know raises Error_t (EINVAL).
std::string WIN_GetLocaleText(glo::LocaleId_t locale, LocaleItem_t item);

// The code page of the user's locale (its code set; UTF-8 is 65001), asked
// once. A code set without a code page here counts as US-ASCII.
glo::CodePage_t WIN_GetAnsiCodePage();

// The code page for texts that must stay plain ASCII: 20127.
glo::CodePage_t WIN_GetAsciiCodePage();

}  // namespace win
