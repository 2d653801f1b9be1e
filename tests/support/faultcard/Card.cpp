#include "Card.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace faultcard {
namespace {

// FUSE names files from the card's root ("/a/b"); the backing folder's
// descriptor takes them relative ("a/b", "." for the root).
const char* Relative(const char* path)
{
  return path[1] == '\0' ? "." : path + 1;
}

int Failed()
{
  return -errno;
}

int Status(int result)
{
  return result == 0 ? 0 : -errno;
}

// Opens for reading too where the caller wants to write only: with the
// writeback cache the kernel reads around partial pages of any open file.
// Appending is the kernel's there, at the size it knows.
int OpenAt(int folder, const char* relative, int flags, mode_t mode, bool writeback)
{
  if (!writeback) return ::openat(folder, relative, flags, mode);
  flags &= ~O_APPEND;
  if ((flags & O_ACCMODE) == O_WRONLY) {
    const int fd = ::openat(folder, relative, (flags & ~O_ACCMODE) | O_RDWR, mode);
    if (fd >= 0 || errno != EACCES) return fd;
  }
  return ::openat(folder, relative, flags, mode);
}

int Descriptor(const fuse_file_info* fi)
{
  return static_cast<int>(fi->fh);
}

}  // namespace

// The C entry points FUSE calls, each handing over to the card.
struct Card::Calls {
  static Card& Self() { return *static_cast<Card*>(fuse_get_context()->private_data); }

  static int Getattr(const char* path, struct stat* st, fuse_file_info* fi) { return Self().Getattr(path, st, fi); }
  static int Readlink(const char* path, char* buffer, std::size_t size) { return Self().Readlink(path, buffer, size); }
  static int Mkdir(const char* path, mode_t mode) { return Self().Mkdir(path, mode); }
  static int Unlink(const char* path) { return Self().Unlink(path); }
  static int Rmdir(const char* path) { return Self().Rmdir(path); }
  static int Symlink(const char* target, const char* path) { return Self().Symlink(target, path); }
  static int Rename(const char* from, const char* to, unsigned int flags) { return Self().Rename(from, to, flags); }
  static int Chmod(const char* path, mode_t mode, fuse_file_info* fi) { return Self().Chmod(path, mode, fi); }
  static int Chown(const char* path, uid_t uid, gid_t gid, fuse_file_info* fi) { return Self().Chown(path, uid, gid, fi); }
  static int Truncate(const char* path, off_t size, fuse_file_info* fi) { return Self().Truncate(path, size, fi); }
  static int Utimens(const char* path, const struct timespec times[2], fuse_file_info* fi)
  {
    return Self().Utimens(path, times, fi);
  }
  static int Open(const char* path, fuse_file_info* fi) { return Self().Open(path, fi, false, 0); }
  static int Create(const char* path, mode_t mode, fuse_file_info* fi) { return Self().Open(path, fi, true, mode); }
  static int Read(const char*, char* buffer, std::size_t size, off_t offset, fuse_file_info* fi)
  {
    return Self().Read(buffer, size, offset, fi);
  }
  static int Write(const char*, const char* buffer, std::size_t size, off_t offset, fuse_file_info* fi)
  {
    return Self().Write(buffer, size, offset, fi);
  }
  static int Statfs(const char*, struct statvfs* st) { return Self().Statfs(st); }
  // What closing the backing file would report, as a close on the card does.
  static int Flush(const char*, fuse_file_info* fi) { return Status(::close(::dup(Descriptor(fi)))); }
  static int Release(const char*, fuse_file_info* fi) { return Status(::close(Descriptor(fi))); }
  static int Fsync(const char*, int dataOnly, fuse_file_info* fi)
  {
    return Status(dataOnly ? ::fdatasync(Descriptor(fi)) : ::fsync(Descriptor(fi)));
  }
  static int Opendir(const char* path, fuse_file_info* fi) { return Self().Opendir(path, fi); }
  static int Readdir(const char*, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info* fi, fuse_readdir_flags)
  {
    return Self().Readdir(buffer, fill, fi);
  }
  static int Releasedir(const char*, fuse_file_info* fi) { return Status(::closedir(reinterpret_cast<DIR*>(fi->fh))); }
  static void* Init(fuse_conn_info* conn, fuse_config* config) { return Self().Init(conn, config); }
};

Card::Card(const CardSettings& settings) : settings_(settings)
{
  settings_.mountPoint = std::filesystem::absolute(settings_.mountPoint).string();
  backing_ = ::open(settings_.backing.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (backing_ < 0) throw std::runtime_error("cannot open the backing folder " + settings_.backing + ": " + std::strerror(errno));
  used_ = UnitsInUse();
}

Card::~Card()
{
  ::close(backing_);
}

const fuse_operations& Card::Operations()
{
  static const fuse_operations operations = [] {
    fuse_operations ops{};
    ops.getattr = Calls::Getattr;
    ops.readlink = Calls::Readlink;
    ops.mkdir = Calls::Mkdir;
    ops.unlink = Calls::Unlink;
    ops.rmdir = Calls::Rmdir;
    ops.symlink = Calls::Symlink;
    ops.rename = Calls::Rename;
    ops.chmod = Calls::Chmod;
    ops.chown = Calls::Chown;
    ops.truncate = Calls::Truncate;
    ops.open = Calls::Open;
    ops.read = Calls::Read;
    ops.write = Calls::Write;
    ops.statfs = Calls::Statfs;
    ops.flush = Calls::Flush;
    ops.release = Calls::Release;
    ops.fsync = Calls::Fsync;
    ops.opendir = Calls::Opendir;
    ops.readdir = Calls::Readdir;
    ops.releasedir = Calls::Releasedir;
    ops.init = Calls::Init;
    ops.create = Calls::Create;
    ops.utimens = Calls::Utimens;
    return ops;
  }();
  return operations;
}

void* Card::Init(fuse_conn_info* conn, fuse_config* config)
{
  // Changes made beside the card, in the backing folder, show at once...
  config->entry_timeout = 0;
  config->attr_timeout = 0;
  config->negative_timeout = 0;
  // ...and a removed file goes at once, as on a card, not to a hidden name:
  // open files are reached through their descriptors, without a path.
  config->hard_remove = 1;
  config->nullpath_ok = 1;
  // Requests of 128 KiB at most, about what a USB card reader takes at once.
  conn->max_write = 128 * 1024;
  if (conn->capable & FUSE_CAP_WRITEBACK_CACHE) {
    conn->want |= FUSE_CAP_WRITEBACK_CACHE;
    writeback_ = true;
  } else {
    std::fprintf(stderr, "velmora-faultcard: the kernel offers no writeback cache\n");
  }
  return this;
}

std::uint64_t Card::UnitsInUse() const
{
  std::uint64_t units = 0;
  std::error_code error;
  for (std::filesystem::recursive_directory_iterator it(settings_.backing, error), end; !error && it != end; it.increment(error)) {
    std::error_code ignored;
    if (it->symlink_status(ignored).type() != std::filesystem::file_type::regular) continue;
    const std::uintmax_t size = it->file_size(ignored);
    if (!ignored) units += Units(size);
  }
  return units;
}

void Card::Resized(std::uint64_t from, std::uint64_t to) noexcept
{
  used_ = used_ + Units(to) - std::min(Units(from), used_ + Units(to));
}

std::uint64_t Card::RegularSize(const char* relative) const noexcept
{
  struct stat st;
  if (::fstatat(backing_, relative, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) return 0;
  return static_cast<std::uint64_t>(st.st_size);
}

int Card::CreateRefused() noexcept
{
  return settings_.failAfter && written_ >= *settings_.failAfter ? Fail() : 0;
}

int Card::Fail() noexcept
{
  if (!settings_.vanish) return -settings_.failErrno;
  if (!vanished_) {
    vanished_ = true;
    Unmount();
    fuse_exit(fuse_get_context()->fuse);
  }
  return -EIO;
}

void Card::Unmount() noexcept
{
  // Lazily, before the failed request is answered: whatever the program
  // does after seeing the failure finds the bare folder.
  const char* mountPoint = settings_.mountPoint.c_str();
  if (::geteuid() == 0) {
    if (::umount2(mountPoint, MNT_DETACH) != 0) std::fprintf(stderr, "velmora-faultcard: cannot unmount: %s\n", std::strerror(errno));
    return;
  }
  char program[] = "fusermount3";
  char unmount[] = "-uqz";
  char end[] = "--";
  char* arguments[] = {program, unmount, end, const_cast<char*>(mountPoint), nullptr};
  pid_t child = 0;
  int status = 0;
  if (::posix_spawnp(&child, program, nullptr, nullptr, arguments, environ) != 0 || ::waitpid(child, &status, 0) != child ||
      status != 0)
    std::fprintf(stderr, "velmora-faultcard: fusermount3 cannot unmount the card\n");
}

void Card::Throttle(std::uint64_t bytes)
{
  if (settings_.rate == 0) return;
  // Each write starts no sooner than the bytes before it allow, so what has
  // landed by any moment is at most the rate's worth plus one request.
  const auto now = std::chrono::steady_clock::now();
  if (nextWrite_ < now) nextWrite_ = now;
  std::this_thread::sleep_until(nextWrite_);
  nextWrite_ += std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(static_cast<double>(bytes) / static_cast<double>(settings_.rate)));
}

int Card::Getattr(const char* path, struct stat* st, fuse_file_info* fi)
{
  const int result = fi != nullptr ? ::fstat(Descriptor(fi), st) : ::fstatat(backing_, Relative(path), st, AT_SYMLINK_NOFOLLOW);
  if (result != 0) return Failed();
  // What the card allocates, not what the backing folder does.
  st->st_blksize = static_cast<blksize_t>(settings_.unit);
  if (S_ISREG(st->st_mode)) st->st_blocks = static_cast<blkcnt_t>(Units(st->st_size) * settings_.unit / 512);
  return 0;
}

int Card::Readlink(const char* path, char* buffer, std::size_t size)
{
  const ssize_t length = ::readlinkat(backing_, Relative(path), buffer, size - 1);
  if (length < 0) return Failed();
  buffer[length] = '\0';
  return 0;
}

int Card::Mkdir(const char* path, mode_t mode)
{
  if (const int refused = CreateRefused()) return refused;
  return Status(::mkdirat(backing_, Relative(path), mode));
}

int Card::Unlink(const char* path)
{
  const std::uint64_t size = RegularSize(Relative(path));
  if (::unlinkat(backing_, Relative(path), 0) != 0) return Failed();
  Resized(size, 0);
  return 0;
}

int Card::Rmdir(const char* path)
{
  return Status(::unlinkat(backing_, Relative(path), AT_REMOVEDIR));
}

int Card::Symlink(const char* target, const char* path)
{
  if (const int refused = CreateRefused()) return refused;
  return Status(::symlinkat(target, backing_, Relative(path)));
}

int Card::Rename(const char* from, const char* to, unsigned int flags)
{
  const std::uint64_t replaced = (flags & RENAME_EXCHANGE) != 0 ? 0 : RegularSize(Relative(to));
  if (::renameat2(backing_, Relative(from), backing_, Relative(to), flags) != 0) return Failed();
  Resized(replaced, 0);
  return 0;
}

int Card::Chmod(const char* path, mode_t mode, fuse_file_info* fi)
{
  return Status(fi != nullptr ? ::fchmod(Descriptor(fi), mode) : ::fchmodat(backing_, Relative(path), mode, 0));
}

int Card::Chown(const char* path, uid_t uid, gid_t gid, fuse_file_info* fi)
{
  return Status(fi != nullptr ? ::fchown(Descriptor(fi), uid, gid)
                              : ::fchownat(backing_, Relative(path), uid, gid, AT_SYMLINK_NOFOLLOW));
}

int Card::Truncate(const char* path, off_t size, fuse_file_info* fi)
{
  const int fd = fi != nullptr ? Descriptor(fi) : ::openat(backing_, Relative(path), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return Failed();
  struct stat st;
  int result = ::fstat(fd, &st);
  if (result == 0) result = ::ftruncate(fd, size);
  const int error = errno;
  if (result == 0) Resized(static_cast<std::uint64_t>(st.st_size), static_cast<std::uint64_t>(size));
  if (fi == nullptr) ::close(fd);
  return result == 0 ? 0 : -error;
}

int Card::Utimens(const char* path, const struct timespec times[2], fuse_file_info* fi)
{
  return Status(fi != nullptr ? ::futimens(Descriptor(fi), times)
                              : ::utimensat(backing_, Relative(path), times, AT_SYMLINK_NOFOLLOW));
}

int Card::Open(const char* path, fuse_file_info* fi, bool create, mode_t mode)
{
  if (create) {
    if (const int refused = CreateRefused()) return refused;
  }
  const std::uint64_t truncated = (fi->flags & O_TRUNC) != 0 ? RegularSize(Relative(path)) : 0;
  const int fd = OpenAt(backing_, Relative(path), fi->flags | (create ? O_CREAT : 0) | O_CLOEXEC, mode, writeback_);
  if (fd < 0) return Failed();
  Resized(truncated, 0);
  fi->fh = static_cast<std::uint64_t>(fd);
  return 0;
}

int Card::Read(char* buffer, std::size_t size, off_t offset, fuse_file_info* fi)
{
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(Descriptor(fi), buffer + done, size - done, offset + static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Failed();
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<int>(done);
}

int Card::Write(const char* buffer, std::size_t size, off_t offset, fuse_file_info* fi)
{
  if (vanished_) return -EIO;
  // Up to the fault the bytes land; the request that goes beyond it fails.
  std::size_t take = size;
  if (settings_.failAfter) take = std::min<std::uint64_t>(size, *settings_.failAfter - std::min(written_, *settings_.failAfter));
  struct stat st;
  if (::fstat(Descriptor(fi), &st) != 0) return Failed();
  const auto before = static_cast<std::uint64_t>(st.st_size);
  const std::uint64_t after = std::max(before, static_cast<std::uint64_t>(offset) + take);
  if (used_ + Units(after) - Units(before) > settings_.capacity / settings_.unit) return -ENOSPC;
  if (take > 0) Throttle(take);
  std::size_t done = 0;
  while (done < take) {
    const ssize_t put = ::pwrite(Descriptor(fi), buffer + done, take - done, offset + static_cast<off_t>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return Failed();
    done += static_cast<std::size_t>(put);
  }
  written_ += done;
  Resized(before, after);
  if (take < size) return Fail();
  return static_cast<int>(done);
}

int Card::Statfs(struct statvfs* st)
{
  // Counted afresh, so that files put into the backing folder count too.
  used_ = UnitsInUse();
  const std::uint64_t blocks = settings_.capacity / settings_.unit;
  const std::uint64_t available = blocks - std::min(used_, blocks);
  *st = {};
  st->f_bsize = settings_.unit;
  st->f_frsize = settings_.unit;
  st->f_blocks = blocks;
  st->f_bfree = available;
  st->f_bavail = available;
  st->f_files = blocks;
  st->f_ffree = available;
  st->f_favail = available;
  st->f_namemax = 255;
  return 0;
}

int Card::Opendir(const char* path, fuse_file_info* fi)
{
  const int fd = ::openat(backing_, Relative(path), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Failed();
  DIR* folder = ::fdopendir(fd);
  if (folder == nullptr) {
    const int error = errno;
    ::close(fd);
    return -error;
  }
  fi->fh = reinterpret_cast<std::uint64_t>(folder);
  return 0;
}

int Card::Readdir(void* buffer, fuse_fill_dir_t fill, fuse_file_info* fi)
{
  // The whole listing at once (FUSE keeps it for the offsets), from the
  // start every time it asks again.
  DIR* folder = reinterpret_cast<DIR*>(fi->fh);
  ::rewinddir(folder);
  errno = 0;
  while (const dirent* entry = ::readdir(folder)) {
    struct stat st {};
    st.st_ino = entry->d_ino;
    st.st_mode = DTTOIF(entry->d_type);
    if (fill(buffer, entry->d_name, &st, 0, fuse_fill_dir_flags{}) != 0) return -ENOMEM;
  }
  return -errno;
}

}  // namespace faultcard
