#include "BIN_Stream.h"

#include "GLO_Text.h"

namespace bin {

istream& istream::read(void* buffer, std::uint32_t count)
{
  if (!isOpen() || failed() || count == 0 || eof() || remaining() < count) {
    setstate(failbit);
    return *this;
  }
  if (!fetch(buffer, count)) setstate(badbit);
  if (getPosition() == dataSize()) setstate(eofbit);
  return *this;
}

istream& istream::ignore(std::uint32_t count)
{
  if (failed() || count == 0) return *this;
  if (eof()) {
    setstate(failbit);
    return *this;
  }
  const std::uint32_t left = remaining();
  setGetPosition(getPosition() + (count < left ? count : left));
  if (getPosition() == dataSize()) setstate(eofbit);
  return *this;
}

int istream::peek()
{
  if (rdstate() != 0 || !isOpen() || remaining() == 0) return -1;
  const std::uint32_t position = getPosition();
  unsigned char byte = 0;
  if (!fetch(&byte, 1)) {
    setstate(badbit);
    return -1;
  }
  setGetPosition(position);
  return byte;
}

istream& istream::seekg(std::uint32_t position)
{
  if (failed()) return *this;
  if (position > dataSize()) {
    setstate(failbit);
    return *this;
  }
  setGetPosition(position);
  if (position == dataSize())
    setstate(eofbit);
  else
    clear(eofbit);
  return *this;
}

std::int64_t istream::tellg()
{
  if (!isOpen() || failed()) return -1;
  return getPosition();
}

std::uint32_t istream::remaining()
{
  return dataSize() - getPosition();
}

istream& istream::readSome(void* buffer, std::uint32_t count)
{
  const std::uint32_t left = remaining();
  const std::uint32_t taken = count < left ? count : left;
  read(buffer, taken);
  gcount_ = failed() ? 0 : taken;
  return *this;
}

istream& istream::readText(std::string& text)
{
  std::string bytes;
  char c = 0;
  while (!read(&c, 1).failed() && c != '\0') bytes += c;
  if (!failed()) text = std::move(bytes);
  return *this;
}

istream& istream::readWideText(std::u16string& text)
{
  const unsigned page = codePage.Get();
  std::string narrow;
  if (!readText(narrow).failed()) text = glo::GLO_ToWide(narrow, page);
  return *this;
}

}  // namespace bin
