#include "AVN_ChartUpdateDb.h"

#include <cerrno>

#include "AVN_CardFiles.h"
#include "AVN_CardLayout.h"
#include "AVN_CopyToFile.h"
#include "AVN_Exceptions.h"
#include "BIN_FileStream.h"
#include "FIL_File.h"
#include "GLO_NarrowTo32.h"
#include "GLO_Text.h"
#include "WIN_Error.h"
#include "WIN_FoundFile.h"
#include "WIN_ResourceString.h"
#include "WIN_Utilities.h"

namespace avn {
namespace {

// Where the chart index keeps its cycle number.
constexpr std::uint32_t CycleOffset = 145;
// A partial update may be this many cycles newer than the card's charts.
constexpr std::uint32_t MaximumCycleGap = 2;

std::u16string ChartRoot(const std::u16string& root)
{
  return CardFolder(root, u"sl_tpc/");
}

std::u16string RasterRoot(const std::u16string& root)
{
  return CardFolder(root, u"rasters/");
}

void SetTotal(glo::Optional_t<std::uint32_t>& total, std::uint64_t sum)
{
  const std::uint32_t narrowed = glo::GLO_NarrowTo32(sum, GLO_HERE);
  if (narrowed != 0) total.Set(narrowed);
}

// Deletes a folder of the card with everything in it; the erase phase shows
// the bytes deleted when it was started. A folder that is not there is
// already erased.
void EraseFolder(const std::u16string& folder, const glo::Optional_t<std::uint32_t>& eraseTotal,
                 TransferProgress_t& progress)
{
  if (eraseTotal) progress.SetPhase(ioa::PhaseErasing, eraseTotal.Get());
  win::DeletedBytesObserver_t observer;
  if (eraseTotal) observer = [&progress](std::uint32_t bytes) { progress.Step(bytes); };
  try {
    win::WIN_DeleteFolderTree(folder, ClearedAttributes, observer);
  } catch (const win::Error_t& error) {
    if (error.Code() != static_cast<std::uint32_t>(ENOENT)) throw;
  }
}

// Copies the index of the kind to its card file, counting one update.
void WriteIndex(const UpdateDb_t& database, const std::u16string& folder, const std::u16string& root,
                bin::istream& region, TransferProgress_t& progress, win::Event_t& stop, UpdateCounter_t& counter)
{
  progress.SetPhase(ioa::PhasePreparing, database.Length);
  region.seekg(database.Offset);
  win::WIN_CreateFolders(folder);
  counter.Next();
  progress.SetPhase(ioa::PhaseTransferring, database.Length);
  CopyToCardFile(region, database.Length, CardPath(root, database.Kind), stop, progress, CopyChunkCharts);
}

// Copies one chart or raster file under its own name into the card folder,
// which the caller has made.
void WriteFile(const std::u16string& source, const std::u16string& folder, const std::u16string& name,
               const glo::Optional_t<std::uint32_t>& copyTotal, TransferProgress_t& progress, win::Event_t& stop,
               UpdateCounter_t& counter)
{
  bin::fstream file(source, bin::fstream::in, fil::DenyNone);
  if (!file.isOpen()) throw BadRegionFile_t(GLO_HERE);
  const std::uint32_t size = file.remaining();
  counter.Next();
  if (!copyTotal) progress.SetPhase(ioa::PhaseTransferring, size);
  CopyToCardFile(file, size, folder + name, stop, progress, CopyChunkCharts);
}

// The cycle number of a chart index at its start; empty when it is too
// short to hold one.
glo::Optional_t<std::uint32_t> CycleAt(bin::istream& stream, std::uint32_t start)
{
  std::uint32_t cycle = 0;
  if (stream.seekg(start + CycleOffset).failed() || (stream >> cycle).failed()) return {};
  return cycle;
}

[[noreturn]] void Refuse(std::uint32_t message, const std::vector<std::u16string>& arguments)
{
  throw BadPartialTpcUpdateFile_t(GLO_HERE, win::ResourceString_t(message, GLO_HERE).Format(arguments, GLO_HERE));
}

// The chart files beside the update, added to needed and CopyTotal. No
// files, or a link, device or pipe among them, is a damaged update.
void AddCharts(SlFullTpcUpdateDb_t& database, std::uint64_t& needed)
{
  // A link in its place could bring any folder of the computer along.
  if (win::WIN_PathKind(database.SourceFolder + u"charts") != win::PathKind_t::Folder) throw BadRegionFile_t(GLO_HERE);
  const EntrySizes_t charts = AVN_SumEntries(database.SourceFolder + u"charts/*.*", database.AllocationUnit);
  if (charts.count == 0 || charts.others != 0) throw BadRegionFile_t(GLO_HERE);
  needed += charts.allocated;
  SetTotal(database.CopyTotal, charts.bytes);
}

}  // namespace

void SlFullTpcUpdateDb_t::AddSpaceFull(const std::u16string& root, std::uint64_t& available, std::uint64_t& needed)
{
  AddSpace(root, available, needed);
  AddCharts(*this, needed);
  const EntrySizes_t old = AVN_SumEntries(ChartRoot(root) + u"charts/*.*", AllocationUnit);
  available += old.allocated;
  SetTotal(EraseTotal, old.bytes);
}

std::vector<std::u16string> SlFullTpcUpdateDb_t::ErasedFolders(const std::u16string& root)
{
  return {ChartRoot(root)};
}

void SlFullTpcUpdateDb_t::Write(const std::u16string& root, bin::istream& region, TransferProgress_t& progress,
                                win::Event_t& stop, UpdateCounter_t& counter)
{
  EraseFolder(ChartRoot(root), EraseTotal, progress);
  WriteCharts(root, region, progress, stop, counter);
}

std::uint32_t SlFullTpcUpdateDb_t::UpdateCount()
{
  return 1 + AVN_SumEntries(SourceFolder + u"charts/*.*").count;
}

void SlFullTpcUpdateDb_t::WriteCharts(const std::u16string& root, bin::istream& region, TransferProgress_t& progress,
                                      win::Event_t& stop, UpdateCounter_t& counter)
{
  WriteIndex(*this, ChartRoot(root), root, region, progress, stop, counter);
  const std::u16string source = SourceFolder + u"charts/";
  win::FoundFile_t found(source + u"*.*");
  if (!found.Found()) throw BadRegionFile_t(GLO_HERE);
  const std::u16string folder = ChartRoot(root) + u"charts/";
  win::WIN_CreateFolders(folder);
  if (CopyTotal) progress.SetPhase(ioa::PhaseCharts, CopyTotal.Get());
  for (; found.Found(); found.Next())
    if (!found.IsFolder()) WriteFile(source + found.Name(), folder, found.Name(), CopyTotal, progress, stop, counter);
}

std::vector<UpdateDb_t::CopiedFile_t> SlFullTpcUpdateDb_t::CopiedFiles(const std::u16string& root)
{
  if (win::WIN_PathKind(SourceFolder + u"charts") != win::PathKind_t::Folder) throw BadRegionFile_t(GLO_HERE);
  const std::u16string source = SourceFolder + u"charts/";
  std::vector<CopiedFile_t> files;
  for (win::FoundFile_t found(source + u"*.*"); found.Found(); found.Next()) {
    if (found.IsFolder()) continue;
    if (!found.IsRegular()) throw BadRegionFile_t(GLO_HERE);
    files.push_back({source + found.Name(), ChartRoot(root) + u"charts/" + found.Name()});
  }
  if (files.empty()) throw BadRegionFile_t(GLO_HERE);
  return files;
}

void SlPartialTpcUpdateDb_t::AddSpaceFull(const std::u16string& root, std::uint64_t& available,
                                          std::uint64_t& needed)
{
  AddSpace(root, available, needed);
  AddCharts(*this, needed);
  // The card's charts stay: only those of the same name are replaced.
  for (win::FoundFile_t found(SourceFolder + u"charts/*.*"); found.Found(); found.Next())
    if (!found.IsFolder())
      if (auto size = AVN_ExistingFileSize(ChartRoot(root) + u"charts/" + found.Name()))
        available += Allocated(size.Get());
}

std::vector<std::u16string> SlPartialTpcUpdateDb_t::CardFiles(const std::u16string& root)
{
  std::vector<std::u16string> files{CardPath(root, Kind)};
  for (win::FoundFile_t found(SourceFolder + u"charts/*.*"); found.Found(); found.Next())
    if (!found.IsFolder()) files.push_back(ChartRoot(root) + u"charts/" + found.Name());
  return files;
}

void SlPartialTpcUpdateDb_t::Write(const std::u16string& root, bin::istream& region, TransferProgress_t& progress,
                                   win::Event_t& stop, UpdateCounter_t& counter)
{
  // An index too short for its cycle number is a damaged update.
  if (Length < CycleOffset + 4) throw BadRegionFile_t(GLO_HERE);
  region.reset();
  const auto update = CycleAt(region, Offset);
  if (!update) throw BadRegionFile_t(GLO_HERE);
  const std::u16string index = CardPath(root, Kind);
  if (!AVN_ExistingFileSize(index)) Refuse(11802, {CycleText});
  glo::Optional_t<std::uint32_t> card;
  {
    bin::ifstream file(index, fil::DenyNone);
    if (file.isOpen()) card = CycleAt(file, 0);
  }
  if (!card) Refuse(11802, {CycleText});
  if (update.Get() < card.Get()) Refuse(11804, {CycleText});
  if (update.Get() - card.Get() > MaximumCycleGap) Refuse(11803, {CycleText, glo::GLO_Decimal(MaximumCycleGap)});
  WriteCharts(root, region, progress, stop, counter);
}

const std::set<std::u16string>& RasterUpdateDb_t::Folders()
{
  if (RasterFolders) return RasterFolders.Get();
  std::set<std::u16string> folders;
  AVN_WalkFiles(SourceFolder, [&folders](const std::u16string& relative, const win::FoundFile_t& file) {
    if (file.Name().find(u".jnx") == std::u16string::npos) return;
    // A raster that is a link could bring any file of the computer along.
    if (!file.IsRegular()) throw BadRegionFile_t(GLO_HERE);
    folders.insert(relative);
  });
  RasterFolders.Set(std::move(folders));
  return RasterFolders.Get();
}

std::uint32_t RasterUpdateDb_t::UpdateCount()
{
  std::uint32_t count = 1;
  for (const auto& folder : Folders()) count += AVN_SumEntries(SourceFolder + folder + u"*.jnx").count;
  return count;
}

void RasterUpdateDb_t::AddSpaceFull(const std::u16string& root, std::uint64_t& available, std::uint64_t& needed)
{
  // The old index lies in the raster folder, which is counted as a whole
  // below; counting it here as well would promise space twice.
  needed += Allocated(Length);
  std::uint64_t copy = 0;
  for (const auto& folder : Folders()) {
    const EntrySizes_t rasters = AVN_SumEntries(SourceFolder + folder + u"*.jnx", AllocationUnit);
    copy += rasters.bytes;
    needed += rasters.allocated;
  }
  SetTotal(CopyTotal, copy);
  std::uint64_t old = 0;
  AVN_WalkFiles(RasterRoot(root), [&](const std::u16string&, const win::FoundFile_t& file) {
    if (!file.IsRegular()) return;
    old += file.Size();
    available += Allocated(file.Size());
  });
  SetTotal(EraseTotal, old);
}

std::vector<std::u16string> RasterUpdateDb_t::ErasedFolders(const std::u16string& root)
{
  return {RasterRoot(root)};
}

std::vector<std::u16string> RasterUpdateDb_t::SourceFolders()
{
  std::vector<std::u16string> folders;
  for (const auto& folder : Folders()) folders.push_back(SourceFolder + folder);
  return folders;
}

std::vector<UpdateDb_t::CopiedFile_t> RasterUpdateDb_t::CopiedFiles(const std::u16string& root)
{
  std::vector<CopiedFile_t> files;
  for (const auto& folder : Folders())
    for (win::FoundFile_t found(SourceFolder + folder + u"*.jnx"); found.Found(); found.Next())
      if (!found.IsFolder()) files.push_back({SourceFolder + folder + found.Name(), RasterRoot(root) + folder + found.Name()});
  return files;
}

void RasterUpdateDb_t::Write(const std::u16string& root, bin::istream& region, TransferProgress_t& progress,
                             win::Event_t& stop, UpdateCounter_t& counter)
{
  EraseFolder(RasterRoot(root), EraseTotal, progress);
  WriteRasters(root, region, progress, stop, counter);
}

void RasterUpdateDb_t::WriteRasters(const std::u16string& root, bin::istream& region, TransferProgress_t& progress,
                                    win::Event_t& stop, UpdateCounter_t& counter)
{
  WriteIndex(*this, RasterRoot(root), root, region, progress, stop, counter);
  if (CopyTotal) progress.SetPhase(ioa::PhaseCharts, CopyTotal.Get());
  for (const auto& folder : Folders()) {
    const std::u16string cardFolder = RasterRoot(root) + folder;
    // Made with its first raster: a folder whose names only hold ".jnx"
    // brings none.
    bool made = false;
    for (win::FoundFile_t found(SourceFolder + folder + u"*.jnx"); found.Found(); found.Next()) {
      if (found.IsFolder()) continue;
      if (!made) win::WIN_CreateFolders(cardFolder);
      made = true;
      WriteFile(SourceFolder + folder + found.Name(), cardFolder, found.Name(), CopyTotal, progress, stop, counter);
    }
  }
}

}  // namespace avn
