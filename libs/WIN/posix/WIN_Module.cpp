#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include "GLO_Text.h"
#include "WIN_Error.h"
#include "WIN_Handle.h"
#include "WIN_ResourceModule.h"
#include "WIN_Retry.h"

// The program's own module, generated from res/ and linked into every program.
extern "C" const unsigned char velmora_resource_module[];
extern "C" const std::size_t velmora_resource_module_size;

namespace win {
namespace {

constexpr std::string_view ResourceSection = ".velmora.res";

std::string Narrow(const std::u16string& path)
{
  return glo::GLO_FileNameToNarrow(path);
}

// Reads exactly size bytes at offset; a short read is a malformed file.
void ReadAt(const Handle_t& file, const std::u16string& path, void* into, std::size_t size, std::uint64_t offset)
{
  auto* bytes = static_cast<unsigned char*>(into);
  while (size > 0) {
    const ssize_t got = WIN_Retry([&] { return ::pread(file.Get(), bytes, size, static_cast<off_t>(offset)); });
    if (got < 0) throw FileError_t(GLO_HERE, path);
    if (got == 0) throw Error_t(GLO_HERE, ENOEXEC);
    bytes += got;
    size -= static_cast<std::size_t>(got);
    offset += static_cast<std::uint64_t>(got);
  }
}

// The resource section of a 64-bit little-endian program file.
std::vector<unsigned char> ResourceSectionOf(const Handle_t& file, const std::u16string& path)
{
  Elf64_Ehdr header;
  ReadAt(file, path, &header, sizeof header, 0);
  if (header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_ident[EI_DATA] != ELFDATA2LSB ||
      header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shstrndx >= header.e_shnum)
    throw Error_t(GLO_HERE, ENOEXEC);
  std::vector<Elf64_Shdr> sections(header.e_shnum);
  ReadAt(file, path, sections.data(), sections.size() * sizeof(Elf64_Shdr), header.e_shoff);
  const Elf64_Shdr& names = sections[header.e_shstrndx];
  std::vector<char> nameTable(names.sh_size + 1, '\0');
  ReadAt(file, path, nameTable.data(), names.sh_size, names.sh_offset);
  for (const auto& section : sections) {
    if (section.sh_name >= names.sh_size || ResourceSection != &nameTable[section.sh_name]) continue;
    std::vector<unsigned char> bytes(section.sh_size);
    ReadAt(file, path, bytes.data(), bytes.size(), section.sh_offset);
    return bytes;
  }
  throw Error_t(GLO_HERE, ENODATA);
}

std::u16string ProgramPath()
{
  std::vector<char> buffer(256);
  for (;;) {
    ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) throw Error_t(GLO_HERE);
    if (static_cast<std::size_t>(length) < buffer.size())
      return glo::GLO_FileNameToWide(std::string_view(buffer.data(), static_cast<std::size_t>(length)));
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

const ResourceModule_t& WIN_GetMainModule()
{
  static const ResourceModule_t module(ProgramPath(), {velmora_resource_module, velmora_resource_module_size});
  return module;
}

std::unique_ptr<ResourceModule_t> WIN_LoadModule(const std::u16string& path)
{
  // Without waiting for a writer when a FIFO stands there; only a regular
  // file is read.
  Handle_t file(::open(Narrow(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!file.IsValid()) throw FileError_t(GLO_HERE, path);
  struct stat status;
  if (::fstat(file.Get(), &status) != 0) throw FileError_t(GLO_HERE, path);
  if (!S_ISREG(status.st_mode)) throw Error_t(GLO_HERE, ENOEXEC);
  unsigned char magic[SELFMAG] = {};
  if (status.st_size >= SELFMAG) ReadAt(file, path, magic, SELFMAG, 0);
  std::vector<unsigned char> bytes;
  if (std::memcmp(magic, ELFMAG, SELFMAG) == 0) {
    bytes = ResourceSectionOf(file, path);
  } else {
    bytes.resize(static_cast<std::size_t>(status.st_size));
    ReadAt(file, path, bytes.data(), bytes.size(), 0);
  }
  return std::make_unique<ResourceModule_t>(path, bytes);
}

}  // namespace win
