#pragma once
// Files mapped into memory: a mapping of an open file and views of it.

#include <cstddef>
#include <cstdint>

#include "GLO_NonCopyable.h"
#include "WIN_Error.h"
#include "WIN_Handle.h"

namespace win {

class File_t;

// A mapping of a file that cannot be made (errno).
class MappedFileError_t : public Error_t {
 public:
  MappedFileError_t(const char* file, unsigned line) : Error_t(file, line) {}
  MappedFileError_t(const char* file, unsigned line, std::uint32_t code) : Error_t(file, line, code) {}
};

enum class MapProtection_t { ReadOnly, ReadWrite };

// The mapping of an open file. It keeps the file open on its own, so it
// outlives the File_t it was made from.
class FileMapping_t : public glo::NonCopyable_t {
 public:
  // Maps maximumSize bytes, or the whole file when it is 0. A read-write
  // mapping larger than the file grows the file to that size; a read-only
  // one cannot (EINVAL), nor can an empty file be mapped (EINVAL), nor a
  // file not opened for writing read-write (EACCES). Failures raise
  // MappedFileError_t.
  FileMapping_t(const File_t& file, MapProtection_t protection, std::uint64_t maximumSize = 0);
  // The same for any open file.
  FileMapping_t(const Handle_t& file, MapProtection_t protection, std::uint64_t maximumSize = 0);

  MapProtection_t Protection() const noexcept { return protection_; }
  std::uint64_t Size() const noexcept { return size_; }
  const Handle_t& Handle() const noexcept { return handle_; }

 private:
  Handle_t handle_;
  MapProtection_t protection_;
  std::uint64_t size_ = 0;
};

// How a view may be used: Write implies reading; Copy gives a private copy
// whose changes never reach the file.
enum class ViewAccess_t { Read, Write, Copy };

// One view of a mapping, unmapped when the object goes. The view stays
// valid after the mapping object is gone.
class MappedFileView_t : public glo::NonCopyable_t {
 public:
  MappedFileView_t() = default;
  // Unmaps the view; failures are ignored.
  ~MappedFileView_t();

  // Maps count bytes from offset (count 0: up to the end of the mapping).
  // Any offset is accepted. Asserts that no view is mapped; raises Error_t
  // when the range lies outside the mapping (EINVAL), when a Write view is
  // asked of a read-only mapping (EACCES) or when the system refuses.
  void Map(const FileMapping_t& mapping, ViewAccess_t access, std::uint64_t offset = 0, std::size_t count = 0);
  // Unmaps the view, if any; raises Error_t when the system refuses.
  void Unmap();

  bool IsMapped() const noexcept { return base_ != nullptr; }
  // The first byte of the view; null when nothing is mapped.
  std::byte* Base() const noexcept { return base_; }
  std::size_t Size() const noexcept { return size_; }

 private:
  void* region_ = nullptr;  // page aligned, as the system mapped it
  std::size_t regionSize_ = 0;
  std::byte* base_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace win
