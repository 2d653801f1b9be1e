#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimerEvent>
#include <QVBoxLayout>
#include <atomic>
#include <functional>
#include <vector>

#include "AFX_DlgItem.h"
#include "AFX_MessagePump.h"
#include "DIO_Exceptions.h"
#include "DIO_Reference.h"
#include "GLO_Exception.h"
#include "RecordingFatalDialog.h"
#include "THR_UIThread.h"
#include "TUI_EmbeddedProgressDlg.h"
#include "TUI_IndefiniteProgressCtrl.h"
#include "qt/ModalHand.h"
#include "qt/QtTestApplication.h"

namespace {

using Bar = tui::ProgressDlgBase_t;

using vtest::PumpUntil;

// What a worker does with the dialog, the message box and the fatal-error
// dialog, through its proxies, on its own thread.
using Work_t = std::function<void(tui::ProgressDlgIntf_t&, tui::MessageBoxIntf_t&, err::FatalDialogIntf_t&)>;

struct WorkParameter_t : thr::Parameter_t {
  Work_t work;
};

// A progress dialog with a real worker thread.
class WorkerDialog_t : public tui::EmbeddedProgressDlg_t {
 public:
  WorkerDialog_t() : WorkerDialog_t(std::make_unique<vtest::RecordingFatalDialog>()) {}
  explicit WorkerDialog_t(std::unique_ptr<vtest::RecordingFatalDialog> fatal)
      : EmbeddedProgressDlg_t(5886, PercentageBar, std::move(fatal))
  {
  }
  ~WorkerDialog_t() override { worker_.reset(); }

  Work_t work;
  int started = 0;
  int stopped = 0;
  std::atomic<int> callsFailed{0};
  std::atomic<bool> done{false};

 protected:
  void StartWorker() override
  {
    ++started;
    done = false;
    auto parameter = std::make_unique<WorkParameter_t>();
    parameter->work = work;
    worker_ = std::make_unique<thr::UIThread_t>(
        [this](thr::UIThread_t::Context_t& context) {
          auto parameter = context.TakeParameter();
          const Work_t work = dynamic_cast<WorkParameter_t&>(*parameter).work;
          tui::ProxyProgressDlg_t dialog(dio::RemoteReference_t({tui::ProgressDlgClass, 1}, context.AccessPoint()));
          tui::ProxyMessageBox_t box(dio::RemoteReference_t({tui::MessageBoxClass, 1}, context.AccessPoint()));
          err::ProxyFatalDialog_t fatal(dio::RemoteReference_t({err::FatalDialogClass, 1}, context.AccessPoint()));
          try {
            if (work) work(dialog, box, fatal);
          } catch (const dio::Exception_t&) {
            ++callsFailed;
          }
          done = true;
        },
        Handle(), dio::CallMessage, std::move(parameter), false);
  }
  void StopWorker() override
  {
    if (worker_) ++stopped;
    worker_.reset();
  }

 private:
  std::unique_ptr<thr::UIThread_t> worker_;
};

// The page the dialog lives on: a placeholder, and a window that records
// what the dialog tells it.
class Page_t {
 public:
  Page_t() : window_([this](const win::Message_t& message) {
    told.push_back(message.id);
    return 0;
  })
  {
    auto* layout = new QVBoxLayout(&widget);
    auto* above = new QLabel("instructions");
    layout->addWidget(above);
    placeholder = new QWidget;
    afx::AFX_SetCtrlId(placeholder, 1009);
    layout->addWidget(placeholder);
    placeholder->hide();
    layout->addStretch();
    dialog.Attach(&widget, window_.Handle());
    dialog.Place(1009);
    widget.show();
  }

  afx::MessagePump_t pump;
  QWidget widget;
  QWidget* placeholder;
  WorkerDialog_t dialog;
  std::vector<std::uint32_t> told;

 private:
  win::Window_t window_;
};

TEST(ProgressDialog, StartsWithItsLinesAndTheBarOfItsMode)
{
  WorkerDialog_t dialog;
  EXPECT_EQ(vtest::Text(dialog, 5881), "");
  EXPECT_EQ(vtest::Text(dialog, 5882), "Initializing...");
  EXPECT_EQ(vtest::Text(dialog, 5883), "");
  EXPECT_EQ(dialog.BarMode(), Bar::PercentageBar);
  EXPECT_EQ(afx::AFX_GetCtrlId(&dialog.CurrentBar()), 5880);
  EXPECT_TRUE(dialog.Indefinite().isHidden());
  EXPECT_EQ(dialog.CurrentBar().maximum(), 100);
}

TEST(ProgressDialog, PlacedRightAfterThePlaceholderAndHidden)
{
  Page_t page;
  auto* layout = qobject_cast<QBoxLayout*>(page.widget.layout());
  EXPECT_EQ(layout->indexOf(&page.dialog), layout->indexOf(page.placeholder) + 1);
  EXPECT_EQ(page.dialog.parentWidget(), &page.widget);
  EXPECT_EQ(afx::AFX_GetCtrlId(&page.dialog), 5886);
  EXPECT_TRUE(page.dialog.isHidden());
  EXPECT_TRUE(page.dialog.sizePolicy().retainSizeWhenHidden());
}

TEST(ProgressDialog, BarsTakeTurns)
{
  WorkerDialog_t dialog;
  dialog.show();
  dialog.StartIndefinite();
  dialog.StartIndefinite();
  EXPECT_EQ(dialog.BarMode(), Bar::IndefiniteBar);
  EXPECT_TRUE(dialog.Indefinite().isVisible());
  EXPECT_TRUE(dialog.Indefinite().Running());
  EXPECT_TRUE(afx::AFX_GetDlgItem(&dialog, 5880)->isHidden());

  // A percentage ends the animation and brings the percentage bar back.
  dialog.SetPos(40);
  EXPECT_EQ(dialog.BarMode(), Bar::PercentageBar);
  EXPECT_FALSE(dialog.Indefinite().Running());
  EXPECT_TRUE(dialog.Indefinite().isHidden());
  EXPECT_TRUE(dialog.CurrentBar().isVisible());
  EXPECT_EQ(dialog.CurrentBar().value(), 40);

  dialog.HideBar();
  EXPECT_TRUE(dialog.CurrentBar().isHidden());
  dialog.ShowBar();
  EXPECT_TRUE(dialog.CurrentBar().isVisible());
  // Stopping what does not run changes nothing.
  dialog.StopIndefinite();
  EXPECT_EQ(dialog.BarMode(), Bar::PercentageBar);
}

TEST(ProgressDialog, ItemsByTheirIds)
{
  WorkerDialog_t dialog;
  dialog.SetItemText(5882, u"Verifying data...");
  EXPECT_EQ(vtest::Text(dialog, 5882), "Verifying data...");
  dialog.ShowItem(5883, 0);
  EXPECT_TRUE(afx::AFX_GetDlgItem(&dialog, 5883)->isHidden());
  dialog.ShowItem(5883, 5);
  EXPECT_FALSE(afx::AFX_GetDlgItem(&dialog, 5883)->isHidden());
  try {
    dialog.SetItemText(4711, u"x");
    FAIL() << "no control 4711";
  } catch (const glo::Exception_t& error) {
    EXPECT_EQ(error.Message(), u"Resource Id: 4711");
  }
}

TEST(IndefiniteBar, MovesEvery25MsAndRepeatsEvery26Steps)
{
  tui::IndefiniteProgressCtrl_t bar;
  EXPECT_EQ(tui::IndefiniteProgressCtrl_t::Period.count(), 25);
  EXPECT_EQ(bar.TimerId(), 0) << "a hidden bar does not tick";
  bar.resize(200, 16);
  bar.show();
  ASSERT_NE(bar.TimerId(), 0);
  QTimerEvent tick(bar.TimerId());
  std::vector<int> steps;
  for (int i = 0; i < 26; ++i) {
    QApplication::sendEvent(&bar, &tick);
    steps.push_back(bar.Step());
  }
  EXPECT_EQ(steps.front(), 1);
  EXPECT_EQ(steps[24], 25);
  EXPECT_EQ(steps.back(), 0) << "26 ticks, 0.65 s, bring the stripes back";

  bar.SetRunning(false);
  EXPECT_EQ(bar.TimerId(), 0);
  QApplication::sendEvent(&bar, &tick);
  EXPECT_EQ(bar.Step(), 0) << "a stopped bar stands still";
  bar.SetRunning(true);
  EXPECT_NE(bar.TimerId(), 0);
  bar.hide();
  EXPECT_EQ(bar.TimerId(), 0);
}

TEST(IndefiniteBar, DrawsSlantedStripesInTheHighlightColour)
{
  tui::IndefiniteProgressCtrl_t bar;
  bar.resize(120, 14);
  const QImage image = bar.grab().toImage();
  const QColor highlight = bar.palette().color(QPalette::Highlight);
  const QColor background = bar.palette().color(QPalette::Button);
  // At step 0 the second band starts at x = 0: 13 columns from x = 1 at the
  // top, each row lower about one pixel further right; the next band starts
  // 26 pixels on.
  EXPECT_EQ(image.pixelColor(5, 1), highlight);
  EXPECT_EQ(image.pixelColor(20, 1), background);
  EXPECT_EQ(image.pixelColor(20, 8), highlight);
  EXPECT_EQ(image.pixelColor(5, 8), background);
}

TEST(ProgressDialog, AWorkersCallsAreServedAndTheParentHearsOfTheEnd)
{
  Page_t page;
  page.dialog.work = [](tui::ProgressDlgIntf_t& dialog, tui::MessageBoxIntf_t& box, err::FatalDialogIntf_t&) {
    dialog.Show();
    dialog.SetItemText(5881, u"Transferring Data");
    dialog.StartIndefinite();
    dialog.SetPos(70);
    const int answer = box.Show(u"Replace the card?", 4, 0);
    dialog.SetItemText(5883, answer == 7 ? u"No" : u"Yes");
    dialog.RaiseHold();
    dialog.ReleaseHold();
    dialog.Finish();
    dialog.SetItemText(5882, u"after finish");
    dialog.End();
    dialog.SetItemText(5882, u"after the end");
  };
  vtest::WhenModal([](QWidget& box) {
    EXPECT_EQ(box.windowTitle(), "Velmora");
    vtest::Button(box, 7).click();
  });
  page.dialog.Start();
  EXPECT_TRUE(page.dialog.Serving());
  ASSERT_TRUE(PumpUntil([&] { return page.dialog.done.load(); }));
  EXPECT_EQ(page.dialog.callsFailed, 0);
  EXPECT_TRUE(page.dialog.isVisible());
  EXPECT_EQ(vtest::Text(page.dialog, 5881), "Transferring Data");
  EXPECT_EQ(vtest::Text(page.dialog, 5883), "No") << "the button's id came back";
  EXPECT_EQ(page.dialog.CurrentBar().value(), 70);
  EXPECT_EQ(page.told, (std::vector<std::uint32_t>{0x8014, 0x8015, 0x8011, 0x8013}));
  // The work finished: its end does not stop serving.
  EXPECT_TRUE(page.dialog.Serving());
  EXPECT_EQ(vtest::Text(page.dialog, 5882), "after the end");
}

TEST(ProgressDialog, AWorkersFaultReachesTheDialogsFatalErrorDialog)
{
  auto fatal = std::make_unique<vtest::RecordingFatalDialog>();
  vtest::RecordingFatalDialog& reports = *fatal;
  afx::MessagePump_t pump;
  QWidget page;
  WorkerDialog_t dialog(std::move(fatal));
  dialog.Attach(&page, 0);
  dialog.work = [](tui::ProgressDlgIntf_t&, tui::MessageBoxIntf_t&, err::FatalDialogIntf_t& fatal) {
    fatal.Show("XferThread.cpp", 42, u"The card's folder vanished.", "2", {}, {});
  };
  dialog.Start();
  ASSERT_TRUE(PumpUntil([&] { return dialog.done.load(); }));
  ASSERT_EQ(reports.Reports().size(), 1u);
  EXPECT_EQ(reports.Last().file, "XferThread.cpp");
  EXPECT_EQ(reports.Last().line, 42);
  EXPECT_EQ(reports.Last().extra, u"The card's folder vanished.");
}

TEST(ProgressDialog, AnEndWithoutFinishStopsServing)
{
  Page_t page;
  page.dialog.work = [](tui::ProgressDlgIntf_t& dialog, tui::MessageBoxIntf_t&, err::FatalDialogIntf_t&) {
    dialog.End();
    // Not served any more: the call fails for the worker, the dialog stays.
    dialog.SetItemText(5881, u"too late");
  };
  page.dialog.Start();
  ASSERT_TRUE(PumpUntil([&] { return page.dialog.done.load(); }));
  EXPECT_FALSE(page.dialog.Serving());
  EXPECT_EQ(page.dialog.callsFailed, 1);
  EXPECT_EQ(vtest::Text(page.dialog, 5881), "");
  EXPECT_EQ(page.told, (std::vector<std::uint32_t>{0x8013}));
}

TEST(ProgressDialog, AbortStopsUnfinishedWorkOnly)
{
  Page_t page;
  page.dialog.work = [](tui::ProgressDlgIntf_t& dialog, tui::MessageBoxIntf_t&, err::FatalDialogIntf_t&) { dialog.Finish(); };
  page.dialog.Start();
  ASSERT_TRUE(PumpUntil([&] { return page.dialog.Finished(); }));
  page.dialog.Abort();
  EXPECT_TRUE(page.dialog.Serving()) << "after Finish, Abort does nothing";
  EXPECT_EQ(page.dialog.stopped, 0);

  // A new start stops the old worker and clears the finished flag.
  page.dialog.work = {};
  page.dialog.Start();
  EXPECT_EQ(page.dialog.started, 2);
  EXPECT_EQ(page.dialog.stopped, 1);
  EXPECT_FALSE(page.dialog.Finished());
  page.dialog.Abort();
  EXPECT_FALSE(page.dialog.Serving());
  EXPECT_EQ(page.dialog.stopped, 2);
}

TEST(ProgressDialog, ResetEmptiesAndHidesEverything)
{
  Page_t page;
  page.dialog.Show();
  page.dialog.SetItemText(5881, u"Update Complete");
  page.dialog.SetItemText(5882, u"The update was successful.");
  page.dialog.SetItemText(5883, u"100%");
  page.dialog.ShowBar();
  page.dialog.Reset();
  for (int line : {5881, 5882, 5883}) EXPECT_EQ(vtest::Text(page.dialog, line), "") << line;
  EXPECT_TRUE(page.dialog.CurrentBar().isHidden());
  EXPECT_TRUE(page.dialog.isHidden());
}

TEST(ProgressDialog, ThingsAnUnattachedDialogMustNotDo)
{
  WorkerDialog_t dialog;
  EXPECT_THROW(dialog.Start(), glo::Assert_t);
  EXPECT_THROW(dialog.Abort(), glo::Assert_t);
  EXPECT_THROW(dialog.End(), glo::Assert_t);
  EXPECT_THROW(dialog.Place(1009), glo::Assert_t);
  struct WithoutFatalDialog_t : tui::EmbeddedProgressDlg_t {
    WithoutFatalDialog_t() : EmbeddedProgressDlg_t(5886, PercentageBar, nullptr) {}
    void StartWorker() override {}
    void StopWorker() override {}
  };
  EXPECT_THROW(WithoutFatalDialog_t(), glo::Assert_t);
}

}  // namespace
