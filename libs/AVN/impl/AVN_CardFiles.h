#pragma once
// What the writers ask of the folders on the card and beside the update.

#include <cstdint>
#include <functional>
#include <string>

#include "GLO_Optional.h"
#include "WIN_FoundFile.h"
#include "WIN_Utilities.h"

namespace avn {

// The attributes a card file loses before it is deleted: some card file
// systems refuse to delete a file that holds them.
inline constexpr std::uint32_t ClearedAttributes =
    win::FileAttributeReadOnly | win::FileAttributeHidden | win::FileAttributeSystem;

// The folder part of a path, with its trailing separator ("" for a bare
// name), and the name after it.
std::u16string AVN_FolderOf(const std::u16string& path);
std::u16string AVN_NameOf(const std::u16string& path);

// What a file of the given size takes on a volume of the given allocation
// unit: its bytes rounded up to whole units.
constexpr std::uint64_t AVN_Allocated(std::uint64_t bytes, std::uint64_t unit) noexcept
{
  return (bytes + unit - 1) / unit * unit;
}

// The size of the regular file at path, when there is one (its name
// compared without regard to case, as on the cards); a link, folder or
// device has none.
glo::Optional_t<std::uint64_t> AVN_ExistingFileSize(const std::u16string& path);

// The summed size of the files that match a search pattern
// ("/media/CARD/sl_tpc/charts/*.*"), with their count, and what they take
// on a volume of the given allocation unit; folders are left out, and
// entries that are no regular files (links, devices, pipes) are counted
// apart, with no size.
struct EntrySizes_t {
  std::uint64_t bytes = 0;
  std::uint64_t allocated = 0;
  std::uint32_t count = 0;
  std::uint32_t others = 0;
};
EntrySizes_t AVN_SumEntries(const std::u16string& pattern, std::uint64_t unit = 1);

// Calls visit for every file below the folder (given with its trailing
// "/"), with the path of the folder that holds it relative to the given
// one ("", "north/", "north/east/"). Links are never folders here, so the
// walk cannot loop or leave the folder.
void AVN_WalkFiles(const std::u16string& folder,
                   const std::function<void(const std::u16string& relative, const win::FoundFile_t& file)>& visit);

}  // namespace avn
