#include "XML_Converters.h"

#include <limits>

#include "GLO_Exception.h"
#include "GLO_Text.h"

namespace xml {
namespace {

// The decimal digits of the whole text, at most max.
std::uint64_t Number(std::u16string_view text, std::uint64_t max, bool& ok)
{
  ok = !text.empty();
  std::uint64_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9' || value > (max - (c - u'0')) / 10) {
      ok = false;
      return 0;
    }
    value = value * 10 + static_cast<std::uint64_t>(c - u'0');
  }
  return value;
}

std::uint64_t Unsigned(const std::u16string& text, std::uint64_t max)
{
  bool ok = false;
  // The schema's number types allow blanks around the digits, and a plus.
  const auto first = text.find_first_not_of(u" \t\r\n");
  const auto last = text.find_last_not_of(u" \t\r\n");
  std::u16string_view digits;
  if (first != std::u16string::npos) digits = std::u16string_view(text).substr(first, last - first + 1);
  if (!digits.empty() && digits.front() == u'+') digits.remove_prefix(1);
  const std::uint64_t value = Number(digits, max, ok);
  if (!ok) throw glo::OutOfRange_t(GLO_HERE);
  return value;
}

std::u16string Padded(long long value, std::size_t width)
{
  std::u16string text = glo::GLO_Decimal(value);
  if (text.size() < width) text.insert(0, width - text.size(), u'0');
  return text;
}

// The field up to the next separator, which must be there; the position
// moves past it.
int Field(const std::u16string& text, std::size_t& position, char16_t separator)
{
  const auto end = text.find(separator, position);
  glo::GLO_Assert(end != std::u16string::npos, GLO_HERE);
  bool ok = false;
  const auto value = Number(std::u16string_view(text).substr(position, end - position), 0xFFFF, ok);
  glo::GLO_Assert(ok, GLO_HERE);
  position = end + 1;
  return static_cast<int>(value);
}

}  // namespace

std::u16string unsignedIntConverter_t::ToText(Value_t value)
{
  return glo::GLO_Decimal(value);
}

unsignedIntConverter_t::Value_t unsignedIntConverter_t::FromText(const std::u16string& text)
{
  return static_cast<Value_t>(Unsigned(text, std::numeric_limits<Value_t>::max()));
}

std::u16string unsignedShortConverter_t::ToText(Value_t value)
{
  return glo::GLO_Decimal(value);
}

unsignedShortConverter_t::Value_t unsignedShortConverter_t::FromText(const std::u16string& text)
{
  return static_cast<Value_t>(Unsigned(text, std::numeric_limits<Value_t>::max()));
}

std::u16string dateTimeConverter_t::ToText(Value_t value)
{
  const std::tm fields = value.UtcFields();
  return Padded(fields.tm_year + 1900, 4) + u"-" + Padded(fields.tm_mon + 1, 2) + u"-" + Padded(fields.tm_mday, 2) +
         u"T" + Padded(fields.tm_hour, 2) + u":" + Padded(fields.tm_min, 2) + u":" + Padded(fields.tm_sec, 2) + u"Z";
}

dateTimeConverter_t::Value_t dateTimeConverter_t::FromText(const std::u16string& text)
{
  std::size_t position = 0;
  const int year = Field(text, position, u'-');
  const int month = Field(text, position, u'-');
  const int day = Field(text, position, u'T');
  const int hour = Field(text, position, u':');
  const int minute = Field(text, position, u':');
  const auto zone = text.find_first_of(u"Z+-", position);
  std::u16string seconds = text.substr(position, zone == std::u16string::npos ? std::u16string::npos : zone - position);
  seconds = seconds.substr(0, seconds.find(u'.'));
  bool ok = false;
  const int second = static_cast<int>(Number(seconds, 0xFFFF, ok));
  glo::GLO_Assert(ok, GLO_HERE);
  glo::TimeSpan_t offset;
  if (zone == std::u16string::npos) {
    offset = glo::GLO_LocalUtcOffset();
  } else if (text[zone] != u'Z') {
    std::size_t at = zone + 1;
    const int hours = Field(text, at, u':');
    bool minutesOk = false;
    const int minutes = static_cast<int>(Number(std::u16string_view(text).substr(at), 0xFFFF, minutesOk));
    glo::GLO_Assert(minutesOk, GLO_HERE);
    const double span = (hours * 60.0 + minutes) * 60.0;
    offset = glo::TimeSpan_t(text[zone] == u'+' ? span : -span);
  }
  try {
    return glo::Time_t::FromFields(year, month, day, hour, minute, second, offset, GLO_HERE);
  } catch (const glo::OutOfRange_t&) {
    return glo::Time_t::Now();
  }
}

}  // namespace xml
