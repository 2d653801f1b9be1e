#pragma once
// Failures of the XML documents: parsing, validation, DOM and writing.

#include <cstdint>
#include <string>

#include "GLO_Exception.h"

namespace xml {

// A document that cannot be parsed, is not valid, or cannot be written; the
// message says where and why.
class Exception_t : public glo::Exception_t {
 public:
  Exception_t(const char* file, unsigned line, std::u16string message);
};

// A failure that the library's SAX layer raised: "Sax Exception message is: "
// and its text.
class SaxException_t : public Exception_t {
 public:
  SaxException_t(const char* file, unsigned line, const std::u16string& libraryMessage);
};

// A failed DOM operation: "Dom Exception code is: ", the code and, where the
// library has a text for it, "\nDom Exception Message is: " and that text.
class DomException_t : public Exception_t {
 public:
  DomException_t(const char* file, unsigned line, std::uint16_t code, const std::u16string& libraryMessage);
  std::uint16_t Code() const noexcept { return code_; }

 private:
  std::uint16_t code_;
};

}  // namespace xml
