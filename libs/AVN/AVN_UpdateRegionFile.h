#pragma once
// Prepares the transfer of an update: the block of databases copied to the
// computer, checked, every database verified against its checksum, and the
// databases ready to be written to the card.

#include <cstdint>
#include <memory>
#include <string>

#include "AVN_AviationDatabase.h"
#include "AVN_UpdateDb.h"
#include "BIN_FileStream.h"
#include "GLO_NonCopyable.h"
#include "TUI_ProgressDlgIntf.h"
#include "WIN_Event.h"
#include "WIN_SmartTempFile.h"

namespace avn {

class RegionScan_t;

class UpdateRegionFile_t : public glo::NonCopyable_t {
 public:
  // Copies the block into a temporary file "rgn*.tmp" of the program's
  // temporary folder (phase "copying"), checks its header and verifies each
  // database of a supported kind (phase "verifying"). The checksums are
  // taken from the bytes as they are copied, so the verifying phase of the
  // first database of each kind has its answer at once. Raises
  // InsufficientDriveFreeSpace_t when the temporary folder's drive cannot
  // hold the block (equal is enough), BadRegionFile_t for a damaged block
  // or database, glo::Terminate_t when stopped. The card is the folder root;
  // the stop event and the progress must outlive the object.
  UpdateRegionFile_t(const AviationDatabase_t& update, std::u16string root, win::Event_t& stop,
                     TransferProgress_t& progress);

  // Adds what every database needs and frees on the card, each file
  // rounded up to whole allocation units of the card.
  void ComputeSpace(std::uint64_t& available, std::uint64_t& needed, std::uint64_t allocationUnit = 1);
  // Writes every database: a partial chart update first, then the others
  // in ascending kind order, counting them on the dialog's update line.
  void WriteAll(tui::ProgressDlgIntf_t& dialog);

  const UpdateDbs_t& Databases() const noexcept { return databases_; }

 private:
  void ReadBlock(const RegionScan_t& scan, const std::u16string& sourceFolder, const std::u16string& cycleText);

  win::SmartTempFile_t temporary_;
  // Opened once the block is copied: a file stream takes its file's size
  // when it opens.
  std::unique_ptr<bin::fstream> region_;
  const std::u16string root_;
  win::Event_t& stop_;
  TransferProgress_t& progress_;
  UpdateDbs_t databases_;
};

// The database object of a supported kind, of the class that writes it;
// the chart kinds take the update file's folder (with its trailing "/"),
// the partial chart update also its cycle text.
std::unique_ptr<UpdateDb_t> AVN_MakeUpdateDb(std::uint32_t kind, std::uint32_t offset, std::uint32_t length,
                                             const std::u16string& sourceFolder, const std::u16string& cycleText);

}  // namespace avn
