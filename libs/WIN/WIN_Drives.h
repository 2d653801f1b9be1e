#pragma once
// The drives a card can be written to, as the drive page lists them.
//
// A drive is the root folder of a mounted volume (its mount point). Every
// drive has a type, the volume's label when it has one, and a display text
// for lists: the label, or the type's name when there is none, then the
// root in parentheses: "CARD (/media/alice/CARD)", "Local Disk (/)".

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace win {

// The kind of a drive, with the numbers the system's drive types have.
enum class DriveType_t : std::uint32_t {
  Other = 0,      // none of the below: no disk known behind it, and no file system that tells
  Removable = 2,  // a removable disk, and every disk on USB or on an SD/MMC host
  Fixed = 3,      // every other disk, loop devices included
  Remote = 4,     // a network file system
  CdRom = 5,      // a disc in an optical drive
  RamDisk = 6,    // tmpfs, ramfs
};

// Where the volumes and their devices are read from. The defaults are the
// system's own; tests point them at fixture trees.
struct DriveSources_t {
  std::u16string mountTable = u"/proc/self/mountinfo";  // in the format of mountinfo
  std::u16string sysfs = u"/sys";
  std::u16string byLabel = u"/dev/disk/by-label";  // label links as udev makes them
};

struct Drive_t {
  std::u16string root;
  std::u16string label;  // empty when the volume has none
  DriveType_t type = DriveType_t::Other;
  bool floppy = false;  // a floppy disk drive: removable, but never offered for cards
  std::u16string displayText;
};

// Root -> display text, ordered by root.
using DriveMap_t = std::map<std::u16string, std::u16string>;

// The type's name in the application's language: "Removable Disk", "Local
// Disk", "Network Drive", "CD ROM", "RAM Disk", else "Drive".
std::u16string WIN_DriveTypeName(DriveType_t type);

// The label, or the type's name when the label is empty; then " (", the root
// and ")".
std::u16string WIN_DriveDisplayText(const std::u16string& root, const std::u16string& label, DriveType_t type);

// Every mounted volume except those of pseudo file systems (proc, sysfs,
// cgroups and the like), ordered by root. Where several volumes are mounted
// on one folder, the one mounted last is the one seen there. A volume whose
// device cannot be told is still listed, as its file system suggests or as
// Other. Raises FileError_t when the mount table cannot be read.
std::vector<Drive_t> WIN_ListDrives(const DriveSources_t& sources = {});

// Whether the wizard offers the drive for a card: a removable drive that is
// no floppy drive.
bool WIN_IsCardDrive(const Drive_t& drive) noexcept;

// The map of every drive of the type. Raises as WIN_ListDrives.
DriveMap_t WIN_Drives(DriveType_t type, const DriveSources_t& sources = {});

// The map of the drives the wizard offers for a card (WIN_IsCardDrive).
// Raises as WIN_ListDrives.
DriveMap_t WIN_RemovableDrives(const DriveSources_t& sources = {});

}  // namespace win
