#include "WizardSheet.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QtTest/QTest>

#include "AFX_DlgItem.h"
#include "AFX_Text.h"
#include "SelectDrivePage.h"
#include "TempFolder.h"
#include "TransferPage.h"
#include "WIN_ResourceString.h"
#include "WelcomePage.h"
#include "WizardFrame.h"
#include "WizardTestSupport.h"

namespace {

// A wizard shown over an update file and a machine with one card.
class Wizard : public ::testing::Test {
 protected:
  void SetUp() override
  {
    wtest::WriteUpdateFile(folder_ / "nav.vlm");
    update_.Load(folder_.Wide("nav.vlm"));
    tree_.AddCard("sdb", "8:16", "CARD");
    context_.updateFile = &update_;
    context_.driveSources = tree_.Sources();
  }

  vm::WizardFrame_t& Show()
  {
    frame_ = std::make_unique<vm::WizardFrame_t>(context_);
    frame_->show();
    Settle();
    return *frame_;
  }

  // Lets the queued button changes arrive.
  static void Settle() { QApplication::processEvents(); }

  QAbstractButton& Button(int id) { return wtest::Button(*frame_, id); }
  QWizardPage* Current() { return frame_->Sheet().currentPage(); }

  vtest::TempFolder folder_;
  avn::VlmsDatabase_t update_;
  wtest::DriveTree tree_{folder_.Path()};
  vm::WizardContext_t context_;
  std::unique_ptr<vm::WizardFrame_t> frame_;
};

TEST_F(Wizard, BackIsHiddenOnlyOnTheFirstPage)
{
  auto& frame = Show();
  EXPECT_EQ(Current(), &frame.Sheet().Welcome());
  EXPECT_FALSE(Button(vm::IdBackButton).isVisible());
  EXPECT_TRUE(Button(vm::IdNextButton).isEnabled());
  Button(vm::IdNextButton).click();
  Settle();
  EXPECT_EQ(Current(), &frame.Sheet().SelectDrive());
  EXPECT_TRUE(Button(vm::IdBackButton).isVisible());
  EXPECT_TRUE(Button(vm::IdBackButton).isEnabled());
  Button(vm::IdBackButton).click();
  Settle();
  EXPECT_EQ(Current(), &frame.Sheet().Welcome());
  EXPECT_FALSE(Button(vm::IdBackButton).isVisible());
}

TEST_F(Wizard, TheTransferPageShowsItsInstructionsAndFinishOnlyAfterASuccess)
{
  struct Case {
    vm::RunMode_t runMode;
    std::uint32_t instructions;
  };
  for (const Case& c : {Case{vm::RunModeUpdateFile, 2001}, Case{vm::RunModeConfiguration, 2030},
                        Case{vm::RunModeConfigurationQza, 2030}}) {
    context_.runMode = c.runMode;
    context_.updateFile = c.runMode == vm::RunModeUpdateFile ? &update_ : nullptr;
    auto& frame = Show();
    frame.Sheet().next();
    frame.Sheet().next();
    Settle();
    EXPECT_EQ(Current(), &frame.Sheet().Transfer());
    EXPECT_EQ(wtest::Text(frame, 1008), afx::AFX_ToQString(win::ResourceString_t(c.instructions, GLO_HERE).Text()));
    EXPECT_EQ(Button(1010).text(), "Program Device");
    EXPECT_FALSE(Button(vm::IdNextButton).isVisible());
    EXPECT_TRUE(Button(vm::IdFinishButton).isVisible());
    EXPECT_FALSE(Button(vm::IdFinishButton).isEnabled());
    EXPECT_TRUE(Button(vm::IdBackButton).isEnabled());

    frame.Sheet().SetDone();
    frame.Sheet().back();
    frame.Sheet().next();
    Settle();
    EXPECT_TRUE(Button(vm::IdFinishButton).isEnabled());
    Button(vm::IdFinishButton).click();
    EXPECT_EQ(frame.result(), QDialog::Accepted);
  }
}

TEST_F(Wizard, TheWelcomePageOfAConfigurationCardGreetsOnly)
{
  context_.runMode = vm::RunModeConfiguration;
  context_.updateFile = nullptr;
  auto& frame = Show();
  EXPECT_EQ(wtest::Text(frame, 1011),
            afx::AFX_ToQString(win::ResourceString_t(2027, GLO_HERE).Format(u"Velmora", GLO_HERE)));
  for (int id : {1035, 1036, 1037, 1003, 1005, 1007}) EXPECT_EQ(wtest::Text(frame, id), "") << id;
}

TEST_F(Wizard, EnterPressesTheFocusedButtonElseTheDefaultOne)
{
  auto& frame = Show();
  frame.Sheet().next();
  Settle();
  auto& page = frame.Sheet().SelectDrive();
  QWidget* combo = afx::AFX_GetDlgItem(&page, 4102);

  // Shift held: nothing special.
  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Return, Qt::ShiftModifier);
  Settle();
  EXPECT_EQ(Current(), &page);

  // A button with the focus is pressed: Find Drive lists the new card.
  tree_.AddCard("sdc", "8:32", "AAA");
  QWidget* find = afx::AFX_GetDlgItem(&page, 1006);
  find->setFocus();
  QTest::keyClick(find, Qt::Key_Return);
  Settle();
  EXPECT_EQ(Current(), &page);
  EXPECT_EQ(qobject_cast<QComboBox*>(combo)->count(), 2);

  // The drive list is no button: Enter presses the default button, Next.
  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Enter);
  Settle();
  EXPECT_EQ(Current(), &frame.Sheet().Transfer());

  // Finish is the default there, but disabled: Enter does nothing.
  frame.Sheet().Transfer().setFocus();
  QTest::keyClick(&frame.Sheet().Transfer(), Qt::Key_Return);
  Settle();
  EXPECT_EQ(Current(), &frame.Sheet().Transfer());
  EXPECT_TRUE(frame.isVisible());
}

TEST_F(Wizard, CancelAndClosingEndWithCancelUntilATransferSucceeded)
{
  struct Case {
    bool done;
    bool close;
    int result;
  };
  for (const Case& c : {Case{false, false, 2}, Case{false, true, 2}, Case{true, false, 1}, Case{true, true, 1}}) {
    frame_ = std::make_unique<vm::WizardFrame_t>(context_);
    auto& frame = *frame_;
    if (c.done) frame.Sheet().SetDone();
    wtest::WhenModal([&](QWidget&) {
      if (c.close)
        frame.close();
      else
        Button(vm::IdCancelButton).click();
    });
    EXPECT_EQ(frame.exec(), c.result) << c.done << c.close;
  }
}

TEST_F(Wizard, TheAboutBoxOpensFromItsButtonAndF1)
{
  auto& frame = Show();
  EXPECT_EQ(Button(vm::IdAboutButton).text(), "&About Velmora...");
  for (bool key : {false, true}) {
    QString caption;
    wtest::WhenModal([&](QWidget& about) {
      caption = about.windowTitle();
      wtest::Button(about, 1).click();
    });
    if (key) {
      // Shortcuts go to the active window.
      frame.activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
      QTest::keyClick(frame.focusWidget() != nullptr ? frame.focusWidget() : &frame, Qt::Key_F1);
    } else {
      Button(vm::IdAboutButton).click();
    }
    EXPECT_EQ(caption, "About Velmora") << key;
  }
}

TEST_F(Wizard, EveryControlHasAName)
{
  auto& frame = Show();
  for (int page = 0; page < 3; ++page) {
    for (QAbstractButton* button : frame.findChildren<QAbstractButton*>())
      if (button->isVisible()) {
        EXPECT_FALSE(button->text().isEmpty()) << afx::AFX_GetCtrlId(button);
      }
    frame.Sheet().next();
    Settle();
  }
  auto* combo = afx::AFX_GetDlgItem(&frame.Sheet().SelectDrive(), 4102);
  EXPECT_EQ(qobject_cast<QLabel*>(afx::AFX_GetDlgItem(&frame.Sheet().SelectDrive(), 4145))->buddy(), combo);
}

TEST_F(Wizard, TabGoesThroughTheDrivePageInTheTemplatesOrder)
{
  auto& frame = Show();
  frame.Sheet().next();
  Settle();
  auto& page = frame.Sheet().SelectDrive();
  QWidget* combo = afx::AFX_GetDlgItem(&page, 4102);
  QWidget* find = afx::AFX_GetDlgItem(&page, 1006);
  EXPECT_EQ(combo->nextInFocusChain(), find);
  combo->setFocus();
  frame.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  QTest::keyClick(combo, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), find);
}

}  // namespace
