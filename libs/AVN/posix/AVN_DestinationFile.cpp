#include "AVN_DestinationFile.h"

#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "AVN_CardFiles.h"
#include "AVN_Exceptions.h"
#include "WIN_Error.h"
#include "WIN_Retry.h"
#include "WIN_Utilities.h"

namespace avn {
namespace {

// Failures that only mean the file system has no such operation.
bool Unsupported(int code) noexcept
{
  return code == EPERM || code == EOPNOTSUPP || code == ENOSYS || code == EINVAL;
}

}  // namespace

DestinationFile_t::DestinationFile_t(const std::u16string& path, bool card) : path_(path), paced_(card)
{
  if (!card) {
    file_.Open(path, win::FileAccess_t::Write, win::FileCreation_t::CreateAlways);
    return;
  }
  // A card file is made here and now, so nothing planted in its place since
  // is written through; another opener that denies writing keeps its file
  // as it is. Most card files are new: the name is tried first, and only
  // one that is taken costs a delete.
  try {
    file_.Open(path, win::FileAccess_t::Write, win::FileCreation_t::CreateNew);
    return;
  } catch (const win::FileError_t& error) {
    if (error.Code() != static_cast<std::uint32_t>(EEXIST)) throw;
  }
  if (!win::WIN_DeleteFile(path) && errno != ENOENT) {
    // Some card file systems refuse to delete a read-only file: it then
    // loses its read-only, hidden and system attributes and goes.
    win::WIN_ClearFileAttributes(path, ClearedAttributes);
    if (!win::WIN_DeleteFile(path) && errno != ENOENT) Fail(GLO_HERE, errno);
  }
  file_.Open(path, win::FileAccess_t::Write, win::FileCreation_t::CreateNew);
}

DestinationFile_t::~DestinationFile_t()
{
  if (closed_) return;
  try {
    file_.CloseWithoutFlush();
  } catch (const win::Error_t&) {
  }
  win::WIN_DeleteFile(path_);
}

void DestinationFile_t::Reserve(std::uint64_t count) noexcept
{
  ::fallocate(file_.Handle().Get(), FALLOC_FL_KEEP_SIZE, static_cast<off_t>(position_), static_cast<off_t>(count));
}

void DestinationFile_t::Write(const void* bytes, std::uint32_t count)
{
  const auto* next = static_cast<const char*>(bytes);
  for (std::uint32_t left = count; left > 0;) {
    const ssize_t wrote =
        win::WIN_Retry([&] { return ::pwrite(file_.Handle().Get(), next, left, static_cast<off_t>(position_)); });
    if (wrote < 0) Fail(GLO_HERE, errno);
    if (wrote == 0) Fail(GLO_HERE, ENOSPC);
    next += wrote;
    left -= static_cast<std::uint32_t>(wrote);
    position_ += static_cast<std::uint64_t>(wrote);
  }
  Written();
}

bool DestinationFile_t::CopyFrom(const win::Handle_t& source, std::uint64_t offset, std::uint32_t count)
{
  if (kernelCopy_ == KernelCopy_t::None) return false;
  auto from = static_cast<off_t>(offset);
  std::uint32_t done = 0;
  while (done < count) {
    const ssize_t copied = win::WIN_Retry([&]() -> ssize_t {
      if (kernelCopy_ == KernelCopy_t::Range) {
        auto to = static_cast<off_t>(position_);
        return ::copy_file_range(source.Get(), &from, file_.Handle().Get(), &to, count - done, 0);
      }
      if (::lseek(file_.Handle().Get(), static_cast<off_t>(position_), SEEK_SET) < 0) return -1;
      // Between file systems: the kernel still moves the bytes from page to
      // page, without a trip through our memory.
      return ::sendfile(file_.Handle().Get(), source.Get(), &from, count - done);
    });
    if (copied < 0) {
      // Nothing is lost when the kernel refuses at the first bytes: the
      // next way is tried, and at last the caller copies through memory.
      if (done == 0 && (errno == EXDEV || Unsupported(errno))) {
        kernelCopy_ = kernelCopy_ == KernelCopy_t::Range ? KernelCopy_t::Send : KernelCopy_t::None;
        return CopyFrom(source, offset, count);
      }
      Fail(GLO_HERE, errno);
    }
    if (copied == 0) throw BadRegionFile_t(GLO_HERE);
    done += static_cast<std::uint32_t>(copied);
    position_ += static_cast<std::uint64_t>(copied);
  }
  Written();
  return true;
}

void DestinationFile_t::Written()
{
  if (!paced_) return;
  // Start writing this chunk out, then wait until the one before is on the
  // device: at most two chunks are ever waiting in memory. Only a failure of
  // the device counts; a file system without ranged write-back has nothing
  // to wait for.
  const std::uint64_t start = chunkStart_;
  chunkStart_ = position_;
  if (::sync_file_range(file_.Handle().Get(), static_cast<off_t>(start), static_cast<off_t>(position_ - start),
                        SYNC_FILE_RANGE_WRITE) != 0 &&
      (errno == EIO || errno == ENOSPC))
    Fail(GLO_HERE, errno);
  if (previousEnd_ > previousStart_ &&
      ::sync_file_range(file_.Handle().Get(), static_cast<off_t>(previousStart_),
                        static_cast<off_t>(previousEnd_ - previousStart_),
                        SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER) != 0 &&
      (errno == EIO || errno == ENOSPC))
    Fail(GLO_HERE, errno);
  previousStart_ = start;
  previousEnd_ = position_;
}

void DestinationFile_t::Close()
{
  // No wait for the last chunk: a wait per file would make thousands of
  // small chart files crawl; the card is made durable as a whole when it
  // is finalized. Some file systems (network and FUSE ones) report write
  // failures only when the file is closed.
  file_.CloseWithoutFlush();
  closed_ = true;
}

void DestinationFile_t::Fail(const char* file, unsigned line, int code) const
{
  errno = code;
  throw win::FileError_t(file, line, path_);
}

}  // namespace avn
