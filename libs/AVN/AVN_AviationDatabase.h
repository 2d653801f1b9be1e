#pragma once
// An update file, loaded and checked once at start-up: its header, the
// device, database and cycle it is for, where its block of databases lies,
// and its CRC-32 signature.

#include <cstdint>
#include <string>

#include "BIN_Stream.h"
#include "DOC_AppHeader.h"
#include "GLO_NonCopyable.h"

namespace avn {

class AviationDatabase_t : public glo::NonCopyable_t {
 public:
  virtual ~AviationDatabase_t() = default;

  // Reads and checks the whole file. Raises glo::InvalidInput_t with message
  // 11800 when it cannot be opened and 11801 for any fault of its format or
  // signature (and for an empty device name or title, which could not be
  // shown); doc::InvalidRecordTypeException_t passes through.
  void Load(const std::u16string& path);

  std::u16string DeviceName() const { return deviceName_; }
  std::u16string DatabaseName() const { return databaseName_; }
  // "0813": the major number with at least two digits, the revision unless
  // it is '1', the minor number.
  std::u16string CycleText() const { return cycleText_; }
  std::u16string Path() const { return path_; }
  std::uint32_t RegionOffset() const { return regionOffset_; }
  std::uint32_t RegionLength() const { return regionLength_; }

 protected:
  // Reads the payload of the information record.
  virtual void ReadInfo(bin::istream& stream) = 0;
  virtual bool IsValidHeader(const doc::AppHeader_t& header) const = 0;

  std::uint32_t value1_ = 0;
  std::uint32_t value2_ = 0;
  std::uint32_t cycleMajor_ = 0;
  std::uint32_t cycleMinor_ = 0;
  std::u16string deviceName_;
  std::u16string databaseName_;
  std::uint32_t regionOffset_ = 0;
  std::uint32_t regionLength_ = 0;
  std::u16string path_;
  char cycleRevision_ = 0;
  std::u16string cycleText_;
};

// The ".vlm" update file.
class VlmsDatabase_t : public AviationDatabase_t {
 public:
  static constexpr std::uint32_t Magic = 0x2E764C6D;  // "mLv."

 protected:
  void ReadInfo(bin::istream& stream) override;
  // Magic "mLv.", header version 100 and data version 100.
  bool IsValidHeader(const doc::AppHeader_t& header) const override;
};

}  // namespace avn
