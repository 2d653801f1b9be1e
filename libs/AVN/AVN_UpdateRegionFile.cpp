#include "AVN_UpdateRegionFile.h"

#include "AVN_CardFiles.h"
#include "AVN_CardLayout.h"
#include "AVN_ChartUpdateDb.h"
#include "AVN_CopyToFile.h"
#include "AVN_DatabaseChecksum.h"
#include "AVN_Exceptions.h"
#include "AVN_RegionBlock.h"
#include "AVN_RegionScan.h"
#include "AVN_UpdateCounter.h"
#include "FIL_File.h"
#include "WIN_Utilities.h"

namespace avn {
namespace {

constexpr unsigned PartialChartKind = 21;

}  // namespace

std::unique_ptr<UpdateDb_t> AVN_MakeUpdateDb(std::uint32_t kind, std::uint32_t offset, std::uint32_t length,
                                             const std::u16string& sourceFolder, const std::u16string& cycleText)
{
  switch (kind) {
    case 1:
    case 50:
      return std::make_unique<AdbUpdateDb_t>(kind, offset, length);
    case 33:
    case 34:
    case 35:
    case 52:
      return std::make_unique<TerrainUpdateDb_t>(kind, offset, length);
    case 20:
      return std::make_unique<SlFullTpcUpdateDb_t>(kind, offset, length, sourceFolder);
    case PartialChartKind:
      return std::make_unique<SlPartialTpcUpdateDb_t>(kind, offset, length, sourceFolder, cycleText);
    case 26:
      return std::make_unique<RasterUpdateDb_t>(kind, offset, length, sourceFolder);
    default:
      return std::make_unique<UpdateDb_t>(kind, offset, length);
  }
}

UpdateRegionFile_t::UpdateRegionFile_t(const AviationDatabase_t& update, std::u16string root, win::Event_t& stop,
                                       TransferProgress_t& progress)
    : temporary_(u"rgn"), root_(std::move(root)), stop_(stop), progress_(progress)
{
  const std::uint64_t free = win::WIN_GetFreeDiskSpace(temporary_.Path());
  if (free < update.RegionLength()) throw InsufficientDriveFreeSpace_t(GLO_HERE, update.RegionLength(), free);

  progress_.SetPhase(ioa::PhaseCopying, update.RegionLength());
  RegionScan_t scan;
  {
    bin::fstream source(update.Path(), bin::fstream::in, fil::DenyNone);
    source.seekg(update.RegionOffset());
    // The checksums are taken from the bytes on their way to the copy.
    CopyToFile(source, update.RegionLength(), temporary_.Path(), stop_, progress_, CopyChunk,
               [&scan](const unsigned char* bytes, std::uint32_t count) { scan.Feed(bytes, count); });
  }
  region_ = std::make_unique<bin::fstream>(temporary_.Path(), bin::fstream::in, fil::DenyNone);
  glo::GLO_Assert(region_->isOpen(), GLO_HERE);
  ReadBlock(scan, AVN_FolderOf(update.Path()), update.CycleText());
}

void UpdateRegionFile_t::ReadBlock(const RegionScan_t& scan, const std::u16string& sourceFolder,
                                   const std::u16string& cycleText)
{
  AVN_WalkDatabases(*region_, [&](const DatabaseRecord_t& database) {
    if (!AVN_IsSupportedKind(database.kind)) return true;
    progress_.SetPhase(ioa::PhaseVerifying, database.length);
    // A later database of a kind already taken is checked the long way, as
    // the check reads the first one of the kind again.
    std::optional<bool> verified;
    if (databases_.count(database.kind) == 0) verified = scan.Verified(database.start, database.length);
    if (verified)
      progress_.Step(database.length);
    else
      verified = VerifyDatabase(*region_, database.kind, database.length, progress_, stop_);
    if (!*verified) throw BadRegionFile_t(GLO_HERE);
    databases_.Insert(AVN_MakeUpdateDb(database.kind, database.start, database.length, sourceFolder, cycleText));
    return true;
  });
}

void UpdateRegionFile_t::ComputeSpace(std::uint64_t& available, std::uint64_t& needed, std::uint64_t allocationUnit)
{
  for (auto& [kind, database] : databases_) {
    database->AllocationUnit = allocationUnit;
    database->AddSpaceFull(root_, available, needed);
  }
}

void UpdateRegionFile_t::WriteAll(tui::ProgressDlgIntf_t& dialog)
{
  UpdateCounter_t counter(dialog, databases_.UpdateCount());
  auto partial = databases_.find(PartialChartKind);
  if (partial != databases_.end()) partial->second->Write(root_, *region_, progress_, stop_, counter);
  for (auto& [kind, database] : databases_)
    if (kind != PartialChartKind) database->Write(root_, *region_, progress_, stop_, counter);
}

}  // namespace avn
