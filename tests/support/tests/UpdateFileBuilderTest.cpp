#include "UpdateFileBuilder.h"

#include <gtest/gtest.h>

namespace {

using vtest::Bytes;

TEST(UpdateFileBuilder, ChecksumsMatchTheirKnownValues)
{
  const Bytes digits{'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(vtest::Crc32(digits), 0xCBF43926u);
  EXPECT_EQ(vtest::WithTrailer(digits), vtest::Join({digits, {0xD9, 0xC6, 0x0B, 0x34}}));
  EXPECT_EQ(vtest::WithTrailer({}), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(UpdateFileBuilder, SignatureScattersTheCrc)
{
  const Bytes filler{0, 1, 3, 4, 5, 6, 7, 8, 10, 11, 13, 14, 15, 16, 18, 19};
  EXPECT_EQ(vtest::Signature(0x11223344, filler),
            (Bytes{0, 1, 0x11, 3, 4, 5, 6, 7, 8, 0x22, 10, 11, 0x33, 13, 14, 15, 16, 0x44, 18, 19}));
}

TEST(UpdateFileBuilder, RegionBlockLayout)
{
  const Bytes block = vtest::RegionBlock().Database(1, {'1', '2', '3', '4', '5', '6', '7', '8', '9'}).Build();
  EXPECT_EQ(block, (Bytes{'K', 'p', 'Q', 'r', 100, 0,                      // magic, version
                          2,   0,   0,   0,   'D', 100, 0,                 // data version record
                          23,  0,   0,   0,   'R',                         // database record: 10 + 13 bytes
                          1,   0,   0,   0,   0,   0,   13,  0,   0,   0,  // kind 1, ignored value, data length
                          '1', '2', '3', '4', '5', '6', '7', '8', '9', 0xD9, 0xC6, 0x0B, 0x34}));
}

TEST(UpdateFileBuilder, UpdateFileLayout)
{
  vtest::UpdateFile update;
  update.device = "D";
  update.database = "N";
  update.region = {0xEE};
  const Bytes file = update.Build();
  const Bytes start{'m', 'L', 'v', '.', 100, 0, 2, 0, 0, 0, 'D', 100, 0};
  ASSERT_GT(file.size(), start.size());
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 13), start);
  const Bytes information{21, 0, 0,   0, 'F', 7, 0,   0, 0, 9, 0, 0,   0,    26, 0, 0, 0, 3,  0,
                          0,  0, 'D', 0, 'N', 0, '1', 1, 0, 0, 0, 'R', 0xEE, 20, 0, 0, 0, 'S'};
  const std::size_t at = file.size() - 20 - information.size();
  EXPECT_EQ(Bytes(file.begin() + static_cast<long>(at), file.end() - 20), information);
  EXPECT_EQ(update.RegionOffset(), file.size() - 20 - 5 - 1);
  const std::uint32_t crc = vtest::Crc32(Bytes(file.begin(), file.end() - 25));
  EXPECT_EQ(file[file.size() - 20 + 2], crc >> 24);
  EXPECT_EQ(file[file.size() - 20 + 17], crc & 0xFF);
}

}  // namespace
