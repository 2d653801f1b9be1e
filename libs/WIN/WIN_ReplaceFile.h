#pragma once
// A finished file moved into the place of another.

#include <string>

namespace win {

// Puts the file at `from` in the place of `to` with one rename, so that `to`
// names the old file or the new one whole, never a mix. What `to` names
// must be missing, a regular file or a symbolic link; a link is itself
// replaced and what it points to is left as it was. A folder at `to` raises
// FileError_t with EISDIR and a FIFO, device or socket FileError_t with
// EEXIST, both naming `to`; a failed rename raises FileError_t naming `from`
// (the two must lie on one file system). On every failure `from` stays where
// it is. What `to` names is checked right before the rename, not in the same
// step.
void WIN_ReplaceFile(const std::u16string& from, const std::u16string& to);

}  // namespace win
