#include "WIN_Drives.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <ostream>
#include <tuple>
#include <vector>

#include "DriveFixtures.h"
#include "GLO_Text.h"
#include "TempFolder.h"
#include "WIN_Error.h"
#include "WIN_MountTable.h"
#include "WIN_ResourceString.h"
#include "WIN_Utilities.h"

namespace {

using vtest::Attachment;
using win::DriveType_t;

std::string Utf8(const std::u16string& text)
{
  return glo::GLO_ToNarrow(text, glo::CodePageUtf8);
}

struct Listed {
  std::u16string root;
  std::u16string displayText;
  DriveType_t type;
  bool floppy = false;
  bool operator==(const Listed&) const = default;
};

void PrintTo(const Listed& drive, std::ostream* out)
{
  *out << Utf8(drive.displayText) << " [" << Utf8(drive.root) << ", type " << static_cast<int>(drive.type)
       << (drive.floppy ? ", floppy]" : "]");
}

// A laptop with a system disk, a built-in SD reader, USB disks, a floppy,
// an optical drive, loop and device-mapper devices, network shares and the
// kernel's own file systems.
class Drives : public testing::Test {
 protected:
  void SetUp() override
  {
    win::WIN_SetResourceModule(nullptr);
    vtest::SysfsBuilder sysfs(folder_ / "sys");
    sysfs.Disk("sda", "8:0", Attachment::Sata, false).Partition("sda", "sda1", "8:1").Partition("sda", "sda2", "8:2");
    // The kernel calls the cards of built-in SD readers fixed.
    sysfs.Disk("mmcblk0", "179:0", Attachment::Mmc, false).Partition("mmcblk0", "mmcblk0p1", "179:1");
    // Storage soldered onto the board sits on the same bus, and holds systems.
    sysfs.Disk("mmcblk1", "179:8", Attachment::EmbeddedMmc, false).Partition("mmcblk1", "mmcblk1p1", "179:9");
    sysfs.Disk("sdb", "8:16", Attachment::Sata, true).Partition("sdb", "sdb1", "8:17");
    sysfs.Disk("sdc", "8:32", Attachment::Usb, false);
    sysfs.Disk("sde", "8:64", Attachment::Usb, false).Partition("sde", "sde1", "8:65");
    sysfs.Disk("sr0", "11:0", Attachment::Sata, true);
    sysfs.Disk("fd0", "2:0", Attachment::FloppyController, true);
    sysfs.Disk("loop0", "7:0", Attachment::Virtual, false);
    sysfs.Disk("dm-0", "254:0", Attachment::Virtual, false);

    vtest::AddLabelLink(folder_ / "by-label", "EFI", "sda1");
    vtest::AddLabelLink(folder_ / "by-label", "NAV CARD", "mmcblk0p1");
    vtest::AddLabelLink(folder_ / "by-label", "CARD", "sdb1");
    vtest::AddLabelLink(folder_ / "by-label", "DEBIAN 12", "sr0");
    vtest::AddLabelLink(folder_ / "by-label", "Zürich", "sde1");

    vtest::MountTableBuilder()
        .Mount("/dev/sda2", "/", "ext4", "8:2")
        .Mount("proc", "/proc", "proc", "0:22")
        .Mount("sysfs", "/sys", "sysfs", "0:21")
        .Mount("cgroup2", "/sys/fs/cgroup", "cgroup2", "0:27")
        .Mount("devpts", "/dev/pts", "devpts", "0:25")
        .Mount("/dev/sda1", "/boot/efi", "vfat", "8:1")
        .Mount("/dev/mmcblk1p1", "/home", "ext4", "179:9")
        .Mount("tmpfs", "/run/user/1000", "tmpfs", "0:50")
        .Mount("gvfsd-fuse", "/run/user/1000/gvfs", "fuse.gvfsd-fuse", "0:51")
        .Mount("/dev/mmcblk0p1", "/media/alice/NAV CARD", "vfat", "179:1")
        .Mount("/dev/sdb1", "/media/alice/CARD", "vfat", "8:17")
        .Mount("/dev/sdc", "/media/alice/STICK", "exfat", "8:32")
        // btrfs gives its volumes device numbers of its own.
        .Mount("/dev/sde1", "/media/alice/Zürich", "btrfs", "0:45")
        .Mount("/dev/sr0", "/media/alice/DVD", "iso9660", "11:0")
        .Mount("/dev/fd0", "/media/floppy", "vfat", "2:0")
        .Mount("/dev/loop0", "/snap/core/17", "squashfs", "7:0")
        .Mount("/dev/mapper/vault", "/srv", "ext4", "254:0")
        .Mount("server:/export", "/mnt/share", "nfs4", "0:60")
        .Mount("alice@host:", "/mnt/ssh", "fuse.sshfs", "0:61")
        .Mount("overlay", "/var/lib/docker/overlay2/1/merged", "overlay", "0:62")
        // Mounted over a card: the folder shows the later volume.
        .Mount("/dev/sdb1", "/mnt/stack", "vfat", "8:17")
        .Mount("ramfs", "/mnt/stack", "ramfs", "0:63")
        .Write(folder_ / "mountinfo");
  }

  win::DriveSources_t Sources() const
  {
    return {folder_.Wide("mountinfo"), folder_.Wide("sys"), folder_.Wide("by-label")};
  }

  vtest::TempFolder folder_;
};

TEST_F(Drives, ListsEveryVolumeByRootWithItsTypeAndText)
{
  const Listed expected[] = {
      {u"/", u"Local Disk (/)", DriveType_t::Fixed},
      {u"/boot/efi", u"EFI (/boot/efi)", DriveType_t::Fixed},
      {u"/home", u"Local Disk (/home)", DriveType_t::Fixed},
      {u"/media/alice/CARD", u"CARD (/media/alice/CARD)", DriveType_t::Removable},
      {u"/media/alice/DVD", u"DEBIAN 12 (/media/alice/DVD)", DriveType_t::CdRom},
      {u"/media/alice/NAV CARD", u"NAV CARD (/media/alice/NAV CARD)", DriveType_t::Removable},
      {u"/media/alice/STICK", u"Removable Disk (/media/alice/STICK)", DriveType_t::Removable},
      {u"/media/alice/Zürich", u"Zürich (/media/alice/Zürich)", DriveType_t::Removable},
      {u"/media/floppy", u"Removable Disk (/media/floppy)", DriveType_t::Removable, true},
      {u"/mnt/share", u"Network Drive (/mnt/share)", DriveType_t::Remote},
      {u"/mnt/ssh", u"Network Drive (/mnt/ssh)", DriveType_t::Remote},
      {u"/mnt/stack", u"RAM Disk (/mnt/stack)", DriveType_t::RamDisk},
      {u"/run/user/1000", u"RAM Disk (/run/user/1000)", DriveType_t::RamDisk},
      {u"/snap/core/17", u"Local Disk (/snap/core/17)", DriveType_t::Fixed},
      {u"/srv", u"Local Disk (/srv)", DriveType_t::Fixed},
      {u"/var/lib/docker/overlay2/1/merged", u"Drive (/var/lib/docker/overlay2/1/merged)", DriveType_t::Other},
  };
  std::vector<Listed> listed;
  for (const auto& drive : win::WIN_ListDrives(Sources()))
    listed.push_back({drive.root, drive.displayText, drive.type, drive.floppy});
  EXPECT_EQ(listed, std::vector<Listed>(std::begin(expected), std::end(expected)));
}

TEST_F(Drives, LabelsAreKeptApartFromTypeNames)
{
  std::map<std::u16string, std::u16string> labels;
  for (const auto& drive : win::WIN_ListDrives(Sources())) labels[drive.root] = drive.label;
  EXPECT_EQ(labels[u"/media/alice/NAV CARD"], u"NAV CARD");
  EXPECT_EQ(labels[u"/media/alice/Zürich"], u"Zürich");
  EXPECT_EQ(labels[u"/media/alice/STICK"], u"");
  EXPECT_EQ(labels[u"/mnt/share"], u"");
}

TEST_F(Drives, CardDrivesAreTheRemovableOnesWithoutFloppies)
{
  const win::DriveMap_t expected = {
      {u"/media/alice/CARD", u"CARD (/media/alice/CARD)"},
      {u"/media/alice/NAV CARD", u"NAV CARD (/media/alice/NAV CARD)"},
      {u"/media/alice/STICK", u"Removable Disk (/media/alice/STICK)"},
      {u"/media/alice/Zürich", u"Zürich (/media/alice/Zürich)"},
  };
  EXPECT_EQ(win::WIN_RemovableDrives(Sources()), expected);
}

TEST_F(Drives, DrivesOfOneType)
{
  const std::pair<DriveType_t, win::DriveMap_t> cases[] = {
      {DriveType_t::Removable,
       {{u"/media/alice/CARD", u"CARD (/media/alice/CARD)"},
        {u"/media/alice/NAV CARD", u"NAV CARD (/media/alice/NAV CARD)"},
        {u"/media/alice/STICK", u"Removable Disk (/media/alice/STICK)"},
        {u"/media/alice/Zürich", u"Zürich (/media/alice/Zürich)"},
        {u"/media/floppy", u"Removable Disk (/media/floppy)"}}},
      {DriveType_t::CdRom, {{u"/media/alice/DVD", u"DEBIAN 12 (/media/alice/DVD)"}}},
      {DriveType_t::Remote,
       {{u"/mnt/share", u"Network Drive (/mnt/share)"}, {u"/mnt/ssh", u"Network Drive (/mnt/ssh)"}}},
  };
  for (const auto& [type, expected] : cases) EXPECT_EQ(win::WIN_Drives(type, Sources()), expected) << int(type);
}

TEST_F(Drives, WithoutLabelLinksEveryDriveShowsItsTypeName)
{
  auto sources = Sources();
  sources.byLabel = folder_.Wide("no-such-folder");
  const auto drives = win::WIN_RemovableDrives(sources);
  EXPECT_EQ(drives.at(u"/media/alice/CARD"), u"Removable Disk (/media/alice/CARD)");
  EXPECT_EQ(drives.at(u"/media/alice/NAV CARD"), u"Removable Disk (/media/alice/NAV CARD)");
}

TEST_F(Drives, DisksUnknownToSysfsAreOfNoKnownType)
{
  vtest::MountTableBuilder().Mount("/dev/sdz1", "/media/gone", "vfat", "8:241").Write(folder_ / "mountinfo");
  const auto drives = win::WIN_ListDrives(Sources());
  ASSERT_EQ(drives.size(), 1u);
  EXPECT_EQ(drives[0].type, DriveType_t::Other);
  EXPECT_EQ(drives[0].displayText, u"Drive (/media/gone)");
}

// A mount point is bytes: its root addresses the very folder again, and its
// label, which is shown and never opened, has U+FFFD for what is not UTF-8.
TEST_F(Drives, AMountPointWhoseNameIsNotUtf8KeepsItsBytes)
{
  vtest::MountTableBuilder().Mount("/dev/sdc", "/media/alice/caf\xE9", "vfat", "8:32").Write(folder_ / "mountinfo");
  vtest::AddLabelLink(folder_ / "by-label", "caf\xE9", "sdc");
  const auto drives = win::WIN_ListDrives(Sources());
  ASSERT_EQ(drives.size(), 1u);
  EXPECT_EQ(drives[0].root, u"/media/alice/caf\xDCE9");
  EXPECT_EQ(win::WIN_SystemPath(drives[0].root), "/media/alice/caf\xE9");
  EXPECT_EQ(drives[0].label, u"caf\uFFFD");
}

TEST_F(Drives, AnEmptyTableHasNoDrive)
{
  vtest::WriteFile(folder_ / "mountinfo", "");
  EXPECT_TRUE(win::WIN_ListDrives(Sources()).empty());
  EXPECT_TRUE(win::WIN_RemovableDrives(Sources()).empty());
}

TEST_F(Drives, AMissingMountTableRaisesAFileError)
{
  auto sources = Sources();
  sources.mountTable = folder_.Wide("missing");
  try {
    win::WIN_ListDrives(sources);
    FAIL() << "no exception";
  } catch (const win::FileError_t& error) {
    EXPECT_EQ(error.Code(), std::uint32_t(ENOENT));
    EXPECT_NE(error.Message().find(folder_.Wide("missing")), std::u16string::npos);
  }
}

TEST(DriveList, TheSystemsOwnTableHoldsItsRoot)
{
  win::WIN_SetResourceModule(nullptr);
  bool root = false;
  for (const auto& drive : win::WIN_ListDrives()) root = root || drive.root == u"/";
  EXPECT_TRUE(root);
}

TEST(DriveList, DisplayTextIsTheLabelOrTheTypeName)
{
  win::WIN_SetResourceModule(nullptr);
  const std::pair<DriveType_t, std::u16string> cases[] = {
      {DriveType_t::Other, u"Drive (/x)"},          {DriveType_t::Removable, u"Removable Disk (/x)"},
      {DriveType_t::Fixed, u"Local Disk (/x)"},     {DriveType_t::Remote, u"Network Drive (/x)"},
      {DriveType_t::CdRom, u"CD ROM (/x)"},         {DriveType_t::RamDisk, u"RAM Disk (/x)"},
      {static_cast<DriveType_t>(1), u"Drive (/x)"},
  };
  for (const auto& [type, text] : cases) EXPECT_EQ(win::WIN_DriveDisplayText(u"/x", u"", type), text);
  EXPECT_EQ(win::WIN_DriveDisplayText(u"/media/alice/CARD", u"CARD", DriveType_t::Removable),
            u"CARD (/media/alice/CARD)");
}

TEST(MountTable, FieldsAreDecodedAndOddLinesSkipped)
{
  const std::string text =
      "36 35 98:0 /mnt1 /mnt/a\\040b rw,noatime master:1 - ext3 /dev/root rw,errors=continue\n"
      "37 35 0:40 / /no/optional rw - tmpfs tmpfs rw\n"
      "38 35 0:41 / /two/optional rw shared:4 master:2 - nfs4 srv:/x\\134y rw\n"
      "garbage\n"
      "39 35 0:42 / /no/separator rw tmpfs tmpfs rw\n"
      "40 35 0:43 / relative rw - tmpfs tmpfs rw\n"
      "41 35 0:44 / /too/short rw - tmpfs\n"
      "\n"
      "42 35 8:1 / /last\\011tab\\012line rw - vfat /dev/sdb1 rw";
  const auto entries = win::WIN_ParseMountTable(text);
  ASSERT_EQ(entries.size(), 4u);
  const std::tuple<std::string, std::string, std::string, std::string> expected[] = {
      {"98:0", "/mnt/a b", "ext3", "/dev/root"},
      {"0:40", "/no/optional", "tmpfs", "tmpfs"},
      {"0:41", "/two/optional", "nfs4", "srv:/x\\y"},
      {"8:1", "/last\ttab\nline", "vfat", "/dev/sdb1"},
  };
  for (std::size_t i = 0; i < entries.size(); ++i)
    EXPECT_EQ(std::tie(entries[i].deviceNumber, entries[i].mountPoint, entries[i].fileSystem, entries[i].source),
              expected[i]);
}

TEST(MountTable, OnlyWholeEscapesAreDecoded)
{
  const std::pair<std::string, std::string> fields[] = {
      {"a\\040b", "a b"}, {"\\134", "\\"},  {"a\\04", "a\\04"}, {"a\\", "a\\"}, {"\\400", "\\400"},  // beyond a byte
      {"\\08x", "\\08x"}, {"\\0401", " 1"},
  };
  for (const auto& [field, text] : fields) EXPECT_EQ(win::WIN_DecodeMountField(field), text) << field;

  const std::pair<std::string, std::string> links[] = {
      {"MY\\x20CARD", "MY CARD"}, {"a\\x2Fb", "a/b"}, {"\\x2", "\\x2"}, {"\\xZZ", "\\xZZ"}, {"plain", "plain"},
  };
  for (const auto& [name, label] : links) EXPECT_EQ(win::WIN_DecodeLabelLink(name), label) << name;
}

}  // namespace
