#pragma once
// Builds update files and region blocks byte by byte, straight from their
// layout, so that tests can make good files and every kind of broken one.
//
// Update file: "mLv." magic, header version, 'D' record (data version),
// 'A' record (build number, three texts), 'F' record (two values, cycle
// major and minor, device and database names, revision), 'R' record (the
// region block), 'S' record (20 signature bytes: the CRC-32 of everything
// before the 'S' record, most significant byte first, in bytes 2, 9, 12 and
// 17; the rest filler). Region block: "KpQr" magic, version, 'D' record
// (data version), then one 'R' record per database: kind, an ignored value,
// the data length, then the data, whose last four bytes are its checksum
// trailer. All numbers little-endian.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace vtest {

using Bytes = std::vector<unsigned char>;

Bytes Le16(std::uint16_t value);
Bytes Le32(std::uint32_t value);
// The text and its terminating NUL.
Bytes Text(const std::string& text);
Bytes Join(std::initializer_list<Bytes> parts);
// Payload length, type, payload.
Bytes Record(char type, const Bytes& payload);

// The common CRC-32 (reflected 0xEDB88320, start and end complemented),
// computed one bit at a time.
std::uint32_t Crc32(const Bytes& bytes);
// The data followed by its checksum trailer: the CRC register over the data
// without its final complement, little-endian.
Bytes WithTrailer(const Bytes& data);

struct RegionBlock {
  std::uint32_t magic = 0x7251704B;
  std::uint16_t version = 100;
  Bytes dataRecordPayload = Le16(100);
  std::vector<Bytes> records;

  // A database record of the kind; the data gets its trailer appended.
  RegionBlock& Database(std::uint16_t kind, const Bytes& data);
  // A database record whose data (trailer included) is given as it is.
  RegionBlock& DatabaseAsIs(std::uint16_t kind, const Bytes& dataWithTrailer);
  // Any bytes as the next record.
  RegionBlock& Raw(const Bytes& record);
  Bytes Build() const;
};

struct UpdateFile {
  std::uint32_t magic = 0x2E764C6D;
  std::uint16_t headerVersion = 100;
  Bytes dataRecordPayload = Le16(100);
  std::uint32_t value1 = 7, value2 = 9;
  std::uint32_t cycleMajor = 26, cycleMinor = 3;
  std::string device = "Skyline 400";
  std::string database = "North Atlantic";
  char revision = '1';
  Bytes region = RegionBlock().Build();
  // The sixteen signature bytes that do not hold the CRC.
  Bytes filler = Bytes{0xA0, 0xA1, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xAA, 0xAB, 0xAD, 0xAE, 0xAF, 0xB0, 0xB1, 0xB3};

  // The file up to the signature record, and the whole file.
  Bytes Signed() const;
  Bytes Build() const;
  // Where the region block starts in the built file.
  std::uint32_t RegionOffset() const;
};

// The 20 signature bytes for a CRC.
Bytes Signature(std::uint32_t crc, const Bytes& filler);

// A file whose last 25 bytes are its signature record, signed anew after a
// change, so that a test reaches the check behind the signature.
Bytes Resign(Bytes file);

}  // namespace vtest
