#include <gtest/gtest.h>

#include <QAbstractItemView>

#include "AFX_DriveCombo.h"
#include "AFX_DriveSettingsDialog.h"
#include "AFX_Text.h"
#include "qt/QtTestApplication.h"

namespace {

QStringList Texts(const QComboBox& combo)
{
  QStringList texts;
  for (int i = 0; i < combo.count(); ++i) texts << combo.itemText(i);
  return texts;
}

const win::DriveMap_t twoCards = {{u"/media/alice/NAV", u"NAV (/media/alice/NAV)"},
                                  {u"/media/alice/CARD", u"CARD (/media/alice/CARD)"}};

TEST(DriveCombo, ListsDrivesByRootWithTheirRootsAsData)
{
  afx::DriveCombo_t combo;
  combo.Fill(twoCards);
  EXPECT_EQ(Texts(combo), (QStringList{"CARD (/media/alice/CARD)", "NAV (/media/alice/NAV)"}));
  EXPECT_EQ(combo.itemData(1).toString(), "/media/alice/NAV");
  EXPECT_TRUE(combo.isEnabled());
  combo.setCurrentIndex(1);
  EXPECT_EQ(combo.SelectedDrive(), u"/media/alice/NAV");
  // The dropped list is wide enough for its longest text.
  EXPECT_GT(combo.view()->minimumWidth(), combo.fontMetrics().horizontalAdvance("CARD (/media/alice/CARD)"));
}

TEST(DriveCombo, WithoutDrivesIsEmptyAndDisabled)
{
  afx::DriveCombo_t combo;
  combo.Refresh({});
  EXPECT_EQ(combo.count(), 0);
  EXPECT_FALSE(combo.isEnabled());
  EXPECT_EQ(combo.SelectedDrive(), u"");
}

TEST(DriveCombo, RefreshListsTheNewMapWithItsFirstDriveSelected)
{
  afx::DriveCombo_t combo;
  combo.Fill({{u"/media/alice/NAV", u"NAV (/media/alice/NAV)"}});
  combo.setCurrentIndex(0);
  combo.Refresh(twoCards);
  EXPECT_EQ(combo.count(), 2);
  EXPECT_EQ(combo.SelectedDrive(), u"/media/alice/CARD");
  combo.Refresh({});
  EXPECT_FALSE(combo.isEnabled());
}

TEST(DriveSettingsDialog, BindsItsControlsAndSelectsTheFirstDrive)
{
  QWidget page;
  afx::DriveSettingsDialog_t dialog(twoCards);
  dialog.Create(&page);
  EXPECT_EQ(dialog.parentWidget(), &page);
  EXPECT_EQ(&dialog.Combo(), afx::AFX_GetDlgItem(&dialog, 4102));
  EXPECT_EQ(dialog.Combo().SelectedDrive(), u"/media/alice/CARD");
  // The template's own texts, and the combo named by its label.
  EXPECT_EQ(qobject_cast<QLabel*>(afx::AFX_GetDlgItem(&dialog, 4145))->text(),
            "Select the drive letter used by your storage card reader.");
  EXPECT_EQ(qobject_cast<QGroupBox*>(afx::AFX_GetDlgItem(&dialog, 4144))->title(), "Storage Card Reader");
  EXPECT_EQ(qobject_cast<QLabel*>(afx::AFX_GetDlgItem(&dialog, 4145))->buddy(), &dialog.Combo());

  dialog.Refresh({});
  EXPECT_TRUE(dialog.Drives().empty());
  EXPECT_FALSE(dialog.Combo().isEnabled());
}

}  // namespace
