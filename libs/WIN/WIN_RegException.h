#pragma once
// Exceptions of the settings registry.

#include <cstdint>
#include <string>

#include "GLO_Exception.h"

namespace win {

// Message: "Reg name: '", the name, "'; ".
class RegException_t : public glo::Exception_t {
 public:
  RegException_t(const char* file, unsigned line, const std::u16string& name);

 protected:
  RegException_t(const char* file, unsigned line, std::u16string message, std::string subId);
};

// A failed registry operation: the RegException_t message followed by the
// system error text of the code; the SubId is the code in decimal. Code 0
// means the value was there but of another type or size.
class RegError_t : public RegException_t {
 public:
  RegError_t(const char* file, unsigned line, const std::u16string& name, std::uint32_t code);
  std::uint32_t Code() const noexcept { return code_; }

 private:
  std::uint32_t code_;
};

}  // namespace win
