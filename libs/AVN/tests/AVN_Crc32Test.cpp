#include "AVN_Crc32.h"

#include <gtest/gtest.h>

#include <random>

#include "UpdateFileBuilder.h"

namespace {

TEST(Crc32, MatchesTheBitwiseDefinition)
{
  EXPECT_EQ(avn::AVN_Crc32(0, "123456789", 9), 0xCBF43926u);
  EXPECT_EQ(avn::AVN_Crc32(0, "", 0), 0u);
  std::mt19937 random(7);
  vtest::Bytes bytes(100000);
  for (auto& byte : bytes) byte = static_cast<unsigned char>(random());
  for (std::size_t size : {1u, 15u, 64u, 1000u, 65537u, 100000u}) {
    const vtest::Bytes part(bytes.begin(), bytes.begin() + static_cast<long>(size));
    EXPECT_EQ(avn::AVN_Crc32(0, part.data(), part.size()), vtest::Crc32(part)) << size;
  }
}

TEST(Crc32, ContinuesAcrossCalls)
{
  const std::string text = "The quick brown fox jumps over the lazy dog";
  std::uint32_t crc = 0;
  for (std::size_t at = 0; at < text.size(); at += 5)
    crc = avn::AVN_Crc32(crc, text.data() + at, std::min<std::size_t>(5, text.size() - at));
  EXPECT_EQ(crc, 0x414FA339u);
}

}  // namespace
