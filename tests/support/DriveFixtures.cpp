#include "DriveFixtures.h"

#include <cstdio>
#include <cstring>

#include "TempFolder.h"

namespace vtest {
namespace {

namespace fs = std::filesystem;

std::string Escaped(const std::string& field)
{
  std::string text;
  for (char c : field) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\\') {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\%03o", static_cast<unsigned char>(c));
      text += escape;
    } else {
      text += c;
    }
  }
  return text;
}

// A symbolic link with a relative target, as sysfs and udev make them.
void RelativeLink(const fs::path& target, const fs::path& link)
{
  fs::create_directories(link.parent_path());
  fs::create_symlink(target.lexically_relative(link.parent_path()), link);
}

}  // namespace

MountTableBuilder& MountTableBuilder::Mount(const std::string& source, const std::string& mountPoint,
                                            const std::string& fileSystem, const std::string& deviceNumber)
{
  const int id = nextId_++;
  return Line(std::to_string(id) + " 1 " + deviceNumber + " / " + Escaped(mountPoint) + " rw,relatime shared:" +
              std::to_string(id) + " - " + Escaped(fileSystem) + " " + Escaped(source) + " rw");
}

MountTableBuilder& MountTableBuilder::Line(const std::string& line)
{
  text_ += line + "\n";
  return *this;
}

void MountTableBuilder::Write(const fs::path& file) const
{
  WriteFile(file, text_);
}

SysfsBuilder::SysfsBuilder(fs::path root) : root_(std::move(root))
{
  fs::create_directories(root_ / "devices");
}

SysfsBuilder& SysfsBuilder::Disk(const std::string& name, const std::string& deviceNumber, Attachment attachment,
                                 bool removable)
{
  const std::string n = std::to_string(disks_++);
  const fs::path pci = root_ / "devices" / "pci0000:00";
  fs::path block;
  switch (attachment) {
    case Attachment::Sata: {
      const fs::path controller = pci / "0000:00:17.0";
      const fs::path host = controller / ("ata" + n) / ("host" + n);
      const fs::path lun = host / ("target" + n + ":0:0") / (n + ":0:0:0");
      Subsystem(controller, "bus", "pci");
      Subsystem(host, "bus", "scsi");
      Subsystem(lun, "bus", "scsi");
      block = lun / "block";
      break;
    }
    case Attachment::Usb: {
      const fs::path controller = pci / "0000:00:14.0";
      const fs::path hub = controller / ("usb" + n);
      const fs::path device = hub / (n + "-1");
      const fs::path interface = device / (n + "-1:1.0");
      const fs::path host = interface / ("host" + n);
      const fs::path lun = host / ("target" + n + ":0:0") / (n + ":0:0:0");
      Subsystem(controller, "bus", "pci");
      for (const auto& node : {hub, device, interface}) Subsystem(node, "bus", "usb");
      Subsystem(host, "bus", "scsi");
      Subsystem(lun, "bus", "scsi");
      block = lun / "block";
      break;
    }
    case Attachment::Mmc:
    case Attachment::EmbeddedMmc: {
      const fs::path controller = pci / "0000:00:1c.0" / "0000:02:00.0";
      const fs::path reader = controller / ("rtsx_pci_sdmmc." + n);
      const fs::path slot = reader / "mmc_host" / ("mmc" + n);
      const fs::path card = slot / ("mmc" + n + ":0001");
      Subsystem(controller, "bus", "pci");
      Subsystem(reader, "bus", "platform");
      Subsystem(slot, "class", "mmc_host");
      Subsystem(card, "bus", "mmc");
      WriteFile(card / "type", attachment == Attachment::Mmc ? "SD\n" : "MMC\n");
      block = card / "block";
      break;
    }
    case Attachment::Virtual:
      block = root_ / "devices" / "virtual" / "block";
      break;
    case Attachment::FloppyController: {
      const fs::path controller = root_ / "devices" / "platform" / ("floppy." + n);
      Subsystem(controller, "bus", "platform");
      block = controller / "block";
      break;
    }
  }
  Device(block / name, name, deviceNumber);
  WriteFile(block / name / "removable", removable ? "1\n" : "0\n");
  return *this;
}

SysfsBuilder& SysfsBuilder::Partition(const std::string& disk, const std::string& name, const std::string& deviceNumber)
{
  const fs::path folder = folders_.at(disk) / name;
  Device(folder, name, deviceNumber);
  WriteFile(folder / "partition", "1\n");
  return *this;
}

void SysfsBuilder::Device(const fs::path& folder, const std::string& name, const std::string& deviceNumber)
{
  fs::create_directories(folder);
  WriteFile(folder / "dev", deviceNumber + "\n");
  Subsystem(folder, "class", "block");
  RelativeLink(folder, root_ / "class" / "block" / name);
  RelativeLink(folder, root_ / "dev" / "block" / deviceNumber);
  folders_[name] = folder;
}

void SysfsBuilder::Subsystem(const fs::path& device, const std::string& kind, const std::string& name)
{
  const fs::path link = device / "subsystem";
  if (fs::is_symlink(link)) return;
  fs::create_directories(root_ / kind / name);
  RelativeLink(root_ / kind / name, link);
}

void AddLabelLink(const fs::path& byLabel, const std::string& label, const std::string& device)
{
  std::string name;
  for (char c : label) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || byte >= 0x80 ||
        (c != '\0' && std::strchr("#+-.:=@_", c) != nullptr)) {
      name += c;
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02x", byte);
      name += escape;
    }
  }
  fs::create_directories(byLabel);
  fs::create_symlink(fs::path("../..") / device, byLabel / name);
}

}  // namespace vtest
