#include "DIO_Stack.h"

#include <cstdio>

#include "DIO_Exceptions.h"
#include "GLO_Text.h"

namespace dio {

std::u16string Stack_t::Dump(std::size_t requested, const std::vector<unsigned char>& bytes)
{
  std::string text = "Requested Data Size: " + std::to_string(requested) +
                     "\nStack Size: " + std::to_string(bytes.size()) + "\nStack Contents:\n";
  char piece[24];
  for (std::size_t line = 0; line < bytes.size(); line += 16) {
    std::snprintf(piece, sizeof piece, "%04zx: ", line);
    text += piece;
    for (std::size_t i = line; i < line + 16; ++i) {
      if (i < bytes.size()) {
        std::snprintf(piece, sizeof piece, "%02x ", bytes[i]);
        text += piece;
      } else {
        text += "   ";
      }
    }
    text += "  \n";
  }
  return glo::GLO_ToWide(text, glo::CodePageAscii);
}

void Stack_t::PushBytes(const void* bytes, std::size_t size)
{
  const auto* first = static_cast<const unsigned char*>(bytes);
  bytes_.insert(bytes_.end(), first, first + size);
}

void Stack_t::PopBytes(void* bytes, std::size_t size)
{
  if (size > bytes_.size()) throw BadStackException_t(GLO_HERE, Dump(size, bytes_));
  auto* target = static_cast<unsigned char*>(bytes);
  for (std::size_t i = size; i-- > 0;) {
    target[i] = bytes_.back();
    bytes_.pop_back();
  }
}

Stack_t& Stack_t::Push(std::int32_t value)
{
  return Push(static_cast<std::uint32_t>(value));
}

Stack_t& Stack_t::Push(std::uint32_t value)
{
  const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                  static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  PushBytes(bytes, 4);
  return *this;
}

Stack_t& Stack_t::Push(std::uint16_t value)
{
  const unsigned char bytes[2] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8)};
  PushBytes(bytes, 2);
  return *this;
}

Stack_t& Stack_t::Push(std::uint8_t value)
{
  PushBytes(&value, 1);
  return *this;
}

Stack_t& Stack_t::Push(bool value)
{
  return Push(static_cast<std::uint8_t>(value ? 1 : 0));
}

Stack_t& Stack_t::Push(const std::string& text)
{
  glo::GLO_Assert(text.find('\0') == std::string::npos, GLO_HERE);
  Push(std::uint8_t{0});
  for (auto it = text.rbegin(); it != text.rend(); ++it) Push(static_cast<std::uint8_t>(*it));
  return *this;
}

Stack_t& Stack_t::Push(const std::u16string& text)
{
  glo::GLO_Assert(text.find(u'\0') == std::u16string::npos, GLO_HERE);
  Push(std::uint16_t{0});
  for (auto it = text.rbegin(); it != text.rend(); ++it) Push(static_cast<std::uint16_t>(*it));
  return *this;
}

Stack_t& Stack_t::Push(const std::vector<std::uint32_t>& values)
{
  for (auto it = values.rbegin(); it != values.rend(); ++it) Push(*it);
  return Push(static_cast<std::uint32_t>(values.size()));
}

Stack_t& Stack_t::Push(const glo::Optional_t<std::uint32_t>& value)
{
  if (value) Push(value.Get());
  return Push(static_cast<std::uint8_t>(value ? 1 : 0));
}

Stack_t& Stack_t::Pop(std::int32_t& value)
{
  std::uint32_t bits = 0;
  Pop(bits);
  value = static_cast<std::int32_t>(bits);
  return *this;
}

Stack_t& Stack_t::Pop(std::uint32_t& value)
{
  unsigned char bytes[4];
  PopBytes(bytes, 4);
  value = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
  return *this;
}

Stack_t& Stack_t::Pop(std::uint16_t& value)
{
  unsigned char bytes[2];
  PopBytes(bytes, 2);
  value = static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
  return *this;
}

Stack_t& Stack_t::Pop(std::uint8_t& value)
{
  PopBytes(&value, 1);
  return *this;
}

Stack_t& Stack_t::Pop(bool& value)
{
  std::uint8_t byte = 0;
  Pop(byte);
  value = byte != 0;
  return *this;
}

Stack_t& Stack_t::Pop(std::string& text)
{
  std::string popped;
  for (std::uint8_t c = 0; Pop(c), c != 0;) popped += static_cast<char>(c);
  text = std::move(popped);
  return *this;
}

Stack_t& Stack_t::Pop(std::u16string& text)
{
  std::u16string popped;
  for (std::uint16_t unit = 0; Pop(unit), unit != 0;) popped += static_cast<char16_t>(unit);
  text = std::move(popped);
  return *this;
}

Stack_t& Stack_t::Pop(std::vector<std::uint32_t>& values)
{
  std::uint32_t count = 0;
  Pop(count);
  std::vector<std::uint32_t> popped;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t value = 0;
    Pop(value);
    popped.push_back(value);
  }
  values = std::move(popped);
  return *this;
}

Stack_t& Stack_t::Pop(glo::Optional_t<std::uint32_t>& value)
{
  std::uint8_t present = 0;
  Pop(present);
  if (present == 0) {
    value.Reset();
    return *this;
  }
  std::uint32_t popped = 0;
  Pop(popped);
  value.Set(popped);
  return *this;
}

}  // namespace dio
