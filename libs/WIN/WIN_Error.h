#pragma once
// Exceptions for failed system calls, with the system's error number.

#include <cstdint>
#include <string>

#include "GLO_Exception.h"

namespace win {

// A failed system call. The code is the errno value; the SubId is the code
// in decimal and the message reads "System Error Code: ", the code, a line
// end and the system's text with its line end.
class Error_t : public glo::Exception_t {
 public:
  // Takes errno, read before anything else runs.
  Error_t(const char* file, unsigned line);
  Error_t(const char* file, unsigned line, std::uint32_t code);

  std::uint32_t Code() const noexcept { return code_; }
  // The system's text for the code in the application's language.
  std::u16string SystemText() const;

 protected:
  // The message gets "Path: " and the path appended.
  Error_t(const char* file, unsigned line, std::uint32_t code, const std::u16string& path);

 private:
  std::uint32_t code_;
};

// A failed file operation on a path (errno).
class FileError_t : public Error_t {
 public:
  FileError_t(const char* file, unsigned line, const std::u16string& path);
};

// A drive without its medium, such as a card reader without a card.
class DeviceNotReadyError_t : public Error_t {
 public:
  DeviceNotReadyError_t(const char* file, unsigned line, std::u16string path, std::uint32_t code);
  const std::u16string& Path() const noexcept { return path_; }

 private:
  std::u16string path_;
};

// "System Error Code: ", the code, "\n" and the system's US English text.
std::u16string WIN_GetWindowsErrorText(std::uint32_t code);

// The system's text for the code in the language (0 = neutral), with its line
// end; empty when the system has none.
std::u16string WIN_GetSystemMessage(std::uint32_t code, std::uint16_t language);

}  // namespace win
