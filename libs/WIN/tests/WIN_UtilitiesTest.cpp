#include "WIN_Utilities.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

#include "GLO_Text.h"
#include "TempFolder.h"
#include "WIN_Error.h"

namespace {

namespace fs = std::filesystem;
constexpr std::uint32_t AllAttributes =
    win::FileAttributeReadOnly | win::FileAttributeHidden | win::FileAttributeSystem;

std::u16string Wide(const fs::path& path)
{
  return glo::GLO_ToWide(path.string(), glo::CodePageUtf8);
}

// The code of the FileError_t that the action raises, with the path it names;
// 0 when it raises none.
template <class Action>
std::pair<std::uint32_t, std::u16string> FileErrorOf(Action action)
{
  try {
    action();
  } catch (const win::FileError_t& error) {
    const auto at = error.Message().rfind(u"Path: ");
    return {error.Code(), at == std::u16string::npos ? u"?" : error.Message().substr(at + 6)};
  }
  return {0, {}};
}

fs::perms Permissions(const fs::path& path)
{
  return fs::symlink_status(path).permissions();
}

TEST(CreateFolder, CreatesReplacesOrLeavesAlone)
{
  vtest::TempFolder folder;
  EXPECT_TRUE(win::WIN_CreateFolder(folder.Wide("new")));
  EXPECT_TRUE(fs::is_directory(folder / "new"));
  EXPECT_FALSE(win::WIN_CreateFolder(folder.Wide("new")));
  EXPECT_FALSE(win::WIN_CreateFolder(folder.Wide("new") + u"/"));

  vtest::WriteFile(folder / "new" / "keep.txt", "k");
  EXPECT_FALSE(win::WIN_CreateFolder(folder.Wide("new")));
  EXPECT_TRUE(fs::exists(folder / "new" / "keep.txt"));

  EXPECT_TRUE(win::WIN_CreateFolder(u"/"));  // a root counts as created
  EXPECT_THROW(win::WIN_CreateFolder(u""), glo::Assert_t);
}

TEST(CreateFolder, AFileOfThatNameIsLeftAlone)
{
  for (const std::u16string tail : {u"", u"/", u"\\"}) {
    vtest::TempFolder folder;
    vtest::WriteFile(folder / "name", "a file");
    const std::u16string path = folder.Wide("name") + tail;
    EXPECT_EQ(FileErrorOf([&] { win::WIN_CreateFolder(path); }), std::make_pair(std::uint32_t(ENOTDIR), path));
    EXPECT_EQ(vtest::ReadFile(folder / "name"), "a file");
  }
}

TEST(CreateFolder, LinksInTheWay)
{
  vtest::TempFolder folder;
  fs::create_directory(folder / "target");
  fs::create_directory_symlink(folder / "target", folder / "to-folder");
  fs::create_symlink(folder / "gone", folder / "dangling");
  EXPECT_FALSE(win::WIN_CreateFolder(folder.Wide("to-folder")));  // leads to a folder: kept
  EXPECT_TRUE(fs::is_symlink(folder / "to-folder"));
  EXPECT_EQ(FileErrorOf([&] { win::WIN_CreateFolder(folder.Wide("dangling")); }),
            std::make_pair(std::uint32_t(ENOTDIR), folder.Wide("dangling")));
  EXPECT_TRUE(fs::is_symlink(folder / "dangling"));
}

TEST(CreateFolder, AMissingParentFolderIsAnError)
{
  vtest::TempFolder folder;
  const std::u16string path = folder.Wide("missing") + u"/child";
  EXPECT_EQ(FileErrorOf([&] { win::WIN_CreateFolder(path); }), std::make_pair(std::uint32_t(ENOENT), path));
}

TEST(CreateFolders, CreatesEachFolderOfThePath)
{
  vtest::TempFolder folder;
  EXPECT_TRUE(win::WIN_CreateFolders(folder.Wide("a") + u"/b/"));
  EXPECT_TRUE(fs::is_directory(folder / "a" / "b"));
  EXPECT_FALSE(win::WIN_CreateFolders(folder.Wide("a") + u"/b/"));

  // Card layout names keep their backslashes.
  EXPECT_TRUE(win::WIN_CreateFolders(folder.Wide() + u"\\ldr_sys\\charts\\"));
  EXPECT_TRUE(fs::is_directory(folder / "ldr_sys" / "charts"));

  // What follows the last separator is no folder.
  EXPECT_TRUE(win::WIN_CreateFolders(folder.Wide("c") + u"/file.bin"));
  EXPECT_TRUE(fs::is_directory(folder / "c"));
  EXPECT_FALSE(fs::exists(folder / "c" / "file.bin"));

  // A relative path starts with a folder of its own.
  const vtest::CurrentFolder current(folder.Path());
  EXPECT_TRUE(win::WIN_CreateFolders(u"r/s/"));
  EXPECT_TRUE(fs::is_directory(folder / "r" / "s"));
}

TEST(CreateFolders, AFileInTheWayIsRefused)
{
  vtest::TempFolder folder;
  vtest::WriteFile(folder / "a", "file");
  EXPECT_EQ(FileErrorOf([&] { win::WIN_CreateFolders(folder.Wide("a") + u"/b/"); }),
            std::make_pair(std::uint32_t(ENOTDIR), folder.Wide("a") + u"/"));
  EXPECT_EQ(vtest::ReadFile(folder / "a"), "file");
}

TEST(CreateFoldersForFile, CreatesTheFoldersAboveAMissingFile)
{
  vtest::TempFolder folder;
  win::WIN_CreateFoldersForFile(folder.Wide() + u"/ldr_sys\\db\\avtn_db.bin");
  EXPECT_TRUE(fs::is_directory(folder / "ldr_sys" / "db"));
  EXPECT_FALSE(fs::exists(folder / "ldr_sys" / "db" / "avtn_db.bin"));

  // Nothing is touched when the file or its folder exists.
  vtest::WriteFile(folder / "x", "file where a folder would go");
  win::WIN_CreateFoldersForFile(folder.Wide("x"));
  win::WIN_CreateFoldersForFile(folder.Wide("x2"));
  EXPECT_TRUE(fs::is_regular_file(folder / "x"));
  EXPECT_FALSE(fs::exists(folder / "x2"));
}

class DeleteFolderTree : public testing::Test {
 protected:
  // Read-only files and folders at several levels, and links that lead out.
  void SetUp() override
  {
    vtest::WriteFile(tree_ / "ro.txt", std::string(10, 'r'));
    vtest::WriteFile(tree_ / "sub" / "ro.bin", std::string(2000, 'b'));
    vtest::WriteFile(tree_ / "sub" / "normal", "12345");
    fs::create_directories(tree_ / "sub" / "empty");
    vtest::WriteFile(tree_ / "locked" / "inner", "1234567");
    vtest::WriteFile(outside_ / "kept.txt", "kept");
    fs::create_directory_symlink(outside_, tree_ / "sub" / "to-outside");
    fs::create_symlink(outside_ / "kept.txt", tree_ / "file-link");
    for (const auto& path : {tree_ / "ro.txt", tree_ / "sub" / "ro.bin", outside_ / "kept.txt"})
      fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(tree_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  }
  void TearDown() override
  {
    std::error_code ignored;
    fs::permissions(tree_ / "locked", fs::perms::owner_all, fs::perm_options::add, ignored);
  }

  vtest::TempFolder folder_;
  fs::path tree_ = folder_ / "tree";
  fs::path outside_ = folder_ / "outside";
};

TEST_F(DeleteFolderTree, DeletesEverythingAndReportsTheSizes)
{
  std::vector<std::uint32_t> sizes;
  win::WIN_DeleteFolderTree(Wide(tree_) + u"/", AllAttributes, [&](std::uint32_t bytes) { sizes.push_back(bytes); });
  EXPECT_FALSE(fs::exists(fs::symlink_status(tree_)));
  std::sort(sizes.begin(), sizes.end());
  // Links are reported with no size of their own.
  EXPECT_EQ(sizes, (std::vector<std::uint32_t>{0, 0, 5, 7, 10, 2000}));
  // Links are deleted, never followed, nor is what they lead to changed.
  EXPECT_EQ(vtest::ReadFile(outside_ / "kept.txt"), "kept");
  EXPECT_EQ(Permissions(outside_ / "kept.txt") & fs::perms::owner_write, fs::perms::none);
}

TEST_F(DeleteFolderTree, WorksWithoutAnObserver)
{
  win::WIN_DeleteFolderTree(Wide(tree_), win::FileAttributeReadOnly);
  EXPECT_FALSE(fs::exists(fs::symlink_status(tree_)));
}

TEST_F(DeleteFolderTree, MissingFolderOrNoFolder)
{
  // Callers take ENOENT for a tree that was never there.
  const std::u16string missing = Wide(folder_ / "missing");
  EXPECT_EQ(FileErrorOf([&] { win::WIN_DeleteFolderTree(missing, AllAttributes); }),
            std::make_pair(std::uint32_t(ENOENT), missing));

  const std::u16string file = Wide(tree_ / "ro.txt");
  EXPECT_EQ(FileErrorOf([&] { win::WIN_DeleteFolderTree(file, AllAttributes); }),
            std::make_pair(std::uint32_t(ENOTDIR), file));

  // A link to a folder is not followed: the folder it leads to stays whole.
  const std::u16string link = Wide(tree_ / "sub" / "to-outside");
  EXPECT_EQ(FileErrorOf([&] { win::WIN_DeleteFolderTree(link, AllAttributes); }).first, std::uint32_t(ENOTDIR));
  EXPECT_TRUE(fs::exists(outside_ / "kept.txt"));
  EXPECT_TRUE(fs::exists(tree_ / "sub" / "normal"));

  EXPECT_THROW(win::WIN_DeleteFolderTree(u"", 0), glo::Assert_t);
}

TEST_F(DeleteFolderTree, AFileTooLargeToReport)
{
  fs::resize_file(tree_ / "sub" / "normal", 5ull << 30);  // sparse
  EXPECT_THROW(win::WIN_DeleteFolderTree(Wide(tree_), AllAttributes, [](std::uint32_t) {}), glo::OutOfRange_t);
}

TEST(ClearFileAttributes, ReadOnlyGetsTheOwnersWritePermission)
{
  vtest::TempFolder folder;
  const auto readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  vtest::WriteFile(folder / "f", "");
  fs::create_directory(folder / "d");
  for (const char* name : {"f", "d"}) fs::permissions(folder / name, readOnly);

  // Hidden and system do not exist here: clearing them changes nothing.
  win::WIN_ClearFileAttributes(folder.Wide("f"), win::FileAttributeHidden | win::FileAttributeSystem);
  EXPECT_EQ(Permissions(folder / "f"), readOnly);

  win::WIN_ClearFileAttributes(folder.Wide("f"), AllAttributes);
  win::WIN_ClearFileAttributes(folder.Wide("d") + u"/", win::FileAttributeReadOnly);
  for (const char* name : {"f", "d"}) EXPECT_EQ(Permissions(folder / name), readOnly | fs::perms::owner_write);

  // A file that others may write is no read-only file: left as it is.
  vtest::WriteFile(folder / "g", "");
  fs::permissions(folder / "g", readOnly | fs::perms::group_write);
  win::WIN_ClearFileAttributes(folder.Wide("g"), AllAttributes);
  EXPECT_EQ(Permissions(folder / "g"), readOnly | fs::perms::group_write);
}

TEST(ClearFileAttributes, LinksAndMissingFiles)
{
  vtest::TempFolder folder;
  vtest::WriteFile(folder / "target", "");
  fs::permissions(folder / "target", fs::perms::owner_read);
  fs::create_symlink(folder / "target", folder / "link");
  win::WIN_ClearFileAttributes(folder.Wide("link"), AllAttributes);
  EXPECT_EQ(Permissions(folder / "target"), fs::perms::owner_read);

  const std::u16string missing = folder.Wide("missing");
  EXPECT_EQ(FileErrorOf([&] { win::WIN_ClearFileAttributes(missing, AllAttributes); }),
            std::make_pair(std::uint32_t(ENOENT), missing));
}

TEST(DeleteFile, TellsWhetherTheFileWentAway)
{
  vtest::TempFolder folder;
  vtest::WriteFile(folder / "ldr_sys" / "avtn_db.bin", "db");
  fs::permissions(folder / "ldr_sys" / "avtn_db.bin", fs::perms::owner_read);
  fs::create_directory(folder / "dir");
  EXPECT_TRUE(win::WIN_DeleteFile(folder.Wide() + u"\\ldr_sys\\avtn_db.bin"));
  EXPECT_FALSE(fs::exists(folder / "ldr_sys" / "avtn_db.bin"));
  EXPECT_FALSE(win::WIN_DeleteFile(folder.Wide("ldr_sys") + u"/avtn_db.bin"));
  EXPECT_FALSE(win::WIN_DeleteFile(folder.Wide("dir")));
  EXPECT_TRUE(fs::is_directory(folder / "dir"));
}

TEST(GetFreeDiskSpace, TheBytesAvailableToTheCaller)
{
  vtest::TempFolder folder;
  // Others may write to the volume meanwhile; the figure lies between two
  // readings of the same value by the standard library, give or take.
  const std::uint64_t before = fs::space(folder.Path()).available;
  const std::uint64_t bytes = win::WIN_GetFreeDiskSpace(folder.Wide());
  const std::uint64_t after = fs::space(folder.Path()).available;
  const std::uint64_t slack = 256ull << 20;
  EXPECT_GT(bytes, 0u);
  EXPECT_GE(bytes + slack, std::min(before, after));
  EXPECT_LE(bytes, std::max(before, after) + slack);

  const std::u16string missing = folder.Wide("missing");
  EXPECT_EQ(FileErrorOf([&] { win::WIN_GetFreeDiskSpace(missing); }), std::make_pair(std::uint32_t(ENOENT), missing));
}

TEST(IsRootPath, TheRootAndMountPointsOnly)
{
  vtest::TempFolder folder;
  fs::create_directory(folder / "sub");
  const std::pair<std::u16string, bool> cases[] = {
      {u"/", true},
      {u"//", true},
      {u"\\", true},
      {u"/proc", true},  // a volume of its own on every Linux system
      {u"/proc/", true},
      {u"\\proc\\", true},
      {u"/proc/self", false},
      {folder.Wide(), false},
      {folder.Wide("sub") + u"/", false},
      {folder.Wide("missing"), false},
  };
  for (const auto& [path, root] : cases)
    EXPECT_EQ(win::WIN_IsRootPath(path), root) << glo::GLO_ToNarrow(path, glo::CodePageUtf8);
  EXPECT_THROW(win::WIN_IsRootPath(u""), glo::Assert_t);
}

}  // namespace
