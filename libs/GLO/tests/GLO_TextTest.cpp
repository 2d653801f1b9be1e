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

// A file name's bytes and its wide text.
struct NameCase {
  const char* what;
  std::string narrow;
  std::u16string wide;
};

TEST(Text, FileNamesCrossWideTextWithoutLoss)
{
  const NameCase cases[] = {
      {"empty", "", u""},
      {"ASCII", "ldr_sys/avtn_db.bin", u"ldr_sys/avtn_db.bin"},
      {"valid multibyte", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", u"caf\u00E9 \u20AC \U0001F600"},
      {"highest code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
      {"stray continuation", "\x80z\xBF", u"\xDC80z\xDCBF"},
      {"truncated two-byte", "a\xC3", u"a\xDCC3"},
      {"truncated three-byte before ASCII", "\xE2\x82z", u"\xDCE2\xDC82z"},
      {"truncated four-byte", "\xF0\x9F\x98", u"\xDCF0\xDC9F\xDC98"},
      {"lead byte before another lead", "\xC3\xC3\xA9", u"\xDCC3\u00E9"},
      {"overlong two-byte", "\xC0\xAF", u"\xDCC0\xDCAF"},
      {"overlong three-byte", "\xE0\x80\xAF", u"\xDCE0\xDC80\xDCAF"},
      {"overlong four-byte", "\xF0\x8F\xBF\xBF", u"\xDCF0\xDC8F\xDCBF\xDCBF"},
      {"surrogate in UTF-8", "\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},
      {"escape surrogate in UTF-8", "\xED\xB2\x80", u"\xDCED\xDCB2\xDC80"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},
      {"0xFF and 0xF5", "\xFF\xF5", u"\xDCFF\xDCF5"},
      {"Latin-1 e acute alone", "caf\xE9.vlm", u"caf\xDCE9.vlm"},
      {"mixed", "\xE9t\xC3\xA9\x80/\xE2\x82\xAC\xFF", u"\xDCE9t\u00E9\xDC80/\u20AC\xDCFF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(glo::GLO_FileNameToWide(c.narrow), c.wide);
    EXPECT_EQ(glo::GLO_FileNameToNarrow(c.wide), c.narrow);
  }
}

TEST(Text, EveryNameOfOneOrTwoBytesRoundTrips)
{
  for (int first = 1; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      std::string name(1, static_cast<char>(first));
      if (second != 0) name += static_cast<char>(second);
      ASSERT_EQ(glo::GLO_FileNameToNarrow(glo::GLO_FileNameToWide(name)), name) << first << " " << second;
    }
  }
}

TEST(Text, SurrogatesThatNoNameYieldsBecomeTheReplacementCharacter)
{
  const NameCase cases[] = {
      {"lone high surrogate", "\xEF\xBF\xBDx", std::u16string(1, char16_t(0xD800)) + u"x"},
      {"low surrogate below the escapes", "\xEF\xBF\xBD", std::u16string(1, char16_t(0xDC7F))},
      {"low surrogate above the escapes", "\xEF\xBF\xBD", std::u16string(1, char16_t(0xDD00))},
      // A high surrogate pairs with what follows it, as in any UTF-16 text.
      {"pair", "\xF4\x80\x83\xA9", u"\xDBC0\xDCE9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(glo::GLO_FileNameToNarrow(c.wide), c.narrow);
  }
}

TEST(Text, AnEscapedByteIsShownAsTheReplacementCharacter)
{
  EXPECT_EQ(glo::GLO_ToNarrow(glo::GLO_FileNameToWide("caf\xE9"), glo::CodePageUtf8), "caf\xEF\xBF\xBD");
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
