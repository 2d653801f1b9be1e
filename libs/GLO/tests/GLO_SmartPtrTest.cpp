#include "GLO_SmartPtr.h"

#include <gtest/gtest.h>

#include "GLO_Optional.h"

namespace {

struct Counted : glo::RefCounter_t {
  explicit Counted(int& destroyed) : destroyed(destroyed) {}
  ~Counted() override { ++destroyed; }
  int& destroyed;
};

TEST(SmartPtr, DestroysTheObjectWithTheLastReference)
{
  int destroyed = 0;
  {
    glo::SmartPtr_t<Counted> first(new Counted(destroyed));
    {
      glo::SmartPtr_t<Counted> second = first;
      glo::SmartPtr_t<Counted> third;
      third = second;
      glo::SmartPtr_t<Counted> moved = std::move(third);
      EXPECT_FALSE(third);
      EXPECT_EQ(moved.Get(), first.Get());
    }
    EXPECT_EQ(destroyed, 0);
  }
  EXPECT_EQ(destroyed, 1);
}

TEST(SmartPtr, SelfAssignmentKeepsTheObject)
{
  int destroyed = 0;
  glo::SmartPtr_t<Counted> pointer(new Counted(destroyed));
  auto& same = pointer;
  pointer = same;
  EXPECT_EQ(destroyed, 0);
  EXPECT_TRUE(pointer);
}

TEST(SmartPtr, UsingAnEmptyPointerIsAnAssertion)
{
  glo::SmartPtr_t<Counted> empty;
  EXPECT_THROW(*empty, glo::Assert_t);
  EXPECT_THROW(empty.operator->(), glo::Assert_t);
  EXPECT_EQ(empty.Get(), nullptr);
}

TEST(Optional, ReadingAnAbsentValueIsAnAssertion)
{
  glo::Optional_t<int> value;
  EXPECT_FALSE(value.HasValue());
  EXPECT_THROW(value.Get(), glo::Assert_t);
  value.Set(7);
  EXPECT_EQ(value.Get(), 7);
  EXPECT_EQ(value, glo::Optional_t<int>(7));
  value.Reset();
  EXPECT_FALSE(value);
}

}  // namespace
