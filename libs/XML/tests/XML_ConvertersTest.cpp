#include "XML_Converters.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "GLO_Exception.h"
#include "ScopedEnvironment.h"
#include "XML_Utilities.h"

namespace {

TEST(DateTimeConverter, TextsReadAndWrittenInUtc)
{
  vtest::ScopedEnvironment environment;
  environment.Set("TZ", "Europe/Berlin");
  struct Case {
    const char16_t* read;
    const char16_t* written;
  } cases[] = {
      {u"1970-01-01T00:00:00Z", u"1970-01-01T00:00:00Z"},
      {u"2010-03-05T13:04:05Z", u"2010-03-05T13:04:05Z"},
      {u"2010-03-05T15:04:05+02:00", u"2010-03-05T13:04:05Z"},
      {u"2010-03-05T08:34:05-04:30", u"2010-03-05T13:04:05Z"},
      {u"2010-03-05T13:04:05.75Z", u"2010-03-05T13:04:05Z"},
      // No zone: local time (Berlin is an hour ahead in March).
      {u"2010-03-05T14:04:05", u"2010-03-05T13:04:05Z"},
      {u"2038-01-19T03:14:07Z", u"2038-01-19T03:14:07Z"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.read, c.read + std::char_traits<char16_t>::length(c.read)));
    EXPECT_EQ(xml::dateTimeConverter_t::ToText(xml::dateTimeConverter_t::FromText(c.read)), c.written);
  }
  EXPECT_EQ(xml::dateTimeConverter_t::ToText(glo::Time_t(0)), u"1970-01-01T00:00:00Z");
}

TEST(DateTimeConverter, TimesTheSystemCannotHoldReadAsNow)
{
  for (const char16_t* text : {u"1969-12-31T23:59:59Z", u"2100-01-01T00:00:00Z"}) {
    const auto before = glo::Time_t::Now();
    const auto read = xml::dateTimeConverter_t::FromText(text);
    EXPECT_GE(read, before);
    EXPECT_LE(read, glo::Time_t::Now());
  }
}

TEST(DateTimeConverter, FieldsThatAreNoNumbersFailAnAssertion)
{
  for (const char16_t* text : {u"-0001-01-01T00:00:00Z", u"2010-03-05", u"2010-xx-05T13:04:05Z", u"2010-03-05T13:04:aZ"})
    EXPECT_THROW(xml::dateTimeConverter_t::FromText(text), glo::Assert_t);
}

TEST(NumberConverters, DecimalTexts)
{
  EXPECT_EQ(xml::unsignedIntConverter_t::ToText(0), u"0");
  EXPECT_EQ(xml::unsignedIntConverter_t::ToText(4294967295u), u"4294967295");
  EXPECT_EQ(xml::unsignedIntConverter_t::FromText(u"4294967295"), 4294967295u);
  EXPECT_EQ(xml::unsignedIntConverter_t::FromText(u" +0042\n"), 42u);
  EXPECT_EQ(xml::unsignedShortConverter_t::FromText(u"65535"), 65535);
  for (const char16_t* text : {u"", u"-1", u"4294967296", u"12a", u"1 2"})
    EXPECT_THROW(xml::unsignedIntConverter_t::FromText(text), glo::OutOfRange_t);
  EXPECT_THROW(xml::unsignedShortConverter_t::FromText(u"65536"), glo::OutOfRange_t);
}

TEST(PatternMatches, XmlSchemaRulesOverTheWholeText)
{
  const std::u16string partNumber = u"[\\p{Lu}\\d]{3}-[\\p{Lu}\\d]{5}-[\\p{Lu}\\d]{2}";
  struct Case {
    const char16_t* text;
    bool matches;
  } cases[] = {
      {u"AB1-2C3D4-5E", true}, {u"VLM-00100-01", true}, {u"\u00c4B1-2C3D4-5E", true},
      {u"aB1-2C3D4-5E", false}, {u"AB12C3D4-5E", false}, {u"AB1-2C3D4-5E6", false},
      {u"xAB1-2C3D4-5E", false}, {u"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(xml::XML_PatternMatches(c.text, partNumber), c.matches);
}

}  // namespace
