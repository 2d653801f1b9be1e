#include "AVN_UpdateFileWriter.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "AVN_AviationDatabase.h"
#include "FIL_Exceptions.h"
#include "TempFolder.h"
#include "UpdateFileBuilder.h"
#include "WIN_ResourceString.h"

namespace {

using vtest::Bytes;

class UpdateFileWriterTest : public testing::Test {
 protected:
  void SetUp() override { win::WIN_SetResourceModule(nullptr); }

  std::u16string Database(const std::string& name, const Bytes& bytes) const
  {
    vtest::WriteFile(folder / name, std::string(bytes.begin(), bytes.end()));
    return folder.Wide(name);
  }

  vtest::TempFolder folder;
};

TEST_F(UpdateFileWriterTest, WritesAnUpdateThatLoads)
{
  const Bytes nav{'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  Bytes terrain(3 << 20);
  for (std::size_t i = 0; i < terrain.size(); ++i) terrain[i] = static_cast<unsigned char>(i * 31 >> 3);
  avn::UpdateFileContent_t content;
  content.deviceName = u"Skyline 400";
  content.databaseName = u"North Atlantic";
  content.cycleMajor = 11;
  content.cycleMinor = 4;
  content.cycleRevision = 'B';
  content.databases = {{1, Database("nav.bin", nav)}, {33, Database("terrain.tdb", terrain)}};
  avn::AVN_WriteUpdateFile(folder.Wide("out.vlm"), content);

  avn::VlmsDatabase_t update;
  update.Load(folder.Wide("out.vlm"));
  EXPECT_EQ(update.DeviceName(), u"Skyline 400");
  EXPECT_EQ(update.DatabaseName(), u"North Atlantic");
  EXPECT_EQ(update.CycleText(), u"11B4");
  const std::string file = vtest::ReadFile(folder / "out.vlm");
  const Bytes region(file.begin() + update.RegionOffset(),
                     file.begin() + update.RegionOffset() + static_cast<long>(update.RegionLength()));
  EXPECT_EQ(region, vtest::RegionBlock().Database(1, nav).Database(33, terrain).Build());
  EXPECT_FALSE(std::filesystem::exists(folder / "out.vlm.part"));
}

TEST_F(UpdateFileWriterTest, AnUpdateWithoutDatabasesHasAnEmptyBlock)
{
  avn::UpdateFileContent_t content;
  content.deviceName = u"D";
  content.databaseName = u"N";
  avn::AVN_WriteUpdateFile(folder.Wide("out.vlm"), content);
  avn::VlmsDatabase_t update;
  update.Load(folder.Wide("out.vlm"));
  EXPECT_EQ(update.RegionLength(), vtest::RegionBlock().Build().size());
}

TEST_F(UpdateFileWriterTest, AFailureLeavesNoFileBehind)
{
  vtest::WriteFile(folder / "out.vlm", "older");
  avn::UpdateFileContent_t content;
  content.deviceName = u"D";
  content.databaseName = u"N";
  content.databases = {{1, Database("nav.bin", {1, 2})}, {2, folder.Wide("missing.bin")}};
  EXPECT_THROW(avn::AVN_WriteUpdateFile(folder.Wide("out.vlm"), content), fil::FileError_t);
  EXPECT_EQ(vtest::ReadFile(folder / "out.vlm"), "older");
  EXPECT_FALSE(std::filesystem::exists(folder / "out.vlm.part"));
}

}  // namespace
