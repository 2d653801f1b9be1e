#pragma once
// The fault card's file system: the backing folder passed through, with
// the card's own allocation unit and capacity in statfs, a write limit,
// and the fault. It answers the kernel through the low-level FUSE API and
// holds every file the kernel knows by a descriptor of its own, so that a
// file removed while the kernel still has it (its times written back after
// an unlink, say) is still there to answer for. Every operation runs on
// the one thread of the FUSE loop, so the card keeps its counts without
// locks.

#define FUSE_USE_VERSION 31
#include <fuse_lowlevel.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

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

  // The operations to give fuse_session_new, with this card as user data.
  static const fuse_lowlevel_ops& Operations();
  // The session whose loop a vanishing card ends.
  void Serve(fuse_session* session) noexcept { session_ = session; }

  // The card has vanished: it is unmounted already, and the FUSE loop was
  // told to end.
  bool Vanished() const noexcept { return vanished_; }
  std::uint64_t Written() const noexcept { return written_; }

 private:
  struct Calls;
  // A file the kernel knows, by a descriptor that does not open it.
  struct Node {
    int fd = -1;
    std::uint64_t lookups = 0;
    std::pair<dev_t, ino_t> key;
  };
  struct Folder;

  Node& NodeOf(fuse_ino_t ino) noexcept;
  // "/proc/self/fd/N": the node's file, for the calls that take no
  // descriptor opened only for its path.
  static std::string PathOf(const Node& node);
  // Finds or adds the node of a name in a folder and fills in its entry,
  // counting one lookup; an errno on failure.
  int Entry(fuse_ino_t parent, const char* name, fuse_entry_param* entry);
  void Forget(fuse_ino_t ino, std::uint64_t lookups) noexcept;
  // What a card shows of a file: its own unit and the units the file takes.
  void Shape(struct stat* st) const noexcept;

  std::uint64_t Units(std::uint64_t bytes) const noexcept { return (bytes + settings_.unit - 1) / settings_.unit; }
  // Units the backing files take, each rounded up on its own.
  std::uint64_t UnitsInUse() const;
  // A file went from one size to another (0 when it came or went).
  void Resized(std::uint64_t from, std::uint64_t to) noexcept;
  // The size of the regular file at a name in a folder, 0 for anything else.
  static std::uint64_t RegularSize(int folder, const char* name) noexcept;
  // Zero while a create may go ahead, else the errno it fails with.
  int CreateRefused() noexcept;
  // The fault fires: the errno to answer with.
  int Fail() noexcept;
  void Unmount() noexcept;
  // Sleeps until a write of this many bytes keeps to the rate.
  void Throttle(std::uint64_t bytes);

  void Init(fuse_conn_info* conn);
  void Lookup(fuse_req_t req, fuse_ino_t parent, const char* name);
  void Getattr(fuse_req_t req, fuse_ino_t ino, fuse_file_info* fi);
  void Setattr(fuse_req_t req, fuse_ino_t ino, struct stat* attr, int set, fuse_file_info* fi);
  void Readlink(fuse_req_t req, fuse_ino_t ino);
  void Mkdir(fuse_req_t req, fuse_ino_t parent, const char* name, mode_t mode);
  void Symlink(fuse_req_t req, const char* target, fuse_ino_t parent, const char* name);
  void Unlink(fuse_req_t req, fuse_ino_t parent, const char* name);
  void Rmdir(fuse_req_t req, fuse_ino_t parent, const char* name);
  void Rename(fuse_req_t req, fuse_ino_t parent, const char* name, fuse_ino_t newParent, const char* newName,
              unsigned int flags);
  void Open(fuse_req_t req, fuse_ino_t ino, fuse_file_info* fi);
  void Create(fuse_req_t req, fuse_ino_t parent, const char* name, mode_t mode, fuse_file_info* fi);
  void Read(fuse_req_t req, std::size_t size, off_t offset, fuse_file_info* fi);
  void Write(fuse_req_t req, const char* buffer, std::size_t size, off_t offset, fuse_file_info* fi);
  void Statfs(fuse_req_t req);
  void Opendir(fuse_req_t req, fuse_ino_t ino, fuse_file_info* fi);
  void Readdir(fuse_req_t req, std::size_t size, off_t offset, fuse_file_info* fi);
  void Releasedir(fuse_req_t req, fuse_file_info* fi);

  CardSettings settings_;
  Node root_;
  // Every other node, by the backing file's device and inode number.
  std::map<std::pair<dev_t, ino_t>, std::unique_ptr<Node>> nodes_;
  // The folders being listed, also those the kernel never releases when
  // the card ends.
  std::map<const Folder*, std::unique_ptr<Folder>> folders_;
  fuse_session* session_ = nullptr;
  bool writeback_ = false;
  bool vanished_ = false;
  std::uint64_t written_ = 0;
  std::uint64_t used_ = 0;  // units
  std::chrono::steady_clock::time_point nextWrite_{};
};

}  // namespace faultcard
