#pragma once

#include <compare>
#include <cstdint>
#include <string>

namespace dio {

// Names one callable object: a class name and an instance number, ordered
// by name (byte by byte), then by number.
struct Address_t {
  std::string className;
  std::int32_t instance = 0;

  friend auto operator<=>(const Address_t&, const Address_t&) = default;
};

}  // namespace dio
