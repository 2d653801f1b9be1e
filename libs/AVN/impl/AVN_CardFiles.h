#pragma once
// What the writers ask of the folders on the card and beside the update.

#include <cstdint>
#include <string>

#include "GLO_Optional.h"

namespace avn {

// The size of the file at path, when there is one (its name compared
// without regard to case, as on the cards).
glo::Optional_t<std::uint64_t> AVN_ExistingFileSize(const std::u16string& path);

// The summed size of the files that match a search pattern
// ("/media/CARD/sl_tpc/charts/*.*"), with their count; folders are left
// out.
struct EntrySizes_t {
  std::uint64_t bytes = 0;
  std::uint32_t count = 0;
};
EntrySizes_t AVN_SumEntries(const std::u16string& pattern);

}  // namespace avn
