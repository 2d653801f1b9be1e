#include "GLO_Text.h"

#include <gtest/gtest.h>

#include "GLO_Exception.h"

namespace {

struct NarrowCase {
  std::u16string wide;
  glo::CodePage_t codePage;
  std::string narrow;
};

TEST(Text, ToNarrowPutsTheDefaultCharacterForWhatACodePageLacks)
{
  const NarrowCase cases[] = {
      {u"", glo::CodePageWestern, ""},
      {u"Plain", glo::CodePageAscii, "Plain"},
      {u"caf\u00E9", glo::CodePageAscii, "caf?"},
      {u"caf\u00E9 \u20AC", glo::CodePageWestern, "caf\xE9 \x80"},
      {u"\u201Cq\u201D \u2122 \u0178", glo::CodePageWestern, "\x93q\x94 \x99 \x9F"},
      {u"\u0416 \u2603", glo::CodePageWestern, "? ?"},
      {u"\u00E9 \u20AC", glo::CodePageLatin1, "\xE9 ?"},
      {u"\u00E9\u20AC", glo::CodePageUtf8, "\xC3\xA9\xE2\x82\xAC"},
      {u"\U0001F600", glo::CodePageUtf8, "\xF0\x9F\x98\x80"},
      {u"\U0001F600", glo::CodePageWestern, "?"},
      {std::u16string(1, char16_t(0xD800)) + u"x", glo::CodePageUtf8, "\xEF\xBF\xBDx"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(glo::GLO_ToNarrow(c.wide, c.codePage), c.narrow) << c.codePage << " " << c.narrow;
}

TEST(Text, ToWideNeverRejectsBytes)
{
  const NarrowCase cases[] = {
      {u"", glo::CodePageUtf8, ""},
      {u"caf\u00E9", glo::CodePageWestern, "caf\xE9"},
      {u"\u20AC\u201E", glo::CodePageWestern, "\x80\x84"},
      {u"a?", glo::CodePageAscii, "a\xE9"},
      {u"\u00E9\u0080", glo::CodePageLatin1, "\xE9\x80"},
      {u"\u00E9\U0001F600", glo::CodePageUtf8, "\xC3\xA9\xF0\x9F\x98\x80"},
      // A stray continuation byte, a truncated sequence and an overlong one.
      {u"\uFFFDa", glo::CodePageUtf8,
       "\x80"
       "a"},
      {u"a\uFFFD", glo::CodePageUtf8, "a\xE2\x82"},
      {u"\uFFFD\uFFFD", glo::CodePageUtf8, "\xC0\xAF"},
  };
  for (const auto& c : cases) EXPECT_EQ(glo::GLO_ToWide(c.narrow, c.codePage), c.wide) << c.codePage << " " << c.narrow;
}

TEST(Text, EveryByteOf1252RoundTrips)
{
  std::string all;
  for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
  EXPECT_EQ(glo::GLO_ToNarrow(glo::GLO_ToWide(all, glo::CodePageWestern), glo::CodePageWestern), all);
}

TEST(Text, AnUnknownCodePageIsRefused)
{
  EXPECT_THROW(glo::GLO_ToNarrow(u"x", 932), glo::OutOfRange_t);
  EXPECT_THROW(glo::GLO_ToWide("x", 1251), glo::OutOfRange_t);
}

TEST(Text, DecimalNumbers)
{
  EXPECT_EQ(glo::GLO_Decimal(0), u"0");
  EXPECT_EQ(glo::GLO_Decimal(-2147483648LL), u"-2147483648");
}

}  // namespace
