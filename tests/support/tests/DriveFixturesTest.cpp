#include "DriveFixtures.h"

#include <gtest/gtest.h>

#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;

TEST(DriveFixtures, MountLinesHaveTheKernelsFieldsAndEscapes)
{
  vtest::MountTableBuilder table;
  table.Mount("/dev/sdb1", "/media/a b\\c", "vfat", "8:17").Mount("tmpfs", "/run/x\ty", "tmpfs");
  EXPECT_EQ(table.Text(),
            "21 1 8:17 / /media/a\\040b\\134c rw,relatime shared:21 - vfat /dev/sdb1 rw\n"
            "22 1 0:40 / /run/x\\011y rw,relatime shared:22 - tmpfs tmpfs rw\n");
}

TEST(DriveFixtures, SysfsLinksLeadToTheDeviceFolders)
{
  vtest::TempFolder folder;
  vtest::SysfsBuilder sysfs(folder / "sys");
  sysfs.Disk("sdb", "8:16", vtest::Attachment::Usb, true).Partition("sdb", "sdb1", "8:17");

  const fs::path partition = sysfs.DeviceFolder("sdb1");
  EXPECT_EQ(partition.parent_path(), sysfs.DeviceFolder("sdb"));
  EXPECT_EQ(fs::canonical(folder / "sys/class/block/sdb1"), fs::canonical(partition));
  EXPECT_EQ(fs::canonical(folder / "sys/dev/block/8:17"), fs::canonical(partition));
  EXPECT_EQ(vtest::ReadFile(sysfs.DeviceFolder("sdb") / "removable"), "1\n");
  EXPECT_TRUE(fs::exists(partition / "partition"));

  // The USB device on the way up names its bus, and the link resolves.
  const fs::path usbDevice =
      sysfs.DeviceFolder("sdb").parent_path().parent_path().parent_path().parent_path().parent_path().parent_path();
  EXPECT_EQ(usbDevice.filename(), "0-1");
  EXPECT_EQ(fs::canonical(usbDevice / "subsystem"), fs::canonical(folder / "sys/bus/usb"));
}

TEST(DriveFixtures, LabelLinksAreNamedAsUdevNamesThem)
{
  vtest::TempFolder folder;
  vtest::AddLabelLink(folder / "by-label", "MY CARD/1", "sdb1");
  vtest::AddLabelLink(folder / "by-label", "Zürich_#2", "sdc1");
  EXPECT_EQ(fs::read_symlink(folder / "by-label" / "MY\\x20CARD\\x2f1"), "../../sdb1");
  EXPECT_EQ(fs::read_symlink(folder / "by-label" / "Zürich_#2"), "../../sdc1");
}

}  // namespace
