#pragma once
// The root of every exception the system raises, and the consistency check.

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

// The raising site, as every exception constructor takes it first.
#define GLO_HERE __FILE__, __LINE__

namespace glo {

// Return addresses, outermost last, each as its offset from the load base of
// the module that holds it (so that it fits 32 bits and can be resolved with
// addr2line against that module).
using StackTrace_t = std::vector<std::uint32_t>;

class ExceptionBase_t : public std::exception {
 public:
  const StackTrace_t& StackTrace() const noexcept { return stackTrace_; }

 protected:
  StackTrace_t stackTrace_;
};

class Exception_t : public ExceptionBase_t {
 public:
  // Writes the "Error: " line of the debug trace.
  Exception_t(const char* file, unsigned line, std::u16string message, std::string subId);

  // The message in code page 1252, in a buffer per thread that stays valid
  // until this thread's next call of what() on any exception.
  const char* what() const noexcept override;

  const std::string& SourceFile() const noexcept { return file_; }
  std::uint16_t SourceLine() const noexcept { return line_; }
  const std::u16string& Message() const noexcept { return message_; }
  const std::string& SubId() const noexcept { return subId_; }

 protected:
  std::u16string message_;
  std::string subId_;

 private:
  std::string file_;
  std::uint16_t line_;
};

// A failed consistency check: a program fault, never a user's mistake.
class Assert_t : public Exception_t {
 public:
  Assert_t(const char* file, unsigned line);
};

// A user-facing input error; its text is shown as it stands.
class InvalidInput_t : public Exception_t {
 public:
  InvalidInput_t(std::u16string userText, const char* file, unsigned line);
  const std::u16string& UserText() const noexcept { return userText_; }

 private:
  std::u16string userText_;
};

// A value that does not fit where it has to go.
class OutOfRange_t : public Exception_t {
 public:
  OutOfRange_t(const char* file, unsigned line, std::u16string message = {});
};

// A stop request: the normal end of a cancelled operation.
class Terminate_t : public Exception_t {
 public:
  Terminate_t(const char* file, unsigned line);
};

// Throws Assert_t at the given site unless the condition holds.
void GLO_Assert(bool condition, const char* file, unsigned line);

// Where exceptions report themselves as they are built. The debug trace
// installs itself here; until then the lines go nowhere.
using ExceptionTrace_t = void (*)(const char* file, unsigned line, std::u16string_view message);
void GLO_SetExceptionTrace(ExceptionTrace_t trace) noexcept;

}  // namespace glo
