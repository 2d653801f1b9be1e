#include "WIN_VersionInfo.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "GLO_Text.h"
#include "WIN_Error.h"

namespace {

std::u16string VersionModule(const std::string& buildType)
{
  return glo::GLO_ToWide(std::string(VERSION_MODULES) + "/version-" + buildType + ".res", glo::CodePageUtf8);
}

TEST(VersionInfo, TextsFollowTheBuildType)
{
  struct Case {
    const char* buildType;
    const char16_t* versionText;
    std::optional<std::u16string> buildTimeText;
    std::optional<std::u16string> builderText;
    bool isRelease;
  };
  const Case cases[] = {
      {"Release", u"1.4.7", std::nullopt, std::nullopt, true},
      {"Internal", u"1.4.7.2 Internal", u"Mar 7 2026 09:05:01", u"(sqa)", false},
      {"Alpha", u"1.4.7.2 Alpha", u"Mar 7 2026 09:05:01", std::nullopt, false},
  };
  for (const auto& c : cases) {
    const win::VersionInfo_t info{win::FileMetaData_t(VersionModule(c.buildType))};
    EXPECT_EQ(info.VersionText(), c.versionText) << c.buildType;
    EXPECT_EQ(info.BuildTimeText(), c.buildTimeText) << c.buildType;
    EXPECT_EQ(info.BuilderText(), c.builderText) << c.buildType;
    EXPECT_EQ(info.IsRelease(), c.isRelease) << c.buildType;
    // The builder "sqa" is the official build account in any case.
    EXPECT_TRUE(info.IsOfficialBuild());
  }
}

TEST(VersionInfo, TheProgramDescribesItself)
{
  const auto& info = win::VersionInfo_t::Get();
  EXPECT_EQ(info.ProductName(), u"Velmora");
  EXPECT_EQ(info.InternalName(), u"Velmora");
  EXPECT_EQ(info.PartNumber(), u"VLM-00100-01");
  EXPECT_EQ(info.ClassName().size(), 38u);
  EXPECT_FALSE(info.LegalNotice().empty());
  EXPECT_EQ(info.BuildDate().size() >= 10, true);
  EXPECT_EQ(info.BuildTime().size(), 8u);
  EXPECT_EQ(&info, &win::VersionInfo_t::Get());
  EXPECT_EQ(win::WIN_GetAppLanguageId(), 1033);
}

TEST(FileMetaData, ReadsTheResourcesOfTheProgramFile)
{
  const win::FileMetaData_t program(win::WIN_GetModulePath(win::WIN_GetMainModule()));
  EXPECT_EQ(program.FixedFileVersion(), win::WIN_GetMainModule().Version());
  EXPECT_EQ(program.LanguageId(), 1033);
  EXPECT_EQ(program.GetString("ProductName"), u"Velmora");
}

TEST(FileMetaData, ReadsALanguageModule)
{
  const win::FileMetaData_t module(VersionModule("Internal"));
  EXPECT_EQ(module.FixedFileVersion(), (win::FileVersion_t{1, 4, 7, 2}));
  EXPECT_EQ(module.LanguageId(), 1031);
  EXPECT_EQ(module.GetString("BuildType"), u"Internal");
}

TEST(FileMetaData, FailuresAreSystemErrors)
{
  EXPECT_THROW(win::FileMetaData_t(u"/nonexistent/velmora"), win::FileError_t);
  try {
    win::FileMetaData_t(u"/bin/sh");
    FAIL() << "a program without resources was read";
  } catch (const win::Error_t& error) {
    EXPECT_EQ(error.Code(), std::uint32_t(ENODATA));
  }
  try {
    win::FileMetaData_t(VersionModule("Release")).GetString("NoSuchValue");
    FAIL() << "a missing value was read";
  } catch (const win::Error_t& error) {
    EXPECT_EQ(error.Code(), std::uint32_t(ENODATA));
  }
}

}  // namespace
