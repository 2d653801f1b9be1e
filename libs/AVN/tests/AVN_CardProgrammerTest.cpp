#include "AVN_HalcyonDcp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>

#include "AVN_Exceptions.h"
#include "AVN_Recorders.h"
#include "AVN_UpdateRegionFile.h"
#include "ScopedEnvironment.h"
#include "SmallVolume.h"
#include "TempFolder.h"
#include "UpdateFileBuilder.h"
#include "WIN_Error.h"
#include "WIN_ResourceString.h"
#include "WIN_Utilities.h"

namespace {

namespace fs = std::filesystem;
using vtest::Bytes;

Bytes Filled(std::size_t size, unsigned char value)
{
  return Bytes(size, value);
}

// A chart index of 160 bytes with its cycle number at 145.
Bytes ChartIndex(std::uint32_t cycle)
{
  Bytes index(160, 'i');
  for (int i = 0; i < 4; ++i) index[145 + i] = static_cast<unsigned char>(cycle >> (8 * i));
  return index;
}

std::string Text(const Bytes& bytes)
{
  return std::string(bytes.begin(), bytes.end());
}

// The temporary copies of blocks in the program's temporary folder.
std::set<std::string> TemporaryCopies()
{
  std::set<std::string> copies;
  const std::string folder = glo::GLO_ToNarrow(win::WIN_GetAppTempFolder(), glo::CodePageUtf8);
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().rfind("rgn", 0) == 0) copies.insert(entry.path().string());
  return copies;
}

class CardProgrammer : public ::testing::Test {
 protected:
  vtest::TempFolder card;
  vtest::TempFolder updates;
  win::Event_t stop{true, false};
  avntest::RecordingProgress_t progress;
  avntest::RecordingDialog_t dialog;

  void SetUp() override { win::WIN_SetResourceModule(nullptr); }

  // Writes the update file with the block and loads it.
  avn::VlmsDatabase_t& Update(const vtest::RegionBlock& block)
  {
    vtest::UpdateFile file;
    file.region = block.Build();
    const Bytes bytes = file.Build();
    vtest::WriteFile(updates / "nav.vlm", Text(bytes));
    update_.Load(updates.Wide("nav.vlm"));
    return update_;
  }
  void Program(const vtest::RegionBlock& block)
  {
    avn::HalcyonDcp_t(card.Wide()).ProgramUpdate(Update(block), stop, progress, dialog);
  }
  std::vector<std::string> CardFiles() const { return vtest::FilesBelow(card.Path()); }

 private:
  avn::VlmsDatabase_t update_;
};

TEST_F(CardProgrammer, WritesThePartialChartUpdateFirstThenByKind)
{
  vtest::WriteFile(card / "sl_tpc/sl_tpc.dat", Text(ChartIndex(39)));
  vtest::WriteFile(card / "trn.dat", "old terrain");
  vtest::WriteFile(updates / "charts/new.tpc", "chart");
  Program(vtest::RegionBlock()
              .Database(33, Filled(30, 't'))
              .Database(1, Filled(10, 'a'))
              .Database(4, Filled(5, 'u'))
              .Database(21, ChartIndex(40)));
  // Each database shows its length (data and trailer) as the range of its
  // "preparing" phase.
  std::vector<std::string> preparing;
  for (const auto& phase : progress.Phases())
    if (phase.rfind("phase 2/", 0) == 0) preparing.push_back(phase);
  EXPECT_EQ(preparing, (std::vector<std::string>{"phase 2/164", "phase 2/14", "phase 2/34"}));
  EXPECT_EQ(CardFiles(), (std::vector<std::string>{"ldr_sys/avtn_db.bin", "sl_tpc/charts/new.tpc", "sl_tpc/sl_tpc.dat",
                                                   "terrain.tdb"}));
  EXPECT_EQ(vtest::ReadFile(card / "ldr_sys/avtn_db.bin"), Text(vtest::WithTrailer(Filled(10, 'a'))));
  ASSERT_FALSE(dialog.texts.empty());
  EXPECT_EQ(dialog.texts.front().second, "Transferring Data (update 1 of 4)");
  EXPECT_EQ(dialog.texts.back().second, "Transferring Data (update 4 of 4)");
}

TEST_F(CardProgrammer, VerifiesEverySupportedDatabaseBeforeTheCardChanges)
{
  vtest::WriteFile(card / "ldr_sys/avtn_db.bin", "old");
  Bytes damaged = vtest::WithTrailer(Filled(600000, 'd'));
  damaged[300000] ^= 1;
  EXPECT_THROW(Program(vtest::RegionBlock().Database(3, Filled(10, 'b')).DatabaseAsIs(1, damaged)),
               avn::BadRegionFile_t);
  EXPECT_EQ(CardFiles(), (std::vector<std::string>{"ldr_sys/avtn_db.bin"}));
  EXPECT_EQ(vtest::ReadFile(card / "ldr_sys/avtn_db.bin"), "old");
  // The verification ran through every byte of the first database.
  EXPECT_NE(std::find(progress.events.begin(), progress.events.end(), "phase 8/14"), progress.events.end());
}

TEST_F(CardProgrammer, SkipsUnsupportedKindsUnverified)
{
  Program(vtest::RegionBlock().DatabaseAsIs(4, Filled(8, 'x')).Database(79, Filled(3, 'p')));
  EXPECT_EQ(CardFiles(), (std::vector<std::string>{"air_sport.xpt"}));
}

TEST_F(CardProgrammer, ABlockOfItsHeaderAloneWritesNothing)
{
  Program(vtest::RegionBlock());
  EXPECT_TRUE(CardFiles().empty());
  EXPECT_TRUE(dialog.texts.empty());
}

TEST_F(CardProgrammer, TheEndOfTheBlockInsideARecordHeader)
{
  struct Case {
    Bytes tail;
    bool damaged;
  };
  const Case cases[] = {
      {{}, false},
      {vtest::Le32(9), false},  // cut after the length field
      {{0x09}, true},
      {{0x09, 0x00, 0x00}, true},  // cut inside it
      {vtest::Join({vtest::Le32(15), {'R'}, vtest::Le16(79)}), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tail.size());
    vtest::RegionBlock block;
    block.Database(79, Filled(3, 'p')).Raw(c.tail);
    if (c.damaged)
      EXPECT_THROW(Program(block), avn::BadRegionFile_t);
    else
      EXPECT_NO_THROW(Program(block));
  }
}

TEST_F(CardProgrammer, AStopDuringTheCopyOfTheBlockLeavesNoTemporaryFile)
{
  const auto before = TemporaryCopies();
  std::set<std::string> during;
  progress.AtStep(1, [&] {
    during = TemporaryCopies();
    stop.Set();
  });
  EXPECT_THROW(Program(vtest::RegionBlock().Database(1, Filled(2000000, 'a'))), glo::Terminate_t);
  EXPECT_EQ(during.size(), before.size() + 1);
  for (const auto& copy : during) EXPECT_EQ(fs::exists(copy), before.count(copy) == 1) << copy;
  EXPECT_TRUE(CardFiles().empty());
}

TEST_F(CardProgrammer, AStopDuringTheVerificationEndsTheTransfer)
{
  // 12 steps copy the block, the 14th is the second of the verification.
  progress.AtStep(14, [&] { stop.Set(); });
  EXPECT_THROW(Program(vtest::RegionBlock().Database(1, Filled(6000000, 'a'))), glo::Terminate_t);
  EXPECT_EQ(progress.Phases().back(), "phase 8/6000004");
  EXPECT_EQ(progress.events.back(), "step 524288");
  EXPECT_TRUE(CardFiles().empty());
}

TEST_F(CardProgrammer, ConfigurationFilesGoToTheFolderOfTheirRunMode)
{
  vtest::WriteFile(updates / "unit7.ini", "[unit]\nid=7\n");
  avn::HalcyonDcp_t programmer(card.Wide());
  programmer.ProgramConfiguration(stop, progress, 1, updates.Wide("unit7.ini"));
  programmer.ProgramConfiguration(stop, progress, 2, updates.Wide("unit7.ini"));
  EXPECT_EQ(CardFiles(), (std::vector<std::string>{"cfg/unit7.ini", "unit7.ini"}));
  EXPECT_EQ(vtest::ReadFile(card / "cfg/unit7.ini"), "[unit]\nid=7\n");
  EXPECT_EQ(progress.Phases(), (std::vector<std::string>{"phase 2/12", "phase 10/12", "phase 2/12", "phase 10/12"}));
  try {
    programmer.ProgramConfiguration(stop, progress, 1, updates.Wide("missing.ini"));
    FAIL() << "no exception";
  } catch (const win::FileError_t& error) {
    EXPECT_EQ(error.Code(), static_cast<std::uint32_t>(ENOENT));
  }
  EXPECT_FALSE(fs::exists(card / "cfg/missing.ini"));
}

// Cards of exactly known free space.
class SmallCard : public CardProgrammer {
 protected:
  void SetUp() override
  {
    CardProgrammer::SetUp();
    if (!volume.Mounted()) GTEST_SKIP() << volume.Why();
  }
  vtest::SmallVolume volume{65536};
};

TEST_F(SmallCard, AnUpdateMustFitTheCardCountingTheFilesItReplaces)
{
  avn::HalcyonDcp_t programmer(volume.Wide());
  EXPECT_EQ(programmer.FreeSpace(), 65536u);
  // Exactly the free space is enough.
  avn::VlmsDatabase_t& fits = Update(vtest::RegionBlock().Database(79, Filled(65536 - 4, 'f')));
  programmer.ProgramUpdate(fits, stop, progress, dialog);
  EXPECT_EQ(fs::file_size(volume.Path() / "air_sport.xpt"), 65536u);
  // Replacing that file, 4096 bytes more do not fit; the card keeps its file.
  avn::VlmsDatabase_t& tooBig = Update(vtest::RegionBlock().Database(79, Filled(65536 + 4096 - 4, 'g')));
  try {
    programmer.ProgramUpdate(tooBig, stop, progress, dialog);
    FAIL() << "no exception";
  } catch (const avn::InsufficientCardFreeSpace_t& shortage) {
    EXPECT_EQ(shortage.Needed(), 65536u + 4096u);
    EXPECT_EQ(shortage.Available(), 65536u);
  }
  EXPECT_EQ(vtest::ReadFile(volume.Path() / "air_sport.xpt"), Text(vtest::WithTrailer(Filled(65536 - 4, 'f'))));
}

TEST_F(SmallCard, AConfigurationFileMustFitBesideItsOldCopy)
{
  vtest::WriteFile(volume.Path() / "unit7.ini", std::string(61440, 'o'));
  vtest::WriteFile(updates / "unit7.ini", std::string(8192, 'n'));
  try {
    avn::HalcyonDcp_t(volume.Wide()).ProgramConfiguration(stop, progress, 2, updates.Wide("unit7.ini"));
    FAIL() << "no exception";
  } catch (const avn::InsufficientCardFreeSpace_t& shortage) {
    EXPECT_EQ(shortage.Needed(), 8192u);
    EXPECT_EQ(shortage.Available(), 4096u);
  }
}

// The temporary folder is read once per process, so each case runs in a
// process of its own, on the small drive the test made (the child runs the
// test from its start, and must not make one of its own).
TEST_F(CardProgrammer, TheComputersDriveMustHoldTheBlock)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  std::optional<vtest::SmallVolume> drive;
  if (std::getenv("VELMORA_TEST_DRIVE") == nullptr) {
    drive.emplace(65536);
    if (!drive->Mounted()) GTEST_SKIP() << drive->Why();
  }
  vtest::ScopedEnvironment environment;
  if (drive) environment.Set("VELMORA_TEST_DRIVE", drive->Path().string());
  const auto outcome = [&](std::size_t regionSize) {
    setenv("TMPDIR", std::getenv("VELMORA_TEST_DRIVE"), 1);
    // A block of exactly regionSize bytes: its header, a database, and an
    // unsupported one that pads it.
    const std::size_t header = vtest::RegionBlock().Build().size() + 2 * 15;
    vtest::RegionBlock block;
    block.Database(79, Filled(100, 'p')).DatabaseAsIs(4, Filled(regionSize - header - 104, 'x'));
    try {
      Program(block);
      std::exit(0);
    } catch (const avn::InsufficientDriveFreeSpace_t& shortage) {
      std::exit(shortage.Needed() == regionSize && shortage.Available() == 65536 ? 3 : 4);
    }
  };
  EXPECT_EXIT(outcome(65536), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(outcome(65537), ::testing::ExitedWithCode(3), "");
}

}  // namespace
