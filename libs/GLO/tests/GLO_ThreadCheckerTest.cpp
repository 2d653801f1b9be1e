#include "GLO_ThreadChecker.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "OtherThread.h"

namespace {

TEST(ThreadChecker, OnlyTheThreadThatMadeItPasses)
{
  const glo::ThreadChecker_t checker;
  checker.Check(GLO_HERE);
  EXPECT_TRUE(vtest::AssertsOnAnotherThread([&] { checker.Check(GLO_HERE); }));
  // A copy belongs to the thread that makes it.
  std::optional<glo::ThreadChecker_t> copy;
  EXPECT_FALSE(vtest::AssertsOnAnotherThread([&] {
    copy.emplace(checker);
    copy->Check(GLO_HERE);
  }));
  EXPECT_THROW(copy->Check(GLO_HERE), glo::Assert_t);
}

TEST(ThreadChecker, TheAssertionTellsWhereTheCheckStands)
{
  const glo::ThreadChecker_t checker;
  std::thread([&] {
    try {
      checker.Check("PROGRESS.CPP", 77);
      ADD_FAILURE() << "no assertion";
    } catch (const glo::Assert_t& fault) {
      EXPECT_EQ(fault.SourceFile(), "PROGRESS.CPP");
      EXPECT_EQ(fault.SourceLine(), 77u);
    }
  }).join();
}

}  // namespace
