#include "AFX_MessageBox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>
#include <vector>

#include "AFX_DlgItem.h"
#include "qt/QtTestApplication.h"

namespace {

// What the box showed, read by the test while it is open.
struct Seen {
  QString caption;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  std::vector<int> buttons;
  int defaultButton = 0;
};

// Shows the box and, once it is open, reads it and lets act close it.
int ShowAndClose(std::uint32_t type, Seen& seen, const std::function<void(QMessageBox&)>& act)
{
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen.caption = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    for (QAbstractButton* button : box->buttons()) seen.buttons.push_back(afx::AFX_GetCtrlId(button));
    std::sort(seen.buttons.begin(), seen.buttons.end());
    if (box->defaultButton() != nullptr) seen.defaultButton = afx::AFX_GetCtrlId(box->defaultButton());
    act(*box);
  });
  return afx::AFX_MessageBox(nullptr, u"Card full.", type, u"Velmora");
}

void Click(QMessageBox& box, int id)
{
  auto* button = qobject_cast<QAbstractButton*>(afx::AFX_GetDlgItem(&box, id));
  ASSERT_NE(button, nullptr);
  button->click();
}

TEST(MessageBox, TypeFlagsChooseButtonsIconAndDefault)
{
  struct Case {
    std::uint32_t type;
    std::vector<int> buttons;
    QMessageBox::Icon icon;
    int defaultButton;
  };
  const Case cases[] = {
      {0x00, {afx::IdOk}, QMessageBox::NoIcon, afx::IdOk},
      {0x10, {afx::IdOk}, QMessageBox::Critical, afx::IdOk},
      {0x31, {afx::IdOk, afx::IdCancel}, QMessageBox::Warning, afx::IdOk},
      {0x102, {afx::IdAbort, afx::IdRetry, afx::IdIgnore}, QMessageBox::NoIcon, afx::IdRetry},
      {0x223, {afx::IdCancel, afx::IdYes, afx::IdNo}, QMessageBox::Question, afx::IdCancel},
      {0x144, {afx::IdYes, afx::IdNo}, QMessageBox::Information, afx::IdNo},
      {0x05, {afx::IdCancel, afx::IdRetry}, QMessageBox::NoIcon, afx::IdRetry},
      {0x06, {afx::IdCancel, afx::IdTryAgain, afx::IdContinue}, QMessageBox::NoIcon, afx::IdCancel},
      // A default beyond the buttons there are falls back to the first.
      {0x300, {afx::IdOk}, QMessageBox::NoIcon, afx::IdOk},
  };
  for (const auto& c : cases) {
    Seen seen;
    const int result = ShowAndClose(c.type, seen, [&](QMessageBox& box) { Click(box, c.defaultButton); });
    EXPECT_EQ(result, c.defaultButton) << c.type;
    EXPECT_EQ(seen.buttons, c.buttons) << c.type;
    EXPECT_EQ(seen.icon, c.icon) << c.type;
    EXPECT_EQ(seen.defaultButton, c.defaultButton) << c.type;
    EXPECT_EQ(seen.caption, "Velmora");
    EXPECT_EQ(seen.text, "Card full.");
  }
}

TEST(MessageBox, ReturnsTheIdOfTheButtonPressed)
{
  Seen seen;
  EXPECT_EQ(ShowAndClose(0x04, seen, [](QMessageBox& box) { Click(box, afx::IdNo); }), afx::IdNo);
  EXPECT_EQ(ShowAndClose(0x02, seen, [](QMessageBox& box) { Click(box, afx::IdIgnore); }), afx::IdIgnore);
}

TEST(MessageBox, EscapeAnswersCancelOrTheOnlyButton)
{
  const auto escape = [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); };
  Seen seen;
  EXPECT_EQ(ShowAndClose(0x01, seen, escape), afx::IdCancel);
  EXPECT_EQ(ShowAndClose(0x00, seen, escape), afx::IdOk);
}

}  // namespace
