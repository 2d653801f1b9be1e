#include "CardFile.h"

#include <fcntl.h>

namespace cli {

CardFile_t::CardFile_t(const std::u16string& path)
{
  file_.Open(path, win::FileAccess_t::Read, win::FileCreation_t::OpenExisting, win::FileFlags_t::SequentialScan);
  // Only advice: a file system that ignores it is read as it is.
  ::posix_fadvise(file_.Handle().Get(), 0, 0, POSIX_FADV_DONTNEED);
}

}  // namespace cli
