#pragma once
// The file a copy writes, from its start to its end.

#include <cstdint>
#include <string>

#include "GLO_NonCopyable.h"
#include "WIN_File.h"
#include "WIN_Handle.h"

namespace avn {

class DestinationFile_t : public glo::NonCopyable_t {
 public:
  // Opens or creates the file for writing, empty, shared with every other
  // opener. The file grows as it is written: it never shows a size that its
  // bytes have not reached, so a run that is killed leaves no file that
  // looks whole with holes where the bytes never came. A card file is
  // always made anew: when its name is taken, the old file is deleted
  // (losing its read-only, hidden and system attributes where the card
  // refuses otherwise), which spares card file systems a resize in place
  // (some FUSE ones get that wrong). Its write-back starts as each chunk
  // is written, and the one before is waited for. Raises win::FileError_t.
  DestinationFile_t(const std::u16string& path, bool card);
  // Removes the file unless Close succeeded.
  ~DestinationFile_t();

  // Sets room aside for count bytes beyond those written, without changing
  // the file's size: one allocation instead of one per chunk. A file system
  // that cannot is left as it is; a file too large for the room left fails
  // in the writes.
  void Reserve(std::uint64_t count) noexcept;
  // Appends the bytes. Raises win::FileError_t.
  void Write(const void* bytes, std::uint32_t count);
  // Appends count bytes of the source file from offset, copied by the
  // kernel (within one file system by copy_file_range, else by sendfile).
  // False, with nothing written, when the kernel cannot copy between the
  // two files; the caller then copies through memory. Raises
  // win::FileError_t on a write failure; a source that ends early raises
  // the BadRegionFile_t of a short block.
  bool CopyFrom(const win::Handle_t& source, std::uint64_t offset, std::uint32_t count);
  // Closes the file, which is whole from then on. Raises win::FileError_t
  // when the file system reports a failure at the close; the file is then
  // removed with the object.
  void Close();

 private:
  void Written();
  [[noreturn]] void Fail(const char* file, unsigned line, int code) const;

  std::u16string path_;
  win::File_t file_;
  bool paced_;
  // How the kernel copies between the two files, while it can.
  enum class KernelCopy_t { Range, Send, None } kernelCopy_ = KernelCopy_t::Range;
  bool closed_ = false;
  std::uint64_t position_ = 0;
  std::uint64_t chunkStart_ = 0;
  std::uint64_t previousStart_ = 0;
  std::uint64_t previousEnd_ = 0;
};

}  // namespace avn
