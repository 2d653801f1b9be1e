#include "FIL_File.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "FIL_Exceptions.h"
#include "GLO_Exception.h"
#include "TempFolder.h"

namespace {

using fil::File_t;

class FileTest : public testing::Test {
 protected:
  void SetUp() override { vtest::WriteFile(folder / "data.bin", "0123456789"); }
  std::u16string Path() const { return folder.Wide("data.bin"); }

  vtest::TempFolder folder;
};

TEST_F(FileTest, AMissingFileIsNotFoundAndNamedByItsPath)
{
  File_t file;
  try {
    file.open(folder.Wide("missing.bin"), fil::ModeRead, fil::DenyNone);
    FAIL() << "no exception";
  } catch (const fil::FileNotFound_t& error) {
    EXPECT_EQ(error.Message(), folder.Wide("missing.bin"));
    EXPECT_EQ(error.Path(), folder.Wide("missing.bin"));
  }
  EXPECT_FALSE(file.isOpen());
}

TEST_F(FileTest, ShareModesOfTwoOpeners)
{
  struct Case {
    int firstMode, firstShare, secondMode, secondShare;
    bool inUse;
  };
  const Case cases[] = {
      {fil::ModeRead, fil::DenyNone, fil::ModeRead, fil::DenyNone, false},
      {fil::ModeRead, fil::DenyWrite, fil::ModeRead, fil::DenyNone, false},
      {fil::ModeRead, fil::DenyWrite, fil::ModeReadWrite, fil::DenyNone, true},
      {fil::ModeRead, fil::DenyWrite, fil::ModeAppend, fil::DenyNone, true},
      {fil::ModeRead, fil::DenyNone, fil::ModeRead, fil::DenyWrite, false},
      {fil::ModeReadWrite, fil::DenyNone, fil::ModeRead, fil::DenyWrite, true},
      {fil::ModeAppend, fil::DenyNone, fil::ModeRead, fil::DenyWrite, true},
      {fil::ModeRead, fil::DenyReadWrite, fil::ModeRead, fil::DenyNone, true},
      {fil::ModeRead, fil::DenyNone, fil::ModeRead, fil::DenyReadWrite, true},
      {fil::ModeRead, fil::DenyRead, fil::ModeRead, fil::DenyNone, true},
      {fil::ModeRead, fil::DenyRead, fil::ModeAppend, fil::DenyNone, false},
      {fil::ModeAppend, fil::DenyNone, fil::ModeRead, fil::DenyRead, false},
  };
  for (const auto& c : cases) {
    File_t first, second;
    first.open(Path(), c.firstMode, c.firstShare);
    const std::string label = std::to_string(c.firstMode) + "/" + std::to_string(c.firstShare) + " then " +
                              std::to_string(c.secondMode) + "/" + std::to_string(c.secondShare);
    if (!c.inUse) {
      EXPECT_NO_THROW(second.open(Path(), c.secondMode, c.secondShare)) << label;
      continue;
    }
    try {
      second.open(Path(), c.secondMode, c.secondShare);
      ADD_FAILURE() << "admitted " << label;
    } catch (const fil::FileInUse_t& error) {
      EXPECT_EQ(error.Message(), Path() + u" Resource temporarily unavailable\n") << label;
    }
    EXPECT_FALSE(second.isOpen()) << label;
    first.close();
    EXPECT_NO_THROW(second.open(Path(), c.secondMode, c.secondShare)) << label << ", after the first closed";
  }
}

TEST_F(FileTest, ARefusedOpenDoesNotEmptyTheFile)
{
  File_t reader, writer;
  reader.open(Path(), fil::ModeRead, fil::DenyWrite);
  EXPECT_THROW(writer.open(Path(), fil::ModeWrite, fil::DenyNone), fil::FileInUse_t);
  EXPECT_EQ(vtest::ReadFile(folder / "data.bin"), "0123456789");
}

TEST_F(FileTest, OpenModesPlaceThePosition)
{
  struct Case {
    int mode;
    std::uint32_t size, position;
  };
  const Case cases[] = {
      {fil::ModeRead, 10, 0},      {fil::ModeWrite, 0, 0},        {fil::ModeAppend, 10, 10},
      {fil::ModeReadWrite, 10, 0}, {fil::ModeReadWriteNew, 0, 0}, {fil::ModeReadWriteAppend, 10, 10},
  };
  for (const auto& c : cases) {
    vtest::WriteFile(folder / "data.bin", "0123456789");
    File_t file;
    file.open(Path(), c.mode, fil::DenyNone);
    EXPECT_EQ(file.size(), c.size) << c.mode;
    EXPECT_EQ(file.tell(), c.position) << c.mode;
  }
  File_t created;
  created.open(folder.Wide("new.bin"), fil::ModeAppend, fil::DenyNone);
  EXPECT_TRUE(std::filesystem::exists(folder / "new.bin"));
}

TEST_F(FileTest, ReadsStopAtTheEndAndWritesGrowTheFile)
{
  File_t file;
  file.open(Path(), fil::ModeReadWrite, fil::DenyNone);
  file.seek(6);
  char buffer[100] = {};
  EXPECT_EQ(file.read(buffer, sizeof buffer), 4u);
  EXPECT_EQ(std::string(buffer, 4), "6789");
  EXPECT_EQ(file.tell(), 10u);
  EXPECT_EQ(file.read(buffer, 1), 0u);
  file.seek(8);
  file.write("abcdef", 6);
  EXPECT_EQ(file.tell(), 14u);
  EXPECT_EQ(file.size(), 14u);
  file.skip(-10);
  EXPECT_EQ(file.tell(), 4u);
  EXPECT_EQ(file.read(buffer, 4), 4u);
  EXPECT_EQ(std::string(buffer, 4), "4567");
  file.close();
  EXPECT_EQ(vtest::ReadFile(folder / "data.bin"), "01234567abcdef");
}

TEST_F(FileTest, AppendingWritesAtTheEndWhereverThePositionWas)
{
  File_t file;
  file.open(Path(), fil::ModeReadWriteAppend, fil::DenyNone);
  file.seek(2);
  file.write("xy", 2);
  EXPECT_EQ(file.tell(), 12u);
  EXPECT_EQ(file.size(), 12u);
  file.close();
  EXPECT_EQ(vtest::ReadFile(folder / "data.bin"), "0123456789xy");
}

TEST_F(FileTest, AFileBeyond32BitsIsOutOfRange)
{
  std::filesystem::resize_file(folder / "data.bin", 0x100000000ull);
  File_t file;
  EXPECT_THROW(file.open(Path(), fil::ModeRead, fil::DenyNone), glo::OutOfRange_t);
  EXPECT_FALSE(file.isOpen());
}

TEST_F(FileTest, MisuseIsReported)
{
  File_t file;
  EXPECT_THROW(file.open(Path(), 6, fil::DenyNone), glo::Assert_t);
  EXPECT_THROW(file.open(Path(), fil::ModeRead, 4), glo::Assert_t);
  EXPECT_THROW(file.tell(), fil::FileError_t);
  file.open(Path(), fil::ModeRead, fil::DenyNone);
  EXPECT_THROW(file.write("x", 1), fil::FileError_t);
  EXPECT_THROW(file.skip(-100), fil::FileError_t);
}

}  // namespace
