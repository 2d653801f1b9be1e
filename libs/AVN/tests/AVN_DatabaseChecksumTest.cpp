#include "AVN_DatabaseChecksum.h"

#include <gtest/gtest.h>

#include "AVN_Exceptions.h"
#include "BIN_StringStream.h"
#include "UpdateFileBuilder.h"

namespace {

using vtest::Bytes;

// Records every step, and asks for a stop with the step of a rest shorter
// than a block when given an event.
class Steps_t : public thr::Progress_t {
 public:
  Steps_t() : Progress_t(0xFFFFFFFF, 0) {}
  std::vector<std::uint32_t> steps;
  win::Event_t* stopAtRest = nullptr;
  void Step(std::uint32_t amount) override
  {
    steps.push_back(amount);
    Progress_t::Step(amount);
    if (stopAtRest != nullptr && amount < avn::ChecksumBlock) stopAtRest->Set();
  }

 protected:
  void OnChange() override {}
};

std::uint32_t RegisterOver(const Bytes& bytes, std::uint32_t initial = 0xFFFFFFFF)
{
  bin::stringstream stream(bytes);
  Steps_t progress;
  win::Event_t stop(true, false);
  return avn::ChecksumStream(stream, static_cast<std::uint32_t>(bytes.size()), progress, stop, initial);
}

TEST(DatabaseChecksum, ADatabaseAndItsTrailerLeaveZero)
{
  const Bytes digits{'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  const std::uint32_t overData = RegisterOver(digits);
  EXPECT_EQ(overData, ~0xCBF43926u);
  EXPECT_EQ(RegisterOver({0xD9, 0xC6, 0x0B, 0x34}, overData), 0u);
  EXPECT_NE(RegisterOver({0xD9, 0xC6, 0x0B, 0x35}, overData), 0u);
  EXPECT_EQ(RegisterOver({0xFF, 0xFF, 0xFF, 0xFF}), 0u);  // a database of its trailer only
  EXPECT_EQ(RegisterOver(vtest::WithTrailer(Bytes(300000, 0x5A))), 0u);
}

TEST(DatabaseChecksum, StepsByBlocksAndPutsThePositionBack)
{
  Bytes data(1000000 + 10, 7);
  bin::stringstream stream(data);
  stream.seekg(10);
  Steps_t progress;
  win::Event_t stop(true, false);
  avn::ChecksumStream(stream, 1000000 - 4, progress, stop, 0xFFFFFFFF);
  avn::ChecksumStream(stream, 4, progress, stop, 0xFFFFFFFF);
  EXPECT_EQ(progress.steps, (std::vector<std::uint32_t>{524288, 475708, 4}));
  EXPECT_EQ(stream.tellg(), 10);
}

TEST(DatabaseChecksum, AStopRequestEndsItAfterABlock)
{
  bin::stringstream stream(Bytes(2 * avn::ChecksumBlock, 1));
  Steps_t progress;
  win::Event_t stop(true, true);
  EXPECT_THROW(avn::ChecksumStream(stream, 2 * avn::ChecksumBlock, progress, stop, 0xFFFFFFFF), glo::Terminate_t);
  EXPECT_EQ(progress.steps, std::vector<std::uint32_t>{avn::ChecksumBlock});
}

TEST(DatabaseChecksum, AStopRequestIsTestedAfterWholeBlocksOnly)
{
  // The rest after the last whole block, or a database shorter than a
  // block, runs to its end.
  for (std::uint32_t count : {4u, 1000u, avn::ChecksumBlock + 10}) {
    SCOPED_TRACE(count);
    const Bytes data(count, 3);
    bin::stringstream stream(data);
    Steps_t progress;
    win::Event_t stop(true, false);
    progress.stopAtRest = &stop;
    EXPECT_EQ(avn::ChecksumStream(stream, count, progress, stop, 0xFFFFFFFF), RegisterOver(data));
    EXPECT_EQ(progress.steps.back(), count % avn::ChecksumBlock);
  }
}

TEST(DatabaseChecksum, TooFewBytesAreABadBlock)
{
  bin::stringstream stream(Bytes(3, 1));
  Steps_t progress;
  win::Event_t stop(true, false);
  EXPECT_THROW(avn::ChecksumStream(stream, 4, progress, stop, 0xFFFFFFFF), avn::BadRegionFile_t);
}

}  // namespace
