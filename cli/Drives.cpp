// velmora-cli drives [--all] [--json]: the drives the wizard offers for a
// card, or every drive, in the wizard's order.
//
// For tests, the environment variables VELMORA_MOUNTINFO, VELMORA_SYSFS and
// VELMORA_BY_LABEL replace the mount table, the sysfs root and the folder of
// label links that the drives are read from.

#include <iostream>

#include "Cli.h"
#include "DriveSources.h"
#include "WIN_Drives.h"

namespace cli {
namespace {

const char* TypeName(win::DriveType_t type)
{
  switch (type) {
    case win::DriveType_t::Removable:
      return "removable";
    case win::DriveType_t::Fixed:
      return "fixed";
    case win::DriveType_t::Remote:
      return "remote";
    case win::DriveType_t::CdRom:
      return "cdrom";
    case win::DriveType_t::RamDisk:
      return "ramdisk";
    case win::DriveType_t::Other:
      break;
  }
  return "other";
}

}  // namespace

int Drives(const Arguments& arguments)
{
  bool all = false;
  bool json = false;
  for (const auto& argument : arguments) {
    if (argument == "--all")
      all = true;
    else if (argument == "--json")
      json = true;
    else if (!argument.empty() && argument[0] == '-')
      throw UsageError("drives: unknown option '" + argument + "'");
    else
      throw UsageError("drives: takes no arguments");
  }

  const win::DriveSources_t sources = vm::DriveSourcesFromEnvironment();

  // "removable" says whether the wizard offers the drive for a card.
  const char* separator = "";
  if (json) std::cout << '[';
  for (const auto& drive : win::WIN_ListDrives(sources)) {
    const bool offered = win::WIN_IsCardDrive(drive);
    if (!all && !offered) continue;
    if (json) {
      std::cout << separator << "{\"root\":" << Json(drive.root)
                << ",\"label\":" << (drive.label.empty() ? "null" : Json(drive.label)) << ",\"type\":\""
                << TypeName(drive.type) << "\",\"displayText\":" << Json(drive.displayText)
                << ",\"removable\":" << (offered ? "true" : "false") << '}';
      separator = ",";
    } else {
      std::cout << Utf8(drive.root) << '\t' << Utf8(drive.displayText) << '\n';
    }
  }
  if (json) std::cout << "]\n";
  return Success;
}

}  // namespace cli
