#pragma once
// The databases that carry charts and rasters. Their bytes in the block are
// only an index; the charts and rasters are files that travel beside the
// update file and are copied to the card with it.

#include <cstdint>
#include <set>
#include <string>

#include "AVN_UpdateDb.h"

namespace avn {

// A full chart set (kind 20): the index goes to "sl_tpc/sl_tpc.dat", the
// files of the folder "charts/" beside the update to "sl_tpc/charts/" on
// the card, once the old chart set is gone.
class SlFullTpcUpdateDb_t : public UpdateDb_t {
 public:
  // sourceFolder is the update file's folder, with its trailing "/".
  SlFullTpcUpdateDb_t(std::uint32_t kind, std::uint32_t offset, std::uint32_t length, std::u16string sourceFolder)
      : UpdateDb_t(kind, offset, length), SourceFolder(std::move(sourceFolder))
  {
  }

  // Also the chart files to copy (needed, CopyTotal) and those on the card
  // (available, EraseTotal). A chart folder without a file raises
  // BadRegionFile_t; sums past 4 GiB raise glo::OutOfRange_t.
  void AddSpaceFull(const std::u16string& root, std::uint64_t& available, std::uint64_t& needed) override;
  // Erases the card's chart folder with everything in it, then writes the
  // charts.
  void Write(const std::u16string& root, bin::istream& region, TransferProgress_t& progress, win::Event_t& stop,
             UpdateCounter_t& counter) override;
  // One for the index and one per chart file.
  std::uint32_t UpdateCount() override;
  // The chart root, "sl_tpc/".
  std::vector<std::u16string> ErasedFolders(const std::u16string& root) override;
  // "charts/" beside the update.
  std::vector<std::u16string> SourceFolders() override { return {SourceFolder + u"charts/"}; }
  // Every file of "charts/" beside the update, into "sl_tpc/charts/".
  std::vector<CopiedFile_t> CopiedFiles(const std::u16string& root) override;

  const std::u16string SourceFolder;
  glo::Optional_t<std::uint32_t> CopyTotal;
  glo::Optional_t<std::uint32_t> EraseTotal;

 protected:
  // Copies the index, then every chart file of the source folder's
  // "charts/" (sub-folders are skipped). A missing chart folder, or a chart
  // file that cannot be read, raises BadRegionFile_t.
  void WriteCharts(const std::u16string& root, bin::istream& region, TransferProgress_t& progress, win::Event_t& stop,
                   UpdateCounter_t& counter);
};

// An incremental chart update (kind 21): accepted on top of the card's chart
// set when it is the same cycle or up to two cycles newer; nothing is
// removed, files of the same name are replaced.
class SlPartialTpcUpdateDb_t : public SlFullTpcUpdateDb_t {
 public:
  SlPartialTpcUpdateDb_t(std::uint32_t kind, std::uint32_t offset, std::uint32_t length, std::u16string sourceFolder,
                         std::u16string cycleText)
      : SlFullTpcUpdateDb_t(kind, offset, length, std::move(sourceFolder)), CycleText(std::move(cycleText))
  {
  }

  // The index and the chart files to copy; of the card's charts only those
  // that the update replaces count as freed, for the others stay.
  void AddSpaceFull(const std::u16string& root, std::uint64_t& available, std::uint64_t& needed) override;
  // The index and every chart file, in the card's chart folder.
  std::vector<std::u16string> CardFiles(const std::u16string& root) override;
  // Nothing is erased.
  std::vector<std::u16string> ErasedFolders(const std::u16string&) override { return {}; }
  // Refuses with BadPartialTpcUpdateFile_t (messages 11802 to 11804) an
  // update that does not fit the card's chart set, then writes the charts.
  void Write(const std::u16string& root, bin::istream& region, TransferProgress_t& progress, win::Event_t& stop,
             UpdateCounter_t& counter) override;

  // The update file's cycle, as the messages show it.
  const std::u16string CycleText;
};

// Raster files (kind 26): the index goes to "rasters/rasters.xml", and every
// file whose name holds ".jnx", anywhere below the update file's folder, to
// the same folder below "rasters/" on the card, once the old rasters are
// gone.
class RasterUpdateDb_t : public UpdateDb_t {
 public:
  RasterUpdateDb_t(std::uint32_t kind, std::uint32_t offset, std::uint32_t length, std::u16string sourceFolder)
      : UpdateDb_t(kind, offset, length), SourceFolder(std::move(sourceFolder))
  {
  }

  // Also the raster files to copy (needed, CopyTotal) and every file below
  // the card's raster folder (available, EraseTotal).
  void AddSpaceFull(const std::u16string& root, std::uint64_t& available, std::uint64_t& needed) override;
  void Write(const std::u16string& root, bin::istream& region, TransferProgress_t& progress, win::Event_t& stop,
             UpdateCounter_t& counter) override;
  // One for the index and one per raster file.
  std::uint32_t UpdateCount() override;
  // The raster root, "rasters/".
  std::vector<std::u16string> ErasedFolders(const std::u16string& root) override;
  // Every folder that holds raster files.
  std::vector<std::u16string> SourceFolders() override;
  // Every raster file, into its folder below "rasters/".
  std::vector<CopiedFile_t> CopiedFiles(const std::u16string& root) override;

  // The folders below the update file's folder that hold raster files, as
  // relative paths ("", "north/", "north/east/"), found once and kept.
  // Links to folders are not followed.
  const std::set<std::u16string>& Folders();

  const std::u16string SourceFolder;
  glo::Optional_t<std::uint32_t> CopyTotal;
  glo::Optional_t<std::uint32_t> EraseTotal;
  glo::Optional_t<std::set<std::u16string>> RasterFolders;

 private:
  void WriteRasters(const std::u16string& root, bin::istream& region, TransferProgress_t& progress, win::Event_t& stop,
                    UpdateCounter_t& counter);
};

}  // namespace avn
