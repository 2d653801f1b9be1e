#pragma once
// Keys of the settings registry, kept in hive files (impl/WIN_Hive.h).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "GLO_SmartPtr.h"

namespace win {

// Registry value types.
inline constexpr std::uint32_t RegNone = 0;
inline constexpr std::uint32_t RegSz = 1;
inline constexpr std::uint32_t RegBinary = 3;
inline constexpr std::uint32_t RegDword = 4;

class HiveFile_t;

// One open key: the hive it lives in, its full path and whether it was
// opened for writing. Shared by every copy of a key.
class RegKeyHandle_t : public glo::RefCounter_t {
 public:
  RegKeyHandle_t(std::shared_ptr<const HiveFile_t> hive, std::u16string path, bool writable);

  const HiveFile_t& Hive() const noexcept { return *hive_; }
  const std::shared_ptr<const HiveFile_t>& SharedHive() const noexcept { return hive_; }
  const std::u16string& Path() const noexcept { return path_; }
  bool Writable() const noexcept { return writable_; }

 private:
  std::shared_ptr<const HiveFile_t> hive_;
  std::u16string path_;
  bool writable_;
};

using RegKeyHandlePtr_t = glo::SmartPtr_t<RegKeyHandle_t>;

// A registry key. Copies share the handle.
class RegKey_t {
 public:
  // Opens one sub key below a parent.
  class KeyInitializer_t {
   public:
    virtual ~KeyInitializer_t() = default;
    // RegError_t named parentPath\component when the key cannot be opened.
    virtual RegKeyHandlePtr_t Open(const RegKeyHandle_t& parent, const std::u16string& parentPath,
                                   const std::u16string& component) const = 0;
  };
  // Opens an existing key for reading; a missing one is RegError_t (ENOENT).
  class KeyReader_t : public KeyInitializer_t {
   public:
    RegKeyHandlePtr_t Open(const RegKeyHandle_t& parent, const std::u16string& parentPath,
                           const std::u16string& component) const override;
  };
  // Opens a key for reading and writing, creating it when missing.
  class KeyCreator_t : public KeyInitializer_t {
   public:
    RegKeyHandlePtr_t Open(const RegKeyHandle_t& parent, const std::u16string& parentPath,
                           const std::u16string& component) const override;
  };

  // A root key ("HKEY_CURRENT_USER") over its hive file.
  static RegKey_t Root(const std::u16string& name, const std::u16string& hiveFile);

  // Opens every component of the "\"-separated path in turn; a trailing "\"
  // is allowed, an empty component is a program fault (Assert_t).
  RegKey_t(const RegKey_t& parent, const std::u16string& relativePath, const KeyInitializer_t& initializer);

  // The last component of the path; a root's name.
  const std::u16string& Name() const noexcept { return name_; }
  // The root's name and every component, joined by "\".
  const std::u16string& Path() const noexcept { return path_; }
  const RegKeyHandlePtr_t& Handle() const noexcept { return handle_; }

  bool HasValue(const std::u16string& name) const;
  // A value of type REG_BINARY and exactly size bytes; RegError_t named
  // path\name otherwise (code 0 for another type or size).
  std::vector<unsigned char> ReadBinary(const std::u16string& name, std::size_t size) const;
  // A REG_SZ value up to its first terminating zero; RegError_t named by the
  // value's name otherwise (code 0 for another type).
  std::u16string ReadText(const std::u16string& name) const;
  // RegError_t named path\name on failure.
  void Write(const std::u16string& name, std::uint32_t type, std::vector<unsigned char> bytes) const;

 private:
  RegKey_t(RegKeyHandlePtr_t handle, std::u16string name, std::u16string path);

  RegKeyHandlePtr_t handle_;
  std::u16string name_;
  std::u16string path_;
};

// The process-wide keys, opened on first use (safe when threads race to it)
// and kept until the process ends.
const RegKey_t& WIN_CurrentUserKey();        // HKEY_CURRENT_USER
const RegKey_t& WIN_LocalMachineKey();       // HKEY_LOCAL_MACHINE
const RegKey_t& WIN_CurrentUserMakerKey();   // HKEY_CURRENT_USER\Software\Telvan, created
const RegKey_t& WIN_LocalMachineMakerKey();  // HKEY_LOCAL_MACHINE\Software\Telvan, for reading
const RegKey_t& WIN_SettingsKey();           // ...\Software\Telvan\<product>\Settings, created

}  // namespace win
