#include "ERR_OldErrDlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "AFX_DlgItem.h"
#include "AFX_Text.h"
#include "GLO_Text.h"
#include "WIN_ResourceString.h"
#include "WIN_VersionInfo.h"
#include "qt/QtTestApplication.h"

namespace {

win::VersionInfo_t Version(const std::string& buildType)
{
  return win::VersionInfo_t{win::FileMetaData_t(
      glo::GLO_ToWide(std::string(VERSION_MODULES) + "/version-" + buildType + ".res", glo::CodePageUtf8))};
}

template <class Control>
Control& Item(const QWidget& dialog, int id)
{
  auto* control = qobject_cast<Control*>(afx::AFX_GetDlgItem(&dialog, id));
  if (control == nullptr) throw std::runtime_error("no control " + std::to_string(id) + " of that kind");
  return *control;
}

QString Message(std::uint32_t id)
{
  return afx::AFX_ToQString(win::ResourceString_t(id, GLO_HERE).Text());
}

const std::u16string ErrorText = u"\nApp: Velmora\nAt: Dec 10 2026 14:03:59\n\nTRANSFER.CPP-120-1.0.0.1\nCard gone";

TEST(OldErrDlg, TextsByControlIdForReleaseAndOtherBuilds)
{
  struct Case {
    const char* buildType;
    QString explanation;
  };
  const Case cases[] = {
      {"Release", Message(5606)},
      {"Internal", afx::AFX_ToQString(win::ResourceString_t(5611, GLO_HERE).Format(u"beta@velmora.example", GLO_HERE))},
  };
  for (const auto& c : cases) {
    const auto version = Version(c.buildType);
    err::OldErrDlg_t dialog(ErrorText, "<ErrorReport/>", nullptr, &version);
    EXPECT_EQ(dialog.windowTitle(), "Velmora") << c.buildType;
    EXPECT_EQ(Item<QLabel>(dialog, 5610).text(), c.explanation) << c.buildType;
    const auto& information = Item<QPlainTextEdit>(dialog, 5605);
    EXPECT_EQ(information.toPlainText(),
              "Error Information:\n\nApp: Velmora\nAt: Dec 10 2026 14:03:59\n\nTRANSFER.CPP-120-1.0.0.1\nCard gone");
    EXPECT_TRUE(information.isReadOnly());
    EXPECT_EQ(information.accessibleName(), "Error Information");
    EXPECT_EQ(Item<QPushButton>(dialog, 5604).text(), "&Copy log file to the clipboard");
    EXPECT_EQ(Item<QPushButton>(dialog, 1).text(), "OK");
    EXPECT_TRUE(Item<QPushButton>(dialog, 1).isDefault());
  }
}

TEST(OldErrDlg, TheErrorInformationPassesTheFocusToOk)
{
  std::u16string longText = ErrorText;
  for (int i = 0; i < 100; ++i) longText += u"\n" + glo::GLO_Decimal(i);
  err::OldErrDlg_t dialog(longText, {});
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  auto& information = Item<QPlainTextEdit>(dialog, 5605);
  auto& copy = Item<QPushButton>(dialog, 5604);
  auto& ok = Item<QPushButton>(dialog, 1);
  EXPECT_EQ(QApplication::focusWidget(), &ok);

  copy.setFocus();
  EXPECT_EQ(QApplication::focusWidget(), &copy);
  information.setFocus();
  EXPECT_EQ(QApplication::focusWidget(), &ok);

  copy.setFocus();
  QTest::mouseClick(information.viewport(), Qt::LeftButton, {}, QPoint(4, 4));
  EXPECT_EQ(QApplication::focusWidget(), &ok);

  // Tab and Shift+Tab go between the buttons only.
  QTest::keyClick(&ok, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), &copy);
  QTest::keyClick(&copy, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), &ok);
  QTest::keyClick(&ok, Qt::Key_Backtab);
  EXPECT_EQ(QApplication::focusWidget(), &copy);

  // The text is still the mouse's: a word selected by a double click, the
  // view scrolled by the wheel.
  QTextCursor start(information.document());
  start.setPosition(1);
  QTest::mouseDClick(information.viewport(), Qt::LeftButton, {}, information.cursorRect(start).center());
  EXPECT_EQ(information.textCursor().selectedText(), "Error");
  EXPECT_EQ(QApplication::focusWidget(), &ok);
  const QPointF where(20, 20);
  QWheelEvent wheel(where, information.viewport()->mapToGlobal(where), QPoint(), QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(information.viewport(), &wheel);
  EXPECT_GT(information.verticalScrollBar()->value(), 0);

  // Enter is OK's.
  QTest::keyClick(&ok, Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
}

TEST(OldErrDlg, CopiesTheLogTextElseTheErrorText)
{
  struct Case {
    std::string log;
    QString copied;
  };
  const Case cases[] = {
      {"<?xml version=\"1.0\"?>\n<ErrorReport>\n  <Extra>Card gone</Extra>\n</ErrorReport>\n",
       "<?xml version=\"1.0\"?>\n<ErrorReport>\n  <Extra>Card gone</Extra>\n</ErrorReport>\n"},
      {"", afx::AFX_ToQString(ErrorText)},
  };
  for (const auto& c : cases) {
    QGuiApplication::clipboard()->clear();
    err::OldErrDlg_t dialog(ErrorText, c.log);
    Item<QPushButton>(dialog, 5604).click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), c.copied) << c.log;
  }
}

TEST(OldErrDlg, EveryControlGetsTheRoomItAsksFor)
{
  // The screenshots stay in the test's output folder for a look.
  const QString folder = QStringLiteral(SCREENSHOT_FOLDER);
  QDir().mkpath(folder);
  for (const char* buildType : {"Release", "Internal"}) {
    const auto version = Version(buildType);
    err::OldErrDlg_t dialog(ErrorText, {}, nullptr, &version);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(dialog.grab().save(folder + "/ErrorDialog-" + buildType + ".png"));
    const auto& explanation = Item<QLabel>(dialog, 5610);
    EXPECT_GE(explanation.height(), explanation.heightForWidth(explanation.width())) << buildType;
    for (int id : {5604, 1}) {
      const QWidget& button = *afx::AFX_GetDlgItem(&dialog, id);
      EXPECT_GE(button.width(), button.sizeHint().width()) << id;
      EXPECT_TRUE(dialog.rect().contains(button.geometry())) << id;
    }
    EXPECT_TRUE(dialog.rect().contains(Item<QPlainTextEdit>(dialog, 5605).geometry()));
  }
}

}  // namespace
