#pragma once
// Makes a card safe to pull out after a transfer: everything written to it
// reaches the card, and its volume is unmounted.

#include <string>

#include "WIN_Drives.h"

namespace win {

// What a dismount reads and runs. The defaults are the system's own; tests
// point the drive list at fixture trees and unmount directly.
struct DismountSources_t {
  DriveSources_t drives;  // where the drive list and the volumes' devices are read from
  // The UDisks2 client, looked up in PATH when the name has no "/". Empty,
  // or a client that is not installed: the volume is unmounted by this
  // process itself, which needs privileges.
  std::u16string udisksctl = u"udisksctl";
};

// Flushes and unmounts the volume of a removable drive, given by its root
// (the mount point; separators at its end do not matter). A root that is no
// removable drive of the list (a fixed disk, a folder inside a volume, a
// folder that is no mount point at all) is left alone without a word.
//
// The volume's file system is flushed first (syncfs), then its device is
// unmounted. An unmount that is refused because the volume is busy, or by a
// client that fails (which tells no reason), is tried again 500 ms later, 4
// attempts in all, so that giving up takes 1.5 s.
//
// Raises Error_t when it gives up (EBUSY) or the unmount fails otherwise
// (its errno), FileError_t with the root when the root cannot be opened or
// its file system not flushed, and as WIN_ListDrives when the mount table
// cannot be read. After any of these the volume may still be mounted.
void WIN_DismountVolume(const std::u16string& root, const DismountSources_t& sources = {});

}  // namespace win
