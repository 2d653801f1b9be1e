#pragma once
// Private helpers of the drive list: the mount table and the block devices
// behind its volumes.

#include <string>
#include <string_view>
#include <vector>

namespace win {

// One volume of a mount table in the format of /proc/self/mountinfo, with
// its fields decoded.
struct MountEntry_t {
  std::string deviceNumber;  // "major:minor"; major 0 for volumes without a disk
  std::string mountPoint;
  std::string fileSystem;
  std::string source;  // "/dev/sdb1", "server:/export", "tmpfs", ...
};

// The volumes of a mount table, in its order. A line without the fields of
// the format is skipped: one odd line must not hide every drive.
std::vector<MountEntry_t> WIN_ParseMountTable(std::string_view text);

// The volumes of the mount table file at path (WIN_ParseMountTable).
// Raises FileError_t when it cannot be read.
std::vector<MountEntry_t> WIN_ReadMountTable(const std::u16string& path);

// Undoes the octal escapes that the kernel writes in mount table fields
// ("\040" for a space, "\011", "\012", "\134" for a backslash).
std::string WIN_DecodeMountField(std::string_view field);

// Undoes the "\xHH" escapes of the link names that udev makes for labels
// ("MY\x20CARD").
std::string WIN_DecodeLabelLink(std::string_view name);

}  // namespace win
