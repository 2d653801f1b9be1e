// What a path names, and a finished file put in the place of another, on
// real files, links, folders and special files.

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

#include "TempFolder.h"
#include "WIN_Error.h"
#include "WIN_ReplaceFile.h"
#include "WIN_Utilities.h"

namespace {

namespace fs = std::filesystem;
using win::PathKind_t;

// Makes something at a path of the folder.
using Maker_t = std::function<void(const vtest::TempFolder& folder, const fs::path& path)>;

void MakeFile(const vtest::TempFolder&, const fs::path& path)
{
  vtest::WriteFile(path, "old");
}

void MakeLinkToFile(const vtest::TempFolder& folder, const fs::path& path)
{
  vtest::WriteFile(folder / "target", "target");
  fs::create_symlink(folder / "target", path);
}

void MakeDanglingLink(const vtest::TempFolder& folder, const fs::path& path)
{
  fs::create_symlink(folder / "nowhere", path);
}

void MakeLinkToFolder(const vtest::TempFolder& folder, const fs::path& path)
{
  fs::create_directory(folder / "elsewhere");
  fs::create_directory_symlink(folder / "elsewhere", path);
}

void MakeFolder(const vtest::TempFolder&, const fs::path& path)
{
  fs::create_directory(path);
}

void MakeFifo(const vtest::TempFolder&, const fs::path& path)
{
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
}

void MakeSocket(const vtest::TempFolder&, const fs::path& path)
{
  ASSERT_EQ(::mknod(path.c_str(), S_IFSOCK | 0600, 0), 0);
}

// A device node needs root; the same numbers as /dev/null.
bool MakeDevice(const fs::path& path)
{
  return ::geteuid() == 0 && ::mknod(path.c_str(), S_IFCHR | 0600, ::makedev(1, 3)) == 0;
}

struct KindCase {
  const char* what;
  Maker_t make;
  PathKind_t kind;
};

const KindCase Kinds[] = {
    {"nothing", nullptr, PathKind_t::Missing},
    {"file", MakeFile, PathKind_t::File},
    {"link to a file", MakeLinkToFile, PathKind_t::Link},
    {"dangling link", MakeDanglingLink, PathKind_t::Link},
    {"link to a folder", MakeLinkToFolder, PathKind_t::Link},
    {"folder", MakeFolder, PathKind_t::Folder},
    {"FIFO", MakeFifo, PathKind_t::Special},
    {"socket", MakeSocket, PathKind_t::Special},
};

TEST(PathKind, WhatThePathNamesItself)
{
  for (const auto& c : Kinds) {
    SCOPED_TRACE(c.what);
    vtest::TempFolder folder;
    if (c.make) c.make(folder, folder / "out");
    EXPECT_EQ(win::WIN_PathKind(folder.Wide("out")), c.kind);
  }
  vtest::TempFolder folder;
  EXPECT_EQ(win::WIN_PathKind(folder.Wide("missing/out")), PathKind_t::Missing);
  if (MakeDevice(folder / "device")) {
    EXPECT_EQ(win::WIN_PathKind(folder.Wide("device")), PathKind_t::Special);
  }
}

TEST(PathKind, APathThroughAFileIsAnError)
{
  vtest::TempFolder folder;
  vtest::WriteFile(folder / "file", "");
  try {
    win::WIN_PathKind(folder.Wide("file/out"));
    ADD_FAILURE() << "no error";
  } catch (const win::FileError_t& error) {
    EXPECT_EQ(error.Code(), static_cast<std::uint32_t>(ENOTDIR));
  }
}

TEST(ReplaceFile, TakesThePlaceOfAFileOrALinkItself)
{
  for (const auto& c : Kinds) {
    if (c.kind != PathKind_t::Missing && c.kind != PathKind_t::File && c.kind != PathKind_t::Link) continue;
    SCOPED_TRACE(c.what);
    vtest::TempFolder folder;
    if (c.make) c.make(folder, folder / "out");
    vtest::WriteFile(folder / "new", "new");
    win::WIN_ReplaceFile(folder.Wide("new"), folder.Wide("out"));
    EXPECT_EQ(win::WIN_PathKind(folder.Wide("out")), PathKind_t::File);
    EXPECT_EQ(vtest::ReadFile(folder / "out"), "new");
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder / "new")));
    // What a link pointed to is left as it was.
    if (fs::exists(folder / "target")) {
      EXPECT_EQ(vtest::ReadFile(folder / "target"), "target");
    }
    if (fs::exists(folder / "elsewhere")) {
      EXPECT_TRUE(fs::is_empty(folder / "elsewhere"));
    }
  }
}

// The code of the FileError_t that the replacement raises; 0 for none.
std::uint32_t ReplaceError(const vtest::TempFolder& folder)
{
  try {
    win::WIN_ReplaceFile(folder.Wide("new"), folder.Wide("out"));
  } catch (const win::FileError_t& error) {
    return error.Code();
  }
  return 0;
}

TEST(ReplaceFile, NeverTakesThePlaceOfAFolderOrASpecialFile)
{
  struct RefusalCase {
    const char* what;
    Maker_t make;
    int code;
  };
  const RefusalCase cases[] = {
      {"folder", MakeFolder, EISDIR},
      {"FIFO", MakeFifo, EEXIST},
      {"socket", MakeSocket, EEXIST},
      {"device", [](const vtest::TempFolder&, const fs::path& path) { ASSERT_TRUE(MakeDevice(path)); }, EEXIST},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (std::string(c.what) == "device" && ::geteuid() != 0) continue;  // root alone makes device nodes
    vtest::TempFolder folder;
    c.make(folder, folder / "out");
    const auto kind = win::WIN_PathKind(folder.Wide("out"));
    vtest::WriteFile(folder / "new", "new");
    EXPECT_EQ(ReplaceError(folder), static_cast<std::uint32_t>(c.code));
    EXPECT_EQ(win::WIN_PathKind(folder.Wide("out")), kind);
    EXPECT_EQ(vtest::ReadFile(folder / "new"), "new");
  }
}

TEST(ReplaceFile, AMissingFileToMoveIsAnError)
{
  vtest::TempFolder folder;
  vtest::WriteFile(folder / "out", "old");
  EXPECT_EQ(ReplaceError(folder), static_cast<std::uint32_t>(ENOENT));
  EXPECT_EQ(vtest::ReadFile(folder / "out"), "old");
}

}  // namespace
