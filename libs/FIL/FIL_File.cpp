#include "FIL_File.h"

#include <cerrno>

#include "FIL_Exceptions.h"
#include "GLO_Exception.h"
#include "GLO_NarrowTo32.h"
#include "WIN_Error.h"

namespace fil {
namespace {

struct Mode_t {
  win::FileAccess_t access;
  win::FileCreation_t creation;
  win::FileFlags_t flags;
};

Mode_t ModeOf(int mode)
{
  using win::FileAccess_t, win::FileCreation_t, win::FileFlags_t;
  switch (mode) {
    case ModeRead:
      return {FileAccess_t::Read, FileCreation_t::OpenExisting, FileFlags_t::None};
    case ModeWrite:
      return {FileAccess_t::Write, FileCreation_t::CreateAlways, FileFlags_t::None};
    case ModeAppend:
      return {FileAccess_t::Write, FileCreation_t::OpenAlways, FileFlags_t::Append};
    case ModeReadWrite:
      return {FileAccess_t::ReadWrite, FileCreation_t::OpenExisting, FileFlags_t::None};
    case ModeReadWriteNew:
      return {FileAccess_t::ReadWrite, FileCreation_t::CreateAlways, FileFlags_t::None};
    case ModeReadWriteAppend:
      return {FileAccess_t::ReadWrite, FileCreation_t::OpenAlways, FileFlags_t::Append};
    default:
      glo::GLO_Assert(false, GLO_HERE);
      return {};
  }
}

win::FileShare_t ShareOf(int share)
{
  switch (share) {
    case DenyNone:
      return win::FileShare_t::ReadWrite;
    case DenyReadWrite:
      return win::FileShare_t::None;
    case DenyWrite:
      return win::FileShare_t::Read;
    case DenyRead:
      return win::FileShare_t::Write;
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
  const win::FileShare_t sharing = ShareOf(share);
  try {
    file_.Open(path, how.access, how.creation, how.flags, sharing);
  } catch (const win::FileError_t& error) {
    if (error.Code() == static_cast<std::uint32_t>(EWOULDBLOCK)) throw FileInUse_t(GLO_HERE, path);
    throw FileNotFound_t(GLO_HERE, path, error.Code());
  }
  try {
    size_ = glo::GLO_NarrowTo32(Checked([this] { return file_.Size(); }), GLO_HERE);
    const bool appends = how.flags == win::FileFlags_t::Append;
    position_ = appends ? size_ : 0;
    if (!appends) Checked([this] { return file_.Seek(0, win::SeekFrom_t::Begin); });
  } catch (...) {
    close();
    throw;
  }
}

void File_t::close()
{
  const std::u16string path = std::move(path_);
  path_.clear();
  size_ = 0;
  position_ = 0;
  try {
    file_.CloseWithoutFlush();
  } catch (const win::FileError_t& error) {
    throw FileError_t(GLO_HERE, path, error.Code());
  }
}

std::uint64_t File_t::currentSize() const
{
  return Checked([this] { return file_.Size(); });
}

std::uint32_t File_t::read(void* buffer, std::uint32_t count)
{
  const auto done = static_cast<std::uint32_t>(Checked([&] { return file_.Read(buffer, count); }));
  position_ += done;
  return done;
}

void File_t::write(const void* buffer, std::uint32_t count)
{
  const auto access = static_cast<std::uint32_t>(file_.Access());
  if (file_.IsOpen() && (access & static_cast<std::uint32_t>(win::FileAccess_t::Write)) == 0)
    throw FileError_t(GLO_HERE, path_, static_cast<std::uint32_t>(EBADF));
  Checked([&] { return file_.Write(buffer, count); });
  // In the append modes every write lands at the end, wherever the position was.
  position_ = glo::GLO_NarrowTo32(Checked([this] { return file_.Seek(0, win::SeekFrom_t::Current); }), GLO_HERE);
  if (position_ > size_) size_ = position_;
}

std::uint32_t File_t::tell() const
{
  if (!file_.IsOpen()) throw FileError_t(GLO_HERE, path_, static_cast<std::uint32_t>(EBADF));
  return position_;
}

void File_t::skip(std::int64_t offset)
{
  position_ = glo::GLO_NarrowTo32(Checked([&] { return file_.Seek(offset, win::SeekFrom_t::Current); }), GLO_HERE);
}

void File_t::seek(std::uint32_t position)
{
  if (file_.IsOpen() && position == position_) return;
  if (!file_.IsOpen()) throw BadFilePosition_t(GLO_HERE, path_, position);
  try {
    file_.Seek(position, win::SeekFrom_t::Begin);
  } catch (const win::FileError_t&) {
    throw BadFilePosition_t(GLO_HERE, path_, position);
  }
  position_ = position;
}

template <class Operation>
auto File_t::Checked(const Operation& operation) const -> decltype(operation())
{
  if (!file_.IsOpen()) throw FileError_t(GLO_HERE, path_, static_cast<std::uint32_t>(EBADF));
  try {
    return operation();
  } catch (const win::FileError_t& error) {
    throw FileError_t(GLO_HERE, path_, error.Code());
  }
}

}  // namespace fil
