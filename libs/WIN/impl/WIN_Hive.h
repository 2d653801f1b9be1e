#pragma once
// The contents of one settings hive file, in the text layout of registry
// exports:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Telvan\Velmora\Settings]
//   "ShowDebug"=hex:01
//   "InstallDir"="/opt/telvan/reporter"
//
// Values are "text" (REG_SZ), dword:0000000a (REG_DWORD), hex:01,02
// (REG_BINARY) or hex(N):... for any other type; a hex list may go on over
// lines that end in "\". "@" names the default value; lines starting with
// ";" are comments. Key paths and value names compare without case.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "WIN_RegKey.h"

namespace win {

struct RegData_t {
  std::uint32_t type = RegNone;
  std::vector<unsigned char> bytes;
  friend bool operator==(const RegData_t&, const RegData_t&) = default;
};

class Hive_t {
 public:
  // Raises RegError_t (EBADMSG) naming the file and line of the first fault.
  static Hive_t Parse(std::string_view text, const std::u16string& fileName);
  std::string Serialize() const;

  bool HasKey(std::u16string_view path) const;
  // Adds the key, and every key above it below its root; false when it was
  // there already.
  bool CreateKey(std::u16string_view path);
  // Null when the key or the value is missing.
  const RegData_t* Find(std::u16string_view path, std::u16string_view name) const;
  // The key must exist.
  void Set(std::u16string_view path, std::u16string_view name, RegData_t data);

 private:
  struct Key_t {
    std::u16string path;
    std::vector<std::pair<std::u16string, RegData_t>> values;
  };
  Key_t* FindKey(std::u16string_view path);
  const Key_t* FindKey(std::u16string_view path) const;

  std::vector<Key_t> keys_;
};

}  // namespace win
