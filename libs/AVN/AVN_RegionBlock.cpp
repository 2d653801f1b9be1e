#include "AVN_RegionBlock.h"

#include "AVN_Exceptions.h"
#include "BIN_StringStream.h"

namespace avn {

void HeaderCheck(bin::istream& stream)
{
  stream.reset();
  stream.seekg(0);
  std::uint32_t magic = 0;
  std::uint16_t version = 0;
  stream >> magic >> version;
  bin::record_t data('D');
  stream >> data;
  std::uint16_t dataVersion = 0;
  data >> dataVersion;
  if (stream.failed() || data.failed() || magic != RegionMagic || version != 100 || data.type != 'D' ||
      dataVersion != 100)
    throw BadRegionFile_t(GLO_HERE);
}

void SeekDatabase(bin::istream& stream, std::uint32_t kind, std::uint32_t offset)
{
  HeaderCheck(stream);
  for (;;) {
    std::uint32_t length = 0;
    char type = 0;
    stream >> length >> type;
    if (stream.failed()) {
      if (stream.eof() && !stream.bad()) return;  // the end of the block
      throw BadRegionFile_t(GLO_HERE);
    }
    if (type != 'R') {
      stream.ignore(length);
      continue;
    }
    std::uint16_t found = 0;
    std::uint32_t ignored = 0, dataLength = 0;
    stream >> found >> ignored >> dataLength;
    if (stream.failed()) throw BadRegionFile_t(GLO_HERE);
    if (found == kind && offset < dataLength) {
      stream.seekg(static_cast<std::uint32_t>(stream.tellg()) + offset);
      return;
    }
    stream.ignore(dataLength);
  }
}

}  // namespace avn
