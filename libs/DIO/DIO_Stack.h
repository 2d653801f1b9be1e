#pragma once
// The byte stack that carries one cross-thread call: arguments, operation
// number and target address on the way there, results on the way back.
//
//   32-bit integer     4 bytes, least significant first
//   16-bit integer     2 bytes, least significant first
//   byte or flag       1 byte
//   narrow text        a 0 byte, then the characters from the last to the first
//   wide text          a 0 unit, then the units from the last to the first
//   list of 32-bit     the elements from the last to the first, then the count
//   optional 32-bit    the value if present, then 1 (present) or 0 (absent)
//
// A pop takes bytes from the top, so it restores exactly what the matching
// push wrote.

#include <cstdint>
#include <string>
#include <vector>

#include "GLO_NonCopyable.h"
#include "GLO_Optional.h"

namespace dio {

class Stack_t : public glo::NonCopyable_t {
 public:
  // oneWay: no reply is expected.
  explicit Stack_t(bool oneWay) : oneWay_(oneWay ? 1u : 0u) {}

  bool OneWay() const noexcept { return oneWay_ != 0; }
  bool Empty() const noexcept { return bytes_.empty(); }
  const std::vector<unsigned char>& Bytes() const noexcept { return bytes_; }
  // Takes the other stack's bytes, leaving it empty: a one-way call outlives
  // its caller's frame.
  void TakeOver(Stack_t& other) noexcept
  {
    bytes_.swap(other.bytes_);
    other.bytes_.clear();
  }

  // Texts may not hold a 0 character (a program fault).
  Stack_t& Push(std::int32_t value);
  Stack_t& Push(std::uint32_t value);
  Stack_t& Push(std::uint16_t value);
  Stack_t& Push(std::uint8_t value);
  Stack_t& Push(bool value);
  Stack_t& Push(const std::string& text);
  Stack_t& Push(const std::u16string& text);
  Stack_t& Push(const std::vector<std::uint32_t>& values);
  Stack_t& Push(const glo::Optional_t<std::uint32_t>& value);

  // A pop that wants more bytes than there are raises BadStackException_t.
  Stack_t& Pop(std::int32_t& value);
  Stack_t& Pop(std::uint32_t& value);
  Stack_t& Pop(std::uint16_t& value);
  Stack_t& Pop(std::uint8_t& value);
  Stack_t& Pop(bool& value);
  Stack_t& Pop(std::string& text);
  Stack_t& Pop(std::u16string& text);
  Stack_t& Pop(std::vector<std::uint32_t>& values);
  Stack_t& Pop(glo::Optional_t<std::uint32_t>& value);

  // The text of BadStackException_t: the requested and held byte counts,
  // then the bytes from the bottom, sixteen to a line.
  static std::u16string Dump(std::size_t requested, const std::vector<unsigned char>& bytes);

 private:
  void PushBytes(const void* bytes, std::size_t size);
  void PopBytes(void* bytes, std::size_t size);

  std::vector<unsigned char> bytes_;
  std::uint32_t oneWay_;
};

}  // namespace dio
