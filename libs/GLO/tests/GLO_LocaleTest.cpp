#include "GLO_Locale.h"

#include <gtest/gtest.h>

namespace {

constexpr glo::LocaleId_t English = 1033;
constexpr glo::LocaleId_t German = 1031;

TEST(Locale, IdsFromLocaleNames)
{
  const std::pair<const char*, std::optional<glo::LocaleId_t>> cases[] = {
      {"de_DE.UTF-8", 1031},   {"de_AT", 3079}, {"de", 1031},        {"de_LU.UTF-8", 1031},   {"en_GB.UTF-8", 2057},
      {"en_US.UTF-8@x", 1033}, {"fr_CA", 3084}, {"C", std::nullopt}, {"POSIX", std::nullopt}, {"", std::nullopt},
      {"xx_YY", std::nullopt},
  };
  for (const auto& [name, id] : cases) EXPECT_EQ(glo::GLO_LocaleIdFromName(name), id) << name;
}

TEST(Locale, AbbreviationsAndPrimaryLanguages)
{
  EXPECT_EQ(glo::GLO_LocaleAbbreviation(1031), "DEU");
  EXPECT_EQ(glo::GLO_LocaleAbbreviation(3079), "DEA");
  EXPECT_EQ(glo::GLO_LocaleAbbreviation(1033), "ENU");
  EXPECT_EQ(glo::GLO_LocaleAbbreviation(2057), "ENG");
  EXPECT_EQ(glo::GLO_LocaleAbbreviation(0x7F), std::nullopt);
  EXPECT_EQ(glo::GLO_PrimaryLocale(3079), 1031u);
  EXPECT_EQ(glo::GLO_PrimaryLocale(2057), 1033u);
  EXPECT_EQ(glo::GLO_PrimaryLocale(1036), 1036u);
}

TEST(Locale, CaseInsensitiveEquality)
{
  EXPECT_TRUE(glo::GLO_NoCase(English, u"B", u"b"));
  EXPECT_TRUE(glo::GLO_NoCase(German, u"\u00C4rger", u"\u00E4RGER"));
  EXPECT_TRUE(glo::GLO_NoCase(glo::UserDefaultLocale, u"SQA", u"sqa"));
  EXPECT_FALSE(glo::GLO_NoCase(English, u"B", u"BB"));
  EXPECT_FALSE(glo::GLO_NoCase(English, u"a", u"\u00E0"));
}

TEST(Locale, UpperCase)
{
  EXPECT_EQ(glo::GLO_ToUpper(u"", English), u"");
  EXPECT_EQ(glo::GLO_ToUpper(u"Foo.src", English), u"FOO.SRC");
  EXPECT_EQ(glo::GLO_ToUpper(u"\u00FCber caf\u00E9", German), u"\u00DCBER CAF\u00C9");
  // Letters beyond the basic plane keep their surrogate pairs.
  EXPECT_EQ(glo::GLO_ToUpper(u"\U00010428", English), u"\U00010400");
}

TEST(Locale, PrintableCharacters)
{
  const std::pair<char16_t, bool> wide[] = {
      {u'A', true},   {u' ', true},   {u'~', true},     {u'\u00E9', true}, {u'\u20AC', true},
      {u'\t', false}, {u'\n', false}, {u'\x07', false}, {u'\x7F', false},  {char16_t(0xD800), false},
  };
  for (const auto& [character, printable] : wide)
    EXPECT_EQ(glo::GLO_IsPrintable(character, English), printable) << int(character);
  EXPECT_TRUE(glo::GLO_IsPrintable('F', English));
  EXPECT_FALSE(glo::GLO_IsPrintable('\x07', English));
  EXPECT_FALSE(glo::GLO_IsPrintable('\t', glo::UserDefaultLocale));
}

}  // namespace
