#include "GLO_NarrowTo32.h"

#include <gtest/gtest.h>

#include "GLO_Exception.h"

namespace {

TEST(NarrowTo32, KeepsWhatFitsAndRefusesTheRest)
{
  EXPECT_EQ(glo::GLO_NarrowTo32(0, GLO_HERE), 0u);
  EXPECT_EQ(glo::GLO_NarrowTo32(0xFFFFFFFFull, GLO_HERE), 0xFFFFFFFFu);
  try {
    glo::GLO_NarrowTo32(0x100000000ull, "Size.cpp", 5);
    FAIL() << "no exception";
  } catch (const glo::OutOfRange_t& error) {
    EXPECT_EQ(error.SourceFile(), "Size.cpp");
    EXPECT_EQ(error.SourceLine(), 5);
    EXPECT_EQ(error.Message(), u"Value 4294967296 exceeds 32 bits");
  }
}

}  // namespace
