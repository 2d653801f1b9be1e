#include "GLO_Time.h"

#include <gtest/gtest.h>

#include <limits>

#include "GLO_Exception.h"
#include "ScopedEnvironment.h"

namespace {

using glo::Time_t;
using glo::TimeSpan_t;

TEST(TimeSpan, TextPartsRoundMinutesUp)
{
  struct Case {
    double seconds;
    long long hours, minutes, rest;
  };
  const Case cases[] = {
      // Seconds alone never round the minutes up; a minute count is rounded
      // up, and 59 full minutes become the next hour.
      {0, 0, 0, 0},    {59, 0, 0, 59},    {59.9, 0, 0, 59},  {60, 0, 2, 0},    {61, 0, 2, 1},
      {119, 0, 2, 59}, {3539, 0, 59, 59}, {3540, 1, 0, 0},   {3599, 1, 0, 59}, {3600, 1, 0, 0},
      {3660, 1, 2, 0}, {7199, 2, 0, 59},  {90061, 25, 2, 1},
  };
  for (const auto& c : cases) {
    const auto parts = TimeSpan_t(c.seconds).TextParts();
    EXPECT_EQ(parts.hours, c.hours) << c.seconds;
    EXPECT_EQ(parts.minutes, c.minutes) << c.seconds;
    EXPECT_EQ(parts.seconds, c.rest) << c.seconds;
  }
}

TEST(TimeSpan, EndlessSpansHaveTextPartsToo)
{
  const auto endless = TimeSpan_t(std::numeric_limits<double>::infinity()).TextParts();
  EXPECT_GT(endless.hours, 1'000'000'000'000'000LL);
  const auto none = TimeSpan_t(std::numeric_limits<double>::quiet_NaN()).TextParts();
  EXPECT_EQ(none.hours + none.minutes + none.seconds, 0);
}

class TimeTest : public testing::Test {
 protected:
  vtest::ScopedEnvironment environment;
};

TEST_F(TimeTest, FieldsAtOffsetZeroAreUtcWhateverTheLocalZone)
{
  for (const char* zone : {"UTC0", "IST-5:30", "CET-1CEST,M3.5.0,M10.5.0/3", "EST5EDT,M3.2.0,M11.1.0"}) {
    environment.Set("TZ", zone);
    EXPECT_EQ(Time_t::FromFields(2000, 1, 1, 0, 0, 0, TimeSpan_t(0), GLO_HERE).Seconds(), 946684800) << zone;
    EXPECT_EQ(Time_t::FromFields(2026, 7, 15, 12, 30, 5, TimeSpan_t(0), GLO_HERE).Seconds(), 1784118605) << zone;
    EXPECT_EQ(Time_t::FromFields(1970, 1, 1, 0, 0, 0, TimeSpan_t(0), GLO_HERE).Seconds(), 0) << zone;
  }
}

TEST_F(TimeTest, TargetOffsetShiftsTheFields)
{
  environment.Set("TZ", "UTC0");
  // 12:00 at UTC+02:00 is 10:00 UTC; at UTC-05:30 it is 17:30 UTC.
  EXPECT_EQ(Time_t::FromFields(2026, 1, 10, 12, 0, 0, TimeSpan_t(7200), GLO_HERE).Seconds(), 1768039200);
  EXPECT_EQ(Time_t::FromFields(2026, 1, 10, 12, 0, 0, TimeSpan_t(-19800), GLO_HERE).Seconds(), 1768066200);
}

TEST_F(TimeTest, LocalOffsetAsTargetReadsTheFieldsAsLocalTime)
{
  for (const char* zone : {"IST-5:30", "CET-1CEST,M3.5.0,M10.5.0/3", "NZST-12NZDT,M9.5.0,M4.1.0/3"}) {
    environment.Set("TZ", zone);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    EXPECT_EQ(local.tm_gmtoff, glo::GLO_LocalUtcOffset().Seconds()) << zone;
    const auto time = Time_t::FromFields(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                         local.tm_min, local.tm_sec, glo::GLO_LocalUtcOffset(), GLO_HERE);
    EXPECT_EQ(time.Seconds(), now) << zone;
  }
}

TEST_F(TimeTest, FieldsOutside32BitTimeAreOutOfRange)
{
  environment.Set("TZ", "UTC0");
  try {
    Time_t::FromFields(1969, 1, 1, 0, 0, 0, TimeSpan_t(0), "Caller.cpp", 12);
    FAIL() << "no exception";
  } catch (const glo::OutOfRange_t& error) {
    EXPECT_EQ(error.Message(),
              u"Year 69\nMonth 0\nDay 1\nHour 0\nMinute 0\nSecond 0\nTarget Utc Offset 0\nLocal Utc Offset 0");
    EXPECT_EQ(error.SourceFile(), "Caller.cpp");
    EXPECT_EQ(error.SourceLine(), 12);
  }
  EXPECT_EQ(Time_t::FromFields(2038, 1, 19, 3, 14, 7, TimeSpan_t(0), GLO_HERE).Seconds(),
            std::numeric_limits<std::int32_t>::max());
  EXPECT_THROW(Time_t::FromFields(2038, 1, 19, 3, 14, 8, TimeSpan_t(0), GLO_HERE), glo::OutOfRange_t);
}

TEST_F(TimeTest, OutOfRangeMessageShowsTheCorrectedSecondsAndBothOffsets)
{
  environment.Set("TZ", "IST-5:30");
  try {
    Time_t::FromFields(1950, 6, 2, 3, 4, 5, TimeSpan_t(3600), GLO_HERE);
    FAIL() << "no exception";
  } catch (const glo::OutOfRange_t& error) {
    EXPECT_EQ(
        error.Message(),
        u"Year 50\nMonth 5\nDay 2\nHour 3\nMinute 4\nSecond 16205\nTarget Utc Offset 3600\nLocal Utc Offset 19800");
  }
}

TEST(Time, UtcFieldsOfATimePlusASpan)
{
  struct Case {
    std::int32_t time;
    double span;
    int year, month, day, hour, minute, second, weekDay;
  };
  const Case cases[] = {
      {0, 0, 1970, 1, 1, 0, 0, 0, 4},
      {946684800, 86400 + 3661, 2000, 1, 2, 1, 1, 1, 0},
      {0, -1, 1969, 12, 31, 23, 59, 59, 3},
      // Past the end of 32-bit time the fields still come out right.
      {2147483647, 1, 2038, 1, 19, 3, 14, 8, 2},
  };
  for (const auto& c : cases) {
    const std::tm fields = Time_t(c.time).UtcFields(TimeSpan_t(c.span));
    EXPECT_EQ(fields.tm_year + 1900, c.year) << c.time;
    EXPECT_EQ(fields.tm_mon + 1, c.month) << c.time;
    EXPECT_EQ(fields.tm_mday, c.day) << c.time;
    EXPECT_EQ(fields.tm_hour, c.hour) << c.time;
    EXPECT_EQ(fields.tm_min, c.minute) << c.time;
    EXPECT_EQ(fields.tm_sec, c.second) << c.time;
    EXPECT_EQ(fields.tm_wday, c.weekDay) << c.time;
  }
}

TEST(Time, NowIsTheSystemClock)
{
  const auto before = std::time(nullptr);
  const auto now = Time_t::Now().Seconds();
  EXPECT_GE(now, before);
  EXPECT_LE(now, std::time(nullptr));
}

}  // namespace
