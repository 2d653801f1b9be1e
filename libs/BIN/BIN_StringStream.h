#pragma once
// Binary streams over bytes in memory, and records.

#include <cstdint>
#include <vector>

#include "BIN_Stream.h"
#include "GLO_NonCopyable.h"

namespace bin {

class stringstream : public glo::NonCopyable_t, public iostream {
 public:
  stringstream() = default;
  explicit stringstream(std::vector<unsigned char> data);

  const std::vector<unsigned char>& data() const noexcept { return data_; }

  // Past the end the data grows, zero-filled.
  ostream& seekp(std::uint32_t position) override;
  std::uint32_t tellp() override { return putPos_; }
  ostream& write(const void* buffer, std::uint32_t count) override;

 protected:
  bool isOpen() const override { return true; }
  std::uint32_t dataSize() const override { return static_cast<std::uint32_t>(data_.size()); }
  std::uint32_t getPosition() const override { return getPos_; }
  void setGetPosition(std::uint32_t position) override { getPos_ = position; }
  bool fetch(void* buffer, std::uint32_t count) override;

  // Replaces the data and rewinds both positions.
  void assign(std::vector<unsigned char> data);

 private:
  std::vector<unsigned char> data_;
  std::uint32_t getPos_ = 0;
  std::uint32_t putPos_ = 0;
};

// One record: its type byte and its payload, readable as a stream.
class record_t : public stringstream {
 public:
  explicit record_t(char expectedType) : type(expectedType) {}

  char type;

  // Reads the length, the type and the payload from source. A length that
  // cannot be read leaves the record as it was (source failed); a missing
  // type or a payload cut short makes the source bad. The record takes over
  // the source's code page.
  friend istream& operator>>(istream& source, record_t& record);
};

}  // namespace bin
