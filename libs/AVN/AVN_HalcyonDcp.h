#pragma once
// The card programmer: the one way the transfers write to a card, with the
// card's free space and every path it writes checked before the first byte
// is written.
//
// A job holds the card from its start until Finish or the end of the
// programmer: no other transfer, of this process or another, may write to
// it meanwhile, and every card path is reached through the card's root
// without links and without leaving its volume.

#include <cstdint>
#include <memory>
#include <string>

#include "AVN_AviationDatabase.h"
#include "AVN_UpdateDb.h"
#include "GLO_NonCopyable.h"
#include "TUI_ProgressDlgIntf.h"
#include "WIN_ConfinedFolder.h"
#include "WIN_Event.h"

namespace avn {

class UpdateRegionFile_t;

class HalcyonDcp_t : public glo::NonCopyable_t {
 public:
  // The card is the root folder of its volume, or any folder given as the
  // target; it must not be empty.
  explicit HalcyonDcp_t(std::u16string root);
  ~HalcyonDcp_t();

  // The bytes available to the user on the card. Raises win::Error_t.
  std::uint64_t FreeSpace() const;

  // Writes every database, chart and raster of the update. The block is
  // copied and verified first, the card's space checked in its allocation
  // units (InsufficientCardFreeSpace_t, equal is enough), and every card
  // path the update writes or erases examined (CardRefused_t for a link, a
  // device or a file where a folder belongs, and for a folder or link
  // where a file belongs; the same when the update or the files it copies
  // lie in a folder that it erases; BadRegionFile_t for a chart or raster
  // that is a link, device or pipe): a failure before the writing starts
  // leaves the card untouched. A card that another transfer holds raises
  // CardRefused_t; one that is no folder win::FileError_t.
  void ProgramUpdate(const AviationDatabase_t& update, win::Event_t& stop, TransferProgress_t& progress,
                     tui::ProgressDlgIntf_t& dialog);

  // Holds the card for the configuration job and checks what it can before
  // the card changes: raises CardRefused_t when another transfer holds the
  // card, unless the configuration file is a regular file that can be read
  // (no link, folder, device or pipe), and when what stands where the file
  // goes on the card (the folder "cfg/" in run mode 1, the file) is of
  // another kind; win::FileError_t when the card is no folder.
  void CheckConfiguration(int runMode, const std::u16string& path);

  // Copies one configuration file to the card: into "cfg/" in run mode 1,
  // else into the root. Its whole size, in the card's allocation units,
  // must be free on the card (an old copy is not counted), else
  // InsufficientCardFreeSpace_t. The card is held and checked as
  // CheckConfiguration does.
  void ProgramConfiguration(win::Event_t& stop, TransferProgress_t& progress, int runMode, const std::u16string& path);

  // Makes what the jobs wrote durable on the card's volume and lets the
  // card go. Raises win::FileError_t when the card vanished or was changed
  // since the job began (ENODEV), or could not write it all; a card that is
  // not held is let go at once.
  void Finish();

  // Where ProgramConfiguration puts the configuration file on the card.
  std::u16string ConfigurationTarget(int runMode, const std::u16string& path) const;

  const std::u16string Root;

 private:
  void Hold();
  // Refuses (CardRefused_t) what stands in the place of the card path: a
  // folder above it that is no folder, and, unless the path ends in a
  // separator (a folder), a file that is no regular file.
  void CheckPlace(const std::u16string& path) const;
  void CheckCard(UpdateRegionFile_t& region, const AviationDatabase_t& update) const;

  std::unique_ptr<win::ConfinedFolder_t> card_;
};

}  // namespace avn
