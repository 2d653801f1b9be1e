#pragma once
// A settings hive file shared by every process of the user.

#include <functional>
#include <string>

#include "WIN_Hive.h"

namespace win {

// Writers replace the file atomically (temporary file, fsync, rename) while
// they hold an exclusive lock on "<file>.lock", so that two processes never
// lose each other's changes; readers need no lock, since a rename never
// shows a half-written file.
class HiveFile_t {
 public:
  explicit HiveFile_t(std::u16string path) : path_(std::move(path)) {}

  const std::u16string& Path() const noexcept { return path_; }

  // A missing file is an empty hive. RegError_t naming the file when it
  // cannot be read or does not parse.
  Hive_t Read() const;

  // Reads the hive under the lock, lets change alter it and writes it back
  // when change returns true. A hive that does not parse raises RegError_t
  // naming the file, any other failure RegError_t with failureName.
  void Update(const std::function<bool(Hive_t&)>& change, const std::u16string& failureName) const;

 private:
  std::u16string path_;
};

// $XDG_CONFIG_HOME (default ~/.config) /Telvan/user.reg
std::u16string WIN_UserHivePath();
// The first folder of $XDG_CONFIG_DIRS (default /etc/xdg) /Telvan/system.reg
std::u16string WIN_MachineHivePath();

}  // namespace win
