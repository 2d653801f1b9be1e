#include "WIN_ShareMode.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <utility>

namespace win {
namespace {

enum class Mark_t : off_t { Reads = 1, Writes = 2, DeniesReads = 3, DeniesWrites = 4 };

constexpr off_t MarkRange = off_t(1) << 40;  // process ids stay below 2^22
constexpr off_t RangeStart(Mark_t mark)
{
  return static_cast<off_t>(mark) << 41;
}

std::atomic<std::uint32_t> nextMark{0};

// False when the file system keeps no locks.
bool TakeMark(int fd, bool readable, Mark_t mark)
{
  const off_t own = (static_cast<off_t>(::getpid()) << 18) % MarkRange;
  // A byte still held by an opener in another process namespace with the
  // same process id is passed over.
  for (int attempt = 0; attempt < 16; ++attempt) {
    struct flock lock = {};
    lock.l_type = readable ? F_RDLCK : F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = RangeStart(mark) + own + static_cast<off_t>(nextMark++ & 0x3FFFF);
    lock.l_len = 1;
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0) return true;
    if (errno != EAGAIN && errno != EACCES) return false;
  }
  return false;
}

// Whether another opener holds a mark of the kind.
bool OthersHold(int fd, Mark_t mark)
{
  struct flock probe = {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = RangeStart(mark);
  probe.l_len = MarkRange;
  return ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

}  // namespace

bool WIN_AdmitOpener(NativeHandle_t fd, bool reads, bool writes, bool deniesRead, bool deniesWrite)
{
  const std::pair<bool, Mark_t> marks[] = {{reads, Mark_t::Reads},
                                           {writes, Mark_t::Writes},
                                           {deniesRead, Mark_t::DeniesReads},
                                           {deniesWrite, Mark_t::DeniesWrites}};
  for (const auto& [needed, mark] : marks)
    if (needed && !TakeMark(fd, reads, mark)) return true;  // no locks: nothing to enforce
  return !(reads && OthersHold(fd, Mark_t::DeniesReads)) && !(writes && OthersHold(fd, Mark_t::DeniesWrites)) &&
         !(deniesRead && OthersHold(fd, Mark_t::Reads)) && !(deniesWrite && OthersHold(fd, Mark_t::Writes));
}

}  // namespace win
