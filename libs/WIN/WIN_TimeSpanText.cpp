#include "WIN_TimeSpanText.h"

#include "GLO_Exception.h"
#include "GLO_Text.h"
#include "WIN_ResourceString.h"

namespace win {
namespace {

// The message ids for hours and minutes, minutes alone, and seconds alone.
std::u16string Text(glo::TimeSpan_t span, std::uint32_t hoursId, std::uint32_t minutesId, std::uint32_t secondsId)
{
  const auto parts = span.TextParts();
  if (parts.hours != 0)
    return ResourceString_t(hoursId, GLO_HERE)
        .Format({glo::GLO_Decimal(parts.hours), glo::GLO_Decimal(parts.minutes)}, GLO_HERE);
  if (parts.minutes != 0)
    return ResourceString_t(minutesId, GLO_HERE).Format(glo::GLO_Decimal(parts.minutes), GLO_HERE);
  return ResourceString_t(secondsId, GLO_HERE).Format(glo::GLO_Decimal(parts.seconds), GLO_HERE);
}

}  // namespace

std::u16string LongText(glo::TimeSpan_t span)
{
  return Text(span, 4002, 4003, 4004);
}

std::u16string ShortText(glo::TimeSpan_t span)
{
  return Text(span, 4005, 4006, 4007);
}

}  // namespace win
