#include "GLO_Time.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "GLO_Exception.h"
#include "GLO_Text.h"

namespace glo {
namespace {

// Whole seconds toward zero, held within what the calendar can show: an
// endless span (a remaining time at no progress) is about 146 billion years,
// a span that is not a number is none.
long long WholeSeconds(double seconds)
{
  constexpr double limit = 4.6e18;
  if (std::isnan(seconds)) return 0;
  return static_cast<long long>(std::clamp(seconds, -limit, limit));
}

}  // namespace
TimeSpan_t::Parts_t TimeSpan_t::TextParts() const
{
  const auto whole = WholeSeconds(seconds_);
  Parts_t parts{whole / 3600, (whole % 3600) / 60, whole % 60};
  if (parts.minutes != 0 && ++parts.minutes == 60) {
    ++parts.hours;
    parts.minutes = 0;
  }
  return parts;
}

Time_t Time_t::Now()
{
  std::time_t now = std::time(nullptr);
  GLO_Assert(now != static_cast<std::time_t>(-1), GLO_HERE);
  return Time_t(static_cast<std::int32_t>(now));
}

Time_t Time_t::FromFields(int year, int month, int day, int hour, int minute, int second, TimeSpan_t targetOffset,
                          const char* file, unsigned line)
{
  const double local = GLO_LocalUtcOffset().Seconds();
  const long long corrected = second - std::llround(targetOffset.Seconds() - local);
  std::tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  fields.tm_sec = static_cast<int>(corrected);
  std::tm normalised = fields;
  // The fields, corrected to the local zone, read as local time: that is the
  // UTC reading minus the local offset.
  const long long result = static_cast<long long>(timegm(&normalised)) - std::llround(local);
  if (corrected != fields.tm_sec || result < 0 || result > std::numeric_limits<std::int32_t>::max()) {
    throw OutOfRange_t(file, line,
                       u"Year " + GLO_Decimal(fields.tm_year) + u"\nMonth " + GLO_Decimal(fields.tm_mon) + u"\nDay " +
                           GLO_Decimal(fields.tm_mday) + u"\nHour " + GLO_Decimal(fields.tm_hour) + u"\nMinute " +
                           GLO_Decimal(fields.tm_min) + u"\nSecond " + GLO_Decimal(corrected) +
                           u"\nTarget Utc Offset " + GLO_Decimal(std::llround(targetOffset.Seconds())) +
                           u"\nLocal Utc Offset " + GLO_Decimal(std::llround(local)));
  }
  return Time_t(static_cast<std::int32_t>(result));
}

std::tm Time_t::UtcFields(TimeSpan_t span) const
{
  const auto sum = static_cast<std::time_t>(WholeSeconds(std::floor(seconds_ + span.Seconds())));
  std::tm fields{};
  GLO_Assert(gmtime_r(&sum, &fields) != nullptr, GLO_HERE);
  return fields;
}

TimeSpan_t GLO_LocalUtcOffset()
{
  std::time_t now = std::time(nullptr);
  std::tm local{};
  GLO_Assert(now != static_cast<std::time_t>(-1) && localtime_r(&now, &local) != nullptr, GLO_HERE);
  return TimeSpan_t(static_cast<double>(local.tm_gmtoff));
}

}  // namespace glo
