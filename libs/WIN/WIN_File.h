#pragma once
// A regular file opened by path, that raises FileError_t on every failure:
// the one owner of open files beneath the streams and the card writer.

#include <cstddef>
#include <cstdint>
#include <string>

#include "GLO_NonCopyable.h"
#include "WIN_Handle.h"

namespace win {

// What the file is opened for. Write access is needed to write and flush.
enum class FileAccess_t : std::uint32_t { Read = 1, Write = 2, ReadWrite = 3 };

// What happens when the file exists or not.
enum class FileCreation_t {
  CreateNew,         // create; fails with EEXIST when the file exists
  CreateAlways,      // create, or empty the file that exists
  OpenExisting,      // open; fails with ENOENT when the file is missing
  OpenAlways,        // open, or create when missing
  TruncateExisting,  // open and empty; fails with ENOENT when missing
};

// What other openers of the same file in this program may do while it is
// open; a refused open fails with EWOULDBLOCK (the sharing violation). The
// rule holds between openers of this program only: other programs are not
// held back.
enum class FileShare_t : std::uint32_t { None = 0, Read = 1, Write = 2, ReadWrite = 3 };

// Bits that tune how the file is used.
enum class FileFlags_t : std::uint32_t {
  None = 0,
  WriteThrough = 1,    // every write reaches the device before it returns
  SequentialScan = 2,  // the file is read from start to end
  Append = 4,          // every write lands at the end
};
constexpr FileFlags_t operator|(FileFlags_t a, FileFlags_t b) noexcept
{
  return static_cast<FileFlags_t>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

enum class SeekFrom_t { Begin, Current, End };

class File_t : public glo::NonCopyable_t {
 public:
  File_t() = default;
  // Closes the file; failures are ignored.
  ~File_t();

  // Opens or creates the file. Only a regular file is opened, never through
  // a link at its last component (ELOOP); a folder is refused with EISDIR,
  // a pipe, device or socket with EINVAL, without waiting for a peer.
  // Raises FileError_t with the path and the system's reason on failure;
  // another opener's refusal is EWOULDBLOCK. The file must not be open yet.
  void Open(const std::u16string& path, FileAccess_t access, FileCreation_t creation,
            FileFlags_t flags = FileFlags_t::None, FileShare_t share = FileShare_t::ReadWrite);

  bool IsOpen() const noexcept { return handle_.IsValid(); }
  const std::u16string& Path() const noexcept { return path_; }
  FileAccess_t Access() const noexcept { return access_; }
  const Handle_t& Handle() const noexcept { return handle_; }

  // The failures of the operations below raise FileError_t with an empty path.

  std::uint64_t Size() const;
  // Moves the position and returns the new one.
  std::uint64_t Seek(std::int64_t distance, SeekFrom_t from);
  // Makes the current position the end of the file.
  void SetEnd();
  // Empties the file and leaves the position at 0.
  void Truncate();
  // Reads up to count bytes at the position; fewer only at the end of the
  // file. Returns the count read.
  std::size_t Read(void* bytes, std::size_t count);
  // Writes all bytes at the position and returns their count. Asserts write
  // access.
  std::size_t Write(const void* bytes, std::size_t count);
  // Makes the written data durable (fdatasync). Asserts write access.
  void Flush();
  // When open: flushes a file opened for writing, then closes it (also when
  // the flush fails). Errors of the close itself are not reported: the flush
  // has already made the data durable.
  void Close();
  // When open: closes without making the data durable first, for files
  // whose volume is made durable as a whole. Failures that the file system
  // reports only at the close (network and FUSE ones do) raise FileError_t
  // with the path.
  void CloseWithoutFlush();

 private:
  bool CanWrite() const noexcept;

  Handle_t handle_;
  FileAccess_t access_ = FileAccess_t::Read;
  std::u16string path_;
};

}  // namespace win
