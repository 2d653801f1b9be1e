#pragma once
// The texts of a time span, from the string table.

#include <string>

#include "GLO_Time.h"

namespace win {

// "2 hour(s), 15 minute(s)", "2 minute(s)" or "59 second(s)" (messages 4002
// to 4004), with the rounding of TimeSpan_t::TextParts.
std::u16string LongText(glo::TimeSpan_t span);

// "2 h, 15 min", "2 min" or "59 s" (messages 4005 to 4007).
std::u16string ShortText(glo::TimeSpan_t span);

}  // namespace win
