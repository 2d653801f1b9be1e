#include "WIN_Locale.h"

#include <gtest/gtest.h>

#include "GLO_Exception.h"

namespace {

constexpr glo::LocaleId_t UsEnglish = 1033;
constexpr glo::LocaleId_t German = 1031;
constexpr glo::LocaleId_t British = 2057;

std::tm Fields()
{
  std::tm fields{};
  fields.tm_year = 2026 - 1900;
  fields.tm_mon = 2;
  fields.tm_mday = 7;
  fields.tm_hour = 14;
  fields.tm_min = 5;
  fields.tm_sec = 9;
  fields.tm_wday = 6;
  return fields;
}

TEST(LocaleFormats, DatesInTheLocalesShortForm)
{
  EXPECT_EQ(win::WIN_GetFormattedDate(UsEnglish, Fields()), u"03/07/2026");
  EXPECT_EQ(win::WIN_GetFormattedDate(German, Fields()), u"07.03.2026");
  EXPECT_EQ(win::WIN_GetFormattedDate(British, Fields()), u"07/03/26");
  EXPECT_EQ(win::WIN_GetFormattedDate(German, Fields(), "%A, %d. %B %Y"), u"Samstag, 07. M\u00E4rz 2026");
}

TEST(LocaleFormats, TimesInEachStyle)
{
  struct Case {
    glo::LocaleId_t locale;
    int style;
    const char16_t* text;
  };
  const Case cases[] = {
      {UsEnglish, win::TimeFull, u"02:05:09 PM"},     {UsEnglish, win::TimeNoSeconds, u"02:05 PM"},
      {UsEnglish, win::TimeForce24Hour, u"14:05:09"}, {German, win::TimeFull, u"14:05:09"},
      {German, win::TimeNoSeconds, u"14:05"},         {German, win::TimeForce24Hour, u"14:05:09"},
  };
  for (const auto& c : cases) EXPECT_EQ(win::WIN_GetFormattedTime(c.locale, Fields(), c.style), c.text) << c.style;
  EXPECT_THROW(win::WIN_GetFormattedTime(German, Fields(), 3), glo::Assert_t);
}

TEST(LocaleFormats, CodePages)
{
  EXPECT_EQ(win::WIN_GetLocaleText(German, win::LocaleItem_t::AnsiCodePage), "65001");
  EXPECT_EQ(win::WIN_GetAsciiCodePage(), glo::CodePageAscii);
  EXPECT_TRUE(glo::GLO_IsKnownCodePage(win::WIN_GetAnsiCodePage()));
}

}  // namespace
