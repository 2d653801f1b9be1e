#include <gtest/gtest.h>

#include "AVN_HalcyonDcp.h"
#include "AVN_Recorders.h"
#include "FatCard.h"
#include "TempFolder.h"
#include "Unavailable.h"
#include "UpdateFileBuilder.h"
#include "WIN_ResourceString.h"

namespace {

using vtest::Bytes;

std::string Text(const Bytes& bytes)
{
  return std::string(bytes.begin(), bytes.end());
}

// "same", or where two contents part, without printing megabytes.
std::string Compared(const std::string& actual, const std::string& expected)
{
  if (actual == expected) return "same";
  std::size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  return "sizes " + std::to_string(actual.size()) + " and " + std::to_string(expected.size()) +
         ", first difference at " + std::to_string(at);
}

Bytes Filled(std::size_t size, unsigned char value)
{
  return Bytes(size, value);
}

// An update of every card layout, terrain with alternates on the card, a
// chart set and rasters, programmed onto a FAT image through FUSE and read
// back from the image.
TEST(FatCard, TakesAWholeUpdate)
{
  vtest::FatCard card;
  VTEST_REQUIRE_MOUNTED(card);
  win::WIN_SetResourceModule(nullptr);

  vtest::WriteFile(card.Root() / "trn.dat", "old terrain");
  vtest::WriteFile(card.Root() / "sl_tpc/charts/old.tpc", "old chart");
  vtest::WriteFile(card.Root() / "ldr_sys/avtn_db.bin", std::string(3000000, 'o'));

  vtest::TempFolder updates;
  vtest::WriteFile(updates / "charts/a.tpc", std::string(1500000, 'c'));
  vtest::WriteFile(updates / "charts/b.tpc", "chart b");
  vtest::WriteFile(updates / "a.jnx", "raster a");
  vtest::WriteFile(updates / "north/b.jnx", "raster b");
  vtest::WriteFile(updates / "readme.txt", "not a raster");
  const Bytes avtn = vtest::WithTrailer(Filled(1572865, 'a'));
  vtest::UpdateFile file;
  file.region = vtest::RegionBlock()
                    .Database(1, Filled(1572865, 'a'))
                    .Database(50, Filled(7000, 's'))
                    .Database(79, Filled(10, 'p'))
                    .Database(33, Filled(900000, 't'))
                    .Database(20, Filled(160, 'i'))
                    .Database(26, Filled(12, 'r'))
                    .Build();
  vtest::WriteFile(updates / "nav.vlm", Text(file.Build()));
  avn::VlmsDatabase_t update;
  update.Load(updates.Wide("nav.vlm"));

  win::Event_t stop(true, false);
  avntest::RecordingProgress_t progress;
  avntest::RecordingDialog_t dialog;
  avn::HalcyonDcp_t(card.Wide()).ProgramUpdate(update, stop, progress, dialog);
  if (!card.Unmount()) GTEST_SKIP() << card.Why();  // the image is checked only once it is let go

  EXPECT_EQ(card.Files(), (std::vector<std::string>{".System/AVTN/avtn_db.bin", "air_sport.xpt", "ldr_sys/avtn_db.bin",
                                                    "rasters/a.jnx", "rasters/north/b.jnx", "rasters/rasters.xml",
                                                    "sl_tpc/charts/a.tpc", "sl_tpc/charts/b.tpc", "sl_tpc/sl_tpc.dat",
                                                    "terrain.tdb"}));
  EXPECT_EQ(Compared(card.Read("ldr_sys/avtn_db.bin"), Text(avtn)), "same");
  EXPECT_EQ(Compared(card.Read(".System/AVTN/avtn_db.bin"), Text(vtest::WithTrailer(Filled(7000, 's')))), "same");
  EXPECT_EQ(Compared(card.Read("terrain.tdb"), Text(vtest::WithTrailer(Filled(900000, 't')))), "same");
  EXPECT_EQ(Compared(card.Read("sl_tpc/charts/a.tpc"), std::string(1500000, 'c')), "same");
  EXPECT_EQ(Compared(card.Read("rasters/north/b.jnx"), "raster b"), "same");
  EXPECT_EQ(dialog.texts.back().second, "Transferring Data (update 10 of 10)");
}

// An old file that is read-only, hidden and system: the new one takes its
// place and is none of these, so the avionics sees it and can replace it.
TEST(FatCard, ReplacesAReadOnlyHiddenSystemFile)
{
  vtest::FatCard card;
  VTEST_REQUIRE_MOUNTED(card);
  win::WIN_SetResourceModule(nullptr);
  vtest::WriteFile(card.Root() / "unit7.ini", "old unit");
  if (!card.Unmount()) GTEST_SKIP() << card.Why();  // the image is checked only once it is let go
  ASSERT_TRUE(card.SetAttributes("unit7.ini", "+r +h +s"));
  ASSERT_EQ(card.Attributes("unit7.ini"), "ASHR");
  ASSERT_TRUE(card.Mount()) << card.Why();

  vtest::TempFolder updates;
  vtest::WriteFile(updates / "unit7.ini", "[unit]\nid=7\n");
  win::Event_t stop(true, false);
  avntest::RecordingProgress_t progress;
  avn::HalcyonDcp_t(card.Wide()).ProgramConfiguration(stop, progress, 2, updates.Wide("unit7.ini"));
  if (!card.Unmount()) GTEST_SKIP() << card.Why();  // the image is checked only once it is let go

  EXPECT_EQ(card.Files(), std::vector<std::string>{"unit7.ini"});
  EXPECT_EQ(card.Read("unit7.ini"), "[unit]\nid=7\n");
  EXPECT_EQ(card.Attributes("unit7.ini"), "A");
}

}  // namespace
