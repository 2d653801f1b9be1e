#pragma once
// A card that fails on purpose: a folder of its own shown at a mount point
// through FUSE by velmora-faultcard, with the kernel's writeback cache on
// unless asked otherwise (writes are buffered, as on a card in a USB
// reader), its own allocation unit and capacity in statvfs, an optional
// write limit, and a fault after a number of bytes written, counted over
// all files.
//
// What a program sees of a fault:
// - Once failAfter bytes have been written, every create (a file, a folder,
//   a link) fails at once with the fault's errno; removing and renaming
//   still work.
// - The write request that goes beyond failAfter lands its bytes up to it
//   and fails; so does every write after it. With the writeback cache,
//   write() succeeds into the page cache and the failure shows when the
//   data is written back, at the latest at close(), which flushes the file:
//   fsync() and syncfs() report the fault's errno itself, close() reports
//   ENOSPC as ENOSPC and every other errno as EIO (the kernel keeps no
//   other for close). Without the cache, write() itself fails with the
//   fault's errno.
// - Vanish: that request unmounts the card (lazily) before it fails with
//   EIO, and the daemon ends; from then on the mount point is the bare
//   folder, and files still open on the card fail with ENOTCONN.
// A write that needs more units than the card has free fails with ENOSPC in
// the same way. Statvfs counts every regular file below the card, each
// rounded up to the unit; folders and links take no space.
//
// Change the card's files through Root(): with the writeback cache the
// kernel keeps its own size of a file it has seen. Backing() is for
// putting files there before the card is used and for looking afterwards.
//
// Needs /dev/fuse, the daemon and fusermount3; a test without them ends
// through VTEST_REQUIRE_MOUNTED (Unavailable.h).

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace vtest {

enum class CardFault {
  None,
  NoSpace,       // ENOSPC
  IoError,       // EIO
  ReadOnly,      // EROFS
  NotPermitted,  // EPERM, what FAT through FUSE answers when full
  Vanish,        // the card is pulled out
};

struct FaultCardOptions {
  std::uint64_t unit = 32768;           // allocation unit in bytes, a multiple of 512
  std::uint64_t capacity = 1ull << 30;  // the card's size in bytes
  std::uint64_t rate = 0;               // write limit in bytes per second; 0 = none
  CardFault fault = CardFault::None;
  std::uint64_t failAfter = 0;  // bytes written before the fault
  // Without the writeback cache every write waits for the card, and write()
  // itself fails with the fault's errno, as on a FAT image through fusefat.
  bool writebackCache = true;
  // Files opened for direct I/O cannot be mapped into memory (ENODEV), as
  // on some network and FUSE file systems.
  bool directIo = false;
};

class FaultCard {
 public:
  // Makes a folder of its own in the temporary folder, with the backing
  // folder and the mount point in it, starts the daemon and waits until the
  // card is in the mount table. Mounted() tells whether that worked, and
  // Why() why not. A setting the daemon refuses is the test's own fault:
  // std::invalid_argument with the daemon's complaint.
  explicit FaultCard(const FaultCardOptions& options = {});
  FaultCard(const FaultCard&) = delete;
  FaultCard& operator=(const FaultCard&) = delete;
  // Unmounts the card (lazily when it is busy), ends the daemon and removes
  // the folder; never throws.
  ~FaultCard();

  bool Mounted() const noexcept { return mounted_; }
  const std::string& Why() const noexcept { return why_; }
  // The mount point: the card's root.
  const std::filesystem::path& Root() const noexcept { return root_; }
  std::u16string Wide() const;
  // The folder whose files the card shows.
  const std::filesystem::path& Backing() const noexcept { return backing_; }

  // The card is in the mount table now.
  bool Live() const;
  // Waits (up to ten seconds) for the daemon to end by itself, as after a
  // vanish; true when it ended and the card is no longer mounted.
  bool WaitGone();
  // Unmounts the card and ends the daemon now; true when the card is gone.
  bool Unmount();
  // What the daemon wrote on its standard error.
  std::string Log() const;

 private:
  // Reaps the daemon if it ended, within the wait given; true when it did.
  bool Reaped(int milliseconds);

  std::filesystem::path folder_;
  std::filesystem::path backing_;
  std::filesystem::path root_;
  std::filesystem::path log_;
  pid_t daemon_ = -1;
  pid_t owner_ = -1;
  bool mounted_ = false;
  std::string why_;
};

}  // namespace vtest
