#pragma once
// Positional placeholders "%1$@" to "%9$@" in message texts.

#include <string>
#include <vector>

namespace glo {

// The text with every placeholder replaced by its argument. Substituted text
// is never searched again. A malformed placeholder, a number beyond the
// arguments or an argument that is never used is a program fault: Assert_t
// at the given site.
std::u16string GLO_FormatMessage(const std::u16string& text, const std::vector<std::u16string>& arguments,
                                 const char* file, unsigned line);

}  // namespace glo
