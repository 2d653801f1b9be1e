#include "WIN_Drives.h"

#include "GLO_Exception.h"
#include "WIN_ResourceString.h"

namespace win {

std::u16string WIN_DriveTypeName(DriveType_t type)
{
  std::uint32_t id = 4122;
  switch (type) {
    case DriveType_t::Removable:
      id = 4123;
      break;
    case DriveType_t::Fixed:
      id = 4124;
      break;
    case DriveType_t::Remote:
      id = 4125;
      break;
    case DriveType_t::CdRom:
      id = 4126;
      break;
    case DriveType_t::RamDisk:
      id = 4127;
      break;
    case DriveType_t::Other:
      break;
  }
  return ResourceString_t(id, GLO_HERE).Text();
}

std::u16string WIN_DriveDisplayText(const std::u16string& root, const std::u16string& label, DriveType_t type)
{
  return (label.empty() ? WIN_DriveTypeName(type) : label) + u" (" + root + u")";
}

bool WIN_IsCardDrive(const Drive_t& drive) noexcept
{
  return drive.type == DriveType_t::Removable && !drive.floppy;
}

DriveMap_t WIN_Drives(DriveType_t type, const DriveSources_t& sources)
{
  DriveMap_t map;
  for (auto& drive : WIN_ListDrives(sources))
    if (drive.type == type) map.emplace(std::move(drive.root), std::move(drive.displayText));
  return map;
}

DriveMap_t WIN_RemovableDrives(const DriveSources_t& sources)
{
  DriveMap_t map;
  for (auto& drive : WIN_ListDrives(sources))
    if (WIN_IsCardDrive(drive)) map.emplace(std::move(drive.root), std::move(drive.displayText));
  return map;
}

}  // namespace win
