#include "AVN_ChartUpdateDb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "AVN_Exceptions.h"
#include "AVN_Recorders.h"
#include "BIN_StringStream.h"
#include "GLO_Text.h"
#include "TempFolder.h"
#include "UpdateFileBuilder.h"
#include "WIN_ResourceString.h"

namespace {

namespace fs = std::filesystem;

// A chart index of 160 bytes with its cycle number at 145.
std::string ChartIndex(std::uint32_t cycle)
{
  std::string index(160, 'i');
  for (int i = 0; i < 4; ++i) index[145 + i] = static_cast<char>(cycle >> (8 * i));
  return index;
}

// A card and the folder of an update file beside it; the block holds one
// index at offset 4.
class Charts : public ::testing::Test {
 protected:
  vtest::TempFolder card;
  vtest::TempFolder updates;
  std::u16string root = card.Wide();
  std::u16string source = updates.Wide() + u"/";
  win::Event_t stop{true, false};
  avntest::RecordingProgress_t progress;
  avntest::RecordingDialog_t dialog;
  avn::UpdateCounter_t counter{dialog, 9};

  void SetUp() override { win::WIN_SetResourceModule(nullptr); }

  bin::stringstream Region(const std::string& index)
  {
    const std::string bytes = "----" + index;
    return bin::stringstream(std::vector<unsigned char>(bytes.begin(), bytes.end()));
  }
  void Card(const std::string& name, const std::string& content) { vtest::WriteFile(card / name, content); }
  void Beside(const std::string& name, const std::string& content) { vtest::WriteFile(updates / name, content); }
  std::vector<std::string> CardFiles() const { return vtest::FilesBelow(card.Path()); }
  std::string Counted() const { return dialog.texts.empty() ? "" : dialog.texts.back().second; }
};

TEST_F(Charts, AFullSetReplacesEverythingUnderTheChartFolder)
{
  Card("sl_tpc/sl_tpc.dat", "old index");
  Card("sl_tpc/charts/old.tpc", std::string(40, 'o'));
  Card("sl_tpc/charts/b.tpc", std::string(60, 'o'));
  // Charts are copied a mebibyte at a time.
  const std::size_t large = 1048576 + 952;
  Beside("charts/a.tpc", std::string(large, 'a'));
  Beside("charts/b.tpc", std::string(2000, 'b'));
  Beside("charts/c.tpc", "");
  auto region = Region(ChartIndex(40));
  avn::SlFullTpcUpdateDb_t charts(20, 4, 160, source);
  EXPECT_EQ(charts.UpdateCount(), 4u);

  std::uint64_t available = 0, needed = 0;
  charts.AddSpaceFull(root, available, needed);
  EXPECT_EQ(needed, 160u + large + 2000u);
  EXPECT_EQ(available, 9u + 100u);
  EXPECT_EQ(charts.CopyTotal.Get(), large + 2000u);
  EXPECT_EQ(charts.EraseTotal.Get(), 100u);

  charts.Write(root, region, progress, stop, counter);
  EXPECT_EQ(CardFiles(), (std::vector<std::string>{"sl_tpc/charts/a.tpc", "sl_tpc/charts/b.tpc", "sl_tpc/charts/c.tpc",
                                                   "sl_tpc/sl_tpc.dat"}));
  EXPECT_EQ(vtest::ReadFile(card / "sl_tpc/sl_tpc.dat"), ChartIndex(40));
  EXPECT_EQ(vtest::ReadFile(card / "sl_tpc/charts/b.tpc"), std::string(2000, 'b'));
  EXPECT_EQ(progress.Phases(), (std::vector<std::string>{"phase 4/100", "phase 2/160", "phase 10/160",
                                                         "phase 9/" + std::to_string(large + 2000)}));
  // The erase phase steps by every file deleted, in the order the folder
  // gives them; the copy by each mebibyte.
  const auto erasing = std::find(progress.events.begin(), progress.events.end(), "phase 4/100");
  const auto preparing = std::find(progress.events.begin(), progress.events.end(), "phase 2/160");
  std::multiset<std::string> erased(erasing + 1, preparing);
  EXPECT_EQ(erased, (std::multiset<std::string>{"step 9", "step 40", "step 60"}));
  EXPECT_EQ(std::count(progress.events.begin(), progress.events.end(), "step 1048576"), 1);
  EXPECT_EQ(std::count(progress.events.begin(), progress.events.end(), "step 952"), 1);
  EXPECT_EQ(Counted(), "Transferring Data (update 4 of 9)");
}

TEST_F(Charts, EmptyChartFilesEachGetTheirOwnPhase)
{
  Beside("charts/a.tpc", "");
  Beside("charts/b.tpc", "");
  Beside("charts/nested/skipped.tpc", "x");  // sub-folders are no chart files
  auto region = Region(ChartIndex(40));
  avn::SlFullTpcUpdateDb_t charts(20, 4, 160, source);
  std::uint64_t available = 0, needed = 0;
  charts.AddSpaceFull(root, available, needed);
  EXPECT_FALSE(charts.CopyTotal);
  EXPECT_FALSE(charts.EraseTotal);
  charts.Write(root, region, progress, stop, counter);
  EXPECT_EQ(progress.Phases(), (std::vector<std::string>{"phase 2/160", "phase 10/160", "phase 10/0", "phase 10/0"}));
  EXPECT_EQ(CardFiles(), (std::vector<std::string>{"sl_tpc/charts/a.tpc", "sl_tpc/charts/b.tpc", "sl_tpc/sl_tpc.dat"}));
}

TEST_F(Charts, ASetWithoutChartFilesIsADamagedUpdate)
{
  std::uint64_t available = 0, needed = 0;
  avn::SlFullTpcUpdateDb_t missing(20, 4, 160, source);
  EXPECT_THROW(missing.AddSpaceFull(root, available, needed), avn::BadRegionFile_t);
  fs::create_directories(updates / "charts/only-a-folder");
  avn::SlFullTpcUpdateDb_t empty(20, 4, 160, source);
  EXPECT_THROW(empty.AddSpaceFull(root, available, needed), avn::BadRegionFile_t);
  auto region = Region(ChartIndex(40));
  fs::remove_all(updates / "charts");
  EXPECT_THROW(missing.Write(root, region, progress, stop, counter), avn::BadRegionFile_t);
}

TEST_F(Charts, APartialUpdateFitsOnlyChartsUpToTwoCyclesOlder)
{
  const std::string missing =
      "There is currently no database on the storage device or it is corrupt.  Please load the full 2604 cycle "
      "database on to the storage device.";
  const std::string tooNew =
      "The difference between the Skyleaf database currently on the storage device and the partial update trying to "
      "be loaded is greater than 2 cycles and cannot be completed.  Please load the full 2604 cycle database on to "
      "your storage device.";
  const std::string older =
      "Can not use the incremental update, 2604.  The partial update trying to be loaded is older than the data "
      "currently on your card.  If you\u2019d like to revert to an older database cycle, please load the full 2604 "
      "cycle database on to your storage device.";
  struct Case {
    std::uint32_t update;
    std::string cardIndex;  // empty: none on the card
    std::string refusal;    // empty: written
  };
  const Case cases[] = {
      {41, ChartIndex(39), ""},    {39, ChartIndex(39), ""}, {42, ChartIndex(39), tooNew},
      {38, ChartIndex(39), older}, {41, "", missing},        {41, std::string(148, 'i'), missing},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.update);
    vtest::TempFolder fresh;
    vtest::WriteFile(fresh / "sl_tpc/charts/kept.tpc", "kept");
    if (!c.cardIndex.empty()) vtest::WriteFile(fresh / "sl_tpc/sl_tpc.dat", c.cardIndex);
    Beside("charts/new.tpc", "new");
    auto region = Region(ChartIndex(c.update));
    avn::SlPartialTpcUpdateDb_t partial(21, 4, 160, source, u"2604");
    try {
      partial.Write(fresh.Wide(), region, progress, stop, counter);
      EXPECT_EQ(c.refusal, "");
      EXPECT_EQ(vtest::ReadFile(fresh / "sl_tpc/sl_tpc.dat"), ChartIndex(c.update));
      EXPECT_EQ(vtest::ReadFile(fresh / "sl_tpc/charts/new.tpc"), "new");
    } catch (const avn::BadPartialTpcUpdateFile_t& refused) {
      EXPECT_EQ(glo::GLO_ToNarrow(refused.Message(), glo::CodePageUtf8), c.refusal);
      EXPECT_EQ(vtest::ReadFile(fresh / "sl_tpc/sl_tpc.dat"), c.cardIndex);
    }
    EXPECT_EQ(vtest::ReadFile(fresh / "sl_tpc/charts/kept.tpc"), "kept");
  }
}

TEST_F(Charts, APartialIndexTooShortForItsCycleIsADamagedUpdate)
{
  Card("sl_tpc/sl_tpc.dat", ChartIndex(39));
  auto region = Region(std::string(148, 'i'));
  avn::SlPartialTpcUpdateDb_t partial(21, 4, 148, source, u"2604");
  EXPECT_THROW(partial.Write(root, region, progress, stop, counter), avn::BadRegionFile_t);
}

TEST_F(Charts, RastersKeepTheirFoldersBelowTheUpdate)
{
  Beside("a.jnx", std::string(100, 'a'));
  Beside("north/b.jnx", std::string(200, 'b'));
  Beside("north/east/c.jnx.1", std::string(300, 'c'));  // holds ".jnx", but is no "*.jnx"
  Beside("readme.txt", "not a raster");
  Beside("south/notes.txt", "no rasters here");
  Card("rasters/rasters.xml", std::string(10, 'x'));
  Card("rasters/old/z.jnx", std::string(90, 'z'));
  const std::string index = "<rasters/>";
  auto region = Region(index);
  avn::RasterUpdateDb_t rasters(26, 4, static_cast<std::uint32_t>(index.size()), source);
  EXPECT_EQ(rasters.Folders(), (std::set<std::u16string>{u"", u"north/", u"north/east/"}));
  EXPECT_EQ(rasters.UpdateCount(), 3u);

  std::uint64_t available = 0, needed = 0;
  rasters.AddSpaceFull(root, available, needed);
  EXPECT_EQ(needed, index.size() + 300u);
  EXPECT_EQ(available, 100u);  // the old index once, and the old raster
  EXPECT_EQ(rasters.EraseTotal.Get(), 100u);

  rasters.Write(root, region, progress, stop, counter);
  EXPECT_EQ(CardFiles(), (std::vector<std::string>{"rasters/a.jnx", "rasters/north/b.jnx", "rasters/rasters.xml"}));
  // A folder without a raster of its own brings no folder to the card.
  EXPECT_FALSE(std::filesystem::exists(card / "rasters/north/east"));
  EXPECT_EQ(vtest::ReadFile(card / "rasters/rasters.xml"), index);
  EXPECT_EQ(progress.Phases(), (std::vector<std::string>{"phase 4/100", "phase 2/10", "phase 10/10", "phase 9/300"}));
}

// The card files of the copied files, below the card's root, in order.
std::vector<std::string> CopiedBelow(avn::UpdateDb_t& database, const std::u16string& root,
                                     const std::u16string& source)
{
  std::vector<std::string> files;
  for (const auto& copied : database.CopiedFiles(root)) {
    EXPECT_EQ(copied.source.substr(0, source.size()), source);
    EXPECT_EQ(copied.card.substr(0, root.size() + 1), root + u"/");
    files.push_back(glo::GLO_ToNarrow(copied.card.substr(root.size() + 1), glo::CodePageUtf8));
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST_F(Charts, TheCopiedFilesAreThoseTheTransferWrites)
{
  Beside("charts/a.tpc", "a");
  Beside("charts/b.tpc", "b");
  Beside("charts/nested/skipped.tpc", "x");
  Beside("a.jnx", "r");
  Beside("north/b.jnx", "rr");
  Beside("north/east/c.jnx.1", "no raster");
  avn::SlFullTpcUpdateDb_t charts(20, 4, 160, source);
  avn::SlPartialTpcUpdateDb_t partial(21, 4, 160, source, u"2604");
  avn::RasterUpdateDb_t rasters(26, 4, 10, source);
  const std::vector<std::string> chartFiles{"sl_tpc/charts/a.tpc", "sl_tpc/charts/b.tpc"};
  EXPECT_EQ(CopiedBelow(charts, root, source), chartFiles);
  EXPECT_EQ(CopiedBelow(partial, root, source), chartFiles);
  EXPECT_EQ(CopiedBelow(rasters, root, source), (std::vector<std::string>{"rasters/a.jnx", "rasters/north/b.jnx"}));
  // The same files on the card after the transfers, besides the indexes.
  auto chartRegion = Region(ChartIndex(40));
  charts.Write(root, chartRegion, progress, stop, counter);
  auto rasterRegion = Region("<rasters/>");
  rasters.Write(root, rasterRegion, progress, stop, counter);
  EXPECT_EQ(CardFiles(), (std::vector<std::string>{"rasters/a.jnx", "rasters/north/b.jnx", "rasters/rasters.xml",
                                                   "sl_tpc/charts/a.tpc", "sl_tpc/charts/b.tpc", "sl_tpc/sl_tpc.dat"}));
  avn::UpdateDb_t terrain(33, 4, 10);
  EXPECT_TRUE(terrain.CopiedFiles(root).empty());
}

TEST_F(Charts, CopiedFilesRefuseWhatTheTransferRefuses)
{
  avn::SlFullTpcUpdateDb_t charts(20, 4, 160, source);
  EXPECT_THROW(charts.CopiedFiles(root), avn::BadRegionFile_t);  // no chart folder
  fs::create_directories(updates / "charts/only-a-folder");
  EXPECT_THROW(charts.CopiedFiles(root), avn::BadRegionFile_t);  // no chart files
  vtest::TempFolder outside;
  vtest::WriteFile(outside / "secret.tpc", "secret");
  Beside("charts/a.tpc", "a");
  fs::create_symlink(outside / "secret.tpc", updates / "charts/b.tpc");
  EXPECT_THROW(charts.CopiedFiles(root), avn::BadRegionFile_t);
}

TEST_F(Charts, RasterFoldersDoNotFollowLinks)
{
  vtest::TempFolder outside;
  vtest::WriteFile(outside / "far.jnx", "far");
  fs::create_directories(updates.Path());
  fs::create_directory_symlink(outside.Path(), updates / "link");
  fs::create_directory_symlink(updates.Path(), updates / "loop");
  Beside("here.jnx", "here");
  avn::RasterUpdateDb_t rasters(26, 4, 1, source);
  EXPECT_EQ(rasters.Folders(), (std::set<std::u16string>{u""}));
}

}  // namespace
