#include "ERR_ErrorDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "AFX_DlgItem.h"
#include "AFX_Text.h"
#include "ERR_FatalDialog.h"
#include "ERR_LogFile.h"
#include "ERR_OldErrDlg.h"
#include "GLO_Text.h"
#include "ReporterFixture.h"
#include "TempFolder.h"
#include "qt/QtTestApplication.h"
#include "qt/ModalHand.h"

namespace {

std::filesystem::path LogPath()
{
  return glo::GLO_ToNarrow(err::ERR_LogFilePath(), glo::CodePageUtf8);
}

// What a modal window showed before the test closed it.
struct Seen {
  bool errorDialog = false;
  QString text;  // of the message box, or of the error information
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString copied;  // by the dialog's copy button
};

// Reads the error dialog, presses its copy button and OK.
void ReadErrorDialog(QWidget& modal, Seen& seen)
{
  seen.errorDialog = qobject_cast<err::OldErrDlg_t*>(&modal) != nullptr;
  if (auto* information = qobject_cast<QPlainTextEdit*>(afx::AFX_FindDlgItem(&modal, 5605)))
    seen.text = information->toPlainText();
  if (auto* copy = qobject_cast<QPushButton*>(afx::AFX_FindDlgItem(&modal, 5604))) copy->click();
  seen.copied = QGuiApplication::clipboard()->text();
  if (auto* ok = qobject_cast<QPushButton*>(afx::AFX_FindDlgItem(&modal, 1))) ok->click();
}

// The error reporting of a program with these windows, over a machine
// registry of the test's own.
class ErrorDialog : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { vtest::MachineRegistry::Get(); }
  void SetUp() override
  {
    vtest::MachineRegistry::Get().Clear();
    std::filesystem::remove(LogPath());
    QGuiApplication::clipboard()->clear();
  }

  void Show()
  {
    err::ErrorDialog_t windows;
    err::FatalDialog_t(windows).Show("/src/Transfer.cpp", 120, u"Card gone", "2", {}, {});
  }

  vtest::TempFolder folder_;
};

TEST_F(ErrorDialog, WithoutAReporterTheDialogShowsTheErrorAndCopiesTheLog)
{
  Seen seen;
  vtest::WhenModal([&](QWidget& modal) { ReadErrorDialog(modal, seen); });
  Show();
  EXPECT_TRUE(seen.errorDialog);
  EXPECT_TRUE(seen.text.startsWith("Error Information:\n\nApp: Velmora\nAt: ")) << seen.text.toStdString();
  EXPECT_TRUE(seen.text.contains("\nTRANSFER.CPP-120-1.0.0.1\nCard gone")) << seen.text.toStdString();
  const std::string log = vtest::ReadFile(LogPath());
  EXPECT_NE(log.find("<Extra>Card gone</Extra>"), std::string::npos);
  EXPECT_EQ(seen.copied, QString::fromUtf8(log));
}

TEST_F(ErrorDialog, AReporterThatWillNotStartGivesMessage5602ThenTheDialog)
{
  vtest::MachineRegistry::Get().SetReporterFolder(folder_.Path());
  Seen box, dialog;
  vtest::WhenModal([&](QWidget& modal) {
    auto* message = qobject_cast<QMessageBox*>(&modal);
    ASSERT_NE(message, nullptr);
    box.text = message->text();
    box.icon = message->icon();
    EXPECT_EQ(message->windowTitle(), "Velmora");
    EXPECT_EQ(message->buttons().size(), 1);
    vtest::WhenModal([&](QWidget& next) { ReadErrorDialog(next, dialog); });
    qobject_cast<QAbstractButton*>(afx::AFX_GetDlgItem(message, 1))->click();
  });
  Show();
  EXPECT_EQ(box.text, "Velmora cannot start the error reporting application.  Please reinstall Velmora.");
  EXPECT_EQ(box.icon, QMessageBox::NoIcon);
  // The fallback: the text of what was reported, and no log to copy.
  EXPECT_TRUE(dialog.errorDialog);
  EXPECT_TRUE(dialog.text.contains("\nTRANSFER.CPP-120-1.0.0.1\n")) << dialog.text.toStdString();
  EXPECT_TRUE(dialog.text.contains("\nExtra: Card gone\nSub ID: 2")) << dialog.text.toStdString();
  EXPECT_EQ("Error Information:\n" + dialog.copied, dialog.text);
}

TEST_F(ErrorDialog, AnInstalledReporterTakesTheReportInMode0)
{
  const auto record = folder_ / "arguments.txt";
  vtest::WriteRecordingReporter(folder_.Path(), record);
  vtest::MachineRegistry::Get().SetReporterFolder(folder_.Path());
  // A window would be a fault here; it is closed so that the test goes on.
  int windows = 0;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      ++windows;
      modal->close();
    }
  });
  closer.start(50);
  Show();
  EXPECT_EQ(windows, 0);
  EXPECT_EQ(vtest::AwaitRecord(record), "/Mode|0|/AppName|Velmora|");
  EXPECT_NE(vtest::ReadFile(LogPath()).find("<Extra>Card gone</Extra>"), std::string::npos);
  EXPECT_TRUE(vtest::ReporterGone(record));
}

}  // namespace
