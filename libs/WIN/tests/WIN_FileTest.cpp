#include "WIN_File.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "TempFolder.h"
#include "WIN_Error.h"
#include "WIN_FileMapping.h"

namespace {

namespace fs = std::filesystem;
using win::FileAccess_t;
using win::FileCreation_t;
using win::FileShare_t;
using win::SeekFrom_t;

// The code of the win::Error_t that the action raises; 0 when it raises none.
template <class Error = win::Error_t>
std::uint32_t CodeOf(const std::function<void()>& action)
{
  try {
    action();
  } catch (const Error& error) {
    return error.Code();
  }
  return 0;
}

std::string Text(const win::MappedFileView_t& view)
{
  return std::string(reinterpret_cast<const char*>(view.Base()), view.Size());
}

TEST(File, WritesSeeksAndCutsTheFile)
{
  vtest::TempFolder folder;
  const fs::path path = folder / "data.bin";
  win::File_t file;
  file.Open(folder.Wide("data.bin"), FileAccess_t::ReadWrite, FileCreation_t::CreateNew,
            win::FileFlags_t::WriteThrough | win::FileFlags_t::SequentialScan, FileShare_t::None);
  EXPECT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Path(), folder.Wide("data.bin"));
  EXPECT_EQ(file.Write("abcdefgh", 8), 8u);
  EXPECT_EQ(file.Size(), 8u);

  EXPECT_EQ(file.Seek(-3, SeekFrom_t::End), 5u);
  EXPECT_EQ(file.Seek(1, SeekFrom_t::Current), 6u);
  file.Write("XY", 2);
  EXPECT_EQ(vtest::ReadFile(path), "abcdefXY");

  file.Seek(4, SeekFrom_t::Begin);
  file.SetEnd();
  EXPECT_EQ(file.Size(), 4u);
  file.Seek(6, SeekFrom_t::Begin);
  file.Write("z", 1);
  EXPECT_EQ(vtest::ReadFile(path), std::string("abcd\0\0z", 7));

  file.Truncate();
  EXPECT_EQ(file.Size(), 0u);
  EXPECT_EQ(file.Seek(0, SeekFrom_t::Current), 0u);
  file.Flush();
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(fs::file_size(path), 0u);
}

TEST(File, SizesAndPositionsBeyondFourGigabytes)
{
  vtest::TempFolder folder;
  win::File_t file;
  file.Open(folder.Wide("big.bin"), FileAccess_t::ReadWrite, FileCreation_t::CreateNew);
  const std::uint64_t fiveGiB = 5ull << 30;
  EXPECT_EQ(file.Seek(static_cast<std::int64_t>(fiveGiB), SeekFrom_t::Begin), fiveGiB);
  file.SetEnd();  // sparse: no data is written
  EXPECT_EQ(file.Size(), fiveGiB);
  EXPECT_EQ(file.Seek(-1, SeekFrom_t::End), fiveGiB - 1);
}

TEST(File, CreationDispositions)
{
  struct Case {
    FileCreation_t creation;
    bool exists;
    std::uint32_t error;  // 0: opens
    const char* content;  // afterwards; null: no file
  };
  const Case cases[] = {
      {FileCreation_t::CreateNew, false, 0, ""},
      {FileCreation_t::CreateNew, true, EEXIST, "old"},
      {FileCreation_t::CreateAlways, false, 0, ""},
      {FileCreation_t::CreateAlways, true, 0, ""},
      {FileCreation_t::OpenExisting, false, ENOENT, nullptr},
      {FileCreation_t::OpenExisting, true, 0, "old"},
      {FileCreation_t::OpenAlways, false, 0, ""},
      {FileCreation_t::OpenAlways, true, 0, "old"},
      {FileCreation_t::TruncateExisting, false, ENOENT, nullptr},
      {FileCreation_t::TruncateExisting, true, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "creation " << static_cast<int>(c.creation) << ", exists " << c.exists);
    vtest::TempFolder folder;
    if (c.exists) vtest::WriteFile(folder / "f.dat", "old");
    win::File_t file;
    try {
      file.Open(folder.Wide("f.dat"), FileAccess_t::ReadWrite, c.creation);
      EXPECT_EQ(c.error, 0u);
    } catch (const win::FileError_t& error) {
      EXPECT_EQ(error.Code(), c.error);
      // Open names the path.
      const std::u16string tail = u"Path: " + folder.Wide("f.dat");
      EXPECT_TRUE(error.Message().ends_with(tail));
      EXPECT_FALSE(file.IsOpen());
    }
    file.Close();
    if (c.content == nullptr)
      EXPECT_FALSE(fs::exists(folder / "f.dat"));
    else
      EXPECT_EQ(vtest::ReadFile(folder / "f.dat"), c.content);
  }
}

TEST(File, OpenRefusesAFolder)
{
  vtest::TempFolder folder;
  win::File_t file;
  EXPECT_EQ(
      CodeOf<win::FileError_t>([&] { file.Open(folder.Wide(), FileAccess_t::Read, FileCreation_t::OpenExisting); }),
      std::uint32_t(EISDIR));
  EXPECT_FALSE(file.IsOpen());
}

TEST(File, BackslashesSeparateFolders)
{
  vtest::TempFolder folder;
  fs::create_directory(folder / "ldr_sys");
  win::File_t file;
  file.Open(folder.Wide() + u"\\ldr_sys\\avtn_db.bin", FileAccess_t::Write, FileCreation_t::CreateAlways);
  file.Write("db", 2);
  file.Close();
  EXPECT_EQ(vtest::ReadFile(folder / "ldr_sys" / "avtn_db.bin"), "db");
}

TEST(File, WritingNeedsWriteAccess)
{
  vtest::TempFolder folder;
  vtest::WriteFile(folder / "f.dat", "old");
  win::File_t file;
  file.Open(folder.Wide("f.dat"), FileAccess_t::Read, FileCreation_t::OpenExisting);
  EXPECT_THROW(file.Write("x", 1), glo::Assert_t);
  EXPECT_THROW(file.Flush(), glo::Assert_t);
  file.Close();
  EXPECT_EQ(vtest::ReadFile(folder / "f.dat"), "old");
}

TEST(File, FailuresAfterOpenHaveNoPath)
{
  vtest::TempFolder folder;
  win::File_t file;
  file.Open(folder.Wide("f.dat"), FileAccess_t::ReadWrite, FileCreation_t::CreateNew);
  file.Close();
  const std::pair<const char*, std::function<void()>> calls[] = {
      {"Size", [&] { file.Size(); }},         {"Seek", [&] { file.Seek(0, SeekFrom_t::Begin); }},
      {"SetEnd", [&] { file.SetEnd(); }},     {"Truncate", [&] { file.Truncate(); }},
      {"Write", [&] { file.Write("x", 1); }}, {"Flush", [&] { file.Flush(); }},
  };
  for (const auto& [name, call] : calls) {
    SCOPED_TRACE(name);
    try {
      call();
      ADD_FAILURE() << "no exception";
    } catch (const win::FileError_t& error) {
      EXPECT_EQ(error.Code(), std::uint32_t(EBADF));
      EXPECT_TRUE(error.Message().ends_with(u"\nPath: "));
    }
  }
  file.Close();  // closing twice does nothing
}

TEST(File, NegativePositionIsRefused)
{
  vtest::TempFolder folder;
  win::File_t file;
  file.Open(folder.Wide("f.dat"), FileAccess_t::ReadWrite, FileCreation_t::CreateNew);
  EXPECT_EQ(CodeOf<win::FileError_t>([&] { file.Seek(-1, SeekFrom_t::Begin); }), std::uint32_t(EINVAL));
}

TEST(File, ShareModesBetweenOpeners)
{
  struct Case {
    FileAccess_t firstAccess;
    FileShare_t firstShare;
    FileAccess_t secondAccess;
    FileShare_t secondShare;
    bool admitted;
  };
  using A = FileAccess_t;
  using S = FileShare_t;
  const Case cases[] = {
      {A::Read, S::ReadWrite, A::ReadWrite, S::ReadWrite, true},
      {A::Read, S::Read, A::Read, S::Read, true},             // readers that deny writing
      {A::Read, S::Read, A::ReadWrite, S::ReadWrite, false},  // first denies writing
      {A::ReadWrite, S::ReadWrite, A::Read, S::Read, false},  // second denies the first's writing
      {A::ReadWrite, S::None, A::Read, S::ReadWrite, false},
      {A::Read, S::Write, A::Write, S::ReadWrite, true},  // denies reading only
      {A::Read, S::Write, A::Read, S::ReadWrite, false},
      {A::Write, S::ReadWrite, A::Read, S::Write, true},  // write-only openers mark as well
      {A::Write, S::None, A::Read, S::ReadWrite, false},
      {A::Write, S::ReadWrite, A::Write, S::None, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.firstAccess) << "/" << static_cast<int>(c.firstShare)
                                    << " then " << static_cast<int>(c.secondAccess) << "/"
                                    << static_cast<int>(c.secondShare));
    vtest::TempFolder folder;
    vtest::WriteFile(folder / "f.dat", "old");
    win::File_t first, second;
    first.Open(folder.Wide("f.dat"), c.firstAccess, FileCreation_t::OpenExisting, win::FileFlags_t::None, c.firstShare);
    const std::uint32_t error = CodeOf<win::FileError_t>([&] {
      second.Open(folder.Wide("f.dat"), c.secondAccess, FileCreation_t::OpenExisting, win::FileFlags_t::None,
                  c.secondShare);
    });
    EXPECT_EQ(error, c.admitted ? 0u : std::uint32_t(EWOULDBLOCK));
    EXPECT_EQ(second.IsOpen(), c.admitted);
  }
}

TEST(File, RefusedOpenLeavesTheFileAloneAndClosingLifts)
{
  vtest::TempFolder folder;
  vtest::WriteFile(folder / "f.dat", "old");
  const std::u16string path = folder.Wide("f.dat");
  {
    win::File_t reader;
    reader.Open(path, FileAccess_t::Read, FileCreation_t::OpenExisting, win::FileFlags_t::None, FileShare_t::Read);
    win::File_t writer;
    EXPECT_EQ(
        CodeOf<win::FileError_t>([&] { writer.Open(path, FileAccess_t::ReadWrite, FileCreation_t::CreateAlways); }),
        std::uint32_t(EWOULDBLOCK));
    EXPECT_EQ(vtest::ReadFile(folder / "f.dat"), "old");  // not emptied
  }
  // The reader's destructor closed the file and lifted its share mode.
  win::File_t writer;
  writer.Open(path, FileAccess_t::ReadWrite, FileCreation_t::CreateAlways, win::FileFlags_t::None, FileShare_t::None);
  EXPECT_EQ(vtest::ReadFile(folder / "f.dat"), "");
}

class FileMapping : public testing::Test {
 protected:
  // Three pages and a bit, each byte telling its offset.
  void SetUp() override
  {
    for (int i = 0; i < 13000; ++i) content_ += static_cast<char>('a' + i % 26);
    vtest::WriteFile(folder_ / "map.bin", content_);
  }
  void Open(FileAccess_t access) { file_.Open(folder_.Wide("map.bin"), access, FileCreation_t::OpenExisting); }

  vtest::TempFolder folder_;
  std::string content_;
  win::File_t file_;
};

TEST_F(FileMapping, ReadViewsShowTheFile)
{
  Open(FileAccess_t::Read);
  const win::FileMapping_t mapping(file_, win::MapProtection_t::ReadOnly);
  EXPECT_EQ(mapping.Size(), content_.size());
  win::MappedFileView_t view;
  EXPECT_FALSE(view.IsMapped());
  EXPECT_EQ(view.Base(), nullptr);
  view.Map(mapping, win::ViewAccess_t::Read);
  EXPECT_EQ(Text(view), content_);
  view.Unmap();
  EXPECT_FALSE(view.IsMapped());

  // Offsets need not fall on a page.
  view.Map(mapping, win::ViewAccess_t::Read, 5003, 100);
  EXPECT_EQ(Text(view), content_.substr(5003, 100));
  view.Unmap();
  view.Map(mapping, win::ViewAccess_t::Read, 12999);
  EXPECT_EQ(Text(view), content_.substr(12999));
}

TEST_F(FileMapping, WriteViewsChangeTheFileCopyViewsDoNot)
{
  Open(FileAccess_t::ReadWrite);
  const win::FileMapping_t mapping(file_, win::MapProtection_t::ReadWrite);
  {
    win::MappedFileView_t copy;
    copy.Map(mapping, win::ViewAccess_t::Copy, 4096, 3);
    std::memcpy(copy.Base(), "CCC", 3);
    EXPECT_EQ(Text(copy), "CCC");
  }
  win::MappedFileView_t view;
  view.Map(mapping, win::ViewAccess_t::Write, 4097, 2);
  std::memcpy(view.Base(), "WW", 2);
  view.Unmap();
  std::string expected = content_;
  expected.replace(4097, 2, "WW");
  EXPECT_EQ(vtest::ReadFile(folder_ / "map.bin"), expected);
}

TEST_F(FileMapping, ALargerReadWriteMappingGrowsTheFile)
{
  Open(FileAccess_t::ReadWrite);
  const win::FileMapping_t mapping(file_, win::MapProtection_t::ReadWrite, 20000);
  EXPECT_EQ(fs::file_size(folder_ / "map.bin"), 20000u);
  win::MappedFileView_t view;
  view.Map(mapping, win::ViewAccess_t::Write, 19999, 1);
  *view.Base() = std::byte{'!'};
  view.Unmap();
  EXPECT_EQ(vtest::ReadFile(folder_ / "map.bin").back(), '!');
}

TEST_F(FileMapping, TheMappingOutlivesTheFile)
{
  Open(FileAccess_t::Read);
  const win::FileMapping_t mapping(file_, win::MapProtection_t::ReadOnly);
  file_.Close();
  win::MappedFileView_t view;
  view.Map(mapping, win::ViewAccess_t::Read, 0, 3);
  EXPECT_EQ(Text(view), "abc");
}

TEST_F(FileMapping, MappingsThatCannotBeMade)
{
  vtest::WriteFile(folder_ / "empty.bin", "");
  win::File_t empty;
  empty.Open(folder_.Wide("empty.bin"), FileAccess_t::ReadWrite, FileCreation_t::OpenExisting);
  Open(FileAccess_t::Read);
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"empty file", [&] { win::FileMapping_t(empty, win::MapProtection_t::ReadWrite); }},
      {"read-write of a file opened to read", [&] { win::FileMapping_t(file_, win::MapProtection_t::ReadWrite); }},
      {"read-only beyond the end", [&] { win::FileMapping_t(file_, win::MapProtection_t::ReadOnly, 20000); }},
  };
  const std::uint32_t codes[] = {EINVAL, EACCES, EINVAL};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].first);
    EXPECT_EQ(CodeOf<win::MappedFileError_t>(cases[i].second), codes[i]);
  }
  EXPECT_EQ(fs::file_size(folder_ / "map.bin"), content_.size());
}

TEST_F(FileMapping, ViewsThatCannotBeMapped)
{
  Open(FileAccess_t::ReadWrite);
  const win::FileMapping_t readOnly(file_, win::MapProtection_t::ReadOnly);
  win::MappedFileView_t view;
  EXPECT_EQ(CodeOf([&] { view.Map(readOnly, win::ViewAccess_t::Read, content_.size()); }), std::uint32_t(EINVAL));
  EXPECT_EQ(CodeOf([&] { view.Map(readOnly, win::ViewAccess_t::Read, 100, content_.size()); }), std::uint32_t(EINVAL));
  EXPECT_EQ(CodeOf([&] { view.Map(readOnly, win::ViewAccess_t::Write); }), std::uint32_t(EACCES));
  EXPECT_FALSE(view.IsMapped());

  view.Map(readOnly, win::ViewAccess_t::Read);
  EXPECT_THROW(view.Map(readOnly, win::ViewAccess_t::Read), glo::Assert_t);
  EXPECT_EQ(Text(view), content_);
}

}  // namespace
