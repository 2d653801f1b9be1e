#include "BIN_SubStream.h"

namespace bin {

substream::substream(istream& base, std::uint32_t offset, std::uint32_t length)
    : base_(base), offset_(offset), length_(length)
{
  if (length_ == 0) setstate(eofbit);
}

bool substream::fetch(void* buffer, std::uint32_t count)
{
  base_.reset();
  if (base_.seekg(offset_ + position_).read(buffer, count).failed()) return false;
  position_ += count;
  return true;
}

}  // namespace bin
