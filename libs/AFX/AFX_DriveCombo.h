#pragma once
// The drop-down list of drives: one item per drive in the map's order (by
// root), the display text shown and the root kept as the item's data.

#include <QComboBox>
#include <string>

#include "WIN_Drives.h"

namespace afx {

class DriveCombo_t : public QComboBox {
  Q_OBJECT

 public:
  explicit DriveCombo_t(QWidget* parent = nullptr);

  // Adds the map's drives after the items there, widens the dropped list to
  // its longest text, and enables the control only when it holds a drive.
  void Fill(const win::DriveMap_t& drives);
  // Empties the list, fills it from the map and selects the first drive.
  void Refresh(const win::DriveMap_t& drives);
  // The root of the selected drive; empty when nothing is selected.
  std::u16string SelectedDrive() const;
};

}  // namespace afx
