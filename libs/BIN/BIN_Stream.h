#pragma once
// Binary record streams: little-endian integers, NUL-terminated single-byte
// texts and records (a 32-bit payload length, a type byte, the payload).
// Streams never throw for I/O: trouble goes into the state word, and readers
// test it after a group of reads.

#include <cstdint>
#include <string>
#include <type_traits>

#include "GLO_Optional.h"

namespace fil {
class File_t;
}

namespace bin {

class ios {
 public:
  enum : unsigned { badbit = 1, failbit = 2, eofbit = 4 };

  virtual ~ios() = default;

  unsigned rdstate() const noexcept { return state_; }
  bool bad() const noexcept { return (state_ & badbit) != 0; }
  bool eof() const noexcept { return (state_ & eofbit) != 0; }
  bool failed() const noexcept { return (state_ & (badbit | failbit)) != 0; }
  // End of data alone still counts as good.
  bool good() const noexcept { return !failed(); }
  void setstate(unsigned bits) noexcept { state_ |= bits & 7u; }
  void clear(unsigned bits) noexcept { state_ &= ~bits; }
  void reset() noexcept { state_ = 0; }

 private:
  unsigned state_ = 0;
};

class istream : public virtual ios {
 public:
  // Reads are all or nothing: refused (fail) when not open, already failed,
  // asked for 0 bytes, at the end, or when fewer bytes remain; an I/O error
  // sets bad; reaching the end sets eof.
  virtual istream& read(void* buffer, std::uint32_t count);
  // Skips up to count bytes, never past the end (no fail for a short skip).
  virtual istream& ignore(std::uint32_t count);
  // The next byte, unconsumed; -1 when the state is not clean or it cannot
  // be read.
  virtual int peek();
  // Refused when failed; past the end sets fail.
  virtual istream& seekg(std::uint32_t position);
  // -1 when not open or failed.
  virtual std::int64_t tellg();
  virtual std::uint32_t remaining();
  // The open file the stream reads, so that copies can leave the bytes in
  // the kernel; none for streams over memory.
  virtual const fil::File_t* file() const noexcept { return nullptr; }

  // Reads up to count bytes, as many as remain; gcount() tells how many.
  istream& readSome(void* buffer, std::uint32_t count);
  std::uint32_t gcount() const noexcept { return gcount_; }
  // A NUL-terminated text; the target changes only when the read succeeded.
  istream& readText(std::string& text);
  // The same, turned into wide text with codePage, which must be set.
  istream& readWideText(std::u16string& text);

  template <class T>
  requires std::is_integral_v<T> istream& operator>>(T& value)
  {
    unsigned char bytes[sizeof(T)];
    if (read(bytes, sizeof(T)).failed()) return *this;
    std::uint64_t assembled = 0;
    for (std::size_t i = sizeof(T); i-- > 0;) assembled = (assembled << 8) | bytes[i];
    value = static_cast<T>(static_cast<std::make_unsigned_t<T>>(assembled));
    return *this;
  }

  // The code page of single-byte texts; unset until a reader sets it.
  glo::Optional_t<unsigned> codePage;

 protected:
  virtual bool isOpen() const = 0;
  virtual std::uint32_t dataSize() const = 0;
  virtual std::uint32_t getPosition() const = 0;
  virtual void setGetPosition(std::uint32_t position) = 0;
  // Delivers count bytes from the get position and moves past them; false
  // on an I/O error.
  virtual bool fetch(void* buffer, std::uint32_t count) = 0;

 private:
  std::uint32_t gcount_ = 0;
};

class ostream : public virtual ios {
 public:
  virtual ostream& seekp(std::uint32_t position) = 0;
  virtual std::uint32_t tellp() = 0;
  virtual ostream& write(const void* buffer, std::uint32_t count) = 0;

  template <class T>
  requires std::is_integral_v<T> ostream& operator<<(T value)
  {
    unsigned char bytes[sizeof(T)];
    const auto bits = static_cast<std::uint64_t>(static_cast<std::make_unsigned_t<T>>(value));
    for (std::size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
    return write(bytes, sizeof(T));
  }

  glo::Optional_t<unsigned> codePage;
};

class iostream : public istream, public ostream {
 public:
  // The reading side's; the writing side's is ostream::codePage.
  using istream::codePage;
};

}  // namespace bin
