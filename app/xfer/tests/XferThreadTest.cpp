#include "XferThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <thread>

#include "AVN_Exceptions.h"
#include "ConfigXferThread.h"
#include "DIO_Exceptions.h"
#include "DriveFixtures.h"
#include "FaultCard.h"
#include "RecordingDialogs.h"
#include "RecordingFatalDialog.h"
#include "ScopedEnvironment.h"
#include "SmallVolume.h"
#include "TempFolder.h"
#include "Unavailable.h"
#include "UpdateFileBuilder.h"
#include "VlmsXferThread.h"
#include "WIN_Error.h"
#include "WIN_ResourceString.h"
#include "WIN_StructuredException.h"
#include "WIN_Utilities.h"
#include "XferHost.h"

namespace {

namespace fs = std::filesystem;
using vtest::Bytes;

// A real division, which neither the compiler nor a sanitizer takes away.
__attribute__((noipa, no_sanitize("integer-divide-by-zero"))) int DivideOneBy(int divisor)
{
  volatile int kept = divisor;
  return 1 / kept;
}

// A transfer whose work is given by the test.
struct TestParameter_t : vm::XferParameter_t {
  std::function<void(win::Event_t&, avn::TransferProgress_t&)> work;
};

class TestXfer_t : public vm::XferThread_t {
 public:
  TestXfer_t(dio::AccessPointIntf_t& accessPoint, const TestParameter_t& parameter,
             tui::ProgressDlgIntf_t& progressDialog, tui::MessageBoxIntf_t& messageBox)
      : XferThread_t(accessPoint, parameter, progressDialog, messageBox), work_(parameter.work)
  {
  }

 protected:
  void Run(win::Event_t& stop, avn::HalcyonDcp_t&, avn::TransferProgress_t& progress, tui::ProgressDlgIntf_t&) override
  {
    work_(stop, progress);
  }

 private:
  std::function<void(win::Event_t&, avn::TransferProgress_t&)> work_;
};

// A progress dialog on which the user asks for a stop once a text shows.
struct StopsAt_t : vtest::RecordingProgressDlg {
  explicit StopsAt_t(std::u16string text) : text(std::move(text)) {}
  void SetItemText(std::uint32_t controlId, const std::u16string& shown) override
  {
    RecordingProgressDlg::SetItemText(controlId, shown);
    if (shown == text) host->RequestStop();
  }
  const std::u16string text;
  vm::XferHost_t* host = nullptr;
};

class Xfer : public ::testing::Test {
 protected:
  void SetUp() override { win::WIN_SetResourceModule(nullptr); }

  // Runs a transfer to its end and serves its calls here.
  void Transfer(std::function<void(win::Event_t&, avn::TransferProgress_t&)> work)
  {
    auto parameter = std::make_unique<TestParameter_t>();
    parameter->root = card.Wide();
    parameter->workerFatalDialog = &workerFatal;
    parameter->work = std::move(work);
    host.Run(vm::XferWorkerEntry<TestXfer_t, TestParameter_t>, std::move(parameter));
  }
  bool Update(const vtest::RegionBlock& block, const std::u16string& root)
  {
    vtest::UpdateFile file;
    file.region = block.Build();
    const Bytes bytes = file.Build();
    vtest::WriteFile(updates / "nav.vlm", std::string(bytes.begin(), bytes.end()));
    update.Load(updates.Wide("nav.vlm"));
    auto parameter = std::make_unique<vm::VlmsXferParameter_t>();
    parameter->root = root;
    parameter->workerFatalDialog = &workerFatal;
    parameter->update = &update;
    return host.Run(vm::XferWorkerEntry<vm::VlmsXferThread_t, vm::VlmsXferParameter_t>, std::move(parameter));
  }

  vtest::TempFolder card;
  vtest::TempFolder updates;
  avn::VlmsDatabase_t update;
  vtest::RecordingProgressDlg progress;
  vtest::RecordingMessageBox messages;
  vtest::RecordingFatalDialog fatal;
  vtest::RecordingFatalDialog workerFatal;
  vm::XferHost_t host{progress, messages, fatal};
};

// What the user is shown for each failure of a transfer.
TEST_F(Xfer, EveryFailureEndsInItsMessageOrReport)
{
  const std::string damaged =
      "The aviation database update file you are attempting to write to your storage device appears to be "
      "corrupted.  Please return to Telvan's website, download the update again, and repeat this process.  If you "
      "continue to experience problems, please contact Telvan support.";
  struct Case {
    std::string name;
    std::function<void()> raise;
    std::string message;      // shown in a message box, then End
    std::string fatal;        // reported through the proxy, then End
    std::string workerFatal;  // reported by the worker itself, no End
  };
  const Case cases[] = {
      {"card", [] { throw avn::InsufficientCardFreeSpace_t(GLO_HERE, 5000000, 512000); },
       "The data card does not have enough free space to complete the transfer successfully.  The data being "
       "transferred is 4.77 MB, but the card's free space is 500 KB.",
       "", ""},
      {"drive", [] { throw avn::InsufficientDriveFreeSpace_t(GLO_HERE, 123456789, 1023487); },
       "The PC's hard drive does not have enough free space to complete the transfer successfully.  The data being "
       "transferred is 117.7 MB, but the drive's free space is 999 KB.",
       "", ""},
      {"damaged", [] { throw avn::BadRegionFile_t(GLO_HERE); }, damaged, "", ""},
      {"partial", [] { throw avn::BadPartialTpcUpdateFile_t(GLO_HERE, u"Too new."); }, "Too new.", "", ""},
      {"script", [] { throw avn::BatchFileFailure_t(GLO_HERE); },
       "Velmora encountered a problem with the batch script provided to initialize the card.", "", ""},
      {"stop", [] { throw glo::Terminate_t(GLO_HERE); }, "", "", ""},
      {"calls", [] { throw dio::Exception_t(GLO_HERE); }, "", "", "calls"},
      {"system", [] { throw win::Error_t(GLO_HERE, ENOSPC); }, "System Error Code: 28\nNo space left on device\n", "",
       ""},
      {"assert", [] { glo::GLO_Assert(false, "card.cpp", 7); }, "", "card.cpp:7", ""},
      {"standard", [] { throw std::length_error("too long"); }, "", "XferThread.cpp too long", ""},
      {"unknown", [] { throw 42; }, "", "XferThread.cpp Unknown error.", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    progress.calls.clear();
    messages.shown.clear();
    const auto before = fatal.Reports().size(), workerBefore = workerFatal.Reports().size();
    Transfer([&c](win::Event_t&, avn::TransferProgress_t&) { c.raise(); });
    const auto reports = fatal.Reports();
    const auto workerReports = workerFatal.Reports();
    EXPECT_EQ(messages.Texts(), c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message});
    if (!c.message.empty()) {
      EXPECT_EQ(messages.shown.back().type, 0x30u);
    }
    ASSERT_EQ(reports.size(), before + (c.fatal.empty() ? 0 : 1));
    if (!c.fatal.empty()) {
      const auto& report = reports.back();
      const std::string site = fs::path(report.file).filename().string();
      EXPECT_EQ(c.fatal.rfind(site, 0), 0u) << site;
      if (c.name == "assert") {
        EXPECT_EQ(report.line, 7);
      } else {
        EXPECT_EQ(site + " " + vtest::Utf8(report.extra), c.fatal);
      }
    }
    ASSERT_EQ(workerReports.size(), workerBefore + (c.workerFatal.empty() ? 0 : 1));
    const bool ends = !c.message.empty() || !c.fatal.empty();
    EXPECT_EQ(progress.calls.empty() ? "" : progress.calls.back(), ends ? "End" : "");
  }
}

TEST_F(Xfer, AStopAfterTheWorkShowsNoFinalizingOrCompletion)
{
  Transfer([](win::Event_t& stop, avn::TransferProgress_t& progress) {
    progress.SetPhase(ioa::PhaseCopying, 10);
    stop.Set();
  });
  // Percentages within the first 100 ms are held back.
  EXPECT_EQ(progress.calls, (std::vector<std::string>{"StopIndefinite", "SetItemText 5882 Copying database(s)...",
                                                      "SetItemText 5883 "}));
}

TEST_F(Xfer, ADivisionByZeroOnTheWorkerIsReportedWithItsCode)
{
  std::uint32_t code = 0;
  Transfer([&code](win::Event_t&, avn::TransferProgress_t&) {
    try {
      DivideOneBy(0);
    } catch (const win::StructuredException_t& fault) {
      code = fault.Code();
      throw;
    }
  });
  EXPECT_EQ(code, 0xC0000094u);
  const auto reports = fatal.Reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(vtest::Utf8(reports[0].extra).rfind("Integer divide by zero at program address 0x", 0), 0u);
  EXPECT_EQ(progress.calls.back(), "End");
}

// Every database fits one piece, so each phase goes from 0 to 100 % in one
// step, and 100 % is never held back.
TEST_F(Xfer, ASmallUpdateShowsThisSequence)
{
  const std::vector<std::string> sequence{
      "StopIndefinite",
      "SetItemText 5882 Copying database(s)...",
      "SetItemText 5883 ",
      "SetPos 100",
      "SetItemText 5883 100% complete",
      "SetItemText 5882 Verifying Database Signature...",
      "SetItemText 5883 ",
      "SetItemText 5883 100% complete",
      "SetItemText 5883 ",
      "SetItemText 5883 100% complete",
      "SetItemText 5882 Preparing database(s)...",
      "SetItemText 5883 ",
      "SetItemText 5881 Transferring Data (update 1 of 2)",
      "SetItemText 5882 Transferring database(s)...",
      "SetItemText 5883 100% complete",
      "SetItemText 5882 Preparing database(s)...",
      "SetItemText 5883 ",
      "SetItemText 5881 Transferring Data (update 2 of 2)",
      "SetItemText 5882 Transferring database(s)...",
      "SetItemText 5883 100% complete",
      "SetItemText 5882 Finalizing transfer...",
      "SetItemText 5883 ",
      "SetItemText 5881 Update Complete",
      "SetItemText 5882 The update was successful.",
      "Finish",
      "HideBar",
  };
  // Twice in a row, as onto two cards: the second extracts the block anew.
  for (const char* name : {"one", "two"}) {
    SCOPED_TRACE(name);
    progress.calls.clear();
    vtest::TempFolder target;
    ASSERT_TRUE(Update(vtest::RegionBlock().Database(1, Bytes(10, 'a')).Database(79, Bytes(5, 'p')), target.Wide()));
    EXPECT_EQ(progress.calls, sequence);
    EXPECT_EQ(vtest::ReadFile(target / "air_sport.xpt").size(), 9u);
  }
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_TRUE(fatal.Reports().empty());
}

TEST_F(Xfer, RealCausesOfTheMessages)
{
  // A damaged database in a file whose signature is right.
  Bytes damaged = vtest::WithTrailer(Bytes(3000, 'd'));
  damaged[10] ^= 1;
  ASSERT_TRUE(Update(vtest::RegionBlock().Database(1, Bytes(10, 'a')).DatabaseAsIs(33, damaged), card.Wide()));
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_EQ(messages.Texts()[0].rfind("The aviation database update file you are attempting", 0), 0u);
  EXPECT_FALSE(fs::exists(card / "ldr_sys"));

  // A card too small for the update: the 100 000 bytes take 25 blocks of
  // 4 KiB on the card.
  vtest::SmallVolume small(65536);
  VTEST_REQUIRE_MOUNTED(small);
  ASSERT_TRUE(Update(vtest::RegionBlock().Database(1, Bytes(100000, 'a')), small.Wide()));
  ASSERT_EQ(messages.Texts().size(), 2u);
  EXPECT_EQ(messages.Texts()[1],
            "The data card does not have enough free space to complete the transfer successfully.  The data being "
            "transferred is 100 KB, but the card's free space is 64 KB.");
  EXPECT_EQ(progress.calls.back(), "End");
}

TEST_F(Xfer, AStopDuringTheCopyOfTheBlockEndsSilentlyAndLeavesNothing)
{
  // The stop is asked for as soon as the copy shows; the worker notices it
  // after the piece it is copying.
  StopsAt_t stopping(u"Copying database(s)...");
  vm::XferHost_t host(stopping, messages, fatal);
  stopping.host = &host;
  const std::u16string temporary = win::WIN_GetAppTempFolder();
  const auto copies = [&temporary] {
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(vtest::Utf8(temporary)))
      count += entry.path().filename().string().rfind("rgn", 0) == 0;
    return count;
  };
  const std::size_t before = copies();
  vtest::UpdateFile file;
  file.region = vtest::RegionBlock().Database(1, Bytes(8 << 20, 'a')).Build();
  const Bytes bytes = file.Build();
  vtest::WriteFile(updates / "big.vlm", std::string(bytes.begin(), bytes.end()));
  update.Load(updates.Wide("big.vlm"));
  auto parameter = std::make_unique<vm::VlmsXferParameter_t>();
  parameter->root = card.Wide();
  parameter->workerFatalDialog = &workerFatal;
  parameter->update = &update;
  EXPECT_FALSE(host.Run(vm::XferWorkerEntry<vm::VlmsXferThread_t, vm::VlmsXferParameter_t>, std::move(parameter)));
  EXPECT_EQ(copies(), before);
  EXPECT_TRUE(fs::is_empty(card.Path()));
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_TRUE(workerFatal.Reports().empty());
  EXPECT_EQ(std::count(stopping.calls.begin(), stopping.calls.end(), "End"), 0);
  EXPECT_EQ(
      std::count(stopping.calls.begin(), stopping.calls.end(), "SetItemText 5882 Verifying Database Signature..."), 0);
}

TEST_F(Xfer, ConfigurationCardsArePreparedByTheirScriptThenGetTheFile)
{
  const std::string scriptFailed =
      "Velmora encountered a problem with the batch script provided to initialize the card.";
  vtest::WriteFile(updates / "unit7.ini", "[unit]\nid=7\n");
  vtest::WriteFile(updates / "prepare.sh", "echo \"$1\" > \"$1/prepared\"\n");
  vtest::WriteFile(updates / "failing.sh", "exit 1\n");
  struct Case {
    std::int32_t mode;
    std::string script;   // empty: none
    std::string written;  // where the file lands; empty: the script failed
  };
  const Case cases[] = {
      {1, "prepare.sh", "cfg/unit7.ini"},
      {2, "prepare.sh", "unit7.ini"},
      {1, "failing.sh", ""},
      {1, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script + " " + std::to_string(c.mode));
    vtest::TempFolder target;
    messages.shown.clear();
    auto parameter = std::make_unique<vm::ConfigXferParameter_t>();
    parameter->root = target.Wide();
    parameter->workerFatalDialog = &workerFatal;
    parameter->runMode = c.mode;
    if (!c.script.empty()) parameter->batchScript.Set(updates.Wide(c.script));
    parameter->configurationFile = updates.Wide("unit7.ini");
    ASSERT_TRUE(host.Run(vm::XferWorkerEntry<vm::ConfigXferThread_t, vm::ConfigXferParameter_t>, std::move(parameter)));
    if (c.written.empty()) {
      EXPECT_EQ(messages.Texts(), std::vector<std::string>{scriptFailed});
      EXPECT_FALSE(fs::exists(target / "unit7.ini") || fs::exists(target / "cfg"));
    } else {
      EXPECT_TRUE(messages.shown.empty());
      EXPECT_EQ(vtest::ReadFile(target / "prepared"), target.Path().string() + "\n");
      EXPECT_EQ(vtest::ReadFile(target / c.written), "[unit]\nid=7\n");
    }
  }
}

// The debug trace reads its setting on first use, so the transfer runs in a
// process of its own (started afresh, which also suits the thread
// sanitizer) whose settings turn it on; the process runs this test again
// and finds the folder made here.
TEST_F(Xfer, AStopEndsTheScriptsTreeDeepestFirstAndTracesIt)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // The middle process lives on when its child is ended first, so that
  // ending it can be seen too.
  std::optional<vtest::TempFolder> made;
  fs::path folder;
  vtest::ScopedEnvironment shared;
  if (const char* inherited = std::getenv("VELMORA_TEST_RUN")) {
    folder = inherited;
  } else {
    made.emplace();
    folder = made->Path();
    shared.Set("VELMORA_TEST_RUN", folder.string());
    vtest::WriteFile(folder / "Telvan/user.reg",
                     "Windows Registry Editor Version 5.00\n"
                     "[HKEY_CURRENT_USER\\Software\\Telvan\\Velmora\\Settings]\n"
                     "\"ShowDebug\"=hex:01\n");
    vtest::WriteFile(folder / "unit7.ini", "[unit]\n");
    vtest::WriteFile(folder / "slow.sh",
                     "echo $$ > \"$1/shell\"\n"
                     "sh -c 'sleep 60 & echo $! > \"$1/grandchild\"; while :; do sleep 1; done' sh \"$1\" &\n"
                     "echo $! > \"$1/child\"\n"
                     "while [ ! -s \"$1/grandchild\" ]; do sleep 0.01; done\n"
                     "echo started > \"$1/started\"\n"
                     "wait\n");
  }
  const auto wide = [&folder](const std::string& name) {
    return glo::GLO_ToWide((folder / name).string(), glo::CodePageUtf8);
  };
  EXPECT_EXIT(
      {
        vtest::ScopedEnvironment environment;
        environment.Set("XDG_CONFIG_HOME", folder.string());
        vtest::CurrentFolder current(folder);
        // Stops once the script's tree is up; a transfer that ends first, or
        // a tree that never comes up, fails the test instead of hanging it.
        std::atomic<bool> running{true};
        std::thread stopper([this, &folder, &running] {
          const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
          while (running && !fs::exists(folder / "started") && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
          host.RequestStop();
        });
        auto parameter = std::make_unique<vm::ConfigXferParameter_t>();
        parameter->root = glo::GLO_ToWide(folder.string(), glo::CodePageUtf8);
        parameter->runMode = 2;
        parameter->batchScript.Set(wide("slow.sh"));
        parameter->configurationFile = wide("unit7.ini");
        const bool ended =
            host.Run(vm::XferWorkerEntry<vm::ConfigXferThread_t, vm::ConfigXferParameter_t>, std::move(parameter));
        running = false;
        stopper.join();
        std::exit(ended || !messages.shown.empty() ? 1 : 0);
      },
      testing::ExitedWithCode(0), "");
  const auto id = [&folder](const char* name) {
    std::string text = vtest::ReadFile(folder / name);
    return text.substr(0, text.find('\n'));
  };
  const std::string trace = vtest::ReadFile(folder / "Debug.txt");
  const auto at = [&trace](const std::string& text) { return trace.find(text); };
  EXPECT_NE(at("Terminate Process Tree: Search Process Id: " + id("shell") + "\n"), std::string::npos) << trace;
  EXPECT_NE(at(" Found Process Id: " + id("grandchild") + "\t Name: sleep\t Parent Process Id: " + id("child") + "\n"),
            std::string::npos);
  const auto grandchild = at(" Terminated Process: " + id("grandchild") + "\n");
  const auto child = at(" Terminated Process: " + id("child") + "\n");
  const auto shell = at("Terminated main \"CreateProcess\" process: " + id("shell") + "\n");
  ASSERT_NE(grandchild, std::string::npos);
  ASSERT_NE(child, std::string::npos);
  ASSERT_NE(shell, std::string::npos);
  EXPECT_LT(grandchild, child);
  EXPECT_LT(child, shell);
}

TEST_F(Xfer, AStopEndsThePauseAfterAFailedDismount)
{
  // A card whose volume stays busy: a file is held open on it.
  vtest::SmallVolume volume(1 << 20);
  VTEST_REQUIRE_MOUNTED(volume);
  vtest::SysfsBuilder(card / "sys").Disk("sdb", "8:16", vtest::Attachment::Sata, true).Partition("sdb", "sdb1", "8:17");
  vtest::MountTableBuilder().Mount("/dev/sdb1", volume.Path().string(), "vfat", "8:17").Write(card / "mountinfo");
  std::FILE* held = std::fopen((volume.Path() / "held").c_str(), "w");
  ASSERT_NE(held, nullptr);
  StopsAt_t stopping(u"Finalizing transfer...");
  vm::XferHost_t stoppingHost(stopping, messages, fatal);
  stopping.host = &stoppingHost;
  auto parameter = std::make_unique<TestParameter_t>();
  parameter->root = volume.Wide();
  parameter->dismount = {{card.Wide("mountinfo"), card.Wide("sys"), card.Wide("by-label")}, u""};
  parameter->workerFatalDialog = &workerFatal;
  parameter->work = [](win::Event_t&, avn::TransferProgress_t&) {};
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(stoppingHost.Run(vm::XferWorkerEntry<TestXfer_t, TestParameter_t>, std::move(parameter)));
  // Four tries 500 ms apart, then a pause that the stop ends long before its
  // 20 seconds.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
  std::fclose(held);
  EXPECT_EQ(std::count(stopping.calls.begin(), stopping.calls.end(), "Finish"), 0);
  EXPECT_EQ(std::count(stopping.calls.begin(), stopping.calls.end(), "End"), 0);
  EXPECT_TRUE(messages.shown.empty());
}

TEST(ConfigXfer, ScriptPathsAreTakenFromTheProgramsFolderUnlessAbsolute)
{
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"/srv/cards/init.sh", u"/srv/cards/init.sh"},
      {u"scripts/init.sh", u"/opt/velmora/bin/scripts/init.sh"},
      {u"init.sh", u"/opt/velmora/bin/init.sh"},
      // A Windows-style root without a drive stays after the folder.
      {u"\\cards\\init.cmd", u"/opt/velmora/bin/\\cards\\init.cmd"},
  };
  for (const auto& [given, resolved] : cases)
    EXPECT_EQ(vm::ConfigXferThread_t::ResolveScriptPath(given, u"/opt/velmora/bin/"), resolved);
}

// Cards that fail as real ones do, through the fault card: the transfer
// is never reported as complete. Where the card answers each write at once
// (no writeback cache, as FAT through FUSE does), no card file is left with
// bytes missing either; behind the kernel's writeback cache a failure may
// only show when the card is made durable, after the file was closed, and
// the transfer fails there.
TEST_F(Xfer, ACardThatFailsUnderTheTransferIsNeverReportedProgrammed)
{
  struct Case {
    vtest::CardFault fault;
    bool writebackCache;
    const char* text;  // what the message says, at least
  };
  const Case cases[] = {
      {vtest::CardFault::NoSpace, false, "No space left on device"},
      {vtest::CardFault::IoError, false, "Input/output error"},
      {vtest::CardFault::ReadOnly, false, "Read-only file system"},
      {vtest::CardFault::NotPermitted, false, "Operation not permitted"},
      {vtest::CardFault::NoSpace, true, "No space left on device"},
      {vtest::CardFault::IoError, true, "System Error Code: "},
      {vtest::CardFault::ReadOnly, true, "System Error Code: "},
      {vtest::CardFault::NotPermitted, true, "System Error Code: "},
      {vtest::CardFault::Vanish, true, "System Error Code: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.fault)) + (c.writebackCache ? " behind the cache" : ""));
    vtest::FaultCard faulty(
        {.unit = 4096, .fault = c.fault, .failAfter = 300000, .writebackCache = c.writebackCache});
    VTEST_REQUIRE_MOUNTED(faulty);
    messages.shown.clear();
    progress.calls.clear();
    ASSERT_TRUE(Update(vtest::RegionBlock().Database(1, Bytes(1 << 20, 'a')).Database(33, Bytes(5000, 't')),
                       faulty.Wide()));
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_NE(messages.Texts()[0].find(c.text), std::string::npos) << messages.Texts()[0];
    EXPECT_EQ(progress.calls.back(), "End");
    for (const auto& call : progress.calls) EXPECT_EQ(call.find("Update Complete"), std::string::npos);
    if (c.fault == vtest::CardFault::Vanish) {
      ASSERT_TRUE(faulty.WaitGone());
      // Nothing of the rest landed in the bare mount point.
      EXPECT_TRUE(vtest::FilesBelow(faulty.Root()).empty());
    } else if (!c.writebackCache) {
      EXPECT_FALSE(fs::exists(faulty.Backing() / "ldr_sys/avtn_db.bin"));
    }
  }
}

TEST_F(Xfer, ChartsThatFillTheClustersOfACardAreRefusedBeforeTheOldOnesGo)
{
  // A card of 32 clusters of 32 KiB: forty charts of a few bytes take forty
  // clusters, although their bytes would fit many times over.
  vtest::FaultCard small({.unit = 32768, .capacity = 32 * 32768});
  VTEST_REQUIRE_MOUNTED(small);
  vtest::WriteFile(small.Root() / "sl_tpc/charts/old.tpc", "old chart");
  for (int i = 0; i < 40; ++i) vtest::WriteFile(updates / ("charts/c" + std::to_string(i) + ".tpc"), "chart");
  Bytes index(160, 'i');
  ASSERT_TRUE(Update(vtest::RegionBlock().Database(20, index), small.Wide()));
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_EQ(messages.Texts()[0].rfind("The data card does not have enough free space", 0), 0u) << messages.Texts()[0];
  EXPECT_EQ(vtest::FilesBelow(small.Root()), std::vector<std::string>{"sl_tpc/charts/old.tpc"});
}

}  // namespace
