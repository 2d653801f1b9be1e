// Dismounts of real volumes (a tmpfs, mounted for the test) that a fixture
// mount table and sysfs tree describe as a card or as a fixed disk.

#include "WIN_DismountVolume.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "DriveFixtures.h"
#include "GLO_Text.h"
#include "SmallVolume.h"
#include "TempFolder.h"
#include "Unavailable.h"
#include "WIN_Error.h"
#include "WIN_Handle.h"
#include "WIN_MountTable.h"
#include "WIN_ResourceString.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using vtest::Attachment;

std::u16string Wide(const fs::path& path)
{
  return glo::GLO_ToWide(path.string(), glo::CodePageUtf8);
}

bool IsMounted(const fs::path& folder)
{
  for (const auto& entry : win::WIN_ParseMountTable(vtest::ReadFile("/proc/self/mountinfo")))
    if (entry.mountPoint == folder.string()) return true;
  return false;
}

// A machine with a fixed system disk (sda) and a card in a reader that
// calls its media removable (sdb).
class DismountTest : public testing::Test {
 protected:
  DismountTest()
  {
    // The drive list names types in the program's language.
    win::WIN_SetResourceModule(nullptr);
    vtest::SysfsBuilder(folder_ / "sys")
        .Disk("sda", "8:0", Attachment::Sata, false)
        .Partition("sda", "sda1", "8:1")
        .Disk("sdb", "8:16", Attachment::Sata, true)
        .Partition("sdb", "sdb1", "8:17");
  }

  // The machine with the volumes of the table, unmounted directly.
  win::DismountSources_t Sources(const vtest::MountTableBuilder& table) const
  {
    table.Write(folder_ / "mountinfo");
    return {{folder_.Wide("mountinfo"), folder_.Wide("sys"), folder_.Wide("by-label")}, u""};
  }

  static vtest::MountTableBuilder System() { return vtest::MountTableBuilder().Mount("/dev/sda1", "/", "ext4", "8:1"); }

  vtest::TempFolder folder_;
};

// The same machine with a real volume that the table can place anywhere.
class DismountVolume : public DismountTest {
 protected:
  void SetUp() override { VTEST_REQUIRE_MOUNTED(volume_); }

  // The machine with the small volume listed as the card's partition.
  win::DismountSources_t WithCard() const
  {
    return Sources(System().Mount("/dev/sdb1", volume_.Path().string(), "vfat", "8:17"));
  }

  // A file held open on the volume, which keeps it busy.
  win::Handle_t Hold() const
  {
    win::Handle_t file(::open((volume_.Path() / "held").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600));
    EXPECT_TRUE(file.IsValid());
    return file;
  }

  vtest::SmallVolume volume_{1 << 20};
};

TEST_F(DismountVolume, UnmountsTheVolumeOfARemovableDisk)
{
  win::WIN_DismountVolume(volume_.Wide(), WithCard());
  EXPECT_FALSE(IsMounted(volume_.Path()));
}

TEST_F(DismountVolume, TheRootMayEndInASeparator)
{
  win::WIN_DismountVolume(volume_.Wide() + u"/", WithCard());
  EXPECT_FALSE(IsMounted(volume_.Path()));
}

TEST_F(DismountVolume, ABusyVolumeIsTriedFourTimesHalfASecondApartThenRaises)
{
  win::Handle_t held = Hold();
  const auto start = std::chrono::steady_clock::now();
  try {
    win::WIN_DismountVolume(volume_.Wide(), WithCard());
    ADD_FAILURE() << "a busy volume was dismounted";
  } catch (const win::Error_t& error) {
    EXPECT_EQ(error.Code(), static_cast<std::uint32_t>(EBUSY));
  }
  const auto took = std::chrono::steady_clock::now() - start;
  // Three pauses between four attempts; a fifth attempt would add another.
  EXPECT_GE(took, 1500ms);
  EXPECT_LT(took, 2000ms);
  EXPECT_TRUE(IsMounted(volume_.Path()));
}

TEST_F(DismountVolume, AVolumeThatComesFreeWhileItIsTriedAgainIsUnmounted)
{
  win::Handle_t held = Hold();
  std::thread closer([&held] {
    std::this_thread::sleep_for(700ms);
    held.Close();
  });
  EXPECT_NO_THROW(win::WIN_DismountVolume(volume_.Wide(), WithCard()));
  closer.join();
  EXPECT_FALSE(IsMounted(volume_.Path()));
}

TEST_F(DismountVolume, AFailingClientIsARefusalTriedAgainThenRaised)
{
  win::DismountSources_t sources = WithCard();
  sources.udisksctl = u"false";
  try {
    win::WIN_DismountVolume(volume_.Wide(), sources);
    ADD_FAILURE() << "a failing client was taken for a dismount";
  } catch (const win::Error_t& error) {
    EXPECT_EQ(error.Code(), static_cast<std::uint32_t>(EBUSY));
  }
  EXPECT_TRUE(IsMounted(volume_.Path()));
}

TEST_F(DismountVolume, WithoutTheClientTheVolumeIsUnmountedDirectly)
{
  win::DismountSources_t sources = WithCard();
  sources.udisksctl = folder_.Wide("no-such-udisksctl");
  win::WIN_DismountVolume(volume_.Wide(), sources);
  EXPECT_FALSE(IsMounted(volume_.Path()));
}

TEST_F(DismountVolume, WhatIsNoRemovableDriveIsLeftAlone)
{
  const std::string path = volume_.Path().string();
  fs::create_directory(volume_.Path() / "sub");
  const struct {
    const char* what;
    vtest::MountTableBuilder table;
    std::u16string root;
  } cases[] = {
      {"a fixed disk", System().Mount("/dev/sda1", path, "vfat", "8:1"), volume_.Wide()},
      {"the RAM disk it is", System().Mount("tmpfs", path, "tmpfs", "0:40"), volume_.Wide()},
      {"a folder inside a card", System().Mount("/dev/sdb1", path, "vfat", "8:17"), volume_.Wide() + u"/sub"},
      {"a root missing from the table", System(), volume_.Wide()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    // Busy, so that an attempt to unmount would show as an error.
    win::Handle_t held = Hold();
    EXPECT_NO_THROW(win::WIN_DismountVolume(c.root, Sources(c.table)));
    EXPECT_TRUE(IsMounted(volume_.Path()));
  }
}

TEST_F(DismountTest, ACardRootThatCannotBeOpenedRaisesFileErrorWithThePath)
{
  const fs::path gone = folder_ / "gone";
  const auto sources = Sources(System().Mount("/dev/sdb1", gone.string(), "vfat", "8:17"));
  try {
    win::WIN_DismountVolume(Wide(gone), sources);
    FAIL() << "no error";
  } catch (const win::FileError_t& error) {
    EXPECT_EQ(error.Code(), static_cast<std::uint32_t>(ENOENT));
    EXPECT_NE(error.Message().find(Wide(gone)), std::u16string::npos);
  }
}

}  // namespace
