#include "AVN_CopyToFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "AVN_Exceptions.h"
#include "AVN_Recorders.h"
#include "BIN_FileStream.h"
#include "BIN_StringStream.h"
#include "FIL_File.h"
#include "TempFolder.h"
#include "WIN_Error.h"

namespace {

namespace fs = std::filesystem;

std::string Pattern(std::size_t size)
{
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  return bytes;
}

bin::stringstream Memory(const std::string& bytes)
{
  return bin::stringstream(std::vector<unsigned char>(bytes.begin(), bytes.end()));
}

using Copier = void (*)(bin::istream&, std::uint32_t, const std::u16string&, win::Event_t&, thr::Progress_t&,
                        std::uint32_t);

void KernelCopy(bin::istream& source, std::uint32_t count, const std::u16string& path, win::Event_t& stop,
                thr::Progress_t& progress, std::uint32_t chunk)
{
  avn::CopyToFile(source, count, path, stop, progress, chunk);
}

// Through memory, as a watched copy goes.
void WatchedCopy(bin::istream& source, std::uint32_t count, const std::u16string& path, win::Event_t& stop,
                 thr::Progress_t& progress, std::uint32_t chunk)
{
  avn::CopyToFile(source, count, path, stop, progress, chunk, [](const unsigned char*, std::uint32_t) {});
}

class CopyToFile : public ::testing::TestWithParam<Copier> {
 protected:
  vtest::TempFolder folder;
  win::Event_t stop{true, false};
  avntest::RecordingProgress_t progress;
};

// Both copies, from memory and from a file (which the kernel copies).
TEST_P(CopyToFile, CopiesInChunksFromMemoryAndFromFiles)
{
  const std::string source = Pattern(1572865 + 100);
  vtest::WriteFile(folder / "source.bin", source);
  for (bool fromFile : {false, true}) {
    SCOPED_TRACE(fromFile ? "from a file" : "from memory");
    progress.events.clear();
    auto memory = Memory(source);
    bin::fstream file(folder.Wide("source.bin"), bin::fstream::in, fil::DenyNone);
    bin::istream& stream = fromFile ? static_cast<bin::istream&>(file) : memory;
    stream.seekg(100);
    GetParam()(stream, 1572865, folder.Wide("copy.bin"), stop, progress, avn::CopyChunk);
    EXPECT_EQ(vtest::ReadFile(folder / "copy.bin"), source.substr(100));
    EXPECT_EQ(progress.events, (std::vector<std::string>{"step 524288", "step 524288", "step 524288", "step 1"}));
    EXPECT_EQ(stream.tellg(), 100 + 1572865);
  }
}

TEST_P(CopyToFile, ReplacesTheOldContentWhateverItsLength)
{
  for (std::size_t old : {0u, 3u, 5000u}) {
    vtest::WriteFile(folder / "card.bin", std::string(old, 'o'));
    auto stream = Memory("new!");
    GetParam()(stream, 4, folder.Wide("card.bin"), stop, progress, avn::CopyChunk);
    EXPECT_EQ(vtest::ReadFile(folder / "card.bin"), "new!") << old;
  }
  // Nothing to copy still leaves an empty file.
  auto empty = Memory("");
  GetParam()(empty, 0, folder.Wide("empty.bin"), stop, progress, avn::CopyChunk);
  EXPECT_TRUE(fs::exists(folder / "empty.bin"));
  EXPECT_EQ(fs::file_size(folder / "empty.bin"), 0u);
}

TEST_P(CopyToFile, ASourceThatEndsEarlyIsADamagedBlockAndLeavesNoFile)
{
  vtest::WriteFile(folder / "card.bin", "old database");
  vtest::WriteFile(folder / "short.bin", std::string(1000, 's'));
  bin::fstream file(folder.Wide("short.bin"), bin::fstream::in, fil::DenyNone);
  EXPECT_THROW(GetParam()(file, 600000, folder.Wide("card.bin"), stop, progress, avn::CopyChunk), avn::BadRegionFile_t);
  EXPECT_FALSE(fs::exists(folder / "card.bin"));
}

TEST_P(CopyToFile, AStopEndsTheCopyAfterTheCurrentChunkAndLeavesNoFile)
{
  auto stream = Memory(Pattern(3 * 524288));
  progress.AtStep(1, [this] { stop.Set(); });
  EXPECT_THROW(GetParam()(stream, 3 * 524288, folder.Wide("card.bin"), stop, progress, avn::CopyChunk),
               glo::Terminate_t);
  EXPECT_EQ(progress.events, (std::vector<std::string>{"step 524288"}));
  EXPECT_FALSE(fs::exists(folder / "card.bin"));
}

TEST_P(CopyToFile, AStopWithTheLastChunkKeepsTheWholeFile)
{
  const std::string bytes = Pattern(2 * 524288);
  vtest::WriteFile(folder / "source.bin", bytes);
  // From a file, the way the kernel copies.
  bin::fstream file(folder.Wide("source.bin"), bin::fstream::in, fil::DenyNone);
  progress.AtStep(2, [this] { stop.Set(); });
  EXPECT_THROW(GetParam()(file, 2 * 524288, folder.Wide("card.bin"), stop, progress, avn::CopyChunk), glo::Terminate_t);
  EXPECT_EQ(vtest::ReadFile(folder / "card.bin"), bytes);
  // Stopped after its first chunk, the file is gone.
  stop.Reset();
  progress.AtStep(3, [this] { stop.Set(); });
  bin::fstream again(folder.Wide("source.bin"), bin::fstream::in, fil::DenyNone);
  EXPECT_THROW(GetParam()(again, 2 * 524288, folder.Wide("card.bin"), stop, progress, avn::CopyChunk),
               glo::Terminate_t);
  EXPECT_FALSE(fs::exists(folder / "card.bin"));
}

TEST_P(CopyToFile, AFileThatCannotBeMadeNamesItsPath)
{
  auto stream = Memory("x");
  const std::u16string path = folder.Wide("missing/card.bin");
  try {
    GetParam()(stream, 1, path, stop, progress, avn::CopyChunk);
    FAIL() << "no exception";
  } catch (const win::FileError_t& error) {
    EXPECT_EQ(error.Code(), static_cast<std::uint32_t>(ENOENT));
    EXPECT_NE(error.Message().find(path), std::u16string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryCopy, CopyToFile, ::testing::Values(&KernelCopy, &WatchedCopy, &avn::CopyToCardFile));

TEST(WatchedCopy, TheWatcherSeesEveryChunkBeforeItIsWritten)
{
  vtest::TempFolder folder;
  win::Event_t stop{true, false};
  avntest::RecordingProgress_t progress;
  const std::string source = Pattern(524288 + 10 + 7);
  vtest::WriteFile(folder / "source.bin", source);
  bin::fstream file(folder.Wide("source.bin"), bin::fstream::in, fil::DenyNone);
  file.seekg(7);
  std::string seen;
  std::vector<std::uint32_t> chunks;
  avn::CopyToFile(file, 524288 + 10, folder.Wide("copy.bin"), stop, progress, avn::CopyChunk,
                  [&](const unsigned char* bytes, std::uint32_t count) {
                    seen.append(reinterpret_cast<const char*>(bytes), count);
                    chunks.push_back(count);
                    // Nothing of this chunk has reached the file yet.
                    EXPECT_EQ(fs::file_size(folder / "copy.bin"), seen.size() - count);
                  });
  EXPECT_EQ(seen, source.substr(7));
  EXPECT_EQ(chunks, (std::vector<std::uint32_t>{524288, 10}));
  EXPECT_EQ(vtest::ReadFile(folder / "copy.bin"), seen);
}

TEST(CopyToCardFile, ReplacesAReadOnlyCardFile)
{
  vtest::TempFolder folder;
  vtest::WriteFile(folder / "card.bin", "old");
  fs::permissions(folder / "card.bin", fs::perms::owner_read | fs::perms::group_read);
  win::Event_t stop(true, false);
  avntest::RecordingProgress_t progress;
  auto stream = Memory("fresh");
  avn::CopyToCardFile(stream, 5, folder.Wide("card.bin"), stop, progress, avn::CopyChunk);
  EXPECT_EQ(vtest::ReadFile(folder / "card.bin"), "fresh");
  EXPECT_NE(fs::status(folder / "card.bin").permissions() & fs::perms::owner_write, fs::perms::none);
}

}  // namespace
