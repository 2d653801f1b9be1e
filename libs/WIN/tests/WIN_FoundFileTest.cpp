#include "WIN_FoundFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "GLO_Text.h"
#include "TempFolder.h"
#include "WIN_Error.h"
#include "WIN_File.h"
#include "WIN_FileSystem.h"

namespace {

namespace fs = std::filesystem;

struct Entry {
  bool isFolder;
  std::uint64_t size;
  bool operator==(const Entry&) const = default;
};
using Entries = std::map<std::string, Entry>;

Entries Search(const std::u16string& path)
{
  Entries entries;
  for (win::FoundFile_t found(path); found.Found(); found.Next()) {
    const bool added =
        entries.emplace(glo::GLO_ToNarrow(found.Name(), glo::CodePageUtf8), Entry{found.IsFolder(), found.Size()})
            .second;
    EXPECT_TRUE(added) << "reported twice";
  }
  return entries;
}

// A folder as a card's chart folder might hold it, with links besides.
class FoundFile : public testing::Test {
 protected:
  void SetUp() override
  {
    vtest::WriteFile(folder_ / "a.jnx", "aaa");
    vtest::WriteFile(folder_ / "B.JNX", "bbbbb");
    vtest::WriteFile(folder_ / "chart[1].jnx", "c");
    vtest::WriteFile(folder_ / "Zürich.jnx", "zz");
    vtest::WriteFile(folder_ / "notes.txt", "");
    vtest::WriteFile(folder_ / "README", "0123456789");
    vtest::WriteFile(folder_ / "charts" / "inner.jnx", "inner");
    fs::create_directory_symlink(folder_ / "charts", folder_ / "charts-link");
    fs::create_symlink(folder_ / "README", folder_ / "readme.jnx");
  }

  std::u16string In(const std::u16string& pattern) const { return folder_.Wide() + u"/" + pattern; }

  vtest::TempFolder folder_;
};

TEST_F(FoundFile, EveryEntryOfAFolder)
{
  const Entries expected = {
      {"B.JNX", {false, 5}},
      {"README", {false, 10}},
      {"Zürich.jnx", {false, 2}},
      {"a.jnx", {false, 3}},
      {"chart[1].jnx", {false, 1}},
      {"charts", {true, 0}},
      {"charts-link", {false, 0}},  // a link is no folder,
                                    // so walks cannot loop
      {"notes.txt", {false, 0}},
      {"readme.jnx", {false, 10}},  // the size of the file it leads to
  };
  EXPECT_EQ(Search(In(u"*")), expected);
  EXPECT_EQ(Search(In(u"*.*")), expected);  // also names without a dot
}

TEST_F(FoundFile, PatternsSelectEntries)
{
  const std::pair<std::u16string, std::set<std::string>> cases[] = {
      {u"*.jnx", {"B.JNX", "Zürich.jnx", "a.jnx", "chart[1].jnx", "readme.jnx"}},
      {u"?.jnx", {"B.JNX", "a.jnx"}},
      {u"readme", {"README"}},
      {u"chart[1].jnx", {"chart[1].jnx"}},  // brackets stand for themselves
      {u"chart?.jnx", {}},
      {u"Z*", {"Zürich.jnx"}},
      {u"*.bin", {}},
      {u"notes.txt", {"notes.txt"}},
  };
  for (const auto& [pattern, names] : cases) {
    SCOPED_TRACE(glo::GLO_ToNarrow(pattern, glo::CodePageUtf8));
    std::set<std::string> found;
    for (const auto& entry : Search(In(pattern))) found.insert(entry.first);
    EXPECT_EQ(found, names);
  }
}

TEST_F(FoundFile, SeparatorsAndPathsWithoutEntries)
{
  // A trailing separator finds the folder itself.
  EXPECT_EQ(Search(folder_.Wide() + u"/charts/"), (Entries{{"charts", {true, 0}}}));
  EXPECT_EQ(Search(folder_.Wide() + u"/charts\\"), (Entries{{"charts", {true, 0}}}));
  EXPECT_EQ(Search(folder_.Wide() + u"\\charts\\*"), (Entries{{"inner.jnx", {false, 5}}}));

  for (const std::u16string& path : {std::u16string(), In(u"missing/*"), In(u"missing.jnx"), In(u"notes.txt/*")}) {
    SCOPED_TRACE(glo::GLO_ToNarrow(path, glo::CodePageUtf8));
    const win::FoundFile_t found(path);
    EXPECT_FALSE(found.Found());
  }
}

TEST_F(FoundFile, FilesBeyondFourGigabytes)
{
  fs::resize_file(folder_ / "notes.txt", 5ull << 30);  // sparse
  const win::FoundFile_t found(In(u"notes.txt"));
  ASSERT_TRUE(found.Found());
  EXPECT_EQ(found.Size(), 5ull << 30);
}

TEST_F(FoundFile, NothingToReadAfterTheEnd)
{
  win::FoundFile_t found(In(u"a.jnx"));
  ASSERT_TRUE(found.Found());
  found.Next();
  EXPECT_FALSE(found.Found());
  EXPECT_THROW(found.Next(), glo::Assert_t);
  EXPECT_THROW(found.Name(), glo::Assert_t);
  EXPECT_THROW(found.IsFolder(), glo::Assert_t);
  EXPECT_THROW(found.Size(), glo::Assert_t);
}

// Names are bytes: one that is not UTF-8 is reported with its undecodable
// bytes as lone surrogates, and opens again by the name reported.
TEST(FoundFileNames, NamesThatAreNotUtf8AreFoundAndOpenAgain)
{
  vtest::TempFolder folder;
  const std::pair<std::string, std::u16string> names[] = {
      {"caf\xE9.jnx", u"caf\xDCE9.jnx"},
      {"\xFF\x80.jnx", u"\xDCFF\xDC80.jnx"},
      {"\xED\xA0\x80.jnx", u"\xDCED\xDCA0\xDC80.jnx"},
      {"caf\xC3\xA9.jnx", u"caf\u00E9.jnx"},
  };
  for (const auto& [bytes, wide] : names) vtest::WriteFile(folder / bytes, bytes);
  std::set<std::u16string> found;
  for (win::FoundFile_t entry(folder.Wide() + u"/*.JNX"); entry.Found(); entry.Next()) {
    found.insert(entry.Name());
    win::File_t file;
    file.Open(folder.Wide() + u"/" + entry.Name(), win::FileAccess_t::Read, win::FileCreation_t::OpenExisting);
    EXPECT_EQ(file.Size(), glo::GLO_FileNameToNarrow(entry.Name()).size());
  }
  std::set<std::u16string> expected;
  for (const auto& [bytes, wide] : names) expected.insert(wide);
  EXPECT_EQ(found, expected);
  // A plain name finds its one entry.
  const win::FoundFile_t one(folder.Wide("caf\xE9.jnx"));
  ASSERT_TRUE(one.Found());
  EXPECT_EQ(one.Name(), u"caf\xDCE9.jnx");
}

// A card reader without its card cannot be had here; what the failure to open
// its folder means is checked on its own.
TEST(FoundFileSearchFailure, OnlyAMissingMediumIsReported)
{
  try {
    win::WIN_CheckSearchFailure(ENOMEDIUM, u"/media/reader/*");
    ADD_FAILURE() << "no exception";
  } catch (const win::DeviceNotReadyError_t& error) {
    EXPECT_EQ(error.Path(), u"/media/reader/*");
    EXPECT_EQ(error.Code(), std::uint32_t(ENOMEDIUM));
  }
  for (int code : {ENOENT, EACCES, ENOTDIR, EIO}) EXPECT_NO_THROW(win::WIN_CheckSearchFailure(code, u"/x/*"));
}

}  // namespace
