#pragma once
// The drive list of the drive page: the framework's drive dialog with the
// wizard's own texts (messages 11814 and 11813).

#include "AFX_DriveSettingsDialog.h"

namespace vm {

class DriveSettingsDialog_t : public afx::DriveSettingsDialog_t {
  Q_OBJECT

 public:
  using afx::DriveSettingsDialog_t::DriveSettingsDialog_t;

 protected:
  void OnInitDialog() override;
};

}  // namespace vm
