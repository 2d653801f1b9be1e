#pragma once
// The transfer of an update file: every database of the update, with its
// charts and rasters, written to the card.

#include "AVN_AviationDatabase.h"
#include "XferThread.h"

namespace vm {

struct VlmsXferParameter_t : XferParameter_t {
  // Loaded and checked at start-up; not changed while a transfer runs.
  const avn::AviationDatabase_t* update = nullptr;
};

class VlmsXferThread_t : public XferThread_t {
 public:
  VlmsXferThread_t(dio::AccessPointIntf_t& accessPoint, const VlmsXferParameter_t& parameter,
                   tui::ProgressDlgIntf_t& progressDialog, tui::MessageBoxIntf_t& messageBox)
      : XferThread_t(accessPoint, parameter, progressDialog, messageBox), update_(parameter.update)
  {
  }

 protected:
  void Run(win::Event_t& stop, avn::HalcyonDcp_t& programmer, avn::TransferProgress_t& progress,
           tui::ProgressDlgIntf_t& progressDialog) override
  {
    programmer.ProgramUpdate(*update_, stop, progress, progressDialog);
  }

 private:
  const avn::AviationDatabase_t* update_;
};

}  // namespace vm
