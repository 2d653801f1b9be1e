#include "WIN_FileMapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "GLO_Exception.h"
#include "WIN_File.h"
#include "WIN_FileSystem.h"

namespace win {

FileMapping_t::FileMapping_t(const File_t& file, MapProtection_t protection, std::uint64_t maximumSize)
    : FileMapping_t(file.Handle(), protection, maximumSize)
{
}

FileMapping_t::FileMapping_t(const Handle_t& file, MapProtection_t protection, std::uint64_t maximumSize)
    : handle_(::fcntl(file.Get(), F_DUPFD_CLOEXEC, 0)), protection_(protection)
{
  if (!handle_.IsValid()) throw MappedFileError_t(GLO_HERE);
  const int flags = ::fcntl(handle_.Get(), F_GETFL);
  if (flags < 0) throw MappedFileError_t(GLO_HERE);
  const bool writable = (flags & O_ACCMODE) == O_RDWR;
  if (protection == MapProtection_t::ReadWrite && !writable) throw MappedFileError_t(GLO_HERE, EACCES);
  const long long fileSize = WIN_DescriptorSize(handle_.Get());
  if (fileSize < 0) throw MappedFileError_t(GLO_HERE);
  size_ = maximumSize != 0 ? maximumSize : static_cast<std::uint64_t>(fileSize);
  if (size_ == 0) throw MappedFileError_t(GLO_HERE, EINVAL);
  if (size_ > static_cast<std::uint64_t>(fileSize)) {
    if (protection == MapProtection_t::ReadOnly) throw MappedFileError_t(GLO_HERE, EINVAL);
    if (::ftruncate(handle_.Get(), static_cast<off_t>(size_)) != 0) throw MappedFileError_t(GLO_HERE);
  }
}

MappedFileView_t::~MappedFileView_t()
{
  if (region_ != nullptr) ::munmap(region_, regionSize_);
}

void MappedFileView_t::Map(const FileMapping_t& mapping, ViewAccess_t access, std::uint64_t offset, std::size_t count)
{
  glo::GLO_Assert(!IsMapped(), GLO_HERE);
  if (offset >= mapping.Size() || count > mapping.Size() - offset) throw Error_t(GLO_HERE, EINVAL);
  if (count == 0) count = static_cast<std::size_t>(mapping.Size() - offset);
  if (access == ViewAccess_t::Write && mapping.Protection() != MapProtection_t::ReadWrite)
    throw Error_t(GLO_HERE, EACCES);

  // The system maps whole pages; the view starts inside the first one.
  const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
  const auto lead = static_cast<std::size_t>(offset % page);
  const int protection = access == ViewAccess_t::Read ? PROT_READ : PROT_READ | PROT_WRITE;
  const int sharing = access == ViewAccess_t::Copy ? MAP_PRIVATE : MAP_SHARED;
  void* region =
      ::mmap(nullptr, count + lead, protection, sharing, mapping.Handle().Get(), static_cast<off_t>(offset - lead));
  if (region == MAP_FAILED) throw Error_t(GLO_HERE);
  region_ = region;
  regionSize_ = count + lead;
  base_ = static_cast<std::byte*>(region) + lead;
  size_ = count;
}

void MappedFileView_t::Unmap()
{
  if (region_ == nullptr) return;
  if (::munmap(region_, regionSize_) != 0) throw Error_t(GLO_HERE);
  region_ = nullptr;
  regionSize_ = 0;
  base_ = nullptr;
  size_ = 0;
}

}  // namespace win
