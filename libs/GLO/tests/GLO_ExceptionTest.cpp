#include "GLO_Exception.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GLO_StackTrace.h"

namespace {

struct TraceLine {
  std::string file;
  unsigned line;
  std::u16string message;
};
std::vector<TraceLine> traced;

void Record(const char* file, unsigned line, std::u16string_view message)
{
  traced.push_back({file, line, std::u16string(message)});
}

class ExceptionTest : public testing::Test {
 protected:
  void SetUp() override
  {
    traced.clear();
    glo::GLO_SetExceptionTrace(&Record);
  }
  void TearDown() override { glo::GLO_SetExceptionTrace(nullptr); }
};

TEST_F(ExceptionTest, KeepsWhereAndWhatWasRaised)
{
  const glo::Exception_t error("dir/Source.cpp", 42, u"Disk is full", "112");
  EXPECT_EQ(error.SourceFile(), "dir/Source.cpp");
  EXPECT_EQ(error.SourceLine(), 42);
  EXPECT_EQ(error.Message(), u"Disk is full");
  EXPECT_EQ(error.SubId(), "112");
  EXPECT_TRUE(error.StackTrace().empty());
}

TEST_F(ExceptionTest, StoresTheLineIn16Bits)
{
  const std::vector<std::pair<unsigned, std::uint16_t>> cases{{0, 0}, {65535, 65535}, {65536, 0}, {70000, 4464}};
  for (const auto& [line, stored] : cases)
    EXPECT_EQ(glo::Exception_t("f.cpp", line, u"", "").SourceLine(), stored) << line;
}

TEST_F(ExceptionTest, TracesOneLinePerExceptionBuilt)
{
  const glo::OutOfRange_t error("Range.cpp", 7, u"Too big");
  ASSERT_EQ(traced.size(), 1u);
  EXPECT_EQ(traced[0].file, "Range.cpp");
  EXPECT_EQ(traced[0].line, 7u);
  EXPECT_EQ(traced[0].message, u"Too big");
}

TEST_F(ExceptionTest, WhatGivesTheMessageInCodePage1252)
{
  // The euro sign is 0x80 in code page 1252; the snowman is not in it.
  const glo::Exception_t error("f.cpp", 1, u"5 \u20AC \u2603 caf\u00E9", "");
  EXPECT_STREQ(error.what(), "5 \x80 ? caf\xE9");
}

TEST_F(ExceptionTest, ClassesFillTheirFieldsAsDescribed)
{
  const glo::InvalidInput_t input(u"Bad file name", "In.cpp", 3);
  EXPECT_EQ(input.UserText(), u"Bad file name");
  EXPECT_EQ(input.Message(), u"");
  EXPECT_EQ(input.SubId(), "");

  const glo::Terminate_t stop("Stop.cpp", 4);
  EXPECT_EQ(stop.Message(), u"");
  EXPECT_EQ(stop.SourceLine(), 4);

  const glo::OutOfRange_t range("Range.cpp", 5);
  EXPECT_EQ(range.Message(), u"");
  EXPECT_EQ(range.SubId(), "");
}

TEST_F(ExceptionTest, AssertWithATrueConditionDoesNothing)
{
  EXPECT_NO_THROW(glo::GLO_Assert(true, "Check.cpp", 10));
  EXPECT_TRUE(traced.empty());
}

[[gnu::noinline]] void FailACheck()
{
  glo::GLO_Assert(false, "Check.cpp", 11);
  asm volatile("");  // keeps the call from becoming a jump
}

TEST_F(ExceptionTest, FailedAssertCarriesItsSiteAndAStackTrace)
{
  try {
    FailACheck();
    FAIL() << "no exception";
  } catch (const glo::Assert_t& error) {
    EXPECT_EQ(error.SourceFile(), "Check.cpp");
    EXPECT_EQ(error.SourceLine(), 11);
    EXPECT_EQ(error.Message(), u"");
    EXPECT_EQ(error.SubId(), "");
    ASSERT_FALSE(error.StackTrace().empty());
    EXPECT_LE(error.StackTrace().size(), glo::MaxStackFrames);
    // Addresses are offsets from the module's load base: one of them returns
    // into FailACheck, which lies at its own offset in this program.
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&FailACheck), &info), 0);
    const auto start = reinterpret_cast<std::uintptr_t>(&FailACheck) - reinterpret_cast<std::uintptr_t>(info.dli_fbase);
    bool intoFailACheck = false;
    for (auto address : error.StackTrace())
      intoFailACheck = intoFailACheck || (address > start && address < start + 256);
    EXPECT_TRUE(intoFailACheck);
  }
}

[[gnu::noinline]] void Recurse(int depth)
{
  if (depth > 0)
    Recurse(depth - 1);
  else
    glo::GLO_Assert(false, "Deep.cpp", 1);
  asm volatile("");  // keeps the call from becoming a loop
}

TEST_F(ExceptionTest, StackTraceHoldsAtMostFiftyAddresses)
{
  try {
    Recurse(80);
    FAIL() << "no exception";
  } catch (const glo::Assert_t& error) {
    EXPECT_EQ(error.StackTrace().size(), glo::MaxStackFrames);
  }
}

TEST_F(ExceptionTest, CopyKeepsTheStackTraceAndSubId)
{
  try {
    FailACheck();
  } catch (const glo::Assert_t& error) {
    const glo::Assert_t copy = error;
    EXPECT_EQ(copy.StackTrace(), error.StackTrace());
    EXPECT_EQ(copy.SourceLine(), error.SourceLine());
  }
  const glo::Exception_t original("f.cpp", 2, u"m", "1234");
  const glo::Exception_t copy = original;
  EXPECT_EQ(copy.SubId(), "1234");
  EXPECT_EQ(copy.Message(), u"m");
}

}  // namespace
