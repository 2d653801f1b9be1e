#include "BIN_StringStream.h"

#include <algorithm>
#include <cstring>

namespace bin {

stringstream::stringstream(std::vector<unsigned char> data) : data_(std::move(data))
{
  if (data_.empty()) setstate(eofbit);
}

void stringstream::assign(std::vector<unsigned char> data)
{
  data_ = std::move(data);
  getPos_ = putPos_ = 0;
}

ostream& stringstream::seekp(std::uint32_t position)
{
  if (position > data_.size()) data_.resize(position);
  putPos_ = position;
  return *this;
}

ostream& stringstream::write(const void* buffer, std::uint32_t count)
{
  if (putPos_ + count > data_.size()) data_.resize(putPos_ + count);
  if (count != 0) std::memcpy(data_.data() + putPos_, buffer, count);
  putPos_ += count;
  if (eof() && getPos_ < data_.size()) clear(eofbit);
  return *this;
}

bool stringstream::fetch(void* buffer, std::uint32_t count)
{
  std::memcpy(buffer, data_.data() + getPos_, count);
  getPos_ += count;
  return true;
}

istream& operator>>(istream& source, record_t& record)
{
  std::uint32_t length = 0;
  if ((source >> length).failed()) return source;
  char type = 0;
  if ((source >> type).failed()) {
    source.setstate(ios::badbit);
    return source;
  }
  record.type = type;
  record.reset();
  const std::uint32_t available = std::min(length, source.remaining());
  std::vector<unsigned char> payload(available);
  if (available != 0) source.read(payload.data(), available);
  if (available < length) source.setstate(ios::badbit);
  record.assign(std::move(payload));
  record.codePage = source.codePage;
  return source;
}

}  // namespace bin
