#include "FIL_ShareLock.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdint>
#include <limits>

namespace fil {
namespace {

// Marker bytes at the top of the offset range, which no data reaches.
constexpr off_t Base = std::numeric_limits<off_t>::max() - 8;
constexpr off_t Reading = Base + 1, Writing = Base + 2, DenyingRead = Base + 3, DenyingWrite = Base + 4;

flock Range(short type, off_t offset)
{
  flock lock{};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = offset;
  lock.l_len = 1;
  return lock;
}

bool Mark(int fd, off_t offset)
{
  flock lock = Range(F_RDLCK, offset);
  return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

void Unmark(int fd, off_t offset)
{
  flock lock = Range(F_UNLCK, offset);
  fcntl(fd, F_OFD_SETLK, &lock);
}

// Whether another opener holds a mark on the byte.
bool Marked(int fd, off_t offset)
{
  flock lock = Range(F_WRLCK, offset);
  return fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
}

}  // namespace

bool FIL_TakeShareMarks(int fd, bool reads, bool writes, bool denyRead, bool denyWrite)
{
  const struct {
    bool taken;
    off_t own;
    off_t conflicting;
  } marks[] = {
      {reads, Reading, DenyingRead},
      {writes, Writing, DenyingWrite},
      {denyRead, DenyingRead, Reading},
      {denyWrite, DenyingWrite, Writing},
  };
  // Marking before checking means two openers that race each see the other,
  // so at worst both are refused, never both admitted.
  for (const auto& mark : marks)
    if (mark.taken) Mark(fd, mark.own);
  bool conflict = false;
  for (const auto& mark : marks) conflict = conflict || (mark.taken && Marked(fd, mark.conflicting));
  if (!conflict) return true;
  for (const auto& mark : marks)
    if (mark.taken) Unmark(fd, mark.own);
  errno = EWOULDBLOCK;
  return false;
}

}  // namespace fil
