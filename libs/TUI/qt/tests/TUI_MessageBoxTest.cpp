#include "TUI_MessageBox.h"

#include <gtest/gtest.h>

#include <QMessageBox>

#include "qt/ModalHand.h"
#include "qt/QtTestApplication.h"

namespace {

TEST(MessageBox, ShowsTheProgramsBoxAndReturnsTheButtonsId)
{
  struct Case {
    std::uint32_t type;
    int press;
    QMessageBox::Icon icon;
  };
  const Case cases[] = {
      {0x00, 1, QMessageBox::NoIcon},   // OK alone
      {0x30, 1, QMessageBox::Warning},  // the transfer's failures
      {0x24, 7, QMessageBox::Question},
      {0x24, 6, QMessageBox::Question},
  };
  for (const auto& c : cases) {
    tui::MessageBox_t box;
    vtest::WhenModal([&c](QWidget& modal) {
      auto* shown = qobject_cast<QMessageBox*>(&modal);
      ASSERT_NE(shown, nullptr);
      EXPECT_EQ(shown->windowTitle(), "Velmora");
      EXPECT_EQ(shown->text(), "The card is full.");
      EXPECT_EQ(shown->icon(), c.icon);
      vtest::Button(modal, c.press).click();
    });
    EXPECT_EQ(box.Show(u"The card is full.", c.type, 0), c.press) << c.type;
  }
}

}  // namespace
