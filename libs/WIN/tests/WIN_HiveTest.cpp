#include "WIN_Hive.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "GLO_Text.h"
#include "WIN_RegException.h"

namespace {

using win::Hive_t;
using win::RegData_t;

const std::u16string Settings = u"HKEY_CURRENT_USER\\Software\\Telvan\\Velmora\\Settings";

TEST(Hive, ReadsEveryValueForm)
{
  const Hive_t hive = Hive_t::Parse(
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
      "\r\n"
      "; written by hand\n"
      "  [HKEY_CURRENT_USER\\Software\\Telvan\\Velmora\\Settings]  \n"
      "\"ShowDebug\"=hex:01\n"
      "\"UserUtcOffset\"=hex:00,00,00,00,\\\n"
      "  00,00,4e,40\n"
      "\"Count\"=dword:0000010a\n"
      "\"Folder\"=\"C:\\\\Program Files \\\"x\\\"\"\n"
      "\"Raw\"=hex(7):41,00,00,00\n"
      "@=\"default\"\n",
      u"user.reg");
  const std::pair<std::u16string, RegData_t> cases[] = {
      {u"ShowDebug", {win::RegBinary, {1}}},
      {u"userutcoffset", {win::RegBinary, {0, 0, 0, 0, 0, 0, 0x4E, 0x40}}},
      {u"Count", {win::RegDword, {0x0A, 0x01, 0, 0}}},
      {u"Folder", {win::RegSz, {'C', 0, ':', 0, '\\', 0, 'P', 0, 'r', 0, 'o', 0, 'g', 0, 'r', 0, 'a', 0, 'm', 0, ' ', 0,
                                'F', 0, 'i', 0, 'l',  0, 'e', 0, 's', 0, ' ', 0, '"', 0, 'x', 0, '"', 0, 0,   0}}},
      {u"Raw", {7, {0x41, 0, 0, 0}}},
      {u"", {win::RegSz, {'d', 0, 'e', 0, 'f', 0, 'a', 0, 'u', 0, 'l', 0, 't', 0, 0, 0}}},
  };
  for (const auto& [name, data] : cases) {
    const RegData_t* found = hive.Find(u"hkey_current_user\\software\\telvan\\velmora\\settings", name);
    ASSERT_NE(found, nullptr) << std::string(name.begin(), name.end());
    EXPECT_EQ(*found, data) << std::string(name.begin(), name.end());
  }
  EXPECT_TRUE(hive.HasKey(u"HKEY_CURRENT_USER\\Software\\Telvan"));
  EXPECT_FALSE(hive.HasKey(u"HKEY_CURRENT_USER\\Software\\Other"));
  EXPECT_EQ(hive.Find(Settings, u"Missing"), nullptr);
}

TEST(Hive, WritesWhatItReads)
{
  Hive_t hive;
  hive.Set(Settings, u"UseLocalTime", {win::RegBinary, {1}});
  hive.Set(Settings, u"Name \"q\"", {win::RegSz, {'\\', 0, 0xE9, 0, 0, 0}});
  hive.Set(Settings, u"Count", {win::RegDword, {1, 2, 3, 4}});
  hive.Set(Settings, u"Odd", {win::RegSz, {'a', 0, 'b'}});
  hive.Set(Settings, u"Empty", {win::RegBinary, {}});
  const std::string text = hive.Serialize();
  EXPECT_EQ(text,
            "Windows Registry Editor Version 5.00\n"
            "\n[HKEY_CURRENT_USER\\Software]\n"
            "\n[HKEY_CURRENT_USER\\Software\\Telvan]\n"
            "\n[HKEY_CURRENT_USER\\Software\\Telvan\\Velmora]\n"
            "\n[HKEY_CURRENT_USER\\Software\\Telvan\\Velmora\\Settings]\n"
            "\"UseLocalTime\"=hex:01\n"
            "\"Name \\\"q\\\"\"=\"\\\\\xC3\xA9\"\n"
            "\"Count\"=dword:04030201\n"
            "\"Odd\"=hex(1):61,00,62\n"
            "\"Empty\"=hex:\n");
  const Hive_t again = Hive_t::Parse(text, u"user.reg");
  EXPECT_EQ(again.Serialize(), text);
}

TEST(Hive, SettingAValueAgainReplacesIt)
{
  Hive_t hive;
  hive.Set(Settings, u"ShowDebug", {win::RegBinary, {1}});
  hive.Set(Settings, u"SHOWDEBUG", {win::RegBinary, {0}});
  EXPECT_EQ(*hive.Find(Settings, u"ShowDebug"), (RegData_t{win::RegBinary, {0}}));
  EXPECT_FALSE(hive.CreateKey(Settings));
}

TEST(Hive, AFileThatDoesNotParseNamesItsLine)
{
  const std::pair<const char*, unsigned> cases[] = {
      {"Not a hive\n", 1},
      {"Windows Registry Editor Version 5.00\n\n\"Orphan\"=hex:01\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A\n", 2},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"V\"=hex:1g\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"V\"=hex:01,\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"V\"=dword:1\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"V\"=\"open\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n\"V\"=true\n", 3},
      {"Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\nV=hex:01\n", 3},
  };
  for (const auto& [text, line] : cases) {
    try {
      Hive_t::Parse(text, u"/home/u/.config/Telvan/user.reg");
      ADD_FAILURE() << "parsed: " << text;
    } catch (const win::RegError_t& error) {
      EXPECT_EQ(error.Code(), std::uint32_t(EBADMSG));
      const std::u16string expected =
          u"Reg name: '/home/u/.config/Telvan/user.reg:" + glo::GLO_Decimal(line) + u"'; System Error Code: 74\n";
      EXPECT_EQ(error.Message().substr(0, expected.size()), expected) << text;
    }
  }
}

TEST(Hive, AnEmptyFileIsAnEmptyHive)
{
  EXPECT_FALSE(Hive_t::Parse("", u"user.reg").HasKey(Settings));
}

}  // namespace
