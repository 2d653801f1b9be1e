#pragma once
// The card programmer: the one way the transfers write to a card, with the
// card's free space checked before the first byte is written.

#include <cstdint>
#include <string>

#include "AVN_AviationDatabase.h"
#include "AVN_UpdateDb.h"
#include "GLO_NonCopyable.h"
#include "TUI_ProgressDlgIntf.h"
#include "WIN_Event.h"

namespace avn {

class HalcyonDcp_t : public glo::NonCopyable_t {
 public:
  // The card is the root folder of its volume, or any folder given as the
  // target; it must not be empty.
  explicit HalcyonDcp_t(std::u16string root);

  // The bytes available to the user on the card. Raises win::Error_t.
  std::uint64_t FreeSpace() const;

  // Writes every database, chart and raster of the update. The block is
  // copied and verified first, and the card's space checked
  // (InsufficientCardFreeSpace_t, equal is enough): a failure before the
  // writing starts leaves the card untouched.
  void ProgramUpdate(const AviationDatabase_t& update, win::Event_t& stop, TransferProgress_t& progress,
                     tui::ProgressDlgIntf_t& dialog);

  // Copies one configuration file to the card: into "cfg/" in run mode 1,
  // else into the root. Its whole size must be free on the card (an old
  // copy is not counted), else InsufficientCardFreeSpace_t. A file that
  // cannot be opened raises win::FileError_t with its path.
  void ProgramConfiguration(win::Event_t& stop, TransferProgress_t& progress, int runMode, const std::u16string& path);

  const std::u16string Root;
};

}  // namespace avn
