#include "WIN_ResourceString.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include "GLO_Exception.h"
#include "WIN_ByteSize.h"
#include "WIN_Error.h"
#include "WIN_TimeSpanText.h"

namespace {

// The German test module, built beside this program.
std::unique_ptr<win::ResourceModule_t> GermanModule()
{
  return win::WIN_LoadModule(win::WIN_GetModulePath(win::WIN_GetMainModule()) + u"DEU.res");
}

using Arguments = std::vector<std::u16string>;

class ResourceStringTest : public testing::Test {
 protected:
  void SetUp() override { win::WIN_SetResourceModule(nullptr); }
  void TearDown() override { win::WIN_SetResourceModule(nullptr); }
};

TEST_F(ResourceStringTest, LoadsTheProgramsOwnTexts)
{
  const std::pair<std::uint32_t, const char16_t*> cases[] = {
      {4002, u"%1$@ hour(s), %2$@ minute(s)"},
      {4007, u"%1$@ s"},
      {5090, u"%1$@ to %2$@"},
      {5602, u"%1$@ cannot start the error reporting application.  Please reinstall %1$@."},
      {11801, u"The input file is corrupted, please get a new copy of the file and try again."},
  };
  for (const auto& [id, text] : cases) {
    const win::ResourceString_t string(id, GLO_HERE);
    EXPECT_EQ(string.Id(), id);
    EXPECT_EQ(string.Text(), text) << id;
  }
}

TEST_F(ResourceStringTest, FormatsWithItsArguments)
{
  EXPECT_EQ(win::ResourceString_t(4002, GLO_HERE).Format(Arguments{u"2", u"15"}, GLO_HERE), u"2 hour(s), 15 minute(s)");
  EXPECT_EQ(win::ResourceString_t(5090, GLO_HERE).Format(Arguments{u"b", u"a"}, GLO_HERE), u"b to a");
  EXPECT_EQ(win::ResourceString_t(5602, GLO_HERE).Format(u"Velmora", GLO_HERE),
            u"Velmora cannot start the error reporting application.  Please reinstall Velmora.");
  EXPECT_THROW(win::ResourceString_t(4003, GLO_HERE).Format(Arguments{u"1", u"2"}, GLO_HERE), glo::Assert_t);
}

TEST_F(ResourceStringTest, AMissingEntryFailsAtTheRequestersSite)
{
  try {
    win::ResourceString_t(59999, "Requester.cpp", 321);
    FAIL() << "no exception";
  } catch (const win::Error_t& error) {
    EXPECT_EQ(error.Code(), std::uint32_t(ENOMSG));
    EXPECT_EQ(error.SourceFile(), "Requester.cpp");
    EXPECT_EQ(error.SourceLine(), 321);
  }
}

TEST_F(ResourceStringTest, ALongEntryLoadsWhole)
{
  auto german = GermanModule();
  ASSERT_TRUE(win::WIN_SetResourceModule(german.get()));
  const win::ResourceString_t string(60000, GLO_HERE);
  EXPECT_EQ(string.Text().size(), 300u);
  EXPECT_EQ(string.Text().substr(0, 19), u"Dieser Eintrag ist ");
  EXPECT_EQ(string.Text().substr(289), u"\u00E4\u00F6\u00FC \u00DF, Ende");
}

TEST_F(ResourceStringTest, AModuleOfAnotherVersionIsRefused)
{
  auto german = GermanModule();
  ASSERT_TRUE(win::WIN_SetResourceModule(german.get()));
  auto french = win::WIN_LoadModule(win::WIN_GetModulePath(win::WIN_GetMainModule()) + u"FRA.res");
  EXPECT_FALSE(win::WIN_SetResourceModule(french.get()));
  EXPECT_EQ(&win::WIN_GetResourceModule(), german.get());
  EXPECT_TRUE(win::WIN_SetResourceModule(&win::WIN_GetMainModule()));
  EXPECT_EQ(&win::WIN_GetResourceModule(), &win::WIN_GetMainModule());
}

TEST_F(ResourceStringTest, TimeSpanTexts)
{
  struct Case {
    double seconds;
    const char16_t* longText;
    const char16_t* shortText;
  };
  const Case cases[] = {
      {3599, u"1 hour(s), 0 minute(s)", u"1 h, 0 min"},
      {3661, u"1 hour(s), 2 minute(s)", u"1 h, 2 min"},
      {61, u"2 minute(s)", u"2 min"},
      {60, u"2 minute(s)", u"2 min"},
      {59, u"59 second(s)", u"59 s"},
      {0, u"0 second(s)", u"0 s"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(win::LongText(glo::TimeSpan_t(c.seconds)), c.longText) << c.seconds;
    EXPECT_EQ(win::ShortText(glo::TimeSpan_t(c.seconds)), c.shortText) << c.seconds;
  }
}

TEST_F(ResourceStringTest, TextsFollowTheSelectedLanguage)
{
  auto german = GermanModule();
  ASSERT_TRUE(win::WIN_SetResourceModule(german.get()));
  EXPECT_EQ(win::LongText(glo::TimeSpan_t(5400)), u"1 Stunde(n), 31 Minute(n)");
  EXPECT_EQ(win::LongText(glo::TimeSpan_t(61)), u"2 Minute(n)");
}

TEST(ResourceModule, AskingBeforeOneIsSelectedIsAnAssertion)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        try {
          win::WIN_GetResourceModule();
        } catch (const glo::Assert_t&) {
          std::exit(0);
        }
        std::exit(1);
      },
      testing::ExitedWithCode(0), "");
}

// "VRES", the byte count, the records.
std::vector<unsigned char> Module(const std::vector<unsigned char>& records)
{
  std::vector<unsigned char> bytes{'V', 'R', 'E', 'S'};
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(records.size() >> (8 * i)));
  bytes.insert(bytes.end(), records.begin(), records.end());
  return bytes;
}

TEST(ResourceModule, MalformedBytesAreRefused)
{
  const std::vector<unsigned char> version{10, 0, 0, 0, 'V', 1, 0, 0, 0, 0, 0, 0, 0, 9, 4};
  auto withString = [&](const std::vector<unsigned char>& string) {
    auto records = version;
    records.insert(records.end(), string.begin(), string.end());
    return Module(records);
  };
  const std::vector<std::vector<unsigned char>> cases = {
      {},
      {'V', 'R', 'E', 'X', 0, 0, 0, 0},
      Module({}),                                            // no version record
      {'V', 'R', 'E', 'S', 100, 0, 0, 0, 10, 0, 0, 0, 'V'},  // counts more than there is
      Module({20, 0, 0, 0, 'V', 1, 0}),                      // record runs past the end
      Module({3, 0, 0, 0, 'V', 1, 0, 0}),                    // version record too short
      withString({5, 0, 0, 0, 'S', 1, 0, 0, 0, 'x'}),        // a string of an odd number of bytes
      withString({2, 0, 0, 0, 'Q', 1, 0}),                   // an unknown record
  };
  for (const auto& bytes : cases) {
    try {
      win::ResourceModule_t module(u"bad.res", bytes);
      ADD_FAILURE() << "accepted " << bytes.size() << " bytes";
    } catch (const win::Error_t& error) {
      EXPECT_EQ(error.Code(), std::uint32_t(ENOEXEC));
    }
  }
  auto padded = withString({6, 0, 0, 0, 'S', 7, 0, 0, 0, 'x', 0});
  padded.insert(padded.end(), 64, 0xCC);  // what a section may hold after the module
  const win::ResourceModule_t module(u"padded.res", padded);
  EXPECT_EQ(module.String(7), u"x");
  EXPECT_EQ(module.LanguageId(), 0x0409);
}

TEST_F(ResourceStringTest, ByteSizesInKilobytesAndMegabytes)
{
  struct Case {
    std::uint64_t bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {0, u"0 KB"},
      {511, u"0 KB"},
      {512, u"1 KB"},
      {512000, u"500 KB"},
      {1023487, u"999 KB"},
      {1023488, u"0.98 MB"},
      {5000000, u"4.77 MB"},
      {10238975, u"9.76 MB"},  // 9999 KB: still two decimals
      {10239488, u"9.8 MB"},   // 10000 KB: one
      {123456789, u"117.7 MB"},
      {~std::uint64_t{0}, u"17592186044416.0 MB"},
  };
  for (const auto& c : cases) EXPECT_EQ(win::WIN_FormatByteSize(c.bytes), c.text) << c.bytes;
}

TEST(CustomResource, SchemasOfTheProgramsOwnModule)
{
  const auto schema = win::WIN_LoadCustomResource(5603, "XSD");
  const std::string text(schema.begin(), schema.end());
  EXPECT_EQ(text.substr(0, 5), "<?xml");
  EXPECT_NE(text.find("targetNamespace=\"http://www.telvan.example/xmlschemas/ApplicationErrors/v1\""), std::string::npos);
  for (const auto& [id, type] : std::vector<std::pair<std::uint32_t, std::string>>{{5603, "xsd"}, {5604, "XSD"}}) {
    try {
      win::WIN_LoadCustomResource(id, type);
      ADD_FAILURE() << id << type;
    } catch (const win::Error_t& error) {
      EXPECT_EQ(error.Code(), static_cast<std::uint32_t>(ENODATA));
    }
  }
}

TEST(CustomResource, RecordsWithoutTheirTypeNameAreMalformed)
{
  // "VRES", the length, a version record of five zero parts, then a custom
  // record whose type name has no end.
  std::vector<unsigned char> bytes = {'V', 'R', 'E', 'S', 25, 0, 0, 0, 10, 0, 0, 0, 'V', 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                      0, 5, 0, 0, 0, 'C', 1, 0, 0, 0, 'X'};
  EXPECT_THROW(win::ResourceModule_t(u"m", bytes), win::Error_t);
  bytes = {'V', 'R', 'E', 'S', 29, 0, 0, 0, 10, 0, 0, 0, 'V', 0, 0, 0, 0, 0, 0, 0, 0, 0,
           0, 9, 0, 0, 0, 'C', 7, 0, 0, 0, 'X', 0, 'a', 'b', 'c'};
  const win::ResourceModule_t module(u"m", bytes);
  const auto custom = module.Custom(7, "X");
  EXPECT_EQ(std::string(custom.begin(), custom.end()), "abc");
}

}  // namespace
