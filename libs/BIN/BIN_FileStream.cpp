#include "BIN_FileStream.h"

#include <algorithm>
#include <cstring>

#include "FIL_Exceptions.h"

namespace bin {
namespace {

// The file mode of each allowed combination of stream mode bits; -1 for the
// rest.
int FileMode(unsigned mode)
{
  switch (mode & ~(fstream::ate | fstream::binary)) {
    case fstream::in:
      return fil::ModeRead;
    case fstream::out:
    case fstream::out | fstream::trunc:
      return fil::ModeWrite;
    case fstream::out | fstream::app:
      return fil::ModeAppend;
    case fstream::in | fstream::out:
      return fil::ModeReadWrite;
    case fstream::in | fstream::out | fstream::trunc:
      return fil::ModeReadWriteNew;
    case fstream::in | fstream::out | fstream::app:
      return fil::ModeReadWriteAppend;
    default:
      return -1;
  }
}

}  // namespace

bool ReadCache_t::Read(fil::File_t& file, std::uint32_t position, void* buffer, std::uint32_t count)
{
  try {
    if (count >= Size) {
      file.seek(position);
      return file.read(buffer, count) == count;
    }
    const bool cached = length_ != 0 && position >= offset_ && position - offset_ + count <= length_;
    if (!cached) {
      length_ = 0;
      file.seek(position);
      const std::uint32_t wanted = std::min(Size, file.size() - position);
      length_ = file.read(bytes_, wanted);
      offset_ = position;
      if (length_ < count) {
        length_ = 0;
        return false;
      }
    }
    std::memcpy(buffer, bytes_ + (position - offset_), count);
    return true;
  } catch (const fil::FileError_t&) {
    length_ = 0;
    return false;
  }
}

ifstream::ifstream(const std::u16string& path, int share)
{
  try {
    file_.open(path, fil::ModeRead, share);
  } catch (const fil::FileError_t& error) {
    openError_ = error.Code();
    setstate(badbit);
    return;
  }
  if (file_.size() == 0) setstate(eofbit);
}

void ifstream::close()
{
  file_.close();
  getPos_ = 0;
  cache_.Clear();
  reset();
}

bool ifstream::fetch(void* buffer, std::uint32_t count)
{
  if (!cache_.Read(file_, getPos_, buffer, count)) return false;
  getPos_ += count;
  return true;
}

fstream::fstream(const std::u16string& path, unsigned mode, int share)
{
  const int fileMode = FileMode(mode);
  if (fileMode < 0) {
    setstate(badbit);
    return;
  }
  try {
    file_.open(path, fileMode, share);
    if ((mode & ate) != 0) {
      putPos_ = getPos_ = file_.size();
    } else {
      file_.seek(0);
      if (file_.size() == 0) setstate(eofbit);
    }
  } catch (const fil::FileError_t& error) {
    openError_ = error.Code();
    file_.close();
    setstate(badbit);
  }
}

void fstream::close()
{
  file_.close();
  putPos_ = getPos_ = 0;
  cache_.Clear();
  reset();
}

ostream& fstream::seekp(std::uint32_t position)
{
  putPos_ = position;
  return *this;
}

ostream& fstream::write(const void* buffer, std::uint32_t count)
{
  cache_.Clear();
  try {
    file_.seek(putPos_);
    file_.write(buffer, count);
    putPos_ = file_.tell();
  } catch (const fil::FileError_t&) {
    setstate(badbit);
  }
  if (eof() && getPos_ < file_.size()) clear(eofbit);
  return *this;
}

bool fstream::fetch(void* buffer, std::uint32_t count)
{
  if (!cache_.Read(file_, getPos_, buffer, count)) return false;
  getPos_ += count;
  return true;
}

}  // namespace bin
