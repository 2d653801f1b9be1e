#pragma once
// Failures of byte files. Each carries the file's path.

#include <cstdint>
#include <string>

#include "GLO_Exception.h"

namespace fil {

// A read, write, tell, skip or positioning failure. Message: the path.
// Code: the system's reason (an errno value), 0 where none is known.
class FileError_t : public glo::Exception_t {
 public:
  FileError_t(const char* file, unsigned line, const std::u16string& path, std::uint32_t code = 0);
  const std::u16string& Path() const noexcept { return path_; }
  std::uint32_t Code() const noexcept { return code_; }

 protected:
  FileError_t(const char* file, unsigned line, const std::u16string& path, std::u16string message,
              std::uint32_t code);

 private:
  std::u16string path_;
  std::uint32_t code_;
};

// An open that failed for any reason but another opener's share mode.
class FileNotFound_t : public FileError_t {
 public:
  using FileError_t::FileError_t;
};

// An open refused by another opener's share mode. Message: the path, a blank
// and the system's English text for the sharing violation.
class FileInUse_t : public FileError_t {
 public:
  FileInUse_t(const char* file, unsigned line, const std::u16string& path);
};

// An absolute seek that failed.
class BadFilePosition_t : public FileError_t {
 public:
  BadFilePosition_t(const char* file, unsigned line, const std::u16string& path, std::uint32_t position);
  std::uint32_t Position() const noexcept { return position_; }

 private:
  std::uint32_t position_;
};

}  // namespace fil
