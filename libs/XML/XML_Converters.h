#pragma once
// The text forms of the schema's simple types.

#include <cstdint>
#include <string>

#include "GLO_Time.h"

namespace xml {

// Each converter has the type of its values, their empty value (an element
// without text), and the two conversions.

struct stringConverter_t {
  using Value_t = std::u16string;
  static Value_t Empty() { return {}; }
  static std::u16string ToText(const Value_t& value) { return value; }
  static Value_t FromText(const std::u16string& text) { return text; }
};

// Decimal, no leading zeros. Text that is not a number of the type raises
// glo::OutOfRange_t.
struct unsignedIntConverter_t {
  using Value_t = std::uint32_t;
  static Value_t Empty() { return 0; }
  static std::u16string ToText(Value_t value);
  static Value_t FromText(const std::u16string& text);
};

struct unsignedShortConverter_t {
  using Value_t = std::uint16_t;
  static Value_t Empty() { return 0; }
  static std::u16string ToText(Value_t value);
  static Value_t FromText(const std::u16string& text);
};

// Written in UTC, "2010-03-05T13:04:05Z". Read with its zone: "Z", "+hh:mm"
// or "-hh:mm", and without one as local time; a fraction of a second is
// dropped. A time the system cannot hold (before 1970, after 2038) reads as
// the current time; a field that is no number fails an assertion.
struct dateTimeConverter_t {
  using Value_t = glo::Time_t;
  static Value_t Empty() { return glo::Time_t(); }
  static std::u16string ToText(Value_t value);
  static Value_t FromText(const std::u16string& text);
};

}  // namespace xml
