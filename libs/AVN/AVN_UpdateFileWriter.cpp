#include "AVN_UpdateFileWriter.h"

#include <vector>

#include "AVN_AviationDatabase.h"
#include "AVN_Crc32.h"
#include "AVN_RegionBlock.h"
#include "FIL_Exceptions.h"
#include "FIL_File.h"
#include "GLO_Exception.h"
#include "GLO_NarrowTo32.h"
#include "GLO_Text.h"
#include "WIN_File.h"
#include "WIN_ReplaceFile.h"
#include "WIN_Utilities.h"
#include "WIN_VersionInfo.h"

namespace avn {
namespace {

constexpr std::uint32_t BlockSize = 1 << 20;

// Writes through a buffer and keeps the CRC of everything written.
class SignedWriter_t {
 public:
  explicit SignedWriter_t(fil::File_t& file) : file_(file) { buffer_.reserve(BlockSize); }

  void Bytes(const void* data, std::size_t size)
  {
    crc_ = AVN_Crc32(crc_, data, size);
    const auto* bytes = static_cast<const unsigned char*>(data);
    buffer_.insert(buffer_.end(), bytes, bytes + size);
    if (buffer_.size() >= BlockSize) Flush();
  }
  void U8(std::uint8_t value) { Bytes(&value, 1); }
  void U16(std::uint16_t value) { Little(value, 2); }
  void U32(std::uint32_t value) { Little(value, 4); }
  void Text(const std::u16string& text)
  {
    const std::string narrow = glo::GLO_ToNarrow(text, glo::CodePageAscii);
    Bytes(narrow.c_str(), narrow.size() + 1);
  }
  void RecordHeader(std::uint32_t length, char type)
  {
    U32(length);
    U8(static_cast<std::uint8_t>(type));
  }
  void Flush()
  {
    file_.write(buffer_.data(), static_cast<std::uint32_t>(buffer_.size()));
    buffer_.clear();
  }
  std::uint32_t Crc() const { return crc_; }

 private:
  void Little(std::uint32_t value, int size)
  {
    unsigned char bytes[4];
    for (int i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    Bytes(bytes, static_cast<std::size_t>(size));
  }

  fil::File_t& file_;
  std::vector<unsigned char> buffer_;
  std::uint32_t crc_ = 0;
};

std::uint32_t SizeOf(const std::u16string& path)
{
  fil::File_t file;
  file.open(path, fil::ModeRead, fil::DenyWrite);
  return file.size();
}

// Copies a database and appends its trailer: the CRC register over the data
// without its final complement.
void WriteDatabase(SignedWriter_t& out, const std::u16string& path, std::uint32_t size)
{
  fil::File_t file;
  file.open(path, fil::ModeRead, fil::DenyWrite);
  std::vector<unsigned char> block(BlockSize);
  std::uint32_t crc = 0;
  for (std::uint32_t done = 0; done < size;) {
    const std::uint32_t wanted = std::min(BlockSize, size - done);
    if (file.read(block.data(), wanted) != wanted) throw fil::FileError_t(GLO_HERE, path);
    crc = AVN_Crc32(crc, block.data(), wanted);
    out.Bytes(block.data(), wanted);
    done += wanted;
  }
  out.U32(~crc);
}

}  // namespace

void AVN_WriteUpdateFile(const std::u16string& path, const UpdateFileContent_t& content)
{
  std::vector<std::uint32_t> sizes;
  std::uint64_t regionLength = 4 + 2 + 5 + 2;
  for (const auto& database : content.databases) {
    sizes.push_back(SizeOf(database.path));
    regionLength += 5 + 10 + std::uint64_t{sizes.back()} + 4;
  }
  const std::uint32_t region = glo::GLO_NarrowTo32(regionLength, GLO_HERE);
  glo::GLO_NarrowTo32(regionLength + 4096, GLO_HERE);  // the headers around it must fit too

  const std::u16string partial = path + u".part";
  {
    // Made here and now: whatever stands at that name (a link, another
    // run's file) is not ours to write through or to delete.
    win::File_t made;
    made.Open(partial, win::FileAccess_t::Write, win::FileCreation_t::CreateNew);
    made.CloseWithoutFlush();
  }
  fil::File_t file;
  try {
    file.open(partial, fil::ModeWrite, fil::DenyReadWrite);
  } catch (...) {
    win::WIN_DeleteFile(partial);
    throw;
  }
  try {
    SignedWriter_t out(file);
    const auto& version = win::VersionInfo_t::Get();
    out.U32(VlmsDatabase_t::Magic);
    out.U16(100);
    out.RecordHeader(2, 'D');
    out.U16(100);
    const std::u16string texts[3] = {version.ProductName(), version.VersionText(), u""};
    std::uint32_t buildLength = 2;
    for (const auto& text : texts) buildLength += static_cast<std::uint32_t>(text.size()) + 1;
    out.RecordHeader(buildLength, 'A');
    out.U16(version.FileVersion().major);
    for (const auto& text : texts) out.Text(text);

    out.RecordHeader(16 + static_cast<std::uint32_t>(content.deviceName.size() + content.databaseName.size()) + 3, 'F');
    out.U32(0);
    out.U32(0);
    out.U32(content.cycleMajor);
    out.U32(content.cycleMinor);
    out.Text(content.deviceName);
    out.Text(content.databaseName);
    out.U8(static_cast<std::uint8_t>(content.cycleRevision));

    out.RecordHeader(region, 'R');
    out.U32(RegionMagic);
    out.U16(100);
    out.RecordHeader(2, 'D');
    out.U16(100);
    for (std::size_t i = 0; i < content.databases.size(); ++i) {
      const std::uint32_t length = sizes[i] + 4;
      out.RecordHeader(10 + length, 'R');
      out.U16(content.databases[i].kind);
      out.U32(0);
      out.U32(length);
      WriteDatabase(out, content.databases[i].path, sizes[i]);
    }

    const std::uint32_t crc = out.Crc();
    out.RecordHeader(20, 'S');
    unsigned char signature[20] = {};
    signature[2] = static_cast<unsigned char>(crc >> 24);
    signature[9] = static_cast<unsigned char>(crc >> 16);
    signature[12] = static_cast<unsigned char>(crc >> 8);
    signature[17] = static_cast<unsigned char>(crc);
    out.Bytes(signature, sizeof signature);
    out.Flush();
    file.close();
    win::WIN_ReplaceFile(partial, path);
  } catch (...) {
    file.close();
    win::WIN_DeleteFile(partial);
    throw;
  }
}

}  // namespace avn
