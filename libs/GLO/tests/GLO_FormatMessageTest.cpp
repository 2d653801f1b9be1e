#include "GLO_FormatMessage.h"

#include <gtest/gtest.h>

#include "GLO_Exception.h"

namespace {

using Arguments = std::vector<std::u16string>;

struct Case {
  const char16_t* text;
  Arguments arguments;
  const char16_t* expected;
};

TEST(FormatMessage, ReplacesEveryPlaceholder)
{
  const Case cases[] = {
      {u"%1$@ hour(s), %2$@ minute(s)", {u"2", u"15"}, u"2 hour(s), 15 minute(s)"},
      {u"%1$@ to %2$@", {u"b", u"a"}, u"b to a"},
      {u"%2$@ to %1$@", {u"b", u"a"}, u"a to b"},
      {u"%1$@ cannot start.  Please reinstall %1$@.",
       {u"Velmora"},
       u"Velmora cannot start.  Please reinstall Velmora."},
      {u"No placeholders", {}, u"No placeholders"},
      {u"", {}, u""},
      {u"%1$@", {u""}, u""},
      {u"%1$@%", {u"50"}, u"50%"},
      {u"%9$@%1$@%2$@%3$@%4$@%5$@%6$@%7$@%8$@", {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9"}, u"912345678"},
      // Substituted text is never searched again.
      {u"[%1$@] [%2$@]", {u"%2$@", u"x"}, u"[%2$@] [x]"},
      {u"%1$@", {u"%1$@"}, u"%1$@"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(glo::GLO_FormatMessage(c.text, c.arguments, "Format.cpp", 1), c.expected)
        << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
}

TEST(FormatMessage, MismatchedPlaceholdersAreAssertionsAtTheCallersSite)
{
  const std::pair<const char16_t*, Arguments> cases[] = {
      {u"%1$@", {u"a", u"b"}},  // the second argument is never used
      {u"%2$@", {u"a"}},        // beyond the arguments
      {u"%0$@", {u"a"}},        // not a digit from 1 to 9
      {u"x$@", {u"a"}},         // no "%" before "$@"
      {u"$@", {}},              // no room for "%" and a digit
      {u"Nothing", {u"a"}},     // an argument without a placeholder
  };
  for (const auto& [text, arguments] : cases) {
    try {
      glo::GLO_FormatMessage(text, arguments, "Caller.cpp", 77);
      ADD_FAILURE() << "no assertion";
    } catch (const glo::Assert_t& error) {
      EXPECT_EQ(error.SourceFile(), "Caller.cpp");
      EXPECT_EQ(error.SourceLine(), 77);
    }
  }
}

}  // namespace
