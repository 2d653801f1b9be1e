#pragma once
// Where the programs read their drives from. No card reader exists on a
// build machine, so for tests and diagnosis the environment variables
// VELMORA_MOUNTINFO, VELMORA_SYSFS and VELMORA_BY_LABEL, when set and not
// empty, replace the mount table, the sysfs root and the folder of label
// links (as libmount's own variables do for its tables).

#include "WIN_DismountVolume.h"
#include "WIN_Drives.h"

namespace vm {

// The system's sources, with those the environment replaces.
win::DriveSources_t DriveSourcesFromEnvironment();

// The same, for the dismount at the end of a transfer.
win::DismountSources_t DismountSourcesFromEnvironment();

}  // namespace vm
