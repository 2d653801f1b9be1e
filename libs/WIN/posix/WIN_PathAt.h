#pragma once
// How the file modules reach a system path: through the confined folder
// that holds it (WIN_ConfinedFolder.h), or as the path names it.

#include <string>

#include "WIN_Handle.h"

namespace win {

// Opens the path as open(2) does; -1 with errno set on failure. Below a
// confined folder, no link is followed and no mount crossed (ELOOP, EXDEV).
int WIN_OpenPath(const std::string& path, int flags, unsigned mode = 0) noexcept;

// The folder that holds the path's last component, and that component, for
// the system's *at calls.
struct PathAt_t {
  Handle_t owned;  // the folder, when it had to be opened
  int folder = -1;
  std::string name;
};

// False with errno set when the folder cannot be reached.
bool WIN_PathAt(const std::string& path, PathAt_t& at) noexcept;

}  // namespace win

namespace win {

// Opens the path below the folder by walking it one component at a time,
// refusing links and other volumes: what the kernel's own resolution
// (openat2) does, for kernels without it.
int WIN_OpenBeneathByWalk(int folder, const std::string& relative, int flags, unsigned mode) noexcept;

}  // namespace win
