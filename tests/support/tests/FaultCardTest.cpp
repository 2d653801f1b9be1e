#include "FaultCard.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "TempFolder.h"
#include "Unavailable.h"

namespace {

namespace fs = std::filesystem;
using vtest::CardFault;
using vtest::FaultCard;
using vtest::FaultCardOptions;

// The outcome of a call: "ok", or the text of its errno, so that a failure
// shows by name.
std::string Outcome(int result)
{
  return result == 0 ? "ok" : std::strerror(errno);
}

// An errno as Outcome shows it.
std::string Reason(int error)
{
  return error == 0 ? "ok" : std::strerror(error);
}

// Opens a new file on the card and writes so many bytes to it; the file's
// descriptor, or -1 with errno as open left it.
int WriteNew(const fs::path& path, std::size_t size)
{
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return fd;
  const std::string bytes(size, 'x');
  // Into the page cache: a write fails only later, when written back.
  EXPECT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(size));
  return fd;
}

// Writes so many bytes as a careful program does, going on after a short
// count; the errno it ends with, 0 when every byte went.
int WriteAll(int fd, std::size_t size)
{
  const std::string bytes(size, 'w');
  for (std::size_t done = 0; done < size;) {
    const ssize_t put = ::write(fd, bytes.data() + done, size - done);
    if (put < 0) return errno;
    done += static_cast<std::size_t>(put);
  }
  return 0;
}

std::uintmax_t SizeIn(const fs::path& path)
{
  std::error_code missing;
  const std::uintmax_t size = fs::file_size(path, missing);
  return missing ? 0 : size;
}

// Creating a file, as its outcome.
std::string Created(const fs::path& path)
{
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return std::strerror(errno);
  ::close(fd);
  return "ok";
}

bool InMountTable(const fs::path& root)
{
  std::ifstream table("/proc/self/mountinfo");
  for (std::string line; std::getline(table, line);)
    if (line.find(" " + root.string() + " ") != std::string::npos) return true;
  return false;
}

TEST(FaultCard, PassesFilesThrough)
{
  FaultCard card;
  VTEST_REQUIRE_MOUNTED(card);
  EXPECT_TRUE(card.Live());
  EXPECT_EQ(fs::path(card.Wide()), card.Root());
  vtest::WriteFile(card.Backing() / "before.txt", "put there first");

  vtest::WriteFile(card.Root() / "ldr_sys/avtn_db.bin", "database");
  vtest::WriteFile(card.Root() / "sl_tpc/charts/a.tpc", "chart a");
  fs::create_symlink("../ldr_sys", card.Root() / "sl_tpc/link");
  fs::rename(card.Root() / "sl_tpc/charts/a.tpc", card.Root() / "sl_tpc/charts/b.tpc");
  vtest::WriteFile(card.Root() / "gone.txt", "removed");
  fs::remove(card.Root() / "gone.txt");
  fs::create_directory(card.Root() / "empty");
  fs::remove(card.Root() / "empty");
  fs::resize_file(card.Root() / "ldr_sys/avtn_db.bin", 4);
  fs::permissions(card.Root() / "sl_tpc/charts/b.tpc", fs::perms::owner_read);
  fs::copy(card.Root() / "sl_tpc", card.Root() / "copy", fs::copy_options::recursive | fs::copy_options::copy_symlinks);

  EXPECT_EQ(vtest::FilesBelow(card.Backing()),
            (std::vector<std::string>{"before.txt", "copy/charts/b.tpc", "ldr_sys/avtn_db.bin", "sl_tpc/charts/b.tpc"}));
  EXPECT_EQ(vtest::ReadFile(card.Backing() / "ldr_sys/avtn_db.bin"), "data");
  EXPECT_EQ(vtest::ReadFile(card.Backing() / "copy/charts/b.tpc"), "chart a");
  EXPECT_EQ(fs::read_symlink(card.Backing() / "sl_tpc/link"), "../ldr_sys");
  EXPECT_EQ(fs::read_symlink(card.Root() / "copy/link"), "../ldr_sys");
  EXPECT_EQ(fs::status(card.Backing() / "sl_tpc/charts/b.tpc").permissions(), fs::perms::owner_read);
  EXPECT_EQ(vtest::ReadFile(card.Root() / "before.txt"), "put there first");
  EXPECT_EQ(vtest::ReadFile(card.Root() / "sl_tpc/link/avtn_db.bin"), "data");

  struct stat st;
  ASSERT_EQ(::stat((card.Root() / "before.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_blksize, 32768);
  EXPECT_EQ(st.st_blocks, 64);
}

// The kernel writes a removed file's times back after the removal; the card
// still answers for it, so that syncfs reports nothing afterwards. Files
// removed or replaced while open keep working until closed.
TEST(FaultCard, RemovedFilesLeaveSyncClean)
{
  FaultCard card;
  VTEST_REQUIRE_MOUNTED(card);
  const int root = ::open(card.Root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(root, 0) << std::strerror(errno);
  for (const char* name : {"a", "b", "c", "d"}) vtest::WriteFile(card.Root() / name, std::string(70000, *name));
  fs::remove(card.Root() / "a");
  fs::rename(card.Root() / "b", card.Root() / "c");
  const int open = ::open((card.Root() / "d").c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  ASSERT_GE(open, 0) << std::strerror(errno);
  fs::remove(card.Root() / "d");
  EXPECT_EQ(::write(open, "more", 4), 4);
  EXPECT_EQ(Outcome(::fsync(open)), "ok");
  EXPECT_EQ(Outcome(::close(open)), "ok");
  EXPECT_EQ(Outcome(::syncfs(root)), "ok");
  ::close(root);
  EXPECT_EQ(vtest::FilesBelow(card.Backing()), std::vector<std::string>{"c"});
  EXPECT_EQ(vtest::ReadFile(card.Backing() / "c"), std::string(70000, 'b'));
}

// Free space as a card with the unit would report it, each file in whole
// units, counted again as files come and go.
TEST(FaultCard, StatvfsCountsEachFileInWholeUnits)
{
  FaultCard card({.unit = 32768, .capacity = 32 * 32768});
  VTEST_REQUIRE_MOUNTED(card);
  const auto freeUnits = [&] {
    struct statvfs st;
    EXPECT_EQ(::statvfs(card.Root().c_str(), &st), 0);
    EXPECT_EQ(st.f_bsize, 32768u);
    EXPECT_EQ(st.f_frsize, 32768u);
    EXPECT_EQ(st.f_blocks, 32u);
    EXPECT_EQ(st.f_bfree, st.f_bavail);
    return st.f_bavail;
  };
  EXPECT_EQ(freeUnits(), 32u);

  struct Step {
    const char* name;
    std::size_t size;
    unsigned long freeAfter;
  };
  for (const Step& step : {Step{"empty", 0, 32}, Step{"one byte", 1, 31}, Step{"one unit", 32768, 30},
                           Step{"a unit and a byte", 32769, 28}, Step{"folder/two units", 65536, 26}}) {
    vtest::WriteFile(card.Root() / step.name, std::string(step.size, 'u'));
    EXPECT_EQ(freeUnits(), step.freeAfter) << step.name;
  }
  fs::remove(card.Root() / "a unit and a byte");
  EXPECT_EQ(freeUnits(), 28u);
  fs::resize_file(card.Root() / "one byte", 32769);
  EXPECT_EQ(freeUnits(), 27u);
  fs::rename(card.Root() / "one unit", card.Root() / "folder/two units");
  EXPECT_EQ(freeUnits(), 29u);
  // Files put beside the card count as well.
  vtest::WriteFile(card.Backing() / "beside", std::string(100000, 'b'));
  EXPECT_EQ(freeUnits(), 25u);
}

TEST(FaultCard, AWriteBeyondTheCapacityFailsWithNoSpace)
{
  FaultCard card({.unit = 32768, .capacity = 4 * 32768});
  VTEST_REQUIRE_MOUNTED(card);
  const int fd = WriteNew(card.Root() / "big", 5 * 32768);
  ASSERT_GE(fd, 0) << std::strerror(errno);
  EXPECT_EQ(Outcome(::close(fd)), std::strerror(ENOSPC));
  EXPECT_LE(SizeIn(card.Backing() / "big"), 4u * 32768);
}

// Every errno fault: bytes up to the fault land, counted over all files,
// then data written back fails (fsync names the errno, close says ENOSPC
// or EIO; without the writeback cache write() names it), and creates fail
// at once.
TEST(FaultCard, FaultsFireAfterTheBytesGiven)
{
  struct Case {
    CardFault fault;
    int error;
    int atClose;
  };
  for (const Case& fault : {Case{CardFault::NoSpace, ENOSPC, ENOSPC}, Case{CardFault::IoError, EIO, EIO},
                            Case{CardFault::ReadOnly, EROFS, EIO}, Case{CardFault::NotPermitted, EPERM, EIO}}) {
    SCOPED_TRACE(std::strerror(fault.error));
    {
      FaultCard card({.fault = fault.fault, .failAfter = 100000});
      VTEST_REQUIRE_MOUNTED(card);
      const int first = WriteNew(card.Root() / "first", 60000);
      ASSERT_GE(first, 0) << std::strerror(errno);
      EXPECT_EQ(Outcome(::fsync(first)), "ok");
      EXPECT_EQ(Outcome(::close(first)), "ok");

      const int second = WriteNew(card.Root() / "second", 60000);
      ASSERT_GE(second, 0) << std::strerror(errno);
      EXPECT_EQ(Outcome(::fsync(second)), Reason(fault.error));
      ::close(second);
      EXPECT_EQ(SizeIn(card.Backing() / "first"), 60000u);
      EXPECT_EQ(SizeIn(card.Backing() / "second"), 40000u);

      EXPECT_EQ(Created(card.Root() / "third"), Reason(fault.error));
      EXPECT_EQ(Outcome(::mkdir((card.Root() / "folder").c_str(), 0755)), Reason(fault.error));
      EXPECT_EQ(Outcome(::symlink("first", (card.Root() / "link").c_str())), Reason(fault.error));
      EXPECT_EQ(Outcome(::rename((card.Root() / "first").c_str(), (card.Root() / "renamed").c_str())), "ok");
      EXPECT_EQ(Outcome(::unlink((card.Root() / "second").c_str())), "ok");
      EXPECT_EQ(vtest::FilesBelow(card.Backing()), std::vector<std::string>{"renamed"});
      EXPECT_TRUE(card.Live());
    }
    {
      // A program that checks only close() sees the fault there.
      FaultCard card({.fault = fault.fault, .failAfter = 100000});
      VTEST_REQUIRE_MOUNTED(card);
      const int fd = WriteNew(card.Root() / "file", 200000);
      ASSERT_GE(fd, 0) << std::strerror(errno);
      EXPECT_EQ(Outcome(::close(fd)), Reason(fault.atClose));
      EXPECT_EQ(SizeIn(card.Backing() / "file"), 100000u);
    }
    {
      // Without the writeback cache, write() itself fails.
      FaultCard card({.fault = fault.fault, .failAfter = 100000, .writebackCache = false});
      VTEST_REQUIRE_MOUNTED(card);
      const int fd = ::open((card.Root() / "file").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
      ASSERT_GE(fd, 0) << std::strerror(errno);
      EXPECT_EQ(Reason(WriteAll(fd, 60000)), "ok");
      EXPECT_EQ(Reason(WriteAll(fd, 60000)), Reason(fault.error));
      EXPECT_EQ(Outcome(::close(fd)), "ok");
      EXPECT_EQ(SizeIn(card.Backing() / "file"), 100000u);
    }
  }
}

TEST(FaultCard, NoByteAtAllIsACardThatTakesNothing)
{
  FaultCard card({.fault = CardFault::ReadOnly, .failAfter = 0});
  VTEST_REQUIRE_MOUNTED(card);
  EXPECT_EQ(Created(card.Root() / "file"), Reason(EROFS));
  EXPECT_TRUE(vtest::FilesBelow(card.Backing()).empty());
}

// Pulled out after the bytes given: the write that goes beyond fails, the
// mount point is the bare folder from then on, and files still open on the
// card fail.
TEST(FaultCard, VanishLeavesTheMountPointBare)
{
  FaultCard card({.fault = CardFault::Vanish, .failAfter = 100000});
  VTEST_REQUIRE_MOUNTED(card);
  const int held = ::open((card.Root() / "held").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_GE(held, 0) << std::strerror(errno);

  const int fd = WriteNew(card.Root() / "big", 200000);
  ASSERT_GE(fd, 0) << std::strerror(errno);
  EXPECT_EQ(Outcome(::close(fd)), std::strerror(EIO));
  EXPECT_FALSE(card.Live());
  EXPECT_TRUE(card.WaitGone());
  EXPECT_EQ(card.Log(), "velmora-faultcard: vanished after 100000 bytes\n");

  EXPECT_TRUE(fs::is_empty(card.Root()));
  vtest::WriteFile(card.Root() / "after.txt", "on the system disk");
  EXPECT_EQ(vtest::FilesBelow(card.Root()), std::vector<std::string>{"after.txt"});
  EXPECT_EQ(vtest::FilesBelow(card.Backing()), (std::vector<std::string>{"big", "held"}));
  EXPECT_EQ(SizeIn(card.Backing() / "big"), 100000u);

  EXPECT_EQ(::write(held, "x", 1), -1);
  EXPECT_EQ(errno, ENOTCONN);
  ::close(held);
}

TEST(FaultCard, AFullCardVanishesAtTheFirstCreate)
{
  FaultCard card({.fault = CardFault::Vanish, .failAfter = 0});
  VTEST_REQUIRE_MOUNTED(card);
  EXPECT_EQ(Created(card.Root() / "file"), std::strerror(EIO));
  EXPECT_TRUE(card.WaitGone());
  EXPECT_TRUE(fs::is_empty(card.Root()));
  EXPECT_TRUE(fs::is_empty(card.Backing()));
}

// The limit holds what has landed to the rate's worth plus one request of
// 128 KiB at any moment, however slowly the test looks.
TEST(FaultCard, TheRateLimitHoldsBackWhatLands)
{
  constexpr std::uint64_t rate = 1 << 20;
  constexpr std::size_t size = 1 << 20;
  FaultCard card({.rate = rate});
  VTEST_REQUIRE_MOUNTED(card);

  const auto start = std::chrono::steady_clock::now();
  std::atomic<bool> done = false;
  std::string outcome;
  std::thread writer([&] {
    const int fd = WriteNew(card.Root() / "slow", size);
    outcome = fd < 0 ? std::strerror(errno) : Outcome(::fsync(fd));
    if (fd >= 0) ::close(fd);
    done = true;
  });
  bool partly = false;
  while (!done) {
    const std::uintmax_t landed = SizeIn(card.Backing() / "slow");
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LE(landed, rate * elapsed.count() + 128 * 1024);
    partly = partly || (landed > 0 && landed < size);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  writer.join();
  EXPECT_EQ(outcome, "ok");
  EXPECT_TRUE(partly);
  EXPECT_EQ(SizeIn(card.Backing() / "slow"), size);
}

TEST(FaultCard, DirectIoFilesAreReadButNotMapped)
{
  FaultCard card({.directIo = true});
  VTEST_REQUIRE_MOUNTED(card);
  std::ofstream(card.Root() / "file") << "bytes";
  const int fd = ::open((card.Root() / "file").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0) << std::strerror(errno);
  void* mapped = ::mmap(nullptr, 5, PROT_READ, MAP_SHARED, fd, 0);
  EXPECT_EQ(mapped, MAP_FAILED);
  EXPECT_EQ(errno, ENODEV);
  if (mapped != MAP_FAILED) ::munmap(mapped, 5);
  char bytes[5] = {};
  EXPECT_EQ(::read(fd, bytes, 5), 5);
  EXPECT_EQ(std::string(bytes, 5), "bytes");
  ::close(fd);
}

TEST(FaultCard, EndsWithTheFixtureEvenWhenBusy)
{
  fs::path root;
  int open = -1;
  {
    FaultCard card;
    VTEST_REQUIRE_MOUNTED(card);
    root = card.Root();
    open = ::open((root / "open").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(open, 0) << std::strerror(errno);
    EXPECT_TRUE(InMountTable(root));
  }
  EXPECT_FALSE(InMountTable(root));
  EXPECT_FALSE(fs::exists(root.parent_path()));
  ::close(open);
}

TEST(FaultCard, AWrongSettingIsTheTestsFault)
{
  struct Case {
    FaultCardOptions options;
    const char* complaint;
  };
  for (const Case& wrong : {Case{{.unit = 1000}, "--unit must be a positive multiple of 512"},
                            Case{{.unit = 4096, .capacity = 100}, "--capacity must hold one unit at least"}}) {
    try {
      FaultCard card(wrong.options);
      VTEST_REQUIRE_MOUNTED(card);
      ADD_FAILURE() << "mounted with a wrong setting";
    } catch (const std::invalid_argument& complaint) {
      EXPECT_EQ(complaint.what(), std::string("velmora-faultcard: ") + wrong.complaint);
    }
  }
}

}  // namespace
