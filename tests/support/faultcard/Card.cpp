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
#include <vector>

namespace faultcard {
namespace {

int Descriptor(const fuse_file_info* fi)
{
  return static_cast<int>(fi->fh);
}

// The errno of a call that returned a negative value, else 0.
int ErrnoOf(int result)
{
  return result < 0 ? errno : 0;
}

// The flags a file is opened with. With the writeback cache the kernel
// reads around partial pages of any open file, so a file opened to write
// only is opened to read too where that is allowed; and appending is the
// kernel's, at the size it knows.
int OpenFlags(int flags, bool writeback)
{
  flags = (flags & ~O_NOFOLLOW) | O_CLOEXEC;
  if (!writeback) return flags;
  flags &= ~O_APPEND;
  return (flags & O_ACCMODE) == O_WRONLY ? (flags & ~O_ACCMODE) | O_RDWR : flags;
}

// Opens with the flags above, and with the caller's own access mode where
// reading too is refused.
template <typename OpenCall>
int OpenWith(int flags, bool writeback, OpenCall open)
{
  const int wanted = OpenFlags(flags, writeback);
  const int fd = open(wanted);
  if (fd >= 0 || errno != EACCES || (wanted & O_ACCMODE) == (flags & O_ACCMODE)) return fd;
  return open((wanted & ~O_ACCMODE) | (flags & O_ACCMODE));
}

}  // namespace

// A folder being listed, with the entry that did not fit the last answer.
struct Card::Folder {
  explicit Folder(DIR* opened) : dir(opened) {}
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  ~Folder() { ::closedir(dir); }

  DIR* dir;
  off_t offset = 0;
  dirent* pending = nullptr;
};

// The C entry points FUSE calls, each handing over to the card.
struct Card::Calls {
  static Card& Self(fuse_req_t req) { return *static_cast<Card*>(fuse_req_userdata(req)); }

  static void Init(void* card, fuse_conn_info* conn) { static_cast<Card*>(card)->Init(conn); }
  static void Lookup(fuse_req_t req, fuse_ino_t parent, const char* name) { Self(req).Lookup(req, parent, name); }
  static void Forget(fuse_req_t req, fuse_ino_t ino, std::uint64_t lookups)
  {
    Self(req).Forget(ino, lookups);
    fuse_reply_none(req);
  }
  static void ForgetMulti(fuse_req_t req, std::size_t count, fuse_forget_data* forgets)
  {
    for (std::size_t i = 0; i < count; ++i) Self(req).Forget(forgets[i].ino, forgets[i].nlookup);
    fuse_reply_none(req);
  }
  static void Getattr(fuse_req_t req, fuse_ino_t ino, fuse_file_info* fi) { Self(req).Getattr(req, ino, fi); }
  static void Setattr(fuse_req_t req, fuse_ino_t ino, struct stat* attr, int set, fuse_file_info* fi)
  {
    Self(req).Setattr(req, ino, attr, set, fi);
  }
  static void Readlink(fuse_req_t req, fuse_ino_t ino) { Self(req).Readlink(req, ino); }
  static void Mkdir(fuse_req_t req, fuse_ino_t parent, const char* name, mode_t mode) { Self(req).Mkdir(req, parent, name, mode); }
  static void Symlink(fuse_req_t req, const char* target, fuse_ino_t parent, const char* name)
  {
    Self(req).Symlink(req, target, parent, name);
  }
  static void Unlink(fuse_req_t req, fuse_ino_t parent, const char* name) { Self(req).Unlink(req, parent, name); }
  static void Rmdir(fuse_req_t req, fuse_ino_t parent, const char* name) { Self(req).Rmdir(req, parent, name); }
  static void Rename(fuse_req_t req, fuse_ino_t parent, const char* name, fuse_ino_t newParent, const char* newName,
                     unsigned int flags)
  {
    Self(req).Rename(req, parent, name, newParent, newName, flags);
  }
  static void Open(fuse_req_t req, fuse_ino_t ino, fuse_file_info* fi) { Self(req).Open(req, ino, fi); }
  static void Create(fuse_req_t req, fuse_ino_t parent, const char* name, mode_t mode, fuse_file_info* fi)
  {
    Self(req).Create(req, parent, name, mode, fi);
  }
  static void Read(fuse_req_t req, fuse_ino_t, std::size_t size, off_t offset, fuse_file_info* fi)
  {
    Self(req).Read(req, size, offset, fi);
  }
  static void Write(fuse_req_t req, fuse_ino_t, const char* buffer, std::size_t size, off_t offset, fuse_file_info* fi)
  {
    Self(req).Write(req, buffer, size, offset, fi);
  }
  // What closing the backing file would report, as a close on the card does.
  static void Flush(fuse_req_t req, fuse_ino_t, fuse_file_info* fi)
  {
    fuse_reply_err(req, ErrnoOf(::close(::dup(Descriptor(fi)))));
  }
  static void Release(fuse_req_t req, fuse_ino_t, fuse_file_info* fi)
  {
    ::close(Descriptor(fi));
    fuse_reply_err(req, 0);
  }
  static void Fsync(fuse_req_t req, fuse_ino_t, int dataOnly, fuse_file_info* fi)
  {
    fuse_reply_err(req, ErrnoOf(dataOnly ? ::fdatasync(Descriptor(fi)) : ::fsync(Descriptor(fi))));
  }
  static void Statfs(fuse_req_t req, fuse_ino_t) { Self(req).Statfs(req); }
  static void Opendir(fuse_req_t req, fuse_ino_t ino, fuse_file_info* fi) { Self(req).Opendir(req, ino, fi); }
  static void Readdir(fuse_req_t req, fuse_ino_t, std::size_t size, off_t offset, fuse_file_info* fi)
  {
    Self(req).Readdir(req, size, offset, fi);
  }
  static void Releasedir(fuse_req_t req, fuse_ino_t, fuse_file_info* fi) { Self(req).Releasedir(req, fi); }
};

Card::Card(const CardSettings& settings) : settings_(settings)
{
  settings_.backing = std::filesystem::absolute(settings_.backing).string();
  settings_.mountPoint = std::filesystem::absolute(settings_.mountPoint).string();
  root_.fd = ::open(settings_.backing.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (root_.fd < 0) throw std::runtime_error("cannot open the backing folder " + settings_.backing + ": " + std::strerror(errno));
  used_ = UnitsInUse();
}

Card::~Card()
{
  for (const auto& [key, node] : nodes_) ::close(node->fd);
  ::close(root_.fd);
}

const fuse_lowlevel_ops& Card::Operations()
{
  static const fuse_lowlevel_ops operations = [] {
    fuse_lowlevel_ops ops{};
    ops.init = Calls::Init;
    ops.lookup = Calls::Lookup;
    ops.forget = Calls::Forget;
    ops.forget_multi = Calls::ForgetMulti;
    ops.getattr = Calls::Getattr;
    ops.setattr = Calls::Setattr;
    ops.readlink = Calls::Readlink;
    ops.mkdir = Calls::Mkdir;
    ops.symlink = Calls::Symlink;
    ops.unlink = Calls::Unlink;
    ops.rmdir = Calls::Rmdir;
    ops.rename = Calls::Rename;
    ops.open = Calls::Open;
    ops.create = Calls::Create;
    ops.read = Calls::Read;
    ops.write = Calls::Write;
    ops.flush = Calls::Flush;
    ops.release = Calls::Release;
    ops.fsync = Calls::Fsync;
    ops.statfs = Calls::Statfs;
    ops.opendir = Calls::Opendir;
    ops.readdir = Calls::Readdir;
    ops.releasedir = Calls::Releasedir;
    return ops;
  }();
  return operations;
}

void Card::Init(fuse_conn_info* conn)
{
  // Requests of 128 KiB at most, about what a USB card reader takes at once.
  conn->max_write = 128 * 1024;
  if (!settings_.writebackCache) return;
  if (conn->capable & FUSE_CAP_WRITEBACK_CACHE) {
    conn->want |= FUSE_CAP_WRITEBACK_CACHE;
    writeback_ = true;
  } else {
    std::fprintf(stderr, "velmora-faultcard: the kernel offers no writeback cache\n");
  }
}

Card::Node& Card::NodeOf(fuse_ino_t ino) noexcept
{
  return ino == FUSE_ROOT_ID ? root_ : *reinterpret_cast<Node*>(ino);
}

std::string Card::PathOf(const Node& node)
{
  return "/proc/self/fd/" + std::to_string(node.fd);
}

int Card::Entry(fuse_ino_t parent, const char* name, fuse_entry_param* entry)
{
  const int fd = ::openat(NodeOf(parent).fd, name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return errno;
  *entry = {};
  if (::fstatat(fd, "", &entry->attr, AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW) != 0) {
    const int error = errno;
    ::close(fd);
    return error;
  }
  const std::pair<dev_t, ino_t> key(entry->attr.st_dev, entry->attr.st_ino);
  std::unique_ptr<Node>& node = nodes_[key];
  if (node) {
    ::close(fd);
  } else {
    node = std::make_unique<Node>();
    node->fd = fd;
    node->key = key;
  }
  ++node->lookups;
  Shape(&entry->attr);
  // Nothing cached: changes made in the backing folder show at once.
  entry->ino = reinterpret_cast<fuse_ino_t>(node.get());
  entry->attr_timeout = 0;
  entry->entry_timeout = 0;
  return 0;
}

void Card::Forget(fuse_ino_t ino, std::uint64_t lookups) noexcept
{
  if (ino == FUSE_ROOT_ID) return;
  Node& node = NodeOf(ino);
  node.lookups -= std::min(lookups, node.lookups);
  if (node.lookups > 0) return;
  ::close(node.fd);
  nodes_.erase(node.key);
}

void Card::Shape(struct stat* st) const noexcept
{
  // What the card allocates, not what the backing folder does.
  st->st_blksize = static_cast<blksize_t>(settings_.unit);
  if (S_ISREG(st->st_mode)) st->st_blocks = static_cast<blkcnt_t>(Units(st->st_size) * settings_.unit / 512);
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

std::uint64_t Card::RegularSize(int folder, const char* name) noexcept
{
  struct stat st;
  if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) return 0;
  return static_cast<std::uint64_t>(st.st_size);
}

int Card::CreateRefused() noexcept
{
  return settings_.failAfter && written_ >= *settings_.failAfter ? Fail() : 0;
}

int Card::Fail() noexcept
{
  if (!settings_.vanish) return settings_.failErrno;
  if (!vanished_) {
    vanished_ = true;
    Unmount();
    fuse_session_exit(session_);
  }
  return EIO;
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

void Card::Lookup(fuse_req_t req, fuse_ino_t parent, const char* name)
{
  fuse_entry_param entry;
  if (const int error = Entry(parent, name, &entry)) {
    fuse_reply_err(req, error);
    return;
  }
  fuse_reply_entry(req, &entry);
}

void Card::Getattr(fuse_req_t req, fuse_ino_t ino, fuse_file_info*)
{
  struct stat st;
  if (::fstatat(NodeOf(ino).fd, "", &st, AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW) != 0) {
    fuse_reply_err(req, errno);
    return;
  }
  Shape(&st);
  fuse_reply_attr(req, &st, 0);
}

void Card::Setattr(fuse_req_t req, fuse_ino_t ino, struct stat* attr, int set, fuse_file_info* fi)
{
  const Node& node = NodeOf(ino);
  const std::string path = PathOf(node);
  int result = 0;
  if (set & FUSE_SET_ATTR_MODE)
    result = fi != nullptr ? ::fchmod(Descriptor(fi), attr->st_mode) : ::chmod(path.c_str(), attr->st_mode);
  if (result == 0 && (set & (FUSE_SET_ATTR_UID | FUSE_SET_ATTR_GID))) {
    const uid_t uid = (set & FUSE_SET_ATTR_UID) ? attr->st_uid : static_cast<uid_t>(-1);
    const gid_t gid = (set & FUSE_SET_ATTR_GID) ? attr->st_gid : static_cast<gid_t>(-1);
    result = ::fchownat(node.fd, "", uid, gid, AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW);
  }
  if (result == 0 && (set & FUSE_SET_ATTR_SIZE)) {
    struct stat before;
    result = ::fstatat(node.fd, "", &before, AT_EMPTY_PATH);
    if (result == 0)
      result = fi != nullptr ? ::ftruncate(Descriptor(fi), attr->st_size) : ::truncate(path.c_str(), attr->st_size);
    if (result == 0) Resized(static_cast<std::uint64_t>(before.st_size), static_cast<std::uint64_t>(attr->st_size));
  }
  if (result == 0 && (set & (FUSE_SET_ATTR_ATIME | FUSE_SET_ATTR_MTIME))) {
    struct timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
    if (set & FUSE_SET_ATTR_ATIME_NOW)
      times[0].tv_nsec = UTIME_NOW;
    else if (set & FUSE_SET_ATTR_ATIME)
      times[0] = attr->st_atim;
    if (set & FUSE_SET_ATTR_MTIME_NOW)
      times[1].tv_nsec = UTIME_NOW;
    else if (set & FUSE_SET_ATTR_MTIME)
      times[1] = attr->st_mtim;
    // A link's own times cannot be set through its descriptor; a card
    // keeps none for links anyway.
    struct stat st;
    if (::fstatat(node.fd, "", &st, AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW) == 0 && !S_ISLNK(st.st_mode))
      result = fi != nullptr ? ::futimens(Descriptor(fi), times) : ::utimensat(AT_FDCWD, path.c_str(), times, 0);
  }
  if (result != 0) {
    fuse_reply_err(req, errno);
    return;
  }
  Getattr(req, ino, fi);
}

void Card::Readlink(fuse_req_t req, fuse_ino_t ino)
{
  char target[PATH_MAX + 1];
  const ssize_t length = ::readlinkat(NodeOf(ino).fd, "", target, PATH_MAX);
  if (length < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  target[length] = '\0';
  fuse_reply_readlink(req, target);
}

void Card::Mkdir(fuse_req_t req, fuse_ino_t parent, const char* name, mode_t mode)
{
  fuse_entry_param entry;
  int error = CreateRefused();
  if (error == 0) error = ErrnoOf(::mkdirat(NodeOf(parent).fd, name, mode));
  if (error == 0) error = Entry(parent, name, &entry);
  if (error != 0) {
    fuse_reply_err(req, error);
    return;
  }
  fuse_reply_entry(req, &entry);
}

void Card::Symlink(fuse_req_t req, const char* target, fuse_ino_t parent, const char* name)
{
  fuse_entry_param entry;
  int error = CreateRefused();
  if (error == 0) error = ErrnoOf(::symlinkat(target, NodeOf(parent).fd, name));
  if (error == 0) error = Entry(parent, name, &entry);
  if (error != 0) {
    fuse_reply_err(req, error);
    return;
  }
  fuse_reply_entry(req, &entry);
}

void Card::Unlink(fuse_req_t req, fuse_ino_t parent, const char* name)
{
  const int folder = NodeOf(parent).fd;
  const std::uint64_t size = RegularSize(folder, name);
  const int error = ErrnoOf(::unlinkat(folder, name, 0));
  if (error == 0) Resized(size, 0);
  fuse_reply_err(req, error);
}

void Card::Rmdir(fuse_req_t req, fuse_ino_t parent, const char* name)
{
  fuse_reply_err(req, ErrnoOf(::unlinkat(NodeOf(parent).fd, name, AT_REMOVEDIR)));
}

void Card::Rename(fuse_req_t req, fuse_ino_t parent, const char* name, fuse_ino_t newParent, const char* newName,
                  unsigned int flags)
{
  const int to = NodeOf(newParent).fd;
  const std::uint64_t replaced = (flags & RENAME_EXCHANGE) != 0 ? 0 : RegularSize(to, newName);
  const int error = ErrnoOf(::renameat2(NodeOf(parent).fd, name, to, newName, flags));
  if (error == 0) Resized(replaced, 0);
  fuse_reply_err(req, error);
}

void Card::Open(fuse_req_t req, fuse_ino_t ino, fuse_file_info* fi)
{
  const Node& node = NodeOf(ino);
  const std::string path = PathOf(node);
  struct stat before {};
  if ((fi->flags & O_TRUNC) != 0) ::fstatat(node.fd, "", &before, AT_EMPTY_PATH);
  const int fd = OpenWith(fi->flags, writeback_, [&](int flags) { return ::open(path.c_str(), flags); });
  if (fd < 0) {
    fuse_reply_err(req, errno);
    return;
  }
  if (S_ISREG(before.st_mode)) Resized(static_cast<std::uint64_t>(before.st_size), 0);
  fi->fh = static_cast<std::uint64_t>(fd);
  fi->direct_io = settings_.directIo;
  fuse_reply_open(req, fi);
}

void Card::Create(fuse_req_t req, fuse_ino_t parent, const char* name, mode_t mode, fuse_file_info* fi)
{
  if (const int refused = CreateRefused()) {
    fuse_reply_err(req, refused);
    return;
  }
  const int folder = NodeOf(parent).fd;
  const std::uint64_t truncated = (fi->flags & O_TRUNC) != 0 ? RegularSize(folder, name) : 0;
  const int fd = OpenWith(fi->flags | O_CREAT, writeback_, [&](int flags) { return ::openat(folder, name, flags, mode); });
  fuse_entry_param entry;
  const int error = fd < 0 ? errno : Entry(parent, name, &entry);
  if (error != 0) {
    if (fd >= 0) ::close(fd);
    fuse_reply_err(req, error);
    return;
  }
  Resized(truncated, 0);
  fi->fh = static_cast<std::uint64_t>(fd);
  fi->direct_io = settings_.directIo;
  fuse_reply_create(req, &entry, fi);
}

void Card::Read(fuse_req_t req, std::size_t size, off_t offset, fuse_file_info* fi)
{
  std::vector<char> buffer(size);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(Descriptor(fi), buffer.data() + done, size - done, offset + static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      fuse_reply_err(req, errno);
      return;
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  fuse_reply_buf(req, buffer.data(), done);
}

void Card::Write(fuse_req_t req, const char* buffer, std::size_t size, off_t offset, fuse_file_info* fi)
{
  if (vanished_) {
    fuse_reply_err(req, EIO);
    return;
  }
  // Up to the fault the bytes land; the request that goes beyond it fails.
  std::size_t take = size;
  if (settings_.failAfter) take = std::min<std::uint64_t>(size, *settings_.failAfter - std::min(written_, *settings_.failAfter));
  struct stat st;
  if (::fstat(Descriptor(fi), &st) != 0) {
    fuse_reply_err(req, errno);
    return;
  }
  const auto before = static_cast<std::uint64_t>(st.st_size);
  const std::uint64_t after = std::max(before, static_cast<std::uint64_t>(offset) + take);
  if (used_ + Units(after) - Units(before) > settings_.capacity / settings_.unit) {
    fuse_reply_err(req, ENOSPC);
    return;
  }
  if (take > 0) Throttle(take);
  std::size_t done = 0;
  while (done < take) {
    const ssize_t put = ::pwrite(Descriptor(fi), buffer + done, take - done, offset + static_cast<off_t>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) {
      fuse_reply_err(req, errno);
      return;
    }
    done += static_cast<std::size_t>(put);
  }
  written_ += done;
  Resized(before, after);
  if (take < size)
    fuse_reply_err(req, Fail());
  else
    fuse_reply_write(req, done);
}

void Card::Statfs(fuse_req_t req)
{
  // Counted afresh, so that files put into the backing folder count too.
  used_ = UnitsInUse();
  const std::uint64_t blocks = settings_.capacity / settings_.unit;
  const std::uint64_t available = blocks - std::min(used_, blocks);
  struct statvfs st {};
  st.f_bsize = settings_.unit;
  st.f_frsize = settings_.unit;
  st.f_blocks = blocks;
  st.f_bfree = available;
  st.f_bavail = available;
  st.f_files = blocks;
  st.f_ffree = available;
  st.f_favail = available;
  st.f_namemax = 255;
  fuse_reply_statfs(req, &st);
}

void Card::Opendir(fuse_req_t req, fuse_ino_t ino, fuse_file_info* fi)
{
  const int fd = ::openat(NodeOf(ino).fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
  if (dir == nullptr) {
    const int error = errno;
    if (fd >= 0) ::close(fd);
    fuse_reply_err(req, error);
    return;
  }
  auto folder = std::make_unique<Folder>(dir);
  fi->fh = reinterpret_cast<std::uint64_t>(folder.get());
  folders_.emplace(folder.get(), std::move(folder));
  fuse_reply_open(req, fi);
}

void Card::Releasedir(fuse_req_t req, fuse_file_info* fi)
{
  folders_.erase(reinterpret_cast<const Folder*>(fi->fh));
  fuse_reply_err(req, 0);
}

void Card::Readdir(fuse_req_t req, std::size_t size, off_t offset, fuse_file_info* fi)
{
  Folder& folder = *reinterpret_cast<Folder*>(fi->fh);
  if (offset != folder.offset) {
    ::seekdir(folder.dir, offset);
    folder.pending = nullptr;
    folder.offset = offset;
  }
  std::vector<char> buffer(size);
  std::size_t used = 0;
  for (;;) {
    if (folder.pending == nullptr) {
      errno = 0;
      folder.pending = ::readdir(folder.dir);
      if (folder.pending == nullptr) {
        if (errno != 0 && used == 0) {
          fuse_reply_err(req, errno);
          return;
        }
        break;
      }
    }
    struct stat st {};
    st.st_ino = folder.pending->d_ino;
    st.st_mode = DTTOIF(folder.pending->d_type);
    const off_t next = ::telldir(folder.dir);
    const std::size_t entry = fuse_add_direntry(req, buffer.data() + used, size - used, folder.pending->d_name, &st, next);
    // What does not fit waits for the next call.
    if (entry > size - used) break;
    used += entry;
    folder.pending = nullptr;
    folder.offset = next;
  }
  fuse_reply_buf(req, buffer.data(), used);
}

}  // namespace faultcard
