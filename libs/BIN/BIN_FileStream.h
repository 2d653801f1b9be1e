#pragma once
// Binary streams over files.

#include <cstdint>
#include <string>

#include "BIN_Stream.h"
#include "FIL_File.h"
#include "GLO_NonCopyable.h"

namespace bin {

// The read cache of the file streams: small reads are served from 1024
// bytes read ahead, large ones go straight to the file.
class ReadCache_t {
 public:
  static constexpr std::uint32_t Size = 1024;

  // count bytes at position; false, with the cache emptied, when the file
  // fails or ends early.
  bool Read(fil::File_t& file, std::uint32_t position, void* buffer, std::uint32_t count);
  void Clear() noexcept { length_ = 0; }

 private:
  unsigned char bytes_[Size];
  std::uint32_t offset_ = 0;
  std::uint32_t length_ = 0;
};

// Reads a file; a file that cannot be opened leaves the stream bad, an
// empty one sets eof at once.
class ifstream : public glo::NonCopyable_t, public istream {
 public:
  ifstream(const std::u16string& path, int share);

  bool isOpen() const override { return file_.isOpen(); }
  const fil::File_t* file() const noexcept override { return isOpen() ? &file_ : nullptr; }
  // Why the file could not be opened: the system's reason (an errno
  // value), 0 when it opened or none is known.
  std::uint32_t openError() const noexcept { return openError_; }
  // Closes the file and clears the state.
  void close();

 protected:
  std::uint32_t dataSize() const override { return file_.size(); }
  std::uint32_t getPosition() const override { return getPos_; }
  void setGetPosition(std::uint32_t position) override { getPos_ = position; }
  bool fetch(void* buffer, std::uint32_t count) override;

 private:
  fil::File_t file_;
  std::uint32_t getPos_ = 0;
  std::uint32_t openError_ = 0;
  ReadCache_t cache_;
};

// Reads and writes a file, with separate get and put positions.
class fstream : public iostream {
 public:
  enum : unsigned { in = 1, out = 2, ate = 4, app = 8, trunc = 16, binary = 32 };

  // The mode bits less ate and binary must be in, out, out|trunc, out|app,
  // in|out, in|out|trunc or in|out|app; any other combination, or a file
  // that cannot be opened, leaves the stream bad. With ate both positions
  // start at the end.
  fstream(const std::u16string& path, unsigned mode, int share);

  bool isOpen() const override { return file_.isOpen(); }
  const fil::File_t* file() const noexcept override { return isOpen() ? &file_ : nullptr; }
  // As for ifstream.
  std::uint32_t openError() const noexcept { return openError_; }
  void close();

  ostream& seekp(std::uint32_t position) override;
  std::uint32_t tellp() override { return putPos_; }
  ostream& write(const void* buffer, std::uint32_t count) override;

 protected:
  std::uint32_t dataSize() const override { return file_.size(); }
  std::uint32_t getPosition() const override { return getPos_; }
  void setGetPosition(std::uint32_t position) override { getPos_ = position; }
  bool fetch(void* buffer, std::uint32_t count) override;

 private:
  fil::File_t file_;
  std::uint32_t openError_ = 0;
  std::uint32_t putPos_ = 0;
  std::uint32_t getPos_ = 0;
  ReadCache_t cache_;
};

}  // namespace bin
