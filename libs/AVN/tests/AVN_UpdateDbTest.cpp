#include "AVN_UpdateDb.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "AVN_Recorders.h"
#include "BIN_StringStream.h"
#include "TempFolder.h"
#include "WIN_ResourceString.h"

namespace {

namespace fs = std::filesystem;

// A card folder, and a block whose bytes at 8 are the databases' data.
class UpdateDb : public ::testing::Test {
 protected:
  vtest::TempFolder card;
  std::u16string root = card.Wide();
  std::string data = std::string(8, '-') + "DATABASE-BYTES";
  bin::stringstream region{std::vector<unsigned char>(data.begin(), data.end())};
  win::Event_t stop{true, false};
  avntest::RecordingProgress_t progress;
  avntest::RecordingDialog_t dialog;
  avn::UpdateCounter_t counter{dialog, 3};

  void SetUp() override { win::WIN_SetResourceModule(nullptr); }
  void Put(const std::string& name, std::size_t size) { vtest::WriteFile(card / name, std::string(size, 'o')); }
};

TEST_F(UpdateDb, SpaceCountsTheDatabaseAndFreesTheFileItReplaces)
{
  struct Case {
    std::uint32_t kind, length;
    std::string existing;
    std::size_t existingSize;
    std::uint64_t available, needed;
  };
  const Case cases[] = {
      {1, 3100000, "ldr_sys/avtn_db.bin", 3000000, 3000000, 3100000},
      {50, 10, "ldr_sys/avtn_db.bin", 4, 0, 10},  // the other layout's file stays
      {79, 10, "", 0, 0, 10},
  };
  for (const auto& c : cases) {
    vtest::TempFolder fresh;
    if (!c.existing.empty()) vtest::WriteFile(fresh / c.existing, std::string(c.existingSize, 'o'));
    std::uint64_t available = 0, needed = 0;
    avn::UpdateDb_t(c.kind, 0, c.length).AddSpaceFull(fresh.Wide(), available, needed);
    EXPECT_EQ(available, c.available) << c.kind;
    EXPECT_EQ(needed, c.needed) << c.kind;
  }
}

TEST_F(UpdateDb, WritesItsBytesToItsCardFileUnderTwoPhases)
{
  Put("ldr_sys/avtn_db.bin", 100);
  avn::AdbUpdateDb_t database(1, 8, 14);
  database.Write(root, region, progress, stop, counter);
  EXPECT_EQ(vtest::ReadFile(card / "ldr_sys/avtn_db.bin"), "DATABASE-BYTES");
  EXPECT_EQ(progress.events, (std::vector<std::string>{"phase 2/14", "phase 10/14", "step 14"}));
  ASSERT_EQ(dialog.texts.size(), 1u);
  EXPECT_EQ(dialog.texts[0].first, 5881u);
  EXPECT_EQ(dialog.texts[0].second, "Transferring Data (update 1 of 3)");
}

TEST_F(UpdateDb, CreatesTheFoldersOfItsLayout)
{
  avn::UpdateDb_t(58, 8, 4).Write(root, region, progress, stop, counter);
  EXPECT_EQ(vtest::ReadFile(card / ".System/AVTN/Skyleaf/sl_tpc.sla"), "DATA");
}

TEST_F(UpdateDb, TheCounterCountsEachDatabaseOfTheUpdate)
{
  for (std::uint32_t kind : {2u, 3u, 5u}) avn::UpdateDb_t(kind, 8, 4).Write(root, region, progress, stop, counter);
  std::vector<std::string> texts;
  for (const auto& text : dialog.texts) texts.push_back(text.second);
  EXPECT_EQ(texts, (std::vector<std::string>{"Transferring Data (update 1 of 3)", "Transferring Data (update 2 of 3)",
                                             "Transferring Data (update 3 of 3)"}));
}

TEST_F(UpdateDb, TerrainErasesItsAlternatesFirst)
{
  Put("terrain.tdb", 50);
  Put("trn.dat", 300);
  Put(".System/AVTN/terrain.tdb", 700);
  Put("terrain.odb", 9);  // not a terrain alternate
  avn::TerrainUpdateDb_t terrain(33, 8, 14);
  std::uint64_t available = 0, needed = 0;
  terrain.AddSpaceFull(root, available, needed);
  EXPECT_EQ(needed, 14u);
  EXPECT_EQ(available, 50u + 300u + 700u);
  ASSERT_TRUE(terrain.EraseTotal);
  EXPECT_EQ(terrain.EraseTotal.Get(), 1000u);

  terrain.Write(root, region, progress, stop, counter);
  EXPECT_EQ(progress.events,
            (std::vector<std::string>{"phase 4/1000", "step 300", "step 700", "phase 2/14", "phase 10/14", "step 14"}));
  EXPECT_FALSE(fs::exists(card / "trn.dat"));
  EXPECT_FALSE(fs::exists(card / ".System/AVTN/terrain.tdb"));
  EXPECT_EQ(vtest::ReadFile(card / "terrain.tdb"), "DATABASE-BYTES");
  EXPECT_TRUE(fs::exists(card / "terrain.odb"));
}

TEST_F(UpdateDb, TerrainWithoutAlternatesShowsNoErasePhase)
{
  Put("terrain.tdb", 50);
  avn::TerrainUpdateDb_t terrain(33, 8, 14);
  std::uint64_t available = 0, needed = 0;
  terrain.AddSpaceFull(root, available, needed);
  EXPECT_FALSE(terrain.EraseTotal);
  terrain.Write(root, region, progress, stop, counter);
  EXPECT_EQ(progress.Phases(), (std::vector<std::string>{"phase 2/14", "phase 10/14"}));
}

TEST(UpdateDbs, KeepsTheFirstDatabaseOfAKindAndSumsTheirCounts)
{
  avn::UpdateDbs_t databases;
  EXPECT_TRUE(databases.Insert(std::make_unique<avn::UpdateDb_t>(3, 10, 4)));
  EXPECT_TRUE(databases.Insert(std::make_unique<avn::UpdateDb_t>(1, 20, 4)));
  EXPECT_FALSE(databases.Insert(std::make_unique<avn::UpdateDb_t>(3, 30, 4)));
  ASSERT_EQ(databases.size(), 2u);
  EXPECT_EQ(databases.at(3)->Offset, 10u);
  EXPECT_EQ(databases.begin()->first, 1u);
  EXPECT_EQ(databases.UpdateCount(), 2u);
}

}  // namespace
