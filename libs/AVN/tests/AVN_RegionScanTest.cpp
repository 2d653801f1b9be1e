#include "AVN_RegionScan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "AVN_RegionBlock.h"
#include "BIN_StringStream.h"
#include "UpdateFileBuilder.h"

namespace {

using vtest::Bytes;

// Every database of the block as the walk finds it.
std::vector<avn::DatabaseRecord_t> Walk(const Bytes& block)
{
  bin::stringstream stream(block);
  std::vector<avn::DatabaseRecord_t> databases;
  avn::AVN_WalkDatabases(stream, [&](const avn::DatabaseRecord_t& database) {
    databases.push_back(database);
    return true;
  });
  return databases;
}

avn::RegionScan_t Scan(const Bytes& block, std::size_t chunk)
{
  avn::RegionScan_t scan;
  for (std::size_t at = 0; at < block.size(); at += chunk)
    scan.Feed(block.data() + at, static_cast<std::uint32_t>(std::min(chunk, block.size() - at)));
  return scan;
}

TEST(RegionScan, AnswersForTheFirstDatabaseOfEverySupportedKindInChunksOfAnySize)
{
  Bytes damaged = vtest::WithTrailer(Bytes(3000, 'd'));
  damaged[1500] ^= 0x10;
  const Bytes block = vtest::RegionBlock()
                          .Raw(vtest::Record('X', Bytes(7, 'x')))
                          .Database(1, Bytes(2000, 'a'))
                          .DatabaseAsIs(33, damaged)
                          .Database(4, Bytes(10, 'u'))
                          .Database(1, Bytes(20, 'b'))
                          .DatabaseAsIs(50, Bytes{0xFF, 0xFF, 0xFF, 0xFF})
                          .Build();
  const auto databases = Walk(block);
  ASSERT_EQ(databases.size(), 5u);
  struct Expected_t {
    const char* what;
    std::optional<bool> verified;
  };
  // In the order of the block.
  const Expected_t expected[] = {
      {"a good database", true},
      {"a damaged one", false},
      {"an unsupported kind", std::nullopt},
      {"a later database of a kind already seen", std::nullopt},
      {"a database of its trailer alone", true},
  };
  for (std::size_t chunk : {std::size_t{1}, std::size_t{3}, std::size_t{11}, std::size_t{1024}, block.size()}) {
    const avn::RegionScan_t scan = Scan(block, chunk);
    for (std::size_t i = 0; i < databases.size(); ++i) {
      const auto& [what, verified] = expected[i];
      SCOPED_TRACE(std::string(what) + ", chunks of " + std::to_string(chunk));
      EXPECT_EQ(scan.Verified(databases[i].start, databases[i].length), verified);
    }
  }
}

TEST(RegionScan, KnowsNothingOfADatabaseItDidNotSeeWhole)
{
  const Bytes block = vtest::RegionBlock().Database(1, Bytes(100, 'a')).Database(33, Bytes(100, 't')).Build();
  const auto databases = Walk(block);
  ASSERT_EQ(databases.size(), 2u);
  const Bytes cut(block.begin(), block.end() - 1);
  const avn::RegionScan_t scan = Scan(cut, 64);
  EXPECT_EQ(scan.Verified(databases[0].start, databases[0].length), true);
  EXPECT_EQ(scan.Verified(databases[1].start, databases[1].length), std::nullopt);
  // Nor of a range that is no database of the block.
  EXPECT_EQ(scan.Verified(databases[0].start, databases[0].length - 1), std::nullopt);
  EXPECT_EQ(scan.Verified(databases[0].start + 1, databases[0].length), std::nullopt);
}

}  // namespace
