#include "AVN_HalcyonDcp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>

#include "AVN_ChartUpdateDb.h"
#include "AVN_Exceptions.h"
#include "AVN_Recorders.h"
#include "AVN_UpdateRegionFile.h"
#include "ScopedEnvironment.h"
#include "SmallVolume.h"
#include "TempFolder.h"
#include "Unavailable.h"
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

  // Writes the update file with the block (beside the other updates
  // unless a path is given) and loads it.
  avn::VlmsDatabase_t& Update(const vtest::RegionBlock& block, std::optional<fs::path> path = {})
  {
    vtest::UpdateFile file;
    file.region = block.Build();
    const Bytes bytes = file.Build();
    const fs::path at = path.value_or(updates / "nav.vlm");
    vtest::WriteFile(at, Text(bytes));
    update_.Load(glo::GLO_FileNameToWide(at.string()));
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

TEST_F(CardProgrammer, TheChecksumOfADatabaseIsTakenAsTheBlockIsCopied)
{
  Program(vtest::RegionBlock().Database(1, Filled(6000000, 'a')));
  // 12 steps copy the block; the verification then has its answer at once.
  const std::vector<std::string> expected = {"phase 8/6000004", "step 6000004"};
  const auto verifying = std::find(progress.events.begin(), progress.events.end(), expected[0]);
  ASSERT_NE(verifying, progress.events.end());
  EXPECT_EQ(std::vector<std::string>(verifying, verifying + 2), expected);
  EXPECT_EQ(std::count_if(progress.events.begin(), verifying, [](const std::string& e) { return e.rfind("step", 0) == 0; }),
            12);
  EXPECT_EQ(vtest::ReadFile(card / "ldr_sys/avtn_db.bin"), Text(vtest::WithTrailer(Filled(6000000, 'a'))));
}

TEST_F(CardProgrammer, AStopDuringTheVerificationEndsTheTransfer)
{
  // A later database of a kind already there is verified by reading the
  // block again: 23 steps copy the block, the 24th verifies the first
  // database, the 26th is the second of the reading.
  progress.AtStep(26, [&] { stop.Set(); });
  EXPECT_THROW(Program(vtest::RegionBlock().Database(1, Filled(6000000, 'a')).Database(1, Filled(6000000, 'a'))),
               glo::Terminate_t);
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

// An old copy that is read-only: the new file takes its place, and the
// user can change or delete it afterwards like any other file of the card.
TEST_F(CardProgrammer, AConfigurationFileReplacesAReadOnlyOldCopy)
{
  vtest::WriteFile(card / "unit7.ini", "old unit");
  fs::permissions(card / "unit7.ini", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  vtest::WriteFile(updates / "unit7.ini", "[unit]\nid=7\n");
  avn::HalcyonDcp_t(card.Wide()).ProgramConfiguration(stop, progress, 2, updates.Wide("unit7.ini"));
  EXPECT_EQ(CardFiles(), std::vector<std::string>{"unit7.ini"});
  EXPECT_EQ(vtest::ReadFile(card / "unit7.ini"), "[unit]\nid=7\n");
  EXPECT_NE(fs::status(card / "unit7.ini").permissions() & fs::perms::owner_write, fs::perms::none);
}

// The text of a refusal, as the user is shown it.
std::string Refusal(std::uint32_t message, const std::vector<std::u16string>& arguments)
{
  return glo::GLO_ToNarrow(win::ResourceString_t(message, GLO_HERE).Format(arguments, GLO_HERE), glo::CodePageUtf8);
}

template <class Exception>
std::string MessageOf(const std::function<void()>& run)
{
  try {
    run();
  } catch (const Exception& error) {
    return glo::GLO_ToNarrow(error.Message(), glo::CodePageUtf8);
  }
  return "no exception";
}

TEST_F(CardProgrammer, WhatStandsInTheWayIsRefusedBeforeTheCardChanges)
{
  struct Case {
    const char* what;
    std::function<void(const fs::path& card, const fs::path& elsewhere)> plant;
    std::u16string named;
  };
  const Case cases[] = {
      {"a file where a folder belongs", [](auto& c, auto&) { vtest::WriteFile(c / "ldr_sys", "mine"); }, u"ldr_sys"},
      {"a link where a folder belongs", [](auto& c, auto& e) { fs::create_directory_symlink(e, c / "ldr_sys"); },
       u"ldr_sys"},
      {"a folder where a file belongs", [](auto& c, auto&) { fs::create_directories(c / "ldr_sys/avtn_db.bin/x"); },
       u"ldr_sys/avtn_db.bin"},
      {"a link where a file belongs",
       [](auto& c, auto& e) {
         fs::create_directories(c / "ldr_sys");
         fs::create_symlink(e / "target", c / "ldr_sys/avtn_db.bin");
       },
       u"ldr_sys/avtn_db.bin"},
      {"a link in place of the chart folder that is erased",
       [](auto& c, auto& e) { fs::create_directory_symlink(e, c / "sl_tpc"); }, u"sl_tpc"},
  };
  vtest::WriteFile(updates / "charts/a.tpc", "chart");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    vtest::TempFolder target, elsewhere;
    vtest::WriteFile(elsewhere / "target", "not the card's");
    c.plant(target.Path(), elsewhere.Path());
    const auto before = vtest::FilesBelow(target.Path());
    avn::VlmsDatabase_t& update =
        Update(vtest::RegionBlock().Database(1, Filled(10, 'a')).Database(20, ChartIndex(40)));
    EXPECT_EQ(MessageOf<avn::CardRefused_t>(
                  [&] { avn::HalcyonDcp_t(target.Wide()).ProgramUpdate(update, stop, progress, dialog); }),
              Refusal(2041, {c.named}));
    EXPECT_EQ(vtest::FilesBelow(target.Path()), before);
    EXPECT_EQ(vtest::FilesBelow(elsewhere.Path()), std::vector<std::string>{"target"});
    EXPECT_EQ(vtest::ReadFile(elsewhere / "target"), "not the card's");
  }
}

TEST_F(CardProgrammer, AnUpdateKeptInAFolderThatItErasesIsRefused)
{
  // The update lies in the chart folder of the card, with its charts.
  vtest::WriteFile(card / "sl_tpc/charts/a.tpc", "chart");
  avn::VlmsDatabase_t& charts = Update(vtest::RegionBlock().Database(20, ChartIndex(40)), card / "sl_tpc/nav.vlm");
  EXPECT_EQ(MessageOf<avn::CardRefused_t>(
                [&] { avn::HalcyonDcp_t(card.Wide()).ProgramUpdate(charts, stop, progress, dialog); }),
            Refusal(2042, {u"sl_tpc/"}));
  EXPECT_EQ(CardFiles(), (std::vector<std::string>{"sl_tpc/charts/a.tpc", "sl_tpc/nav.vlm"}));

  // At the root of the card, the raster files beside the update are the
  // card's own rasters.
  vtest::WriteFile(card / "rasters/old.jnx", "raster");
  avn::VlmsDatabase_t& rasters = Update(vtest::RegionBlock().Database(26, Filled(8, 'x')), card / "nav.vlm");
  EXPECT_EQ(MessageOf<avn::CardRefused_t>(
                [&] { avn::HalcyonDcp_t(card.Wide()).ProgramUpdate(rasters, stop, progress, dialog); }),
            Refusal(2042, {u"rasters/"}));
  EXPECT_EQ(vtest::ReadFile(card / "rasters/old.jnx"), "raster");
}

TEST_F(CardProgrammer, ChartsAndRastersThatAreLinksAreADamagedUpdate)
{
  vtest::TempFolder secrets;
  vtest::WriteFile(secrets / "shadow", "secret");
  vtest::WriteFile(card / "sl_tpc/charts/old.tpc", "old chart");
  const auto before = CardFiles();
  struct Case {
    const char* link;
    unsigned kind;
  };
  vtest::WriteFile(secrets / "folder/shadow.tpc", "secret");
  for (const Case c : {Case{"charts/a.tpc", 20}, Case{"north/a.jnx", 26}, Case{"charts", 20}}) {
    SCOPED_TRACE(c.link);
    vtest::TempFolder beside;
    fs::create_directories((beside / c.link).parent_path());
    if (std::string(c.link) == "charts")
      fs::create_directory_symlink(secrets / "folder", beside / c.link);
    else
      fs::create_symlink(secrets / "shadow", beside / c.link);
    avn::VlmsDatabase_t& update = Update(vtest::RegionBlock().Database(c.kind, ChartIndex(40)), beside / "nav.vlm");
    EXPECT_THROW(avn::HalcyonDcp_t(card.Wide()).ProgramUpdate(update, stop, progress, dialog), avn::BadRegionFile_t);
    EXPECT_EQ(CardFiles(), before);
  }
}

TEST_F(CardProgrammer, OneTransferHoldsTheCardUntilItFinishes)
{
  avn::HalcyonDcp_t first(card.Wide());
  first.ProgramUpdate(Update(vtest::RegionBlock().Database(1, Filled(10, 'a'))), stop, progress, dialog);
  avn::HalcyonDcp_t second(card.Wide());
  avn::VlmsDatabase_t& other = Update(vtest::RegionBlock().Database(1, Filled(10, 'b')));
  EXPECT_EQ(MessageOf<avn::CardRefused_t>([&] { second.ProgramUpdate(other, stop, progress, dialog); }),
            Refusal(2040, {}));
  EXPECT_EQ(vtest::ReadFile(card / "ldr_sys/avtn_db.bin"), Text(vtest::WithTrailer(Filled(10, 'a'))));
  first.Finish();
  second.ProgramUpdate(other, stop, progress, dialog);
  EXPECT_EQ(vtest::ReadFile(card / "ldr_sys/avtn_db.bin"), Text(vtest::WithTrailer(Filled(10, 'b'))));
}

TEST_F(CardProgrammer, ACardReplacedUnderTheTransferIsNotFinished)
{
  vtest::TempFolder moved;
  avn::HalcyonDcp_t programmer(card.Wide());
  programmer.ProgramUpdate(Update(vtest::RegionBlock().Database(1, Filled(10, 'a'))), stop, progress, dialog);
  // Another folder now stands where the card was, as after an unmount.
  fs::rename(card.Path(), moved / "card");
  fs::create_directory(card.Path());
  try {
    programmer.Finish();
    FAIL() << "no exception";
  } catch (const win::FileError_t& error) {
    EXPECT_EQ(error.Code(), static_cast<std::uint32_t>(ENODEV));
  }
  EXPECT_TRUE(CardFiles().empty());
}

TEST_F(CardProgrammer, ACardThatIsNoFolderIsRefused)
{
  vtest::WriteFile(card / "file", "not a card");
  try {
    avn::HalcyonDcp_t(card.Wide("file")).ProgramUpdate(Update(vtest::RegionBlock().Database(1, Filled(10, 'a'))), stop,
                                                      progress, dialog);
    FAIL() << "no exception";
  } catch (const win::FileError_t& error) {
    EXPECT_EQ(error.Code(), static_cast<std::uint32_t>(ENOTDIR));
  }
  EXPECT_EQ(vtest::ReadFile(card / "file"), "not a card");
}

TEST_F(CardProgrammer, AConfigurationFileMustBeARegularFile)
{
  vtest::WriteFile(updates / "real.ini", "[unit]\n");
  fs::create_symlink(updates / "real.ini", updates / "link.ini");
  fs::create_directory(updates / "folder.ini");
  for (const char* name : {"link.ini", "folder.ini"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(MessageOf<avn::CardRefused_t>([&] {
                avn::HalcyonDcp_t(card.Wide()).ProgramConfiguration(stop, progress, 2, updates.Wide(name));
              }),
              Refusal(2043, {updates.Wide(name)}));
  }
  EXPECT_TRUE(CardFiles().empty());
}

// Cards of exactly known free space.
class SmallCard : public CardProgrammer {
 protected:
  void SetUp() override
  {
    CardProgrammer::SetUp();
    VTEST_REQUIRE_MOUNTED(volume);
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

TEST_F(SmallCard, EveryFileTakesWholeAllocationUnits)
{
  // Twenty charts of one byte take twenty blocks of 4 KiB: more than the
  // card holds, although their bytes would fit many times.
  for (int i = 0; i < 20; ++i) vtest::WriteFile(updates / ("charts/c" + std::to_string(i) + ".tpc"), "c");
  vtest::WriteFile(volume.Path() / "sl_tpc/charts/old.tpc", "old");
  try {
    avn::HalcyonDcp_t(volume.Wide())
        .ProgramUpdate(Update(vtest::RegionBlock().Database(20, ChartIndex(40))), stop, progress, dialog);
    FAIL() << "no exception";
  } catch (const avn::InsufficientCardFreeSpace_t& shortage) {
    EXPECT_EQ(shortage.Needed(), 21u * 4096u);
    EXPECT_EQ(shortage.Available(), 65536u);
  }
  EXPECT_EQ(vtest::FilesBelow(volume.Path()), std::vector<std::string>{"sl_tpc/charts/old.tpc"});
}

TEST_F(SmallCard, ALinkFreesNothing)
{
  // A link among the terrain alternates to a large file elsewhere: erasing
  // it frees nothing on the card.
  vtest::TempFolder elsewhere;
  vtest::WriteFile(elsewhere / "large", std::string(1 << 20, 'l'));
  fs::create_symlink(elsewhere / "large", volume.Path() / "terrain_9as.tdb");
  try {
    avn::HalcyonDcp_t(volume.Wide())
        .ProgramUpdate(Update(vtest::RegionBlock().Database(33, Filled(100000, 't'))), stop, progress, dialog);
    FAIL() << "no exception";
  } catch (const avn::InsufficientCardFreeSpace_t& shortage) {
    EXPECT_EQ(shortage.Available(), 65536u);
  }
  EXPECT_TRUE(fs::is_symlink(volume.Path() / "terrain_9as.tdb"));
}

TEST_F(SmallCard, APartialChartUpdateFreesOnlyTheChartsItReplaces)
{
  vtest::WriteFile(volume.Path() / "sl_tpc/sl_tpc.dat", Text(ChartIndex(39)));
  for (int i = 0; i < 10; ++i)
    vtest::WriteFile(volume.Path() / ("sl_tpc/charts/c" + std::to_string(i) + ".tpc"), std::string(4096, 'o'));
  vtest::WriteFile(updates / "charts/c0.tpc", std::string(4096, 'n'));
  vtest::WriteFile(updates / "charts/new.tpc", std::string(4096, 'n'));
  avn::SlPartialTpcUpdateDb_t partial(21, 0, 164, updates.Wide() + u"/", u"2604");
  std::uint64_t available = 0, needed = 0;
  partial.AllocationUnit = 4096;
  partial.AddSpaceFull(volume.Wide(), available, needed);
  EXPECT_EQ(needed, 3u * 4096u);     // the index and two charts
  EXPECT_EQ(available, 2u * 4096u);  // the old index and c0.tpc
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

TEST_F(SmallCard, AConfigurationFileFitsInExactlyTheFreeUnits)
{
  // Rounded up to whole units of 4 KiB, both take the 64 KiB free.
  for (std::size_t size : {65536 - 4095, 65536}) {
    SCOPED_TRACE(size);
    vtest::WriteFile(updates / "unit7.ini", std::string(size, 'n'));
    avn::HalcyonDcp_t(volume.Wide()).ProgramConfiguration(stop, progress, 2, updates.Wide("unit7.ini"));
    EXPECT_EQ(fs::file_size(volume.Path() / "unit7.ini"), size);
    fs::remove(volume.Path() / "unit7.ini");
  }
  // One byte more needs a unit more.
  vtest::WriteFile(updates / "unit7.ini", std::string(65537, 'n'));
  try {
    avn::HalcyonDcp_t(volume.Wide()).ProgramConfiguration(stop, progress, 2, updates.Wide("unit7.ini"));
    FAIL() << "no exception";
  } catch (const avn::InsufficientCardFreeSpace_t& shortage) {
    EXPECT_EQ(shortage.Needed(), 65536u + 4096u);
    EXPECT_EQ(shortage.Available(), 65536u);
  }
  EXPECT_TRUE(vtest::FilesBelow(volume.Path()).empty());
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
    VTEST_REQUIRE_MOUNTED(*drive);
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
