#pragma once
// Assembles an update file from database files: the header, the
// information record, the block of databases, each with its checksum
// trailer, and the signature.

#include <cstdint>
#include <string>
#include <vector>

namespace avn {

struct UpdateFileContent_t {
  std::u16string deviceName;    // plain ASCII
  std::u16string databaseName;  // plain ASCII
  std::uint32_t cycleMajor = 0;
  std::uint32_t cycleMinor = 0;
  char cycleRevision = '1';

  struct Database_t {
    std::uint16_t kind;
    std::u16string path;
  };
  std::vector<Database_t> databases;
};

// Writes the file beside its final name and renames it into place when it
// is whole, so a failure never leaves a half-written update behind. A file
// that would pass 4 GiB raises glo::OutOfRange_t; unreadable databases and
// write failures raise fil::FileError_t.
void AVN_WriteUpdateFile(const std::u16string& path, const UpdateFileContent_t& content);

}  // namespace avn
