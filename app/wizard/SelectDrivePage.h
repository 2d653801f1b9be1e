#pragma once
// The second page: the removable drives to choose the card's from, and
// "Find Drive" to list them again after a reader was plugged in (template
// 106). The list is a snapshot; nothing refreshes it behind the user's back.

#include <memory>

#include "DriveSettingsDialog.h"
#include "PropertyPage.h"
#include "WIN_Drives.h"

namespace Ui {
class SelectDrivePage;
}

namespace vm {

class SelectDrivePage_t : public PropertyPage_t {
  Q_OBJECT

 public:
  // Lists the removable drives of the sources (raises as WIN_ListDrives).
  explicit SelectDrivePage_t(win::DriveSources_t sources);
  ~SelectDrivePage_t() override;

  // Places the drive dialog (id 4104) where control 1004 is.
  void OnInitDialog() override;
  // Asks for Back and Next.
  bool OnSetActive() override;
  // "Find Drive": lists the drives anew, the first one selected.
  void OnFindDrive();

  // The root of the selected drive; empty when the list is empty.
  std::u16string SelectedDrive();
  DriveSettingsDialog_t& DriveDialog() noexcept { return driveDialog_; }

 private:
  std::unique_ptr<Ui::SelectDrivePage> ui_;
  win::DriveSources_t sources_;
  DriveSettingsDialog_t driveDialog_;
};

}  // namespace vm
