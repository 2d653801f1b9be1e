#include "ERR_FatalDialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "ERR_ErrorReporter.h"
#include "ERR_LogFile.h"
#include "GLO_Text.h"
#include "ReporterFixture.h"
#include "TempFolder.h"
#include "WIN_RegException.h"
#include "WIN_ResourceString.h"
#include "WIN_VersionInfo.h"

namespace {

class RecordingErrorDialog : public err::ErrorDialogIntf_t {
 public:
  struct Shown {
    std::u16string text;  // of the dialog, or of a message
    std::string log;
    bool message = false;
  };
  void ShowErrorDialog(const std::u16string& errorText, const std::string& logText) override
  {
    shown.push_back({errorText, logText, false});
  }
  void ShowMessage(const std::u16string& text) override { shown.push_back({text, {}, true}); }
  std::vector<Shown> shown;
};

std::filesystem::path LogPath()
{
  return glo::GLO_ToNarrow(err::ERR_LogFilePath(), glo::CodePageUtf8);
}

// The machine's registry lives in a folder of this test process, named
// before anything reads it; each test writes what it needs.
class FatalDialog : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { vtest::MachineRegistry::Get(); }

  void SetUp() override
  {
    win::WIN_SetResourceModule(nullptr);
    vtest::MachineRegistry::Get().Clear();
    std::filesystem::remove(LogPath());
  }

  // The machine's registry names the folder of the reporter.
  void InstallDir(const std::filesystem::path& folder) { vtest::MachineRegistry::Get().SetReporterFolder(folder); }

  vtest::TempFolder folder_;
  RecordingErrorDialog dialog_;
};

TEST_F(FatalDialog, WithoutReporterTheErrorIsLoggedAndShown)
{
  EXPECT_FALSE(err::ERR_ErrorReporterSupported());
  err::FatalDialog_t fatal(dialog_);
  fatal.Show("/src/Transfer.src", 120, u"Card gone", "2", {}, {});
  ASSERT_EQ(dialog_.shown.size(), 1u);
  const auto& shown = dialog_.shown[0];
  EXPECT_FALSE(shown.message);
  EXPECT_EQ(shown.text.substr(0, 18), u"\nApp: Velmora\nAt: ");
  EXPECT_NE(shown.text.find(u"\nTRANSFER.SRC-120-1.0.0.1\nCard gone"), std::u16string::npos);
  EXPECT_EQ(shown.log, vtest::ReadFile(LogPath()));
  EXPECT_NE(shown.log.find("<SubId>2</SubId>"), std::string::npos);
}

TEST_F(FatalDialog, AReporterThatDoesNotStartGivesMessage5602AndTheFallback)
{
  InstallDir(folder_.Path());
  EXPECT_TRUE(err::ERR_ErrorReporterSupported());
  err::FatalDialog_t fatal(dialog_);
  fatal.Show("a.cpp", 3, u"Broken", "", glo::Optional_t<std::uint32_t>(9), {8});
  ASSERT_EQ(dialog_.shown.size(), 2u);
  EXPECT_TRUE(dialog_.shown[0].message);
  EXPECT_EQ(dialog_.shown[0].text,
            u"Velmora cannot start the error reporting application.  Please reinstall Velmora.");
  EXPECT_EQ(dialog_.shown[1].text, err::ERR_FallbackText("a.cpp", 3, u"Broken", "", 9u, {8}).substr(0, 18) +
                                       dialog_.shown[1].text.substr(18));
  EXPECT_NE(dialog_.shown[1].text.find(u"\nExtra: Broken\nProgram Address: 9\nStack Trace: \n8"), std::u16string::npos);
  EXPECT_EQ(dialog_.shown[1].log, "");
  // The error was logged before the reporter was asked for.
  EXPECT_NE(vtest::ReadFile(LogPath()).find("<SourceFileName>A.CPP</SourceFileName>"), std::string::npos);
}

TEST_F(FatalDialog, TheReporterIsHandedTheLog)
{
  const auto record = folder_ / "arguments.txt";
  vtest::WriteRecordingReporter(folder_.Path(), record);
  InstallDir(folder_.Path());
  EXPECT_EQ(err::ERR_ErrorReporterPath(), folder_.Wide("ErrorReporter"));
  err::FatalDialog_t fatal(dialog_);
  fatal.Show("a.cpp", 3, u"Broken", "", {}, {});
  EXPECT_TRUE(dialog_.shown.empty());
  EXPECT_EQ(vtest::AwaitRecord(record), "/Mode|0|/AppName|Velmora|");
  EXPECT_NE(vtest::ReadFile(LogPath()).find("<SourceFileName>A.CPP</SourceFileName>"), std::string::npos);
  // Once it has ended the reporter is gone, not left a zombie of ours.
  EXPECT_TRUE(vtest::ReporterGone(record));
}

TEST_F(FatalDialog, ALogThatCannotBeOpenedGivesTheFallbackAlone)
{
  std::filesystem::create_directory(LogPath());
  err::FatalDialog_t fatal(dialog_);
  fatal.Show("a.cpp", 3, u"Broken", "", {}, {});
  std::filesystem::remove(LogPath());
  ASSERT_EQ(dialog_.shown.size(), 1u);
  EXPECT_FALSE(dialog_.shown[0].message);
  EXPECT_NE(dialog_.shown[0].text.find(u"\nA.CPP-3-1.0.0.1\nLanguage ID: 1033"), std::u16string::npos);
  EXPECT_EQ(dialog_.shown[0].log, "");
}

TEST_F(FatalDialog, FailuresOfTheDialogItselfNeverReachTheCaller)
{
  class Failing : public err::ErrorDialogIntf_t {
   public:
    void ShowErrorDialog(const std::u16string&, const std::string&) override { throw std::runtime_error("gone"); }
    void ShowMessage(const std::u16string&) override { throw std::runtime_error("gone"); }
  } failing;
  InstallDir(folder_.Path());
  EXPECT_NO_THROW(err::FatalDialog_t(failing).Show("a.cpp", 3, u"", "", {}, {}));
}

TEST_F(FatalDialog, TheThreeImmediateForms)
{
  try {
    glo::GLO_Assert(false, "check.cpp", 11);
  } catch (const glo::Assert_t& error) {
    err::FatalDialog_t shown(dialog_, error);
  }
  err::FatalDialog_t(dialog_, "std.cpp", 12, std::length_error("caf\xe9"));
  win::Fault_t fault;
  fault.code = win::ExceptionIntegerDivideByZero;
  fault.programAddress = 0x4a1f;
  err::FatalDialog_t(dialog_, "fault.cpp", 13, win::StructuredException_t("raised.cpp", 1, fault, {7, 8}));
  ASSERT_EQ(dialog_.shown.size(), 3u);
  const std::string log = vtest::ReadFile(LogPath());
  EXPECT_NE(log.find("<SourceFileName>CHECK.CPP</SourceFileName>"), std::string::npos);
  EXPECT_NE(log.find("<SourceFileName>STD.CPP</SourceFileName>\n        <SourceFileLine>12</SourceFileLine>\n"
                     "      </SourceCodeLocation>\n      <Extra>caf\xc3\xa9</Extra>"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("<SubId>0x4a1f</SubId>\n      <SourceCodeLocation>\n        <SourceFileName>FAULT.CPP</SourceFileName>"
                     "\n        <SourceFileLine>13</SourceFileLine>\n      </SourceCodeLocation>\n"
                     "      <ProgramAddress>18975</ProgramAddress>\n      <StackTrace>\n"
                     "        <ReturnAddress>7</ReturnAddress>\n        <ReturnAddress>8</ReturnAddress>"),
            std::string::npos)
      << log;
}

TEST_F(FatalDialog, ReporterRules)
{
  EXPECT_THROW(err::ERR_ErrorReporterPath(), win::RegException_t);
  EXPECT_THROW(err::ERR_LaunchErrorReporter(err::ReportLoggedError, u"Velmora"), glo::Assert_t);
  InstallDir(folder_.Path());
  EXPECT_THROW(err::ERR_LaunchErrorReporter(err::ReporterOwnMode, u"Velmora"), glo::Assert_t);
  try {
    err::ERR_LaunchErrorReporter(err::ApplicationStarted, u"Velmora");
    ADD_FAILURE() << "started";
  } catch (const err::ErrorReporterLaunchFailureException_t& error) {
    EXPECT_EQ(error.Code(), static_cast<std::uint32_t>(ENOENT));
    EXPECT_LE(error.Code(), 32u);
  }
}

TEST(ErrorDialogTexts, ExplanationAndErrorInformation)
{
  win::WIN_SetResourceModule(nullptr);
  const auto texts = err::ERR_ErrorDialogTexts(u"\nApp: Velmora\nAt: now");
  EXPECT_EQ(texts.caption, u"Velmora");
  EXPECT_EQ(texts.explanation, win::ResourceString_t(5606, GLO_HERE).Text());
  EXPECT_EQ(texts.information, u"Error Information:\r\n\r\nApp: Velmora\r\nAt: now");
}

}  // namespace
