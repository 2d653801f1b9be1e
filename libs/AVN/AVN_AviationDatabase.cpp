#include "AVN_AviationDatabase.h"

#include <algorithm>
#include <vector>

#include "AVN_Crc32.h"
#include "BIN_FileStream.h"
#include "FIL_Exceptions.h"
#include "FIL_File.h"
#include "GLO_Exception.h"
#include "GLO_Optional.h"
#include "GLO_Text.h"
#include "WIN_FileMapping.h"
#include "WIN_GuardedRead.h"
#include "WIN_Locale.h"
#include "WIN_ResourceString.h"

namespace avn {
namespace {

constexpr std::uint32_t SignatureLength = 20;
constexpr std::uint32_t SignatureRecordLength = 5 + SignatureLength;

[[noreturn]] void Refuse(std::uint32_t message)
{
  throw glo::InvalidInput_t(win::ResourceString_t(message, GLO_HERE).Text(), GLO_HERE);
}

// The CRC of the first length bytes, read where the page cache holds them:
// the whole update file is read once at every start, and a copy of it into
// our memory would cost as much as the CRC itself. Empty when the mapping
// cannot be made or read whole (a file system that cannot map its files, a
// file cut short by another program meanwhile, a read error): reading
// through then tells which.
glo::Optional_t<std::uint32_t> MappedCrcOfStart(const fil::File_t& file, std::uint32_t length)
{
  try {
    win::MappedFileView_t view;
    const win::FileMapping_t mapping(file.handle(), win::MapProtection_t::ReadOnly);
    if (mapping.Size() < length) return {};
    view.Map(mapping, win::ViewAccess_t::Read, 0, length);
    std::uint32_t crc = 0;
    auto run = [&] { crc = AVN_Crc32(0, view.Base(), length); };
    if (!win::WIN_GuardedRead(run)) return {};
    // A file cut inside its last page reads as zeros there, without a fault.
    if (file.currentSize() < length) return {};
    return crc;
  } catch (const win::Error_t&) {
    return {};
  } catch (const fil::FileError_t&) {
    return {};
  }
}

std::uint32_t CrcOfStart(const std::u16string& path, std::uint32_t length)
{
  fil::File_t file;
  file.open(path, fil::ModeRead, fil::DenyNone);
  if (auto crc = MappedCrcOfStart(file, length)) return crc.Get();
  std::vector<unsigned char> block(1 << 20);
  std::uint32_t crc = 0;
  for (std::uint32_t done = 0; done < length;) {
    const std::uint32_t wanted = std::min<std::uint32_t>(static_cast<std::uint32_t>(block.size()), length - done);
    if (file.read(block.data(), wanted) != wanted) Refuse(11801);
    crc = AVN_Crc32(crc, block.data(), wanted);
    done += wanted;
  }
  return crc;
}

}  // namespace

void AviationDatabase_t::Load(const std::u16string& path)
{
  path_ = path;
  bin::ifstream stream(path, fil::DenyNone);
  if (stream.failed()) Refuse(11800);
  stream.codePage.Set(win::WIN_GetAsciiCodePage());

  doc::AppHeader_t header;
  stream >> header;
  if (stream.failed() || !IsValidHeader(header)) Refuse(11801);

  std::uint32_t length = 0;
  char type = 0;
  stream >> length >> type;
  if (stream.failed()) Refuse(11801);
  ReadInfo(stream);
  if (stream.failed() || type != 'F' || deviceName_.empty() || databaseName_.empty()) Refuse(11801);

  stream >> regionLength_ >> type;
  if (stream.failed() || type != 'R') Refuse(11801);
  regionOffset_ = static_cast<std::uint32_t>(stream.tellg());
  stream.ignore(regionLength_);

  stream >> length >> type;
  if (stream.failed() || type != 'S' || length != SignatureLength) Refuse(11801);
  unsigned char signature[SignatureLength];
  stream.read(signature, SignatureLength);
  if (stream.failed()) Refuse(11801);
  // The signature covers everything before its own record.
  const auto signedLength = static_cast<std::uint32_t>(stream.tellg()) - SignatureRecordLength;
  stream.close();

  std::uint32_t crc = 0;
  try {
    crc = CrcOfStart(path, signedLength);
  } catch (const fil::FileError_t&) {
    Refuse(11800);
  }
  const bool valid =
      signature[2] == static_cast<unsigned char>(crc >> 24) && signature[9] == static_cast<unsigned char>(crc >> 16) &&
      signature[12] == static_cast<unsigned char>(crc >> 8) && signature[17] == static_cast<unsigned char>(crc);
  if (!valid) Refuse(11801);
}

void VlmsDatabase_t::ReadInfo(bin::istream& stream)
{
  stream >> value1_ >> value2_ >> cycleMajor_ >> cycleMinor_;
  stream.readWideText(deviceName_).readWideText(databaseName_);
  stream >> cycleRevision_;
  if (stream.failed()) return;
  std::u16string major = glo::GLO_Decimal(cycleMajor_);
  if (major.size() < 2) major.insert(0, 2 - major.size(), u'0');
  cycleText_ = major;
  if (cycleRevision_ != '1') cycleText_ += glo::GLO_ToWide(std::string(1, cycleRevision_), stream.codePage.Get());
  cycleText_ += glo::GLO_Decimal(cycleMinor_);
}

bool VlmsDatabase_t::IsValidHeader(const doc::AppHeader_t& header) const
{
  return header.magic == Magic && header.headerVersion == 100 && header.dataVersion == 100;
}

}  // namespace avn
