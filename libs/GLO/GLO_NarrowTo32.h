#pragma once

#include <cstdint>

namespace glo {

// The value as 32-bit unsigned; one that does not fit raises OutOfRange_t at
// the given site.
std::uint32_t GLO_NarrowTo32(std::uint64_t value, const char* file, unsigned line);

}  // namespace glo
