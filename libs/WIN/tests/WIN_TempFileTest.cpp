#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "GLO_SmartPtr.h"
#include "GLO_Text.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "WIN_Error.h"
#include "WIN_FileSystem.h"
#include "WIN_SmartTempFile.h"
#include "WIN_Utilities.h"

namespace {

namespace fs = std::filesystem;

std::string Narrow(const std::u16string& text)
{
  return glo::GLO_ToNarrow(text, glo::CodePageUtf8);
}

TEST(TempFolder, FromTheEnvironment)
{
  const std::pair<const char*, const char*> cases[] = {
      {"/var/tmp", "/var/tmp/"}, {"/var/tmp/", "/var/tmp/"}, {nullptr, "/tmp/"}, {"", "/tmp/"},
      {"relative/tmp", "/tmp/"},  // would change with the current folder
  };
  for (const auto& [variable, folder] : cases) {
    vtest::ScopedEnvironment environment;
    if (variable == nullptr)
      environment.Clear("TMPDIR");
    else
      environment.Set("TMPDIR", variable);
    EXPECT_EQ(win::WIN_TempFolderFromEnvironment(), glo::GLO_ToWide(folder, glo::CodePageUtf8))
        << (variable ? variable : "unset");
  }
}

// A temporary folder whose name is not UTF-8 keeps its bytes, and temporary
// files made in it are found by their paths.
TEST(TempFolder, ANameThatIsNotUtf8)
{
  vtest::TempFolder temp;
  fs::create_directory(temp / "tmp\xE9");
  vtest::ScopedEnvironment environment;
  environment.Set("TMPDIR", (temp / "tmp\xE9").c_str());
  const std::u16string folder = win::WIN_TempFolderFromEnvironment();
  EXPECT_EQ(folder, temp.Wide() + u"/tmp\xDCE9/");
  EXPECT_EQ(win::WIN_SystemPath(folder), (temp / "tmp\xE9").string() + "/");
  const win::SmartTempFile_t file(u"rgn", folder);
  EXPECT_TRUE(fs::is_regular_file(win::WIN_SystemPath(file.Path())));
  EXPECT_TRUE(file.Path().starts_with(folder + u"rgn"));
}

TEST(TempFolder, TheProcessWideFolderExists)
{
  const std::u16string folder = win::WIN_GetTempFolder();
  EXPECT_EQ(folder.back(), u'/');
  EXPECT_TRUE(fs::is_directory(Narrow(folder)));
  EXPECT_EQ(win::WIN_GetTempFolder(), folder);
}

class AppTempFolder : public testing::Test {
 protected:
  // The name of the program's folder, learnt from a folder made elsewhere.
  std::string AppFolderName()
  {
    const vtest::TempFolder elsewhere;
    return fs::path(Narrow(win::WIN_GetAppTempFolder(elsewhere.Wide()))).parent_path().filename().string();
  }

  vtest::TempFolder temp_;
};

TEST_F(AppTempFolder, IsMadeForTheUserAlone)
{
  const std::u16string folder = win::WIN_GetAppTempFolder(temp_.Wide());
  const std::string name = AppFolderName();
  EXPECT_EQ(Narrow(folder), (temp_ / name).string() + "/");
  ASSERT_TRUE(name.starts_with("Velmora-"));
  EXPECT_EQ(name.find_first_not_of("0123456789", 8), std::string::npos);
  EXPECT_EQ(fs::status(temp_ / name).permissions(), fs::perms::owner_all);

  // Kept as it is on the next call, and made again when it went.
  vtest::WriteFile(temp_ / name / "kept", "");
  EXPECT_EQ(win::WIN_GetAppTempFolder(temp_.Wide() + u"/"), folder);
  EXPECT_TRUE(fs::exists(temp_ / name / "kept"));
  fs::remove_all(temp_ / name);
  EXPECT_EQ(win::WIN_GetAppTempFolder(temp_.Wide()), folder);
  EXPECT_TRUE(fs::is_directory(temp_ / name));
}

TEST_F(AppTempFolder, OursButOpenToOthersIsMadePrivate)
{
  const std::string name = AppFolderName();
  fs::create_directory(temp_ / name);
  fs::permissions(temp_ / name, fs::perms::all);
  win::WIN_GetAppTempFolder(temp_.Wide());
  EXPECT_EQ(fs::status(temp_ / name).permissions(), fs::perms::owner_all);
}

TEST_F(AppTempFolder, RefusedWhenItIsALinkOrNoFolder)
{
  const std::string name = AppFolderName();
  fs::create_directory(temp_ / "planted");
  fs::permissions(temp_ / "planted", fs::perms::all);
  struct Case {
    const char* what;
    void (*plant)(const fs::path& place, const fs::path& planted);
    std::uint32_t code;
  };
  const Case cases[] = {
      {"link to a folder", [](const fs::path& p, const fs::path& t) { fs::create_directory_symlink(t, p); }, EACCES},
      {"dangling link", [](const fs::path& p, const fs::path& t) { fs::create_symlink(t / "gone", p); }, EACCES},
      {"file", [](const fs::path& p, const fs::path&) { vtest::WriteFile(p, ""); }, ENOTDIR},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(temp_ / name);
    c.plant(temp_ / name, temp_ / "planted");
    try {
      win::WIN_GetAppTempFolder(temp_.Wide());
      ADD_FAILURE() << "accepted";
    } catch (const win::FileError_t& error) {
      EXPECT_EQ(error.Code(), c.code);
      EXPECT_TRUE(error.Message().ends_with(u"Path: " + temp_.Wide(name) + u"/"));
    }
    EXPECT_EQ(fs::status(temp_ / "planted").permissions(), fs::perms::all);  // left as it was
    EXPECT_FALSE(fs::exists(temp_ / "planted" / "gone"));
  }
}

TEST_F(AppTempFolder, MissingTemporaryFolder)
{
  try {
    win::WIN_GetAppTempFolder(temp_.Wide("missing"));
    ADD_FAILURE() << "accepted";
  } catch (const win::FileError_t& error) {
    EXPECT_EQ(error.Code(), std::uint32_t(ENOENT));
  }
}

TEST(SmartTempFile, MadeWithThePrefixAndDeletedWhenItGoes)
{
  vtest::TempFolder folder;
  fs::path first, second;
  {
    const win::SmartTempFile_t file(u"rgn", folder.Wide());
    const win::SmartTempFile_t other(u"rgn", folder.Wide() + u"/");
    first = Narrow(file.Path());
    second = Narrow(other.Path());
    EXPECT_NE(first, second);
    for (const fs::path& path : {first, second}) {
      EXPECT_EQ(path.parent_path(), folder.Path());
      const std::string name = path.filename().string();
      EXPECT_TRUE(name.starts_with("rgn") && name.ends_with(".tmp") && name.size() == 13) << name;
      EXPECT_TRUE(fs::is_regular_file(path));
      EXPECT_EQ(fs::file_size(path), 0u);
      EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    }
    fs::remove(second);  // gone already: the destructor does not mind
  }
  EXPECT_FALSE(fs::exists(first));
}

TEST(SmartTempFile, WhatAKilledRunLeftIsDeletedByTheNext)
{
  vtest::TempFolder folder;
  const win::SmartTempFile_t living(u"rgn", folder.Wide());
  // Files of runs that were killed: nobody holds them.
  const char* leftOvers[] = {"rgnAbC123.tmp", "rgnzzzzzz.tmp"};
  // Names that the temporary files of this prefix never have.
  const char* others[] = {"rgn.tmp", "rgnABCDEF.txt", "rgnABCDEFG.tmp", "abcABCDEF.tmp", "rgnAB-DEF.tmp"};
  for (const char* name : leftOvers) vtest::WriteFile(folder / name, "left over");
  for (const char* name : others) vtest::WriteFile(folder / name, "not ours");

  const win::SmartTempFile_t next(u"rgn", folder.Wide());
  for (const char* name : leftOvers) EXPECT_FALSE(fs::exists(folder / name)) << name;
  for (const char* name : others) EXPECT_TRUE(fs::exists(folder / name)) << name;
  EXPECT_TRUE(fs::exists(Narrow(living.Path())));
  EXPECT_TRUE(fs::exists(Narrow(next.Path())));
}

TEST(SmartTempFile, SharedUntilTheLastReference)
{
  vtest::TempFolder folder;
  glo::SmartPtr_t<win::SmartTempFile_t> file(new win::SmartTempFile_t(u"rgn", folder.Wide()));
  const fs::path path = Narrow(file->Path());
  auto copy = file;
  file = {};
  EXPECT_TRUE(fs::exists(path));
  copy = {};
  EXPECT_FALSE(fs::exists(path));
}

TEST(SmartTempFile, InTheProgramsTemporaryFolder)
{
  const win::SmartTempFile_t file(u"rgn");
  const std::u16string folder = win::WIN_GetAppTempFolder();
  EXPECT_TRUE(file.Path().starts_with(folder));
  EXPECT_TRUE(fs::exists(Narrow(file.Path())));
}

TEST(SmartTempFile, AMissingFolderIsNamed)
{
  vtest::TempFolder folder;
  const std::u16string missing = folder.Wide("missing");
  try {
    const win::SmartTempFile_t file(u"rgn", missing);
    ADD_FAILURE() << "made";
  } catch (const win::FileError_t& error) {
    EXPECT_EQ(error.Code(), std::uint32_t(ENOENT));
    EXPECT_TRUE(error.Message().ends_with(u"Path: " + missing));
  }
}

}  // namespace
