#pragma once
// Points in time and durations.

#include <compare>
#include <cstdint>
#include <ctime>

namespace glo {

// A duration in seconds; negative spans are allowed. Its eight bytes are what
// the settings store for a span.
class TimeSpan_t {
 public:
  constexpr TimeSpan_t() = default;
  constexpr explicit TimeSpan_t(double seconds) : seconds_(seconds) {}
  constexpr double Seconds() const { return seconds_; }

  // The numbers that the span's texts show: whole hours, then minutes rounded
  // up to the next minute (59:01 is a full hour), and seconds only when there
  // are no minutes. The texts themselves come from the string table
  // (WIN_TimeSpanText.h).
  struct Parts_t {
    long long hours;
    long long minutes;
    long long seconds;
  };
  Parts_t TextParts() const;

  friend constexpr bool operator==(TimeSpan_t, TimeSpan_t) = default;

 private:
  double seconds_ = 0;
};

// A point in time: 32-bit signed seconds since 1970-01-01 00:00:00 UTC.
class Time_t {
 public:
  constexpr Time_t() = default;
  constexpr explicit Time_t(std::int32_t seconds) : seconds_(seconds) {}
  constexpr std::int32_t Seconds() const { return seconds_; }

  static Time_t Now();

  // The time that the calendar fields (month 1 to 12) name in a zone that is
  // targetOffset east of UTC: an offset of 0 reads them as UTC, the local
  // offset as local time. Fields before 1970 or past 2038 raise OutOfRange_t
  // at the given site.
  static Time_t FromFields(int year, int month, int day, int hour, int minute, int second, TimeSpan_t targetOffset,
                           const char* file, unsigned line);

  // UTC calendar fields of this time plus the span.
  std::tm UtcFields(TimeSpan_t span = TimeSpan_t()) const;

  friend constexpr auto operator<=>(Time_t, Time_t) = default;

 private:
  std::int32_t seconds_ = 0;
};

// The local zone's current offset from UTC, positive east of Greenwich.
TimeSpan_t GLO_LocalUtcOffset();

}  // namespace glo
