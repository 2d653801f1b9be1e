#include "TransferPage.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <csignal>
#include <filesystem>
#include <functional>
#include <sstream>

#include "AFX_DlgItem.h"
#include "AFX_MessagePump.h"
#include "FaultCard.h"
#include "SelectDrivePage.h"
#include "SmallVolume.h"
#include "TempFolder.h"
#include "Unavailable.h"
#include "UpdateFileBuilder.h"
#include "GLO_Text.h"
#include "TUI_IndefiniteProgressCtrl.h"
#include "WIN_Utilities.h"
#include "WizardFrame.h"
#include "WizardSheet.h"
#include "WizardTestSupport.h"

namespace {

namespace fs = std::filesystem;
using vtest::Bytes;

using vtest::PumpUntil;

std::string Text(const Bytes& bytes)
{
  return std::string(bytes.begin(), bytes.end());
}

// The files named rgn* in the program's temporary folder: the extracted
// blocks of running transfers.
std::size_t TemporaryCopies()
{
  std::size_t count = 0;
  const fs::path folder = fs::path(glo::GLO_FileNameToNarrow(win::WIN_GetAppTempFolder()));
  for (const auto& entry : fs::directory_iterator(folder))
    count += entry.path().filename().string().rfind("rgn", 0) == 0;
  return count;
}

// The wizard on its transfer page, over a machine with card readers.
class Transfer : public ::testing::Test {
 protected:
  void SetUp() override
  {
    context_.driveSources = tree_.Sources();
    context_.dismountSources.drives = tree_.Sources();
    // No UDisks2 here: a client that agrees stands in for it.
    context_.dismountSources.udisksctl = u"/bin/true";
  }

  // An update whose one database (kind 1, ldr_sys/avtn_db.bin) is the data.
  void UseUpdate(const Bytes& data)
  {
    database_ = data;
    vtest::UpdateFile file;
    file.region = vtest::RegionBlock().Database(1, data).Build();
    vtest::WriteFile(folder_ / "nav.vlm", Text(file.Build()));
    update_.Load(folder_.Wide("nav.vlm"));
    context_.runMode = vm::RunModeUpdateFile;
    context_.updateFile = &update_;
    context_.filePath = folder_.Wide("nav.vlm");
  }

  // Shows the wizard and goes to its transfer page with the card of the
  // root selected.
  vm::TransferPage_t& Open(const fs::path& card)
  {
    frame_ = std::make_unique<vm::WizardFrame_t>(context_);
    frame_->show();
    frame_->Sheet().next();
    Select(card);
    frame_->Sheet().next();
    QApplication::processEvents();
    return frame_->Sheet().Transfer();
  }

  // Selects the card on the drive page, which must be the current one.
  void Select(const fs::path& card)
  {
    auto* combo = qobject_cast<QComboBox*>(afx::AFX_GetDlgItem(&frame_->Sheet().SelectDrive(), 4102));
    const QString wanted = QString::fromStdString(card.string());
    for (int i = 0; i < combo->count(); ++i)
      if (combo->itemText(i).contains("(" + wanted + ")")) combo->setCurrentIndex(i);
    ASSERT_EQ(frame_->Sheet().SelectDrive().SelectedDrive(), glo::GLO_FileNameToWide(card.string()));
  }

  QAbstractButton& Button(int id) { return wtest::Button(*frame_, id); }
  QString Line(int id) { return wtest::Text(frame_->Sheet().Transfer(), id); }

  // Presses "Program Device" and waits until the page is idle again.
  void Program(vm::TransferPage_t& page)
  {
    Button(1010).click();
    EXPECT_EQ(Button(1010).text(), "Stop Transfer");
    EXPECT_FALSE(Button(vm::IdBackButton).isEnabled());
    EXPECT_FALSE(Button(vm::IdFinishButton).isEnabled());
    EXPECT_TRUE(Button(vm::IdCancelButton).isEnabled());
    EXPECT_TRUE(PumpUntil([&] { return !page.Running(); }));
  }

  void ExpectIdle(bool done)
  {
    EXPECT_EQ(Button(1010).text(), "Program Device");
    EXPECT_TRUE(Button(vm::IdBackButton).isEnabled());
    EXPECT_EQ(Button(vm::IdFinishButton).isEnabled(), done);
    EXPECT_EQ(frame_->Sheet().Done(), done);
  }

  // The worker's calls come through Qt's loop, as in the program.
  afx::MessagePump_t pump_;
  vtest::TempFolder folder_;
  wtest::DriveTree tree_{folder_.Path()};
  vm::WizardContext_t context_;
  avn::VlmsDatabase_t update_;
  Bytes database_;
  std::unique_ptr<vm::WizardFrame_t> frame_;
};

TEST_F(Transfer, CardAfterCardAndOnTheDriveChosenLast)
{
  UseUpdate(Bytes(3 << 20, 'n'));
  const fs::path first = tree_.AddCard("sdb", "8:16", "FIRST");
  const fs::path second = tree_.AddCard("sdc", "8:32", "SECOND");
  auto& page = Open(first);
  ExpectIdle(false);
  EXPECT_TRUE(page.Dialog().isHidden());

  Program(page);
  ExpectIdle(true);
  EXPECT_TRUE(page.Dialog().isVisible()) << "the completion texts stay";
  EXPECT_EQ(Line(5881), "Update Complete");
  EXPECT_EQ(Line(5882), "The update was successful.");
  EXPECT_EQ(vtest::ReadFile(first / "ldr_sys/avtn_db.bin"), Text(vtest::WithTrailer(database_)));

  // The same card again: a new worker, and the first line starts over.
  Button(1010).click();
  EXPECT_EQ(Line(5881), "Transferring Data");
  EXPECT_TRUE(PumpUntil([&] { return !page.Running(); }));
  ExpectIdle(true);

  // Back to the drive page for another card.
  Button(vm::IdBackButton).click();
  QApplication::processEvents();
  Select(second);
  Button(vm::IdNextButton).click();
  QApplication::processEvents();
  EXPECT_TRUE(page.Dialog().isHidden()) << "a page shown anew starts clean";
  Program(page);
  EXPECT_EQ(vtest::ReadFile(second / "ldr_sys/avtn_db.bin"), Text(vtest::WithTrailer(database_)));

  Button(vm::IdFinishButton).click();
  EXPECT_EQ(frame_->result(), QDialog::Accepted);
}

TEST_F(Transfer, AFailureShowsItsBoxThenTheIdlePage)
{
  vtest::SmallVolume small(65536);
  VTEST_REQUIRE_MOUNTED(small);
  tree_.AddCard("sdb", "8:16", "SMALL", small.Path());
  const fs::path card = tree_.AddCard("sdc", "8:32", "CARD");
  Bytes damaged = vtest::WithTrailer(Bytes(3000, 'd'));
  damaged[10] ^= 1;
  struct Case {
    const char* name;
    Bytes region;
    fs::path card;
    QString message;
  };
  const Case cases[] = {
      {"card too small", vtest::RegionBlock().Database(1, Bytes(100000, 'a')).Build(), small.Path(),
       "The data card does not have enough free space to complete the transfer successfully.  The data being "
       "transferred is 100 KB, but the card's free space is 64 KB."},
      {"damaged database", vtest::RegionBlock().Database(1, Bytes(10, 'a')).DatabaseAsIs(33, damaged).Build(), card,
       "The aviation database update file you are attempting to write to your storage device appears to be "
       "corrupted.  Please return to Telvan's website"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    vtest::UpdateFile file;
    file.region = c.region;
    vtest::WriteFile(folder_ / "nav.vlm", Text(file.Build()));
    update_.Load(folder_.Wide("nav.vlm"));
    context_.updateFile = &update_;
    auto& page = Open(c.card);
    QString shown;
    vtest::WhenModal([&](QWidget& modal) {
      auto* box = qobject_cast<QMessageBox*>(&modal);
      ASSERT_NE(box, nullptr);
      shown = box->text();
      EXPECT_EQ(box->icon(), QMessageBox::Warning);
      vtest::Button(modal, 1).click();
    });
    Program(page);
    EXPECT_TRUE(shown.startsWith(c.message)) << shown.toStdString();
    ExpectIdle(false);
    EXPECT_TRUE(page.Dialog().isHidden());
    EXPECT_FALSE(fs::exists(c.card / "ldr_sys"));
  }
}

// A card that takes its time: 4 MB/s with the writeback cache, as a slow
// SD card in a USB reader.
class SlowCard : public Transfer {
 protected:
  void SetUp() override
  {
    Transfer::SetUp();
    if (!slow_.Mounted()) return;
    tree_.AddCard("sdd", "8:48", "SLOW", slow_.Root());
    UseUpdate(Bytes(24 << 20, 's'));
  }

  // Starts the transfer onto the slow card and waits until it writes there.
  void StartWriting(vm::TransferPage_t& page)
  {
    Button(1010).click();
    ASSERT_TRUE(PumpUntil([&] { return fs::exists(slow_.Backing() / "ldr_sys/avtn_db.bin"); }));
    EXPECT_TRUE(page.Running());
  }

  // What a stopped transfer must leave: no card file, no temporary copy, no
  // worker.
  void ExpectNothingLeft(vm::TransferPage_t& page, std::size_t copiesBefore)
  {
    EXPECT_FALSE(page.Dialog().HasWorker()) << "the worker ended before the page went idle";
    EXPECT_FALSE(fs::exists(slow_.Backing() / "ldr_sys/avtn_db.bin"));
    EXPECT_EQ(TemporaryCopies(), copiesBefore);
  }

  vtest::FaultCard slow_{{.rate = 4 << 20}};
};

TEST_F(SlowCard, StopHidesTheDialogAtOnceAndLeavesNothing)
{
  VTEST_REQUIRE_MOUNTED(slow_);
  auto& page = Open(slow_.Root());
  const std::size_t copies = TemporaryCopies();
  StartWriting(page);
  EXPECT_TRUE(page.Dialog().isVisible());
  Button(1010).click();
  EXPECT_FALSE(page.Running());
  EXPECT_TRUE(page.Dialog().isHidden());
  ExpectIdle(false);
  ExpectNothingLeft(page, copies);
}

TEST_F(SlowCard, CancelOrClosingStopsTheTransferAndEndsWithTheResultSoFar)
{
  VTEST_REQUIRE_MOUNTED(slow_);
  const fs::path quick = tree_.AddCard("sdb", "8:16", "QUICK");
  struct Case {
    bool earlierSuccess;
    bool close;
    int result;
  };
  for (const Case& c : {Case{false, false, vm::WizardSheet_t::Cancelled}, Case{true, false, QDialog::Accepted},
                        Case{false, true, vm::WizardSheet_t::Cancelled}}) {
    SCOPED_TRACE(testing::Message() << c.earlierSuccess << c.close);
    auto& page = Open(c.earlierSuccess ? quick : slow_.Root());
    if (c.earlierSuccess) {
      Program(page);
      ASSERT_TRUE(frame_->Sheet().Done());
      Button(vm::IdBackButton).click();
      QApplication::processEvents();
      Select(slow_.Root());
      Button(vm::IdNextButton).click();
      QApplication::processEvents();
    }
    const std::size_t copies = TemporaryCopies();
    StartWriting(page);
    // The frame passes a close to the page as 0x8012, the sheet's Cancel
    // goes to the page itself.
    if (c.close)
      frame_->close();
    else
      Button(vm::IdCancelButton).click();
    EXPECT_FALSE(frame_->isVisible());
    EXPECT_EQ(frame_->result(), c.result);
    ExpectNothingLeft(page, copies);
  }
}

TEST_F(Transfer, AConfigurationCardWithItsScript)
{
  const fs::path card = tree_.AddCard("sdb", "8:16", "CFG");
  vtest::WriteFile(folder_ / "card.ini", "[avionics]\nunit=7\n");
  vtest::WriteFile(folder_ / "prepare.sh", "echo prepared > \"$1/prepared.txt\"\n");
  context_.runMode = vm::RunModeConfiguration;
  context_.filePath = folder_.Wide("card.ini");
  context_.batchScriptPath = folder_.Wide("prepare.sh");
  auto& page = Open(card);
  EXPECT_EQ(wtest::Text(page, 1008).left(60), "Ensure that you have the proper SD card inserted into the se");
  Program(page);
  ExpectIdle(true);
  EXPECT_EQ(Line(5881), "Update Complete");
  EXPECT_EQ(vtest::ReadFile(card / "prepared.txt"), "prepared\n");
  EXPECT_EQ(vtest::ReadFile(card / "cfg/card.ini"), "[avionics]\nunit=7\n");

  // A script that fails: its box, then the idle page; the card keeps what
  // the first run gave it.
  vtest::WriteFile(folder_ / "prepare.sh", "exit 3\n");
  QString shown;
  vtest::WhenModal([&](QWidget& modal) {
    shown = qobject_cast<QMessageBox*>(&modal)->text();
    vtest::Button(modal, 1).click();
  });
  Program(page);
  EXPECT_EQ(shown, "Velmora encountered a problem with the batch script provided to initialize the card.");
  ExpectIdle(true);
  EXPECT_TRUE(page.Dialog().isHidden());
}

TEST_F(Transfer, CancelWhileTheScriptsChildrenRunEndsTheirWholeTree)
{
  const fs::path card = tree_.AddCard("sdb", "8:16", "CFG");
  vtest::WriteFile(folder_ / "card.ini", "[avionics]\n");
  const fs::path pids = folder_ / "pids";
  vtest::WriteFile(folder_ / "prepare.sh", "sh -c 'sleep 120 & echo $! >> " + pids.string() +
                                               "; wait' &\necho $! >> " + pids.string() + "\necho $$ >> " +
                                               pids.string() + "\nwait\n");
  context_.runMode = vm::RunModeConfiguration;
  context_.filePath = folder_.Wide("card.ini");
  context_.batchScriptPath = folder_.Wide("prepare.sh");
  auto& page = Open(card);
  Button(1010).click();
  ASSERT_TRUE(PumpUntil([&] {
    const std::string text = vtest::ReadFile(pids);
    return std::count(text.begin(), text.end(), '\n') == 3;
  }));
  EXPECT_EQ(page.Dialog().Indefinite().isVisible(), true) << "a script shows no percentage";
  Button(vm::IdCancelButton).click();
  EXPECT_EQ(frame_->result(), vm::WizardSheet_t::Cancelled);
  std::istringstream lines(vtest::ReadFile(pids));
  for (pid_t pid = 0; lines >> pid;) {
    // Ended, and reaped by whoever was its parent.
    EXPECT_TRUE(PumpUntil([pid] { return kill(pid, 0) != 0; }, 5000)) << pid;
  }
  EXPECT_FALSE(fs::exists(card / "cfg"));
}

}  // namespace
