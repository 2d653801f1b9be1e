#pragma once
// The child dialog that holds the drive list (template 4104): a group box
// with a line of instructions and the drive combo box, made to sit inside a
// wizard page. The instructions are the combo box's label (its buddy), which
// screen readers announce with it.

#include <QGroupBox>
#include <QLabel>
#include <QWidget>
#include <memory>

#include "AFX_DlgItem.h"
#include "AFX_DriveCombo.h"
#include "GLO_NonCopyable.h"
#include "WIN_Drives.h"

namespace Ui {
class DriveSettingsDialog;
}

namespace afx {

class DriveSettingsDialog_t : public QWidget, public glo::NonCopyable_t {
  Q_OBJECT

 public:
  // Keeps a copy of the map; the window is made by Create.
  explicit DriveSettingsDialog_t(win::DriveMap_t drives);
  ~DriveSettingsDialog_t() override;

  // Makes the dialog's controls from its template as a child of the parent
  // and runs the dialog initialisation.
  void Create(QWidget* parent);

  DriveCombo_t& Combo() { return *combo_; }
  const win::DriveMap_t& Drives() const noexcept { return drives_; }
  // Replaces the map and lists its drives, the first one selected.
  void Refresh(win::DriveMap_t drives);

 protected:
  // Binds the combo box (4102), the instructions (4145) and the group box
  // (4144), fills the list from the map and selects its first drive.
  virtual void OnInitDialog();

  Ctrl_t<QLabel> instructions_;
  Ctrl_t<QGroupBox> group_;

 private:
  std::unique_ptr<Ui::DriveSettingsDialog> ui_;
  win::DriveMap_t drives_;
  Ctrl_t<DriveCombo_t> combo_;
};

}  // namespace afx
