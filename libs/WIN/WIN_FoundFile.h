#pragma once
// The entries of a folder that match a name pattern.

#include <cstdint>
#include <memory>
#include <string>

#include "GLO_NonCopyable.h"

namespace win {

// Enumerates the entries of a folder whose names match a pattern, given as
// the last component of the path: "/media/CARD/rasters/*.jnx", "/data/*",
// or a plain name to find one entry. "*" and "?" are the only wildcards and
// letters match without regard to case (those of ASCII at least), as on the
// cards; "*.*" matches every name, with or without a dot. "." and ".." are
// never reported.
//
// A path that ends in "\" or "/" is searched without it, so it finds the
// folder itself. An empty path, a missing folder or one that cannot be read
// give no entry; a drive without its medium raises DeviceNotReadyError_t.
class FoundFile_t : public glo::NonCopyable_t {
 public:
  explicit FoundFile_t(const std::u16string& path);
  virtual ~FoundFile_t();

  // Whether there is a current entry.
  bool Found() const noexcept { return search_ != nullptr; }
  // Whether the current entry is a folder. A symbolic link is never one,
  // so that walks over the entries cannot loop.
  bool IsFolder() const;
  // Whether the current entry is a regular file itself: no folder, link,
  // device, pipe or socket.
  bool IsRegular() const;
  // The current entry's name, without its folder.
  const std::u16string& Name() const;
  // The current entry's size: that of the file it names (through a link,
  // too); 0 for a folder.
  std::uint64_t Size() const;
  // Moves on to the next entry; after the last one Found is false. Asserts
  // that there is a current entry; raises Error_t when the folder cannot be
  // read on.
  void Next();

 private:
  struct Search_t;

  std::unique_ptr<Search_t> search_;
  std::u16string name_;
  bool isFolder_ = false;
  bool isRegular_ = false;
  std::uint64_t size_ = 0;
};

}  // namespace win
