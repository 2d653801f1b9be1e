#include "AVN_UpdateDb.h"

#include <cerrno>

#include "AVN_CardFiles.h"
#include "AVN_CardLayout.h"
#include "AVN_CopyToFile.h"
#include "GLO_NarrowTo32.h"
#include "WIN_Error.h"
#include "WIN_FoundFile.h"
#include "WIN_Utilities.h"

namespace avn {
namespace {

constexpr std::uint32_t TerrainKinds[] = {33, 34, 35, 52};

// Erases the terrain alternate at path when the card holds it.
void EraseAlternate(const std::u16string& path, TransferProgress_t& progress)
{
  try {
    win::FoundFile_t found(path);
    if (!found.Found() || found.IsFolder()) return;
    // The entry as the card names it, which may differ in case.
    const std::u16string existing = AVN_FolderOf(path) + found.Name();
    const std::uint64_t size = found.IsRegular() ? found.Size() : 0;
    win::WIN_ClearFileAttributes(existing, ClearedAttributes);
    // A card that refuses the deletion still gets the new database; the
    // space check has counted on this file, and the copy tells when the
    // card is full.
    win::WIN_DeleteFile(existing);
    progress.Step(static_cast<std::uint32_t>(size));
  } catch (const win::Error_t& error) {
    if (error.Code() != static_cast<std::uint32_t>(ENOENT)) throw;
  }
}

}  // namespace

void UpdateDb_t::AddSpace(const std::u16string& root, std::uint64_t& available, std::uint64_t& needed)
{
  needed += Allocated(Length);
  if (auto size = AVN_ExistingFileSize(CardPath(root, Kind))) available += Allocated(size.Get());
}

std::vector<std::u16string> UpdateDb_t::CardFiles(const std::u16string& root)
{
  return {CardPath(root, Kind)};
}

std::uint64_t UpdateDb_t::Allocated(std::uint64_t bytes) const noexcept
{
  return AVN_Allocated(bytes, AllocationUnit);
}

void UpdateDb_t::Copy(const std::u16string& root, bin::istream& region, TransferProgress_t& progress,
                      win::Event_t& stop, UpdateCounter_t& counter)
{
  progress.SetPhase(ioa::PhasePreparing, Length);
  region.seekg(Offset);
  counter.Next();
  progress.SetPhase(ioa::PhaseTransferring, Length);
  const std::u16string path = CardPath(root, Kind);
  win::WIN_CreateFoldersForFile(path);
  CopyToCardFile(region, Length, path, stop, progress, CopyChunk);
}

void TerrainUpdateDb_t::AddSpaceFull(const std::u16string& root, std::uint64_t& available, std::uint64_t& needed)
{
  AddSpace(root, available, needed);
  std::uint64_t sum = 0;
  for (std::uint32_t kind : TerrainKinds)
    if (kind != Kind)
      if (auto size = AVN_ExistingFileSize(CardPath(root, kind))) {
        sum += size.Get();
        available += Allocated(size.Get());
      }
  const std::uint32_t total = glo::GLO_NarrowTo32(sum, GLO_HERE);
  if (total != 0) EraseTotal.Set(total);
}

void TerrainUpdateDb_t::Write(const std::u16string& root, bin::istream& region, TransferProgress_t& progress,
                              win::Event_t& stop, UpdateCounter_t& counter)
{
  if (EraseTotal) progress.SetPhase(ioa::PhaseErasing, EraseTotal.Get());
  for (std::uint32_t kind : TerrainKinds)
    if (kind != Kind) EraseAlternate(CardPath(root, kind), progress);
  Copy(root, region, progress, stop, counter);
}

bool UpdateDbs_t::Insert(std::unique_ptr<UpdateDb_t> database)
{
  const unsigned int kind = database->Kind;
  return emplace(kind, std::move(database)).second;
}

std::uint32_t UpdateDbs_t::UpdateCount() const
{
  std::uint32_t total = 0;
  for (const auto& entry : *this) total += entry.second->UpdateCount();
  return total;
}

}  // namespace avn
