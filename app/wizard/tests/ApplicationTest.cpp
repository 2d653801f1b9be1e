#include "Application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <stdexcept>

#include "AFX_DlgItem.h"
#include "AFX_Text.h"
#include "ERR_LogFile.h"
#include "ERR_OldErrDlg.h"
#include "GLO_Text.h"
#include "ReporterFixture.h"
#include "TempFolder.h"
#include "TransferPage.h"
#include "WIN_ResourceString.h"
#include "WelcomePage.h"
#include "WizardFrame.h"
#include "WizardTestSupport.h"

namespace {

struct Outcome {
  int exitCode = -1;
  QString boxText;
  QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
  bool wizardShown = false;
};

// Runs start-up with the arguments; a message box is read and closed with
// OK, a wizard is closed with its Cancel button.
Outcome Start(std::vector<std::string> arguments)
{
  arguments.insert(arguments.begin(), "velmora");
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  int argc = static_cast<int>(arguments.size());
  vm::Application_t application(argc, argv.data());
  Outcome outcome;
  wtest::WhenModal([&](QWidget& modal) {
    if (auto* box = qobject_cast<QMessageBox*>(&modal)) {
      outcome.boxText = box->text();
      outcome.boxIcon = box->icon();
      wtest::Button(*box, 1).click();
    } else {
      outcome.wizardShown = true;
      wtest::Button(modal, 2).click();
    }
  });
  application.InitInstance();
  outcome.exitCode = application.ExitInstance();
  return outcome;
}

QString Message(std::uint32_t id)
{
  return afx::AFX_ToQString(win::ResourceString_t(id, GLO_HERE).Text());
}

TEST(Application, StartUpRefusesWhatItCannotWorkOn)
{
  vtest::TempFolder folder;
  wtest::WriteUpdateFile(folder / "damaged.vlm");
  {
    std::fstream damaged(folder / "damaged.vlm", std::ios::in | std::ios::out | std::ios::binary);
    damaged.seekp(40);
    damaged.put('\x5A');
  }
  struct Case {
    std::vector<std::string> arguments;
    std::uint32_t message;
    QMessageBox::Icon icon;
  };
  const Case cases[] = {
      {{}, 2015, QMessageBox::Critical},
      {{".vlm"}, 2015, QMessageBox::Critical},
      {{"update.vlmx"}, 2016, QMessageBox::Critical},
      {{"update"}, 2016, QMessageBox::Critical},
      {{"/X", "update.vlm"}, 2000, QMessageBox::NoIcon},
      {{"update.vlm", "-q"}, 2000, QMessageBox::NoIcon},
      {{(folder / "missing.vlm").string()}, 11800, QMessageBox::Critical},
      {{(folder / "damaged.vlm").string()}, 11801, QMessageBox::Critical},
  };
  for (const auto& c : cases) {
    const std::string name = c.arguments.empty() ? "(none)" : c.arguments.front();
    const Outcome outcome = Start(c.arguments);
    EXPECT_EQ(outcome.boxText, Message(c.message)) << name;
    EXPECT_EQ(outcome.boxIcon, c.icon) << name;
    EXPECT_FALSE(outcome.wizardShown) << name;
    EXPECT_EQ(outcome.exitCode, 1) << name;
  }
}

TEST(Application, TheRunModeFollowsTheExtensionInAnyCase)
{
  struct Case {
    std::vector<std::string> arguments;
    vm::RunMode_t runMode;
    std::optional<std::u16string> batchScript;
  };
  const Case cases[] = {
      {{"card.INI"}, 1, std::nullopt},
      {{"card.qza"}, 2, std::nullopt},
      {{"/B", "init.cmd", "card.ini"}, 1, u"init.cmd"},
      {{"card.ini", "/b", "init.cmd"}, 1, u"init.cmd"},
      {{"-B", "init.cmd", "card.ini"}, 1, u"init.cmd"},
      {{"a.ini", "b.qza"}, 2, std::nullopt},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = c.arguments;
    arguments.insert(arguments.begin(), "velmora");
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    int argc = static_cast<int>(arguments.size());
    vm::Application_t application(argc, argv.data());
    wtest::WhenModal([](QWidget& wizard) { wtest::Button(wizard, 2).click(); });
    application.InitInstance();
    EXPECT_EQ(application.RunMode(), c.runMode) << c.arguments.front();
    EXPECT_EQ(application.BatchScriptPath().HasValue(), c.batchScript.has_value()) << c.arguments.front();
    if (c.batchScript) {
      EXPECT_EQ(application.BatchScriptPath().Get(), *c.batchScript);
    }
    EXPECT_EQ(application.UpdateFile(), nullptr);
    EXPECT_EQ(application.ExitInstance(), 1);
  }
}

TEST(Application, TheWizardShowsTheUpdateAndEndsWithItsResult)
{
  vtest::TempFolder folder;
  wtest::WriteUpdateFile(folder / "nav.vlm");
  avn::VlmsDatabase_t expected;
  expected.Load(folder.Wide("nav.vlm"));

  std::vector<std::string> arguments = {"velmora", (folder / "nav.vlm").string()};
  std::vector<char*> argv = {arguments[0].data(), arguments[1].data()};
  int argc = 2;
  vm::Application_t application(argc, argv.data());
  QString title, device, database, cycle, greeting;
  wtest::WhenModal([&](QWidget& modal) {
    auto& frame = dynamic_cast<vm::WizardFrame_t&>(modal);
    EXPECT_EQ(application.MainWindow(), &frame);
    title = frame.windowTitle();
    device = wtest::Text(frame, 1003);
    database = wtest::Text(frame, 1005);
    cycle = wtest::Text(frame, 1007);
    greeting = wtest::Text(frame, 1011);
    EXPECT_FALSE(frame.windowIcon().isNull());
    // A successful transfer makes every way out a success.
    frame.Sheet().SetDone();
    frame.close();
  });
  application.InitInstance();
  EXPECT_EQ(title, "Velmora");
  EXPECT_EQ(device, "Skyline 400");
  EXPECT_EQ(database, "North Atlantic");
  EXPECT_EQ(cycle, afx::AFX_ToQString(expected.CycleText()));
  EXPECT_EQ(greeting, afx::AFX_ToQString(win::ResourceString_t(2024, GLO_HERE).Format(u"Velmora", GLO_HERE)));
  ASSERT_NE(application.UpdateFile(), nullptr);
  EXPECT_EQ(application.UpdateFile()->DeviceName(), u"Skyline 400");
  EXPECT_EQ(application.MainWindow(), nullptr);
  EXPECT_EQ(application.ExitInstance(), 0);
}

TEST(Application, StartUpStartsTheErrorReporterOrSaysItCannot)
{
  vtest::TempFolder folder;
  const auto record = folder / "arguments.txt";
  struct Box {
    QString text;
    QMessageBox::Icon icon;
  };
  struct Case {
    bool reporter;
    std::vector<std::pair<std::uint32_t, QMessageBox::Icon>> boxes;
  };
  const Case cases[] = {
      {true, {{2016, QMessageBox::Critical}}},
      {false, {{5602, QMessageBox::NoIcon}, {2016, QMessageBox::Critical}}},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(folder / "ErrorReporter");
    if (c.reporter) vtest::WriteRecordingReporter(folder.Path(), record);
    vtest::MachineRegistry::Get().SetReporterFolder(folder.Path());
    std::vector<std::string> arguments = {"velmora", "update.vlmx"};
    std::vector<char*> argv = {arguments[0].data(), arguments[1].data()};
    int argc = 2;
    vm::Application_t application(argc, argv.data());
    // Every box is read and closed with OK, the next one awaited.
    std::vector<Box> boxes;
    std::function<void(QWidget&)> readBox = [&](QWidget& modal) {
      auto* box = qobject_cast<QMessageBox*>(&modal);
      ASSERT_NE(box, nullptr);
      boxes.push_back({box->text(), box->icon()});
      if (boxes.size() < c.boxes.size()) wtest::WhenModal(readBox);
      wtest::Button(*box, 1).click();
    };
    wtest::WhenModal(readBox);
    application.InitInstance();
    ASSERT_EQ(boxes.size(), c.boxes.size()) << c.reporter;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      const QString expected = c.boxes[i].first == 5602
                                   ? "Velmora cannot start the error reporting application.  Please reinstall Velmora."
                                   : Message(c.boxes[i].first);
      EXPECT_EQ(boxes[i].text, expected) << i;
      EXPECT_EQ(boxes[i].icon, c.boxes[i].second) << i;
    }
    EXPECT_EQ(application.ExitInstance(), 1);
    if (c.reporter) {
      EXPECT_EQ(vtest::AwaitRecord(record), "/Mode|1|/AppName|Velmora|");
      EXPECT_TRUE(vtest::ReporterGone(record));
    }
  }
  vtest::MachineRegistry::Get().Clear();
}

TEST(Application, TheProgramStartsTheReporterBesideItself)
{
  vtest::MachineRegistry::Get().Clear();
  vtest::TempFolder folder;
  std::filesystem::copy_file(VELMORA_PROGRAM, folder / "velmora");
  const auto record = folder / "arguments.txt";
  // The program would wait in the box of message 2016 next; the reporter
  // ends it once it has recorded how it was started.
  vtest::WriteRecordingReporter(folder.Path(), record, "kill $PPID");
  const std::string command =
      "cd '" + folder.Path().string() + "' && QT_QPA_PLATFORM=offscreen timeout 20 ./velmora update.vlmx 2>/dev/null";
  EXPECT_NE(std::system(command.c_str()), -1);
  EXPECT_EQ(vtest::ReadFile(record), "/Mode|1|/AppName|Velmora|");
}

TEST(Application, AFailureBeyondTheInputReachesTheFatalErrorDialog)
{
  vtest::MachineRegistry::Get().Clear();
  std::vector<std::string> arguments = {"velmora"};
  std::vector<char*> argv = {arguments[0].data()};
  int argc = 1;
  vm::Application_t application(argc, argv.data());
  bool errorDialog = false;
  QString information;
  wtest::WhenModal([&](QWidget& modal) {
    errorDialog = qobject_cast<err::OldErrDlg_t*>(&modal) != nullptr;
    if (auto* edit = qobject_cast<QPlainTextEdit*>(afx::AFX_FindDlgItem(&modal, 5605)))
      information = edit->toPlainText();
    wtest::Button(modal, 1).click();
  });
  application.ReportFailure(std::make_exception_ptr(std::length_error("no room")));
  EXPECT_TRUE(errorDialog);
  EXPECT_TRUE(information.startsWith("Error Information:\n\nApp: Velmora\n")) << information.toStdString();
  EXPECT_TRUE(information.contains("APPLICATION.CPP-")) << information.toStdString();
  EXPECT_TRUE(information.endsWith("\nno room")) << information.toStdString();
  const std::string log = vtest::ReadFile(glo::GLO_ToNarrow(err::ERR_LogFilePath(), glo::CodePageUtf8));
  EXPECT_NE(log.find("<Extra>no room</Extra>"), std::string::npos);
  EXPECT_EQ(application.ExitInstance(), 1);
}

}  // namespace
