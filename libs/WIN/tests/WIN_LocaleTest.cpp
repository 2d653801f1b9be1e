#include "WIN_Locale.h"

#include <gtest/gtest.h>

#include "GLO_Exception.h"
#include "ScopedEnvironment.h"

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
}

// The user's locale is read once per process, so each of these runs in a
// fresh process of its own.
class UserLocaleTest : public testing::Test {
 protected:
  void SetUp() override
  {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_TIME", "LC_CTYPE", "LC_MESSAGES", "LANG"})
      environment.Clear(name);
  }
  vtest::ScopedEnvironment environment;
};

TEST_F(UserLocaleTest, AnsiCodePageIsTheCodeSetOfTheUsersLocale)
{
  environment.Set("LC_ALL", "C");
  EXPECT_EXIT(std::exit(win::WIN_GetAnsiCodePage() == glo::CodePageAscii ? 0 : 1), testing::ExitedWithCode(0), "");
  environment.Set("LC_ALL", "en_US.UTF-8");
  EXPECT_EXIT(std::exit(win::WIN_GetAnsiCodePage() == glo::CodePageUtf8 ? 0 : 1), testing::ExitedWithCode(0), "");
}

TEST_F(UserLocaleTest, DatesFollowLcTime)
{
  environment.Set("LANG", "en_US.UTF-8").Set("LC_TIME", "de_DE.UTF-8");
  EXPECT_EXIT(std::exit(win::WIN_GetFormattedDate(glo::UserDefaultLocale, Fields()) == u"07.03.2026" ? 0 : 1),
              testing::ExitedWithCode(0), "");
}

}  // namespace
