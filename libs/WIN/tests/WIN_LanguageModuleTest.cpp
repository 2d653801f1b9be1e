#include "WIN_LanguageModule.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "WIN_Error.h"
#include "WIN_ResourceModule.h"
#include "WIN_ResourceString.h"
#include "WIN_Utilities.h"

namespace {

class LanguageModuleTest : public testing::Test {
 protected:
  void SetUp() override
  {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) environment.Clear(name);
  }
  void TearDown() override { win::WIN_SetResourceModule(nullptr); }

  // Loads as start-up does, on a machine without a default locale, and keeps
  // what it would have shown.
  bool Load()
  {
    shown.clear();
    return win::WIN_LoadLanguageModule([this](const std::u16string& text) { shown.push_back(text); },
                                       win::WIN_LanguageModuleCandidates(""));
  }

  vtest::ScopedEnvironment environment;
  std::vector<std::u16string> shown;
};

TEST_F(LanguageModuleTest, CandidatesFollowTheLocaleVariables)
{
  environment.Set("LANGUAGE", "de_AT:fr").Set("LC_ALL", "en_GB.UTF-8").Set("LANG", "C.UTF-8");
  EXPECT_EQ(win::WIN_LanguageModuleCandidates("it_IT.UTF-8"),
            (std::vector<std::string>{"DEA", "DEU", "FRA", "ENG", "ENU", "ITA", "LOC"}));
  environment.Clear("LANGUAGE").Clear("LC_ALL").Set("LC_MESSAGES", "fr_CA").Set("LANG", "nl_BE.UTF-8");
  EXPECT_EQ(win::WIN_LanguageModuleCandidates("fr_FR.UTF-8"),
            (std::vector<std::string>{"FRC", "FRA", "NLB", "NLD", "LOC"}));
}

TEST_F(LanguageModuleTest, WithoutLocaleVariablesOnlyTheMachineLocaleAndLocRemain)
{
  EXPECT_EQ(win::WIN_LanguageModuleCandidates(""), std::vector<std::string>{"LOC"});
  EXPECT_EQ(win::WIN_LanguageModuleCandidates("de_DE.UTF-8"), (std::vector<std::string>{"DEU", "LOC"}));
  EXPECT_EQ(win::WIN_LanguageModuleCandidates("C.UTF-8"), std::vector<std::string>{"LOC"});
}

TEST_F(LanguageModuleTest, AModuleOfTheUsersLanguageIsSelected)
{
  environment.Set("LANG", "de_AT.UTF-8");
  ASSERT_TRUE(Load());
  EXPECT_TRUE(shown.empty());
  const auto& module = win::WIN_GetResourceModule();
  EXPECT_EQ(module.LanguageId(), 1031);
  EXPECT_EQ(module.Path(), win::WIN_GetModulePath(win::WIN_GetMainModule()) + u"DEU.res");
  EXPECT_EQ(win::ResourceString_t(4003, GLO_HERE).Text(), u"%1$@ Minute(n)");
}

// A program in a folder whose name is not UTF-8 still finds the module
// beside it: this test program and its German module are copied there, and
// the copy runs the test above.
TEST_F(LanguageModuleTest, AProgramInAFolderWhoseNameIsNotUtf8FindsItsModule)
{
  namespace fs = std::filesystem;
  const fs::path program = win::WIN_SystemPath(win::WIN_GetModulePath(win::WIN_GetMainModule()));
  vtest::TempFolder folder;
  const fs::path copies = folder / "bin\xE9\xFF";
  fs::create_directory(copies);
  fs::copy_file(program, copies / program.filename());
  fs::copy_file(program.string() + "DEU.res", copies / (program.filename().string() + "DEU.res"));
  const std::string command = "'" + (copies / program.filename()).string() +
                              "' --gtest_filter=LanguageModuleTest.AModuleOfTheUsersLanguageIsSelected >/dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0);
}

// What stands in a module's place and is not a file is refused at once: a
// FIFO never holds start-up up waiting for a writer.
TEST(LoadModule, AFifoOrAFolderIsNoModule)
{
  vtest::TempFolder folder;
  ASSERT_EQ(mkfifo((folder / "fifoDEU.res").c_str(), 0600), 0);
  std::filesystem::create_directory(folder / "folderDEU.res");
  for (const char* name : {"fifoDEU.res", "folderDEU.res"}) {
    try {
      win::WIN_LoadModule(folder.Wide(name));
      ADD_FAILURE() << name << " was loaded";
    } catch (const win::Error_t& error) {
      EXPECT_EQ(error.Code(), std::uint32_t(ENOEXEC)) << name;
    }
  }
}

TEST_F(LanguageModuleTest, AModuleOfAnotherVersionStopsStartUp)
{
  environment.Set("LC_MESSAGES", "fr_FR.UTF-8");
  EXPECT_FALSE(Load());
  EXPECT_EQ(shown, std::vector<std::u16string>{u"Incorrect language dll file.  Please reinstall Velmora."});
}

TEST_F(LanguageModuleTest, TheProgramsOwnLanguageWinsOverLaterCandidates)
{
  environment.Set("LC_ALL", "en_US.UTF-8").Set("LANG", "de_DE.UTF-8");
  ASSERT_TRUE(Load());
  EXPECT_EQ(&win::WIN_GetResourceModule(), &win::WIN_GetMainModule());
}

TEST_F(LanguageModuleTest, WithoutAModuleTheProgramsOwnIsUsed)
{
  environment.Set("LANGUAGE", "ja_JP").Set("LANG", "it_IT.UTF-8");
  ASSERT_TRUE(Load());
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(&win::WIN_GetResourceModule(), &win::WIN_GetMainModule());
  EXPECT_EQ(win::ResourceString_t(4003, GLO_HERE).Text(), u"%1$@ minute(s)");
}

}  // namespace
