#include "WIN_ConfinedFolder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

#include "GLO_Text.h"
#include "SmallVolume.h"
#include "TempFolder.h"
#include "Unavailable.h"
#include "WIN_Error.h"
#include "WIN_File.h"
#include "WIN_Handle.h"
#include "WIN_PathAt.h"
#include "WIN_Utilities.h"

namespace {

namespace fs = std::filesystem;

std::uint32_t CodeOf(const std::function<void()>& run)
{
  try {
    run();
  } catch (const win::Error_t& error) {
    return error.Code();
  }
  return 0;
}

void Write(const std::u16string& path)
{
  win::File_t file;
  file.Open(path, win::FileAccess_t::Write, win::FileCreation_t::CreateAlways);
  file.Write("x", 1);
  file.CloseWithoutFlush();
}

class ConfinedFolder : public ::testing::Test {
 protected:
  void SetUp() override
  {
    fs::create_directories(card / "ldr_sys");
    vtest::WriteFile(elsewhere / "target", "not the card's");
    fs::create_directory_symlink(elsewhere.Path(), card / "away");
    fs::create_symlink(elsewhere / "target", card / "ldr_sys/link.bin");
  }
  vtest::TempFolder card;
  vtest::TempFolder elsewhere;
};

TEST_F(ConfinedFolder, PathsBelowItNeverFollowALink)
{
  {
    const win::ConfinedFolder_t confined(card.Wide());
    Write(card.Wide() + u"/ldr_sys/new.bin");
    EXPECT_EQ(CodeOf([&] { Write(card.Wide() + u"/away/target"); }), static_cast<std::uint32_t>(ELOOP));
    EXPECT_EQ(CodeOf([&] { Write(card.Wide() + u"/ldr_sys/link.bin"); }), static_cast<std::uint32_t>(ELOOP));
    EXPECT_EQ(CodeOf([&] { win::WIN_CreateFolders(card.Wide() + u"/away/sub/"); }), static_cast<std::uint32_t>(ENOTDIR));
    EXPECT_EQ(CodeOf([&] { Write(card.Wide() + u"/ldr_sys/../../escape.bin"); }), static_cast<std::uint32_t>(EXDEV));
    EXPECT_EQ(win::WIN_PathKind(card.Wide() + u"/away/target"), win::PathKind_t::Link);
    EXPECT_EQ(vtest::ReadFile(elsewhere / "target"), "not the card's");
    EXPECT_FALSE(fs::exists(elsewhere / "sub"));
  }
  EXPECT_EQ(vtest::ReadFile(card / "ldr_sys/new.bin"), "x");
  // Free again once the object is gone.
  Write(card.Wide() + u"/away/other");
  EXPECT_EQ(vtest::ReadFile(elsewhere / "other"), "x");
}

TEST_F(ConfinedFolder, TheWalkRefusesWhatTheKernelRefuses)
{
  const win::Handle_t folder(::open(card.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  ASSERT_TRUE(folder.IsValid());
  struct Case {
    const char* path;
    int error;  // 0: opens
  };
  const Case cases[] = {{"ldr_sys", 0},          {"ldr_sys/", 0},         {"", 0},
                        {"away/target", ELOOP},  {"ldr_sys/link.bin", ELOOP}, {"ldr_sys/../x", EXDEV},
                        {"missing/x", ENOENT}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    errno = 0;
    const win::Handle_t opened(win::WIN_OpenBeneathByWalk(folder.Get(), c.path, O_RDONLY, 0));
    EXPECT_EQ(opened.IsValid() ? 0 : errno, c.error);
  }
}

TEST_F(ConfinedFolder, AnotherVolumeBelowItIsNotEntered)
{
  vtest::SmallVolume volume(65536);
  VTEST_REQUIRE_MOUNTED(volume);
  const std::u16string parent = glo::GLO_FileNameToWide(volume.Path().parent_path().string());
  const std::u16string inside = glo::GLO_FileNameToWide((volume.Path() / "file").string());
  const win::ConfinedFolder_t confined(parent);
  EXPECT_EQ(CodeOf([&] { Write(inside); }), static_cast<std::uint32_t>(EXDEV));
  const win::Handle_t folder(::open(volume.Path().parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  errno = 0;
  EXPECT_LT(win::WIN_OpenBeneathByWalk(folder.Get(), volume.Path().filename().string() + "/file",
                                       O_WRONLY | O_CREAT, 0600),
            0);
  EXPECT_EQ(errno, EXDEV);
  EXPECT_FALSE(fs::exists(volume.Path() / "file"));
}

TEST_F(ConfinedFolder, OneHolderAtATime)
{
  win::ConfinedFolder_t first(card.Wide());
  win::ConfinedFolder_t second(card.Wide() + u"/");
  EXPECT_TRUE(first.Lock());
  EXPECT_FALSE(second.Lock());
  {
    win::ConfinedFolder_t third(card.Wide());
    EXPECT_FALSE(third.Lock());
  }
  EXPECT_FALSE(win::ConfinedFolder_t(card.Wide()).Lock());
}

TEST_F(ConfinedFolder, AFolderThatIsGoneOrReplacedFailsEveryPathBelowIt)
{
  vtest::TempFolder moved;
  const win::ConfinedFolder_t confined(card.Wide());
  confined.CheckPresent();
  confined.Sync();
  fs::rename(card.Path(), moved / "card");
  EXPECT_EQ(CodeOf([&] { confined.CheckPresent(); }), static_cast<std::uint32_t>(ENOENT));
  fs::create_directory(card.Path());
  EXPECT_EQ(CodeOf([&] { confined.CheckPresent(); }), static_cast<std::uint32_t>(ENODEV));
  EXPECT_EQ(CodeOf([&] { confined.Sync(); }), static_cast<std::uint32_t>(ENODEV));
  EXPECT_EQ(CodeOf([&] { Write(card.Wide() + u"/ldr_sys/new.bin"); }), static_cast<std::uint32_t>(ENODEV));
  EXPECT_TRUE(vtest::FilesBelow(card.Path()).empty());
}

TEST(ConfinedFolderRoot, MustBeAFolder)
{
  vtest::TempFolder folder;
  vtest::WriteFile(folder / "file", "x");
  EXPECT_EQ(CodeOf([&] { win::ConfinedFolder_t(folder.Wide("file")); }), static_cast<std::uint32_t>(ENOTDIR));
  EXPECT_EQ(CodeOf([&] { win::ConfinedFolder_t(folder.Wide("missing")); }), static_cast<std::uint32_t>(ENOENT));
  EXPECT_GE(win::ConfinedFolder_t(folder.Wide()).AllocationUnit(), 512u);
}

}  // namespace
