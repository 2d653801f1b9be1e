#pragma once
// The fault card's file system: the backing folder passed through, with
// the card's own allocation unit and capacity in statfs, a write limit,
// and the fault. Every operation runs on the one thread of the FUSE loop,
// so the card keeps its counts without locks.

#define FUSE_USE_VERSION 31
#include <fuse.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "CardSettings.h"

namespace faultcard {

class Card {
 public:
  // Opens the backing folder and counts what its files take; throws
  // std::runtime_error when it cannot.
  explicit Card(const CardSettings& settings);
  Card(const Card&) = delete;
  Card& operator=(const Card&) = delete;
  ~Card();

  // The operations to give fuse_new, with this card as its user data.
  static const fuse_operations& Operations();

  // The card has vanished: it is unmounted already, and the FUSE loop was
  // told to end.
  bool Vanished() const noexcept { return vanished_; }
  std::uint64_t Written() const noexcept { return written_; }

 private:
  struct Calls;

  std::uint64_t Units(std::uint64_t bytes) const noexcept { return (bytes + settings_.unit - 1) / settings_.unit; }
  // Units the backing files take, each rounded up on its own.
  std::uint64_t UnitsInUse() const;
  // A file went from one size to another (0 when it came or went).
  void Resized(std::uint64_t from, std::uint64_t to) noexcept;
  // The size of the regular file at a path, 0 for anything else.
  std::uint64_t RegularSize(const char* relative) const noexcept;
  // Zero while a create may go ahead, else what it fails with.
  int CreateRefused() noexcept;
  // The fault fires: the errno to answer with.
  int Fail() noexcept;
  void Unmount() noexcept;
  // Sleeps until a write of this many bytes keeps to the rate.
  void Throttle(std::uint64_t bytes);

  int Getattr(const char* path, struct stat* st, fuse_file_info* fi);
  int Readlink(const char* path, char* buffer, std::size_t size);
  int Mkdir(const char* path, mode_t mode);
  int Unlink(const char* path);
  int Rmdir(const char* path);
  int Symlink(const char* target, const char* path);
  int Rename(const char* from, const char* to, unsigned int flags);
  int Chmod(const char* path, mode_t mode, fuse_file_info* fi);
  int Chown(const char* path, uid_t uid, gid_t gid, fuse_file_info* fi);
  int Truncate(const char* path, off_t size, fuse_file_info* fi);
  int Utimens(const char* path, const struct timespec times[2], fuse_file_info* fi);
  int Open(const char* path, fuse_file_info* fi, bool create, mode_t mode);
  int Read(char* buffer, std::size_t size, off_t offset, fuse_file_info* fi);
  int Write(const char* buffer, std::size_t size, off_t offset, fuse_file_info* fi);
  int Statfs(struct statvfs* st);
  int Opendir(const char* path, fuse_file_info* fi);
  int Readdir(void* buffer, fuse_fill_dir_t fill, fuse_file_info* fi);
  void* Init(fuse_conn_info* conn, fuse_config* config);

  CardSettings settings_;
  int backing_ = -1;
  bool writeback_ = false;
  bool vanished_ = false;
  std::uint64_t written_ = 0;
  std::uint64_t used_ = 0;  // units
  std::chrono::steady_clock::time_point nextWrite_{};
};

}  // namespace faultcard
