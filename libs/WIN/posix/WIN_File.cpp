#include "WIN_File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "GLO_Exception.h"
#include "WIN_Error.h"
#include "WIN_FileSystem.h"
#include "WIN_PathAt.h"
#include "WIN_Retry.h"
#include "WIN_ShareMode.h"

namespace win {
namespace {

bool Has(std::uint32_t bits, std::uint32_t bit)
{
  return (bits & bit) != 0;
}

bool Admit(int fd, FileAccess_t access, FileShare_t share)
{
  constexpr std::uint32_t Read = 1, Write = 2;
  const auto does = static_cast<std::uint32_t>(access);
  const auto denies = ~static_cast<std::uint32_t>(share) & (Read | Write);
  return WIN_AdmitOpener(fd, Has(does, Read), Has(does, Write), Has(denies, Read), Has(denies, Write));
}

int OpenFlags(FileAccess_t access, FileCreation_t creation, FileFlags_t flags)
{
  // Not blocking, so that a pipe cannot hold the open up before it is refused.
  int result = O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK;
  switch (access) {
    case FileAccess_t::Read:
      result |= O_RDONLY;
      break;
    case FileAccess_t::Write:
      result |= O_WRONLY;
      break;
    case FileAccess_t::ReadWrite:
      result |= O_RDWR;
      break;
    default:
      glo::GLO_Assert(false, GLO_HERE);
  }
  // Emptying waits until the share mode has admitted the opener.
  switch (creation) {
    case FileCreation_t::CreateNew:
      result |= O_CREAT | O_EXCL;
      break;
    case FileCreation_t::CreateAlways:
    case FileCreation_t::OpenAlways:
      result |= O_CREAT;
      break;
    case FileCreation_t::OpenExisting:
    case FileCreation_t::TruncateExisting:
      break;
    default:
      glo::GLO_Assert(false, GLO_HERE);
  }
  if (Has(static_cast<std::uint32_t>(flags), static_cast<std::uint32_t>(FileFlags_t::WriteThrough))) result |= O_DSYNC;
  if (Has(static_cast<std::uint32_t>(flags), static_cast<std::uint32_t>(FileFlags_t::Append))) result |= O_APPEND;
  return result;
}

[[noreturn]] void Fail()
{
  throw FileError_t(GLO_HERE, std::u16string());
}

}  // namespace

long long WIN_DescriptorSize(NativeHandle_t fd) noexcept
{
  struct stat status;
  if (::fstat(fd, &status) != 0) return -1;
  if (S_ISREG(status.st_mode)) return status.st_size;
  // A block device tells its size only by its end.
  const off_t here = ::lseek(fd, 0, SEEK_CUR);
  if (here < 0) return -1;
  const off_t end = ::lseek(fd, 0, SEEK_END);
  if (end < 0 || ::lseek(fd, here, SEEK_SET) < 0) return -1;
  return end;
}

File_t::~File_t()
{
  try {
    Close();
  } catch (...) {
  }
}

void File_t::Open(const std::u16string& path, FileAccess_t access, FileCreation_t creation, FileFlags_t flags,
                  FileShare_t share)
{
  glo::GLO_Assert(!IsOpen(), GLO_HERE);
  const std::string name = WIN_SystemPath(path);
  Handle_t file(WIN_OpenPath(name, OpenFlags(access, creation, flags), 0666));
  // A pipe without a reader.
  if (!file.IsValid() && errno == ENXIO) WIN_ThrowFileError(GLO_HERE, EINVAL, path);
  if (!file.IsValid()) throw FileError_t(GLO_HERE, path);
  // A file this open made is a new, empty, regular one: no need to ask (a
  // request to the card on file systems without an attribute cache).
  struct stat status {};
  if (creation != FileCreation_t::CreateNew) {
    if (::fstat(file.Get(), &status) != 0) throw FileError_t(GLO_HERE, path);
    if (S_ISDIR(status.st_mode)) WIN_ThrowFileError(GLO_HERE, EISDIR, path);
    if (!S_ISREG(status.st_mode)) WIN_ThrowFileError(GLO_HERE, EINVAL, path);
  }
  const int modes = ::fcntl(file.Get(), F_GETFL);
  if (modes < 0 || ::fcntl(file.Get(), F_SETFL, modes & ~O_NONBLOCK) != 0) throw FileError_t(GLO_HERE, path);
  if (!Admit(file.Get(), access, share)) WIN_ThrowFileError(GLO_HERE, EWOULDBLOCK, path);
  // A file already empty is left alone: ext4 takes any truncation to 0 for
  // a file being replaced and writes the file out at its close.
  if ((creation == FileCreation_t::CreateAlways || creation == FileCreation_t::TruncateExisting) &&
      status.st_size != 0 && ::ftruncate(file.Get(), 0) != 0)
    throw FileError_t(GLO_HERE, path);
  if (Has(static_cast<std::uint32_t>(flags), static_cast<std::uint32_t>(FileFlags_t::SequentialScan)))
    ::posix_fadvise(file.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
  handle_ = std::move(file);
  access_ = access;
  path_ = path;
}

std::uint64_t File_t::Size() const
{
  const long long size = WIN_DescriptorSize(handle_.Get());
  if (size < 0) Fail();
  return static_cast<std::uint64_t>(size);
}

std::uint64_t File_t::Seek(std::int64_t distance, SeekFrom_t from)
{
  int whence = SEEK_SET;
  switch (from) {
    case SeekFrom_t::Begin:
      whence = SEEK_SET;
      break;
    case SeekFrom_t::Current:
      whence = SEEK_CUR;
      break;
    case SeekFrom_t::End:
      whence = SEEK_END;
      break;
    default:
      glo::GLO_Assert(false, GLO_HERE);
  }
  const off_t position = ::lseek(handle_.Get(), static_cast<off_t>(distance), whence);
  if (position < 0) Fail();
  return static_cast<std::uint64_t>(position);
}

void File_t::SetEnd()
{
  const off_t position = ::lseek(handle_.Get(), 0, SEEK_CUR);
  if (position < 0 || ::ftruncate(handle_.Get(), position) != 0) Fail();
}

void File_t::Truncate()
{
  Seek(0, SeekFrom_t::Begin);
  SetEnd();
}

std::size_t File_t::Read(void* bytes, std::size_t count)
{
  auto* next = static_cast<char*>(bytes);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = WIN_Retry([&] { return ::read(handle_.Get(), next + done, count - done); });
    if (got < 0) Fail();
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

std::size_t File_t::Write(const void* bytes, std::size_t count)
{
  glo::GLO_Assert(CanWrite(), GLO_HERE);
  const auto* next = static_cast<const char*>(bytes);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t wrote = WIN_Retry([&] { return ::write(handle_.Get(), next + done, count - done); });
    if (wrote < 0) Fail();
    if (wrote == 0) {
      errno = ENOSPC;
      Fail();
    }
    done += static_cast<std::size_t>(wrote);
  }
  return done;
}

void File_t::Flush()
{
  glo::GLO_Assert(CanWrite(), GLO_HERE);
  // Pipes and character devices keep nothing that could be made durable.
  if (::fdatasync(handle_.Get()) != 0 && errno != EINVAL) Fail();
}

void File_t::Close()
{
  if (!IsOpen()) return;
  // Closed on the way out, also when the flush fails.
  const Handle_t file(std::move(handle_));
  if (CanWrite() && ::fdatasync(file.Get()) != 0 && errno != EINVAL) Fail();
}

void File_t::CloseWithoutFlush()
{
  if (!IsOpen()) return;
  // A failed close has closed the descriptor all the same.
  if (::close(handle_.Release()) != 0 && errno != EINTR) throw FileError_t(GLO_HERE, path_);
}

bool File_t::CanWrite() const noexcept
{
  return Has(static_cast<std::uint32_t>(access_), static_cast<std::uint32_t>(FileAccess_t::Write));
}

}  // namespace win
