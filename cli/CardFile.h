#pragma once
// A file of a card, read as the card holds it rather than as the page cache
// remembers it: what a check reads must come from the card.

#include <cstddef>
#include <cstdint>
#include <string>

#include "WIN_File.h"

namespace cli {

class CardFile_t {
 public:
  // Opens the regular file for reading only (never through a link, never a
  // folder, pipe or device: win::File_t) and drops the clean pages the
  // cache holds of it, so that every read goes to the card. Pages written
  // and not yet on the card stay; a card that was programmed is synced
  // before the transfer ends. Raises win::FileError_t.
  explicit CardFile_t(const std::u16string& path);

  std::uint64_t Size() const { return file_.Size(); }
  // Up to count bytes; fewer only at the end. Raises win::FileError_t.
  std::size_t Read(void* bytes, std::size_t count) { return file_.Read(bytes, count); }

 private:
  win::File_t file_;
};

}  // namespace cli
