// The drive list from the mount table, sysfs and the label links of udev.
//
// How a volume's type is told:
// - by its file system first: network file systems are remote, tmpfs and
//   ramfs RAM disks, and pseudo file systems are not listed at all;
// - else by its block device, found through the device number in
//   <sysfs>/dev/block (which knows /dev/root and /dev/mapper names) or,
//   where the file system reports a number of its own (btrfs), through the
//   source's name in <sysfs>/class/block. A partition counts as its disk. A
//   disc in an optical drive (sr*) is a CD-ROM, whatever its file system:
//   it is no card either way. A disk is removable when the kernel says so
//   or when it hangs on USB or on an SD/MMC host (built-in SD readers call
//   their cards fixed). Floppy drives (fd*) are removable and marked.
//   Loop devices are fixed: their content is a file on some other drive,
//   which is the drive a user would pick;
// - a volume without a block device that none of this names is Other.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string_view>

#include "GLO_Exception.h"
#include "GLO_Text.h"
#include "WIN_Drives.h"
#include "WIN_Error.h"
#include "WIN_FileSystem.h"
#include "WIN_Handle.h"
#include "WIN_MountTable.h"

namespace win {
namespace {

namespace fs = std::filesystem;

// Kernel interfaces and desktop gateways that hold no files of a user's own.
constexpr std::string_view PseudoFileSystems[] = {
    "autofs",   "binfmt_misc",     "bpf",         "cgroup",    "cgroup2",   "configfs", "debugfs", "devpts", "devtmpfs",
    "efivarfs", "fuse.gvfsd-fuse", "fuse.portal", "fusectl",   "hugetlbfs", "mqueue",   "nfsd",    "nsfs",   "proc",
    "pstore",   "rpc_pipefs",      "securityfs",  "selinuxfs", "sysfs",     "tracefs"};

constexpr std::string_view RemoteFileSystems[] = {"9p",         "afs",       "ceph",  "cifs", "fuse.glusterfs",
                                                  "fuse.sshfs", "glusterfs", "ncpfs", "nfs",  "nfs4",
                                                  "smb3",       "smbfs",     "sshfs"};

constexpr std::string_view RamFileSystems[] = {"tmpfs", "ramfs"};

bool IsOneOf(std::span<const std::string_view> names, const std::string& name)
{
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Whether a kernel device name is the prefix followed by a number ("sr0").
bool IsNamed(const std::string& name, std::string_view prefix)
{
  return name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 && name[prefix.size()] >= '0' &&
         name[prefix.size()] <= '9';
}

// The folder of the volume's block device in sysfs, when it has one.
std::optional<fs::path> DeviceFolder(const fs::path& sysfs, const MountEntry_t& entry)
{
  std::error_code error;
  fs::path folder = fs::canonical(sysfs / "dev" / "block" / entry.deviceNumber, error);
  if (!error) return folder;
  if (entry.source.rfind("/dev/", 0) != 0) return std::nullopt;
  folder = fs::canonical(sysfs / "class" / "block" / fs::path(entry.source).filename(), error);
  if (!error) return folder;
  return std::nullopt;
}

// Whether the card on the mmc bus is storage soldered onto the board
// (eMMC, type "MMC"), which holds systems, rather than a card in a slot.
bool IsEmbeddedMmc(const fs::path& card)
{
  char type[4] = {};
  const Handle_t file(::open((card / "type").c_str(), O_RDONLY | O_CLOEXEC));
  return file.IsValid() && ::read(file.Get(), type, 3) == 3 && std::string_view(type, 3) == "MMC";
}

// Whether a device sits below a USB device or an SD card slot: one of the
// devices on its way up belongs to the usb bus, or to the mmc bus without
// being embedded storage.
bool OnUsbOrMmc(const fs::path& disk, const fs::path& devices)
{
  for (fs::path node = disk; node != devices && node.has_relative_path(); node = node.parent_path()) {
    std::error_code error;
    const fs::path bus = fs::read_symlink(node / "subsystem", error).filename();
    if (error) continue;
    if (bus == "usb") return true;
    if (bus == "mmc") return !IsEmbeddedMmc(node);
  }
  return false;
}

bool IsRemovableDisk(const fs::path& disk, const fs::path& devices)
{
  char flag = '0';
  if (Handle_t file(::open((disk / "removable").c_str(), O_RDONLY | O_CLOEXEC)); file.IsValid())
    if (::read(file.Get(), &flag, 1) != 1) flag = '0';
  return flag == '1' || OnUsbOrMmc(disk, devices);
}

// Kernel device name -> label, from the links udev makes for labels
// ("CARD -> ../../sdb1"). A missing folder means no volume has a label.
std::map<std::string, std::string> Labels(const fs::path& folder)
{
  // Read in name order, so that of two links to one device the same one
  // wins every time.
  std::map<std::string, std::string> links;
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    std::error_code linkError;
    const fs::path target = fs::read_symlink(entry->path(), linkError);
    if (!linkError) links.emplace(entry->path().filename().string(), target.filename().string());
  }
  std::map<std::string, std::string> labels;
  for (const auto& [name, device] : links) labels.emplace(device, WIN_DecodeLabelLink(name));
  return labels;
}

// Labels are text to be shown, not names to be opened.
std::u16string LabelText(const std::string& label)
{
  return glo::GLO_ToWide(label, glo::CodePageUtf8);
}

}  // namespace

std::vector<Drive_t> WIN_ListDrives(const DriveSources_t& sources)
{
  // The volume mounted last on a folder hides those below it.
  std::map<std::string, MountEntry_t> visible;
  for (auto& entry : WIN_ReadMountTable(sources.mountTable)) {
    std::string root = entry.mountPoint;
    visible.insert_or_assign(std::move(root), std::move(entry));
  }

  const fs::path sysfs = WIN_SystemPath(sources.sysfs);
  std::error_code error;
  fs::path devices = fs::canonical(sysfs / "devices", error);
  if (error) devices = sysfs;
  const auto labels = Labels(WIN_SystemPath(sources.byLabel));

  std::vector<Drive_t> drives;
  for (const auto& [root, entry] : visible) {
    if (IsOneOf(PseudoFileSystems, entry.fileSystem)) continue;
    Drive_t drive;
    drive.root = glo::GLO_FileNameToWide(root);
    if (IsOneOf(RemoteFileSystems, entry.fileSystem)) {
      drive.type = DriveType_t::Remote;
    } else if (IsOneOf(RamFileSystems, entry.fileSystem)) {
      drive.type = DriveType_t::RamDisk;
    } else if (const auto device = DeviceFolder(sysfs, entry)) {
      const fs::path disk = fs::exists(*device / "partition", error) ? device->parent_path() : *device;
      const std::string diskName = disk.filename().string();
      if (IsNamed(diskName, "sr"))
        drive.type = DriveType_t::CdRom;
      else
        drive.type = IsRemovableDisk(disk, devices) ? DriveType_t::Removable : DriveType_t::Fixed;
      drive.floppy = IsNamed(diskName, "fd");
      if (const auto label = labels.find(device->filename().string()); label != labels.end())
        drive.label = LabelText(label->second);
    }
    drive.displayText = WIN_DriveDisplayText(drive.root, drive.label, drive.type);
    drives.push_back(std::move(drive));
  }
  // The order of the wizard's drive map, which compares wide text.
  std::sort(drives.begin(), drives.end(), [](const Drive_t& a, const Drive_t& b) { return a.root < b.root; });
  return drives;
}

}  // namespace win
