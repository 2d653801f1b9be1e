#include "FIL_File.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "FIL_Exceptions.h"
#include "GLO_Exception.h"
#include "GLO_NarrowTo32.h"
#include "GLO_Text.h"
#include "WIN_ShareMode.h"

namespace fil {
namespace {

struct Mode_t {
  int flags;  // without O_TRUNC: emptying waits for the share modes
  bool truncates;
  bool appends;
};

Mode_t ModeOf(int mode)
{
  switch (mode) {
    case ModeRead:
      return {O_RDONLY, false, false};
    case ModeWrite:
      return {O_WRONLY | O_CREAT, true, false};
    case ModeAppend:
      return {O_WRONLY | O_CREAT | O_APPEND, false, true};
    case ModeReadWrite:
      return {O_RDWR, false, false};
    case ModeReadWriteNew:
      return {O_RDWR | O_CREAT, true, false};
    case ModeReadWriteAppend:
      return {O_RDWR | O_CREAT | O_APPEND, false, true};
    default:
      glo::GLO_Assert(false, GLO_HERE);
      return {};
  }
}

}  // namespace

File_t::~File_t()
{
  try {
    close();
  } catch (...) {
  }
}

void File_t::open(const std::u16string& path, int mode, int share)
{
  close();
  path_ = path;
  const Mode_t how = ModeOf(mode);
  glo::GLO_Assert(share >= DenyNone && share <= DenyRead, GLO_HERE);
  const std::string name = glo::GLO_ToNarrow(path, glo::CodePageUtf8);
  handle_.Reset(::open(name.c_str(), how.flags | O_CLOEXEC, 0666));
  if (!handle_.IsValid()) throw FileNotFound_t(GLO_HERE, path);

  const bool reads = (how.flags & O_ACCMODE) != O_WRONLY;
  const bool writes = (how.flags & O_ACCMODE) != O_RDONLY;
  if (!win::WIN_AdmitOpener(handle_.Get(), reads, writes, share == DenyReadWrite || share == DenyRead,
                            share == DenyReadWrite || share == DenyWrite)) {
    close();
    throw FileInUse_t(GLO_HERE, path);
  }
  if (how.truncates && ::ftruncate(handle_.Get(), 0) != 0) {
    close();
    throw FileError_t(GLO_HERE, path);
  }
  const off_t end = ::lseek(handle_.Get(), 0, SEEK_END);
  if (end < 0) {
    close();
    throw FileError_t(GLO_HERE, path);
  }
  try {
    size_ = glo::GLO_NarrowTo32(static_cast<std::uint64_t>(end), GLO_HERE);
  } catch (...) {
    close();
    throw;
  }
  position_ = size_;
  if (!how.appends) {
    if (::lseek(handle_.Get(), 0, SEEK_SET) != 0) {
      close();
      throw FileError_t(GLO_HERE, path);
    }
    position_ = 0;
  }
}

void File_t::close()
{
  handle_.Reset();
  size_ = 0;
  position_ = 0;
  path_.clear();
}

std::uint32_t File_t::read(void* buffer, std::uint32_t count)
{
  auto* bytes = static_cast<unsigned char*>(buffer);
  std::uint32_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(handle_.Get(), bytes + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw FileError_t(GLO_HERE, path_);
    if (got == 0) break;
    done += static_cast<std::uint32_t>(got);
  }
  position_ += done;
  return done;
}

void File_t::write(const void* buffer, std::uint32_t count)
{
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  std::uint32_t done = 0;
  while (done < count) {
    const ssize_t wrote = ::write(handle_.Get(), bytes + done, count - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) throw FileError_t(GLO_HERE, path_);
    done += static_cast<std::uint32_t>(wrote);
  }
  // In the append modes every write lands at the end, wherever the position was.
  const off_t now = ::lseek(handle_.Get(), 0, SEEK_CUR);
  if (now < 0) throw FileError_t(GLO_HERE, path_);
  position_ = glo::GLO_NarrowTo32(static_cast<std::uint64_t>(now), GLO_HERE);
  if (position_ > size_) size_ = position_;
}

std::uint32_t File_t::tell() const
{
  if (!handle_.IsValid()) throw FileError_t(GLO_HERE, path_);
  return position_;
}

void File_t::skip(std::int64_t offset)
{
  const off_t now = ::lseek(handle_.Get(), static_cast<off_t>(offset), SEEK_CUR);
  if (now < 0) throw FileError_t(GLO_HERE, path_);
  position_ = glo::GLO_NarrowTo32(static_cast<std::uint64_t>(now), GLO_HERE);
}

void File_t::seek(std::uint32_t position)
{
  if (handle_.IsValid() && position == position_) return;
  if (::lseek(handle_.Get(), static_cast<off_t>(position), SEEK_SET) < 0)
    throw BadFilePosition_t(GLO_HERE, path_, position);
  position_ = position;
}

}  // namespace fil
