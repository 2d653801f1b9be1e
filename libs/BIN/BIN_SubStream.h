#pragma once
// A stretch of another stream, read as a stream of its own.

#include <cstdint>

#include "BIN_Stream.h"
#include "GLO_NonCopyable.h"

namespace bin {

// Reads length bytes of the base stream from offset as positions 0 to
// length, so that a block inside a file can be walked as if it were the
// file. The base must outlive it; a base too short to hold the stretch
// fails the reads that reach past its end.
class substream : public glo::NonCopyable_t, public istream {
 public:
  substream(istream& base, std::uint32_t offset, std::uint32_t length);

 protected:
  bool isOpen() const override { return true; }
  std::uint32_t dataSize() const override { return length_; }
  std::uint32_t getPosition() const override { return position_; }
  void setGetPosition(std::uint32_t position) override { position_ = position; }
  bool fetch(void* buffer, std::uint32_t count) override;

 private:
  istream& base_;
  std::uint32_t offset_;
  std::uint32_t length_;
  std::uint32_t position_ = 0;
};

}  // namespace bin
