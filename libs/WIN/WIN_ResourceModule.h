#pragma once
// A resource module: the string table and version values of the program or
// of one of its language modules.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace win {

struct FileVersion_t {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t build = 0;
  std::uint16_t revision = 0;
  friend bool operator==(const FileVersion_t&, const FileVersion_t&) = default;
};

// The module's bytes are "VRES", the 32-bit count of the bytes that follow,
// and records of a 32-bit payload length, a type byte and the payload
// (little-endian): first the version record 'V' (four version parts, the
// language id, then pairs of NUL-terminated UTF-8 name and value), then
// string records 'S' (32-bit id, UTF-16LE text) and custom resources 'C'
// (32-bit id, NUL-terminated type name, the bytes).
class ResourceModule_t {
 public:
  // Parses the bytes; malformed bytes raise Error_t (ENOEXEC).
  ResourceModule_t(std::u16string path, std::span<const unsigned char> bytes);
  ResourceModule_t(const ResourceModule_t&) = delete;
  ResourceModule_t& operator=(const ResourceModule_t&) = delete;

  // The file the module was loaded from.
  const std::u16string& Path() const noexcept { return path_; }
  const FileVersion_t& Version() const noexcept { return version_; }
  std::uint16_t LanguageId() const noexcept { return language_; }
  // A version value by name; absent when the module has none.
  std::optional<std::u16string> Value(const std::string& name) const;
  // A string-table text by id; absent when the table has none.
  std::optional<std::u16string> String(std::uint32_t id) const;
  // A custom resource's bytes by id and type name ("XSD"); empty when the
  // module has none.
  std::span<const unsigned char> Custom(std::uint32_t id, const std::string& type) const;

 private:
  std::u16string path_;
  FileVersion_t version_;
  std::uint16_t language_ = 0;
  std::map<std::string, std::u16string> values_;
  std::map<std::uint32_t, std::u16string> strings_;
  std::map<std::pair<std::uint32_t, std::string>, std::vector<unsigned char>> customs_;
};

// The program's own module, compiled into it; its path is the program file.
const ResourceModule_t& WIN_GetMainModule();

// The bytes of a custom resource of the program's own module, which hold
// for the life of the process. A resource that is missing or empty raises
// Error_t (ENODATA).
std::span<const unsigned char> WIN_LoadCustomResource(std::uint32_t id, const std::string& type);

// The module's file, as a full path.
const std::u16string& WIN_GetModulePath(const ResourceModule_t& module);

// Loads a module file: a language module, or the resource section of a
// program file. A missing or unreadable file raises FileError_t, one without
// resources or with malformed ones Error_t.
std::unique_ptr<ResourceModule_t> WIN_LoadModule(const std::u16string& path);

}  // namespace win
