#pragma once
// The size text of the free-space messages.

#include <cstdint>
#include <string>

namespace win {

// "500 KB" below 1000 KB (rounded to the nearest KB), else "4.77 MB" (two
// decimals up to 9999 KB, one above), with a point whatever the locale
// (messages 10101 and 10102).
std::u16string WIN_FormatByteSize(std::uint64_t bytes);

}  // namespace win
