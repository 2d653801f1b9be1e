#include "AVN_AviationDatabase.h"

#include <gtest/gtest.h>

#include "DOC_AppHeader.h"
#include "FaultCard.h"
#include "GLO_Text.h"
#include "GLO_Exception.h"
#include "TempFolder.h"
#include "Unavailable.h"
#include "UpdateFileBuilder.h"
#include "WIN_ResourceString.h"

namespace {

using vtest::Bytes;

const std::u16string Unopenable = u"Unable to open the input file, please check the file and try again.";
const std::u16string Corrupt = u"The input file is corrupted, please get a new copy of the file and try again.";

class AviationDatabaseTest : public testing::Test {
 protected:
  void SetUp() override { win::WIN_SetResourceModule(nullptr); }

  std::u16string Write(const Bytes& bytes) const
  {
    vtest::WriteFile(folder / "nav.vlm", std::string(bytes.begin(), bytes.end()));
    return folder.Wide("nav.vlm");
  }

  // The user text the load ends with; empty when it loads.
  std::u16string LoadText(const Bytes& bytes) const
  {
    avn::VlmsDatabase_t update;
    try {
      update.Load(Write(bytes));
      return {};
    } catch (const glo::InvalidInput_t& error) {
      return error.UserText();
    }
  }

  static vtest::UpdateFile Sample()
  {
    vtest::UpdateFile update;
    update.region = vtest::RegionBlock().Database(1, {1, 2, 3}).Database(33, Bytes(300, 0x5A)).Build();
    return update;
  }

  vtest::TempFolder folder;
};

TEST_F(AviationDatabaseTest, LoadsWhatTheFileSays)
{
  const auto sample = Sample();
  avn::VlmsDatabase_t update;
  update.Load(Write(sample.Build()));
  EXPECT_EQ(update.DeviceName(), u"Skyline 400");
  EXPECT_EQ(update.DatabaseName(), u"North Atlantic");
  EXPECT_EQ(update.CycleText(), u"263");
  EXPECT_EQ(update.Path(), folder.Wide("nav.vlm"));
  EXPECT_EQ(update.RegionOffset(), sample.RegionOffset());
  EXPECT_EQ(update.RegionLength(), sample.region.size());
}

TEST_F(AviationDatabaseTest, CycleText)
{
  struct Case {
    std::uint32_t major;
    char revision;
    std::uint32_t minor;
    const char16_t* text;
  };
  const Case cases[] = {
      {8, '1', 13, u"0813"}, {11, 'B', 4, u"11B4"}, {0, '1', 0, u"000"}, {123, 'x', 7, u"123x7"}, {5, '2', 1, u"0521"},
  };
  for (const auto& c : cases) {
    auto sample = Sample();
    sample.cycleMajor = c.major;
    sample.revision = c.revision;
    sample.cycleMinor = c.minor;
    avn::VlmsDatabase_t update;
    update.Load(Write(sample.Build()));
    EXPECT_EQ(update.CycleText(), c.text);
  }
}

TEST_F(AviationDatabaseTest, EveryFaultOfTheContainerIsRefused)
{
  std::vector<std::pair<std::string, vtest::UpdateFile>> cases;
  auto add = [&](const std::string& name, auto change) {
    auto sample = Sample();
    change(sample);
    cases.emplace_back(name, sample);
  };
  add("magic", [](auto& u) { u.magic = 0x2E764C6E; });
  add("header version 101", [](auto& u) { u.headerVersion = 101; });
  add("header version 99", [](auto& u) { u.headerVersion = 99; });
  add("data version 101", [](auto& u) { u.dataRecordPayload = vtest::Le16(101); });
  add("short data version", [](auto& u) { u.dataRecordPayload = {100}; });
  add("empty device", [](auto& u) { u.device = ""; });
  add("empty title", [](auto& u) { u.database = ""; });
  for (const auto& [name, update] : cases) EXPECT_EQ(LoadText(update.Build()), Corrupt) << name;
}

TEST_F(AviationDatabaseTest, RecordsOfTheWrongTypeOrLengthAreRefused)
{
  const auto sample = Sample();
  const Bytes good = sample.Build();
  ASSERT_EQ(LoadText(vtest::Resign(good)), u"");
  const std::size_t signature = good.size() - 25, region = sample.RegionOffset() - 5;
  const std::size_t information = region - 5 - (16 + sample.device.size() + 1 + sample.database.size() + 1 + 1);
  struct Case {
    const char* name;
    std::size_t at;
    unsigned char value;
  };
  const Case cases[] = {
      {"information type", information + 4, 'X'},       {"region type", region + 4, 'F'},
      {"signature type", signature + 4, 'R'},           {"signature length", signature, 21},
      {"region length past the end", region + 3, 0x40},
  };
  // Each file is signed anew, so only the check named can refuse it.
  for (const auto& c : cases) {
    Bytes bad = good;
    bad[c.at] = c.value;
    EXPECT_EQ(LoadText(vtest::Resign(bad)), Corrupt) << c.name;
  }
}

TEST_F(AviationDatabaseTest, AFileCutShortAnywhereIsCorrupt)
{
  const Bytes good = Sample().Build();
  for (std::size_t length = 0; length < good.size(); ++length)
    EXPECT_EQ(LoadText(Bytes(good.begin(), good.begin() + static_cast<long>(length))), Corrupt) << length;
}

TEST_F(AviationDatabaseTest, TheSignatureCoversEveryByteBeforeIt)
{
  const Bytes good = Sample().Build();
  for (std::size_t at = 0; at < good.size() - 25; ++at) {
    Bytes bad = good;
    bad[at] ^= 0x01;
    try {
      EXPECT_EQ(LoadText(bad), Corrupt) << at;
    } catch (const doc::InvalidRecordTypeException_t&) {
      EXPECT_TRUE(at == 10 || at == 17) << at;  // the 'D' and 'A' type bytes
    }
  }
}

// The signature is read where the page cache holds the file; a file that
// cannot be mapped is read through instead, to the same verdicts.
TEST_F(AviationDatabaseTest, AFileThatCannotBeMappedIsReadThrough)
{
  vtest::FaultCardOptions options;
  options.directIo = true;
  vtest::FaultCard card(options);
  VTEST_REQUIRE_MOUNTED(card);
  const Bytes good = Sample().Build();
  Bytes bad = good;
  bad[good.size() - 30] ^= 0x01;
  const std::u16string path = glo::GLO_FileNameToWide((card.Root() / "nav.vlm").string());
  for (const auto& [bytes, text] : {std::pair{good, std::u16string()}, std::pair{bad, Corrupt}}) {
    vtest::WriteFile(card.Root() / "nav.vlm", std::string(bytes.begin(), bytes.end()));
    avn::VlmsDatabase_t update;
    try {
      update.Load(path);
      EXPECT_EQ(text, u"");
      EXPECT_EQ(update.DeviceName(), u"Skyline 400");
    } catch (const glo::InvalidInput_t& error) {
      EXPECT_EQ(error.UserText(), text);
    }
  }
}

TEST_F(AviationDatabaseTest, FillerAndTrailingBytesDoNotMatter)
{
  const Bytes good = Sample().Build();
  for (std::size_t at = good.size() - 20; at < good.size(); ++at) {
    if (at == good.size() - 18 || at == good.size() - 11 || at == good.size() - 8 || at == good.size() - 3) {
      Bytes bad = good;
      bad[at] ^= 0x80;
      EXPECT_EQ(LoadText(bad), Corrupt) << at;
      continue;
    }
    Bytes changed = good;
    changed[at] ^= 0xFF;
    EXPECT_EQ(LoadText(changed), u"") << at;
  }
  EXPECT_EQ(LoadText(vtest::Join({good, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}})), u"");
}

TEST_F(AviationDatabaseTest, AMissingFileCannotBeOpened)
{
  avn::VlmsDatabase_t update;
  try {
    update.Load(folder.Wide("missing.vlm"));
    FAIL() << "no exception";
  } catch (const glo::InvalidInput_t& error) {
    EXPECT_EQ(error.UserText(), Unopenable);
  }
}

TEST_F(AviationDatabaseTest, AWrongHeaderRecordPassesItsOwnException)
{
  auto sample = Sample();
  Bytes bytes = sample.Build();
  bytes[10] = 'F';
  avn::VlmsDatabase_t update;
  EXPECT_THROW(update.Load(Write(bytes)), doc::InvalidRecordTypeException_t);
}

}  // namespace
