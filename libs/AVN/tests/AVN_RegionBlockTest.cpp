#include "AVN_RegionBlock.h"

#include <gtest/gtest.h>

#include "AVN_DatabaseChecksum.h"
#include "AVN_Exceptions.h"
#include "BIN_StringStream.h"
#include "BIN_SubStream.h"
#include "UpdateFileBuilder.h"

namespace {

using vtest::Bytes;

class Quiet_t : public thr::Progress_t {
 public:
  Quiet_t() : Progress_t(0xFFFFFFFF, 0) {}

 protected:
  void OnChange() override {}
};

// A block with a record of another type, two databases of kind 1 (the
// first one short), one of kind 33 and one of an unsupported kind.
Bytes Sample()
{
  return vtest::RegionBlock()
      .Raw(vtest::Record('X', {9, 9, 9}))
      .Database(1, {'a', 'b'})
      .Database(33, {'t', 'e', 'r', 'r'})
      .Database(1, {'s', 'e', 'c', 'o', 'n', 'd', '-', 'o', 'n', 'e'})
      .Database(4, {'u'})
      .Build();
}

std::string BytesAt(bin::istream& stream, std::size_t count)
{
  std::string bytes(count, '\0');
  stream.read(bytes.data(), static_cast<std::uint32_t>(count));
  return stream.failed() ? "<failed>" : bytes;
}

TEST(RegionBlock, SeekFindsTheFirstDatabaseLongEnough)
{
  struct Case {
    std::uint32_t kind, offset;
    std::string bytes;
  };
  const Case cases[] = {
      {1, 0, "ab"},
      {1, 1, "b"},
      {33, 2, "rr"},
      {4, 0, "u"},
      // Past the first kind-1 database (2 bytes and its trailer) the second one serves.
      {1, 7, "one"},
  };
  for (const auto& c : cases) {
    bin::stringstream stream(Sample());
    avn::SeekDatabase(stream, c.kind, c.offset);
    EXPECT_EQ(BytesAt(stream, c.bytes.size()), c.bytes) << c.kind << "@" << c.offset;
  }
  bin::stringstream stream(Sample());
  avn::SeekDatabase(stream, 2, 0);  // not in the block: at its end
  EXPECT_EQ(stream.remaining(), 0u);
  EXPECT_EQ(BytesAt(stream, 1), "<failed>");
}

TEST(RegionBlock, ListsTheFirstDatabaseOfEachSupportedKindInKindOrder)
{
  // The block inside a larger file, read through a window on it.
  const Bytes block = Sample();
  bin::stringstream file(vtest::Join({Bytes(7, 0xEE), block, Bytes(5, 0xEE)}));
  bin::substream window(file, 7, static_cast<std::uint32_t>(block.size()));
  const auto databases = avn::AVN_SupportedDatabases(window);
  std::vector<std::string> listed;
  for (const auto& database : databases) {
    window.seekg(database.start);
    listed.push_back(std::to_string(database.kind) + ":" + std::to_string(database.length) + ":" + BytesAt(window, 2));
  }
  EXPECT_EQ(listed, (std::vector<std::string>{"1:6:ab", "33:8:te"}));
}

TEST(RegionBlock, AWrongOrShortHeaderIsABadBlock)
{
  std::vector<vtest::RegionBlock> cases(5);
  cases[0].magic = 0x7251704C;
  cases[1].version = 101;
  cases[2].dataRecordPayload = vtest::Le16(101);
  cases[3].dataRecordPayload = {100};
  for (std::size_t i = 0; i < cases.size(); ++i) {
    Bytes block = cases[i].Build();
    if (i == 4) block.resize(8);  // cut inside the 'D' record
    bin::stringstream stream(block);
    EXPECT_THROW(avn::HeaderCheck(stream), avn::BadRegionFile_t) << i;
  }
  bin::stringstream good(vtest::RegionBlock().Build());
  EXPECT_NO_THROW(avn::HeaderCheck(good));
}

TEST(RegionBlock, ARecordCutShortIsABadBlock)
{
  Bytes block = vtest::RegionBlock().Build();
  for (std::size_t cut : {1u, 3u, 6u, 10u}) {
    Bytes withPart = block;
    const Bytes record = vtest::Join({vtest::Le32(20), {'R'}, vtest::Le16(1), vtest::Le32(0)});
    withPart.insert(withPart.end(), record.begin(), record.begin() + static_cast<long>(cut));
    bin::stringstream stream(withPart);
    EXPECT_THROW(avn::SeekDatabase(stream, 1, 0), avn::BadRegionFile_t) << cut;
  }
  // Cut right after the length and type: an ordinary end of the block.
  Bytes endsAfterType = vtest::Join({block, vtest::Le32(20), {'X'}});
  bin::stringstream stream(endsAfterType);
  EXPECT_NO_THROW(avn::SeekDatabase(stream, 1, 0));
}

TEST(RegionBlock, VerifyDatabaseAgainstItsTrailer)
{
  Quiet_t progress;
  win::Event_t stop(true, false);
  const Bytes digits{'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  struct Case {
    Bytes data;  // trailer included
    bool valid;
  };
  const Case cases[] = {
      {vtest::Join({digits, {0xD9, 0xC6, 0x0B, 0x34}}), true},
      {vtest::Join({digits, {0xD9, 0xC6, 0x0B, 0x35}}), false},
      {{0xFF, 0xFF, 0xFF, 0xFF}, true},
      {{0xFF, 0xFF, 0xFF, 0xFE}, false},
      {vtest::WithTrailer(Bytes(1 << 20, 0x33)), true},
  };
  for (const auto& c : cases) {
    bin::stringstream stream(vtest::RegionBlock().DatabaseAsIs(5, c.data).Build());
    EXPECT_EQ(avn::VerifyDatabase(stream, 5, static_cast<std::uint32_t>(c.data.size()), progress, stop), c.valid)
        << c.data.size();
  }
  // Shorter than its trailer: refused before a byte is read.
  bin::stringstream shortOne(vtest::RegionBlock().DatabaseAsIs(5, {1, 2}).Build());
  const std::uint32_t before = progress.Position();
  EXPECT_FALSE(avn::VerifyDatabase(shortOne, 5, 2, progress, stop));
  EXPECT_EQ(progress.Position(), before);
}

}  // namespace
