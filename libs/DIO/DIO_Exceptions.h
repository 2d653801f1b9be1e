#pragma once
// Failures of cross-thread calls.

#include <cstdint>
#include <string>

#include "GLO_Exception.h"

namespace dio {

// A failed check of the call protocol, or a call that was not served; the
// message is empty.
class Exception_t : public glo::Exception_t {
 public:
  Exception_t(const char* file, unsigned line);

 protected:
  Exception_t(const char* file, unsigned line, std::u16string message, std::string subId);
};

// A pop that wanted more bytes than the stack holds; the message dumps the
// stack.
class BadStackException_t : public Exception_t {
 public:
  BadStackException_t(const char* file, unsigned line, std::u16string dump);
};

// Posting the call or waiting for its completion failed; the message is the
// system's text for the error.
class WindowsError_t : public Exception_t {
 public:
  WindowsError_t(const char* file, unsigned line, std::uint32_t code);
};

// Raises Exception_t at the given site unless the condition holds.
void DIO_Check(bool condition, const char* file, unsigned line);

}  // namespace dio
