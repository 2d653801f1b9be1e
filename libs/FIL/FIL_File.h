#pragma once
// Byte files under the binary streams: six open modes, four share modes, a
// 32-bit size and a position kept in step with every operation, over the
// system's one file class (win::File_t), whose rules they keep: regular
// files only, never through a link.

#include <cstdint>
#include <string>

#include "GLO_SmartPtr.h"
#include "WIN_File.h"
#include "WIN_Handle.h"

namespace fil {

enum OpenMode_t : int {
  ModeRead = 0,            // "rb": existing file, reading
  ModeWrite = 1,           // "wb": created or emptied, writing
  ModeAppend = 2,          // "ab": created when missing, writing at the end
  ModeReadWrite = 3,       // "r+b": existing file, reading and writing
  ModeReadWriteNew = 4,    // "w+b": created or emptied, reading and writing
  ModeReadWriteAppend = 5  // "a+b": created when missing, reading, writing at the end
};

// What other openers of the same file may do while this one has it open.
enum ShareMode_t : int {
  DenyNone = 0,
  DenyReadWrite = 1,
  DenyWrite = 2,
  DenyRead = 3,
};

// Every failure raises an exception of FIL_Exceptions.h.
class FileIntf_t : public glo::RefCounter_t {
 public:
  virtual std::uint32_t size() const = 0;
  // Fewer bytes than asked only at the end of the file.
  virtual std::uint32_t read(void* buffer, std::uint32_t count) = 0;
  virtual void write(const void* buffer, std::uint32_t count) = 0;
  virtual std::uint32_t tell() const = 0;
  virtual void skip(std::int64_t offset) = 0;
  virtual void seek(std::uint32_t position) = 0;
  virtual const std::u16string& path() const = 0;
};

class File_t : public FileIntf_t {
 public:
  File_t() = default;
  ~File_t() override;

  // Closes any open file first. A refusal by another opener's share mode
  // raises FileInUse_t, any other failure to open FileNotFound_t with the
  // system's reason (Code); nothing
  // is truncated before the share modes agreed. A size beyond 32 bits raises
  // glo::OutOfRange_t. The position is at the end in the append modes, else
  // at 0. A mode or share mode outside the lists is a program fault.
  void open(const std::u16string& path, int mode, int share);
  // Closed also when the file system reports a failure at the close, which
  // then raises FileError_t.
  void close();
  bool isOpen() const noexcept { return file_.IsOpen(); }
  // The open file, for copies the kernel makes between files.
  const win::Handle_t& handle() const noexcept { return file_.Handle(); }

  std::uint32_t size() const override { return size_; }
  // The size the file has now, which another program may have changed since
  // it was opened (size() is the size at the open).
  std::uint64_t currentSize() const;
  std::uint32_t read(void* buffer, std::uint32_t count) override;
  void write(const void* buffer, std::uint32_t count) override;
  std::uint32_t tell() const override;
  void skip(std::int64_t offset) override;
  // Does nothing when the position is there already.
  void seek(std::uint32_t position) override;
  const std::u16string& path() const override { return path_; }

 private:
  // Runs an operation of the open file, its failure raised as FileError_t.
  template <class Operation>
  auto Checked(const Operation& operation) const -> decltype(operation());

  win::File_t file_;
  std::uint32_t size_ = 0;
  std::uint32_t position_ = 0;
  std::u16string path_;
};

}  // namespace fil
