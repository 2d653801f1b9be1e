#pragma once
// Version information of module files and of the running program.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "WIN_ResourceModule.h"

namespace win {

// The version values of one module file: a language module, or a program
// whose resources are compiled into it.
class FileMetaData_t {
 public:
  // Raises FileError_t when the file cannot be read, Error_t when it holds no
  // version information.
  explicit FileMetaData_t(const std::u16string& path);

  const std::u16string& Path() const noexcept { return module_->Path(); }
  const FileVersion_t& FixedFileVersion() const noexcept { return module_->Version(); }
  std::uint16_t LanguageId() const noexcept { return module_->LanguageId(); }
  // A value such as "ProductName"; a missing one raises Error_t (ENODATA).
  std::u16string GetString(const std::string& name) const;

 private:
  std::unique_ptr<ResourceModule_t> module_;
};

// What the program says of itself: its version values and build stamp.
class VersionInfo_t {
 public:
  // Any missing value raises Error_t.
  explicit VersionInfo_t(const FileMetaData_t& metaData);
  VersionInfo_t(const VersionInfo_t&) = delete;
  VersionInfo_t& operator=(const VersionInfo_t&) = delete;

  // The running program's, built on first use.
  static const VersionInfo_t& Get();

  const std::u16string& ProductName() const noexcept { return productName_; }
  const std::u16string& InternalName() const noexcept { return internalName_; }
  const FileVersion_t& FileVersion() const noexcept { return fileVersion_; }
  const std::u16string& PartNumber() const noexcept { return partNumber_; }
  const std::u16string& BetaContact() const noexcept { return betaContact_; }
  // "Dec 10 2026"
  const std::u16string& BuildDate() const noexcept { return buildDate_; }
  // "14:03:59"
  const std::u16string& BuildTime() const noexcept { return buildTime_; }
  const std::u16string& Builder() const noexcept { return builder_; }
  const std::u16string& ClassName() const noexcept { return className_; }
  // "Release", "Internal" or "Alpha".
  const std::u16string& BuildType() const noexcept { return buildType_; }
  const std::u16string& LegalNotice() const noexcept { return legalNotice_; }

  bool IsRelease() const;
  // Built by the "SQA" account (any case).
  bool IsOfficialBuild() const;
  // "1.4.7"; outside release builds "1.4.7.2 Internal".
  std::u16string VersionText() const;
  // Build date and time, for internal and alpha builds only.
  std::optional<std::u16string> BuildTimeText() const;
  // "(builder)", for internal builds only.
  std::optional<std::u16string> BuilderText() const;

 private:
  std::u16string buildDate_, buildTime_, builder_;
  FileVersion_t fileVersion_;
  std::u16string productName_, internalName_, partNumber_, betaContact_, className_, buildType_, legalNotice_;
};

// The language of the program's own version information, asked once.
std::uint16_t WIN_GetAppLanguageId();

}  // namespace win
