#include "UpdateFileBuilder.h"

namespace vtest {

Bytes Le16(std::uint16_t value)
{
  return {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8)};
}

Bytes Le32(std::uint32_t value)
{
  return {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
          static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
}

Bytes Text(const std::string& text)
{
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
  Bytes joined;
  for (const auto& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

Bytes Record(char type, const Bytes& payload)
{
  return Join({Le32(static_cast<std::uint32_t>(payload.size())), {static_cast<unsigned char>(type)}, payload});
}

std::uint32_t Crc32(const Bytes& bytes)
{
  std::uint32_t crc = 0xFFFFFFFF;
  for (unsigned char byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
  }
  return ~crc;
}

Bytes WithTrailer(const Bytes& data)
{
  return Join({data, Le32(~Crc32(data))});
}

RegionBlock& RegionBlock::Database(std::uint16_t kind, const Bytes& data)
{
  return DatabaseAsIs(kind, WithTrailer(data));
}

RegionBlock& RegionBlock::DatabaseAsIs(std::uint16_t kind, const Bytes& dataWithTrailer)
{
  const auto length = static_cast<std::uint32_t>(dataWithTrailer.size());
  return Raw(Join({Le32(10 + length), {'R'}, Le16(kind), Le32(0), Le32(length), dataWithTrailer}));
}

RegionBlock& RegionBlock::Raw(const Bytes& record)
{
  records.push_back(record);
  return *this;
}

Bytes RegionBlock::Build() const
{
  Bytes block = Join({Le32(magic), Le16(version), Record('D', dataRecordPayload)});
  for (const auto& record : records) block.insert(block.end(), record.begin(), record.end());
  return block;
}

Bytes UpdateFile::Signed() const
{
  const Bytes build = Join({Le16(1), Text("Velmora tests"), Text("1.0"), Text("")});
  const Bytes information = Join({Le32(value1),
                                  Le32(value2),
                                  Le32(cycleMajor),
                                  Le32(cycleMinor),
                                  Text(device),
                                  Text(database),
                                  {static_cast<unsigned char>(revision)}});
  return Join({Le32(magic), Le16(headerVersion), Record('D', dataRecordPayload), Record('A', build),
               Record('F', information), Record('R', region)});
}

Bytes UpdateFile::Build() const
{
  const Bytes signedPart = Signed();
  return Join({signedPart, Record('S', Signature(Crc32(signedPart), filler))});
}

std::uint32_t UpdateFile::RegionOffset() const
{
  return static_cast<std::uint32_t>(Signed().size() - region.size());
}

Bytes Signature(std::uint32_t crc, const Bytes& filler)
{
  Bytes signature;
  std::size_t next = 0;
  for (std::size_t i = 0; i < 20; ++i) {
    switch (i) {
      case 2:
        signature.push_back(static_cast<unsigned char>(crc >> 24));
        break;
      case 9:
        signature.push_back(static_cast<unsigned char>(crc >> 16));
        break;
      case 12:
        signature.push_back(static_cast<unsigned char>(crc >> 8));
        break;
      case 17:
        signature.push_back(static_cast<unsigned char>(crc));
        break;
      default:
        signature.push_back(filler.at(next++));
    }
  }
  return signature;
}

Bytes Resign(Bytes file)
{
  const std::size_t signature = file.size() - 20;
  const std::uint32_t crc = Crc32(Bytes(file.begin(), file.begin() + static_cast<long>(signature - 5)));
  file[signature + 2] = static_cast<unsigned char>(crc >> 24);
  file[signature + 9] = static_cast<unsigned char>(crc >> 16);
  file[signature + 12] = static_cast<unsigned char>(crc >> 8);
  file[signature + 17] = static_cast<unsigned char>(crc);
  return file;
}

}  // namespace vtest
