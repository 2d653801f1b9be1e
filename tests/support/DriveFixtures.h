#pragma once
// Builds what the drive list reads, so that tests can describe a machine's
// drives: a mount table in the format of /proc/self/mountinfo, a sysfs tree
// of block devices, and a folder of label links as udev makes them.

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>

namespace vtest {

// A mount table, one line per volume, with its fields escaped as the kernel
// escapes them (space, tab, line end and backslash as "\ooo").
class MountTableBuilder {
 public:
  // Adds a volume. Device numbers of major 0 are those the kernel gives
  // volumes without a disk of their own (tmpfs, nfs, btrfs).
  MountTableBuilder& Mount(const std::string& source, const std::string& mountPoint, const std::string& fileSystem,
                           const std::string& deviceNumber = "0:40");
  // Adds a line as it is given.
  MountTableBuilder& Line(const std::string& line);

  const std::string& Text() const noexcept { return text_; }
  // Writes the table, creating the folders above it.
  void Write(const std::filesystem::path& file) const;

 private:
  std::string text_;
  int nextId_ = 21;
};

// How a disk is attached to the machine, which decides where its folder
// lies below <sysfs>/devices and which buses lie on its way up.
// Mmc is a card in an SD slot; EmbeddedMmc storage soldered onto the
// board, on the same bus.
enum class Attachment { Sata, Usb, Mmc, EmbeddedMmc, Virtual, FloppyController };

// A sysfs tree with block devices laid out as the kernel lays them out: a
// folder per device below devices/ holding "dev", "removable" (disks) or
// "partition" (partitions) and a "subsystem" link, every device on the way
// up with its own "subsystem" link to bus/ or class/, and links to the
// device folders from class/block/NAME and dev/block/MAJOR:MINOR.
class SysfsBuilder {
 public:
  explicit SysfsBuilder(std::filesystem::path root);

  SysfsBuilder& Disk(const std::string& name, const std::string& deviceNumber, Attachment attachment, bool removable);
  // A partition of a disk added before.
  SysfsBuilder& Partition(const std::string& disk, const std::string& name, const std::string& deviceNumber);

  const std::filesystem::path& Root() const noexcept { return root_; }
  // The folder of a device added before.
  const std::filesystem::path& DeviceFolder(const std::string& name) const { return folders_.at(name); }

 private:
  void Device(const std::filesystem::path& folder, const std::string& name, const std::string& deviceNumber);
  void Subsystem(const std::filesystem::path& device, const std::string& kind, const std::string& name);

  std::filesystem::path root_;
  std::map<std::string, std::filesystem::path> folders_;
  std::size_t disks_ = 0;
};

// Adds the link of a volume label to a by-label folder as udev names it (a
// byte that is no letter, digit, one of "#+-.:=@_" or part of a non-ASCII
// character as "\xHH"), leading to ../../DEVICE.
void AddLabelLink(const std::filesystem::path& byLabel, const std::string& label, const std::string& device);

}  // namespace vtest
