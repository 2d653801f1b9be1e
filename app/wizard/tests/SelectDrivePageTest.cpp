#include "SelectDrivePage.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include "AFX_DlgItem.h"
#include "AFX_Text.h"
#include "GLO_Text.h"
#include "TempFolder.h"
#include "WIN_ResourceString.h"
#include "WizardFrame.h"
#include "WizardTestSupport.h"

namespace {

class DrivePage : public ::testing::Test {
 protected:
  vm::SelectDrivePage_t& Show()
  {
    context_.runMode = vm::RunModeConfiguration;
    context_.driveSources = tree_.Sources();
    frame_ = std::make_unique<vm::WizardFrame_t>(context_);
    frame_->show();
    frame_->Sheet().next();
    QApplication::processEvents();
    return frame_->Sheet().SelectDrive();
  }

  QStringList Listed(const vm::SelectDrivePage_t& page)
  {
    auto* combo = qobject_cast<QComboBox*>(afx::AFX_GetDlgItem(&page, 4102));
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
    return texts;
  }

  QString Display(const std::string& label, const std::filesystem::path& root)
  {
    return QString::fromStdString(label + " (" + root.string() + ")");
  }

  vtest::TempFolder folder_;
  wtest::DriveTree tree_{folder_.Path()};
  vm::WizardContext_t context_;
  std::unique_ptr<vm::WizardFrame_t> frame_;
};

TEST_F(DrivePage, ListsTheCardsByRootWithTheFirstSelected)
{
  const auto nav = tree_.AddCard("sdb", "8:16", "NAV");
  const auto card = tree_.AddCard("sdc", "8:32", "CARD");
  tree_.AddFloppy();
  auto& page = Show();
  EXPECT_EQ(Listed(page), (QStringList{Display("CARD", card), Display("NAV", nav)}));
  EXPECT_EQ(page.SelectedDrive(), glo::GLO_FileNameToWide(card.string()));
  EXPECT_EQ(wtest::Text(page, 4145), afx::AFX_ToQString(win::ResourceString_t(11814, GLO_HERE).Text()));
  EXPECT_EQ(qobject_cast<QGroupBox*>(afx::AFX_GetDlgItem(&page, 4144))->title(), "Storage Device");
  // A screen reader announces the list with what it is for.
  EXPECT_EQ(qobject_cast<QLabel*>(afx::AFX_GetDlgItem(&page, 4145))->buddy(), afx::AFX_GetDlgItem(&page, 4102));
  EXPECT_EQ(afx::AFX_GetCtrlId(afx::AFX_GetDlgItem(&page, 4102)->parentWidget()->parentWidget()), 4104);
}

TEST_F(DrivePage, WithoutACardTheListIsEmptyAndDisabledButNextStays)
{
  auto& page = Show();
  QWidget* combo = afx::AFX_GetDlgItem(&page, 4102);
  EXPECT_TRUE(Listed(page).isEmpty());
  EXPECT_FALSE(combo->isEnabled());
  EXPECT_EQ(page.SelectedDrive(), u"");
  EXPECT_TRUE(wtest::Button(*frame_, vm::IdNextButton).isEnabled());
}

TEST_F(DrivePage, FindDriveListsACardPluggedInAndSelectsTheFirst)
{
  const auto nav = tree_.AddCard("sdb", "8:16", "NAV");
  auto& page = Show();
  EXPECT_EQ(Listed(page), QStringList{Display("NAV", nav)});
  const auto card = tree_.AddCard("sdc", "8:32", "CARD");
  // Nothing changes until the user asks.
  EXPECT_EQ(Listed(page), QStringList{Display("NAV", nav)});
  wtest::Button(page, 1006).click();
  QApplication::processEvents();
  EXPECT_EQ(Listed(page), (QStringList{Display("CARD", card), Display("NAV", nav)}));
  EXPECT_EQ(page.SelectedDrive(), glo::GLO_FileNameToWide(card.string()));
  EXPECT_TRUE(afx::AFX_GetDlgItem(&page, 4102)->isEnabled());
  EXPECT_TRUE(wtest::Button(*frame_, vm::IdNextButton).isEnabled());
}

}  // namespace
