#pragma once
// What the wizard's pages are built from: the run mode and what start-up
// read for it, where the drive list comes from and how a card is unmounted.

#include <string>

#include "AVN_AviationDatabase.h"
#include "GLO_Optional.h"
#include "RunMode.h"
#include "WIN_DismountVolume.h"
#include "WIN_Drives.h"

namespace vm {

struct WizardContext_t {
  RunMode_t runMode = RunModeUpdateFile;
  // The loaded update file in run mode 0, null in run modes 1 and 2; it
  // outlives the wizard.
  const avn::VlmsDatabase_t* updateFile = nullptr;
  glo::Optional_t<std::u16string> batchScriptPath;
  win::DriveSources_t driveSources;
  // The file the program was started with: the configuration file that run
  // modes 1 and 2 copy to the card.
  std::u16string filePath;
  // How a programmed card is unmounted.
  win::DismountSources_t dismountSources;
};

}  // namespace vm
