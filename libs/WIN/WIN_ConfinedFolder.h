#pragma once
// A folder that the program writes below, such as the root of a card.

#include <cstdint>
#include <memory>
#include <string>

#include "GLO_NonCopyable.h"

namespace win {

// Holds the folder open for as long as the object lives. Meanwhile every
// path of this process that lies below the folder's path is reached through
// the folder held: beneath it, never through a symbolic link and never into
// another mounted volume. A link on the card cannot send a write elsewhere,
// and a card that is unmounted under the program cannot send the rest of
// the files into the bare mount-point folder: every use of a path below it
// checks first that the path still leads to the folder held, and fails
// with ENODEV when it does not. Paths outside the folder are not affected.
class ConfinedFolder_t : public glo::NonCopyable_t {
 public:
  // Opens the folder (a link to a folder is followed here, once). Raises
  // FileError_t with the path: ENOTDIR when it is no folder.
  explicit ConfinedFolder_t(const std::u16string& path);
  // Lets the paths go free again.
  ~ConfinedFolder_t();

  const std::u16string& Path() const noexcept { return path_; }

  // Takes the folder for this object alone, against every other confinement
  // of it in any process; false when another one has it. Given up with the
  // object.
  bool Lock();

  // Fails with FileError_t (ENODEV) when the path no longer leads to the
  // folder held: its volume was unmounted or replaced.
  void CheckPresent() const;

  // Makes everything written to the folder's volume durable (syncfs), and
  // reports what the volume could not write. Raises FileError_t.
  void Sync() const;

  // The volume's allocation unit in bytes: what a file of one byte takes.
  std::uint64_t AllocationUnit() const;

  struct Held_t;

 private:
  std::u16string path_;
  std::shared_ptr<Held_t> held_;
};

}  // namespace win
