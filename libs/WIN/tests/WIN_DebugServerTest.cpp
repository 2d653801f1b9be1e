#include "WIN_DebugServer.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <thread>

#include "GLO_Exception.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"

namespace {

const std::string Time = R"(\d\d:\d\d:\d\d:)";
const std::string Banner = R"(\*{17} New Run \*{28})";

std::vector<std::string> Lines(const std::string& text)
{
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void ExpectLine(const std::string& line, const std::string& pattern)
{
  EXPECT_TRUE(std::regex_match(line, std::regex(pattern))) << line << "\n  does not match " << pattern;
}

class DebugServerTest : public testing::Test {
 protected:
  std::string Trace() const { return vtest::ReadFile(folder / "Debug.txt"); }

  vtest::TempFolder folder;
};

TEST_F(DebugServerTest, OffWritesNothingAndMakesNoFile)
{
  win::DebugServer_t server(false, folder.Wide("Debug.txt"));
  server.Write("text\n").Write(u"wide\n").Write(std::uint16_t{7});
  EXPECT_FALSE(std::filesystem::exists(folder / "Debug.txt"));
}

TEST_F(DebugServerTest, ARunStartsWithTheBannerAndEveryLineWithTheTime)
{
  {
    win::DebugServer_t server(true, folder.Wide("Debug.txt"));
    server.Write("Killing ").Write(u"proc\u00E9ss ").Write(std::uint16_t{65535}).Write("\n");
    server.Write("second\nthird\n");
  }
  {
    win::DebugServer_t nextRun(true, folder.Wide("Debug.txt"));
    nextRun.Write("next run\n");
  }
  const auto lines = Lines(Trace());
  ASSERT_EQ(lines.size(), 6u);
  ExpectLine(lines[0], Time + ".+" + Banner);
  ExpectLine(lines[1], Time + "Killing proc\xC3\xA9ss 65535");
  // A text with a line feed ends the line; what follows it in the same text
  // has no prefix of its own.
  ExpectLine(lines[2], Time + "second");
  EXPECT_EQ(lines[3], "third");
  ExpectLine(lines[4], Time + ".+" + Banner);
  ExpectLine(lines[5], Time + "next run");
}

TEST_F(DebugServerTest, WritesFromTwoThreadsStayWhole)
{
  constexpr int PerThread = 300;
  {
    win::DebugServer_t server(true, folder.Wide("Debug.txt"));
    auto writer = [&server](const std::string& name) {
      for (int i = 0; i < PerThread; ++i) server.Write(name + " line " + std::to_string(i) + " of the trace\n");
    };
    std::thread first(writer, "first");
    std::thread second(writer, "second");
    first.join();
    second.join();
  }
  const auto lines = Lines(Trace());
  ASSERT_EQ(lines.size(), 1u + 2 * PerThread);
  for (std::size_t i = 1; i < lines.size(); ++i) ExpectLine(lines[i], Time + "(first|second) line \\d+ of the trace");
}

TEST_F(DebugServerTest, AFileThatCannotBeOpenedSwallowsEverything)
{
  win::DebugServer_t server(true, folder.Wide("missing/folder/Debug.txt"));
  EXPECT_NO_THROW(server.Write("lost\n"));
}

// The process-wide trace reads the settings on first use, so each case runs
// in a child process of its own.
TEST_F(DebugServerTest, EveryExceptionWritesItsErrorLineWhenTheSettingSaysSo)
{
  struct Case {
    const char* showDebug;
    bool traced;
  };
  const Case cases[] = {{"hex:01", true}, {nullptr, false}, {"hex:00", false}, {"dword:00000001", false}};
  for (const auto& c : cases) {
    vtest::TempFolder run;
    if (c.showDebug != nullptr)
      vtest::WriteFile(run / "Telvan/user.reg",
                       "Windows Registry Editor Version 5.00\n"
                       "[HKEY_CURRENT_USER\\Software\\Telvan\\Velmora\\Settings]\n"
                       "\"ShowDebug\"=" +
                           std::string(c.showDebug) + "\n");
    EXPECT_EXIT(
        {
          vtest::ScopedEnvironment environment;
          environment.Set("XDG_CONFIG_HOME", run.Path().string());
          vtest::CurrentFolder current(run.Path());
          win::WIN_InstallDebugTrace();
          try {
            glo::GLO_Assert(false, "Check.cpp", 77);
          } catch (const glo::Assert_t&) {
          }
          const glo::Exception_t second("Other.cpp", 8, u"Disk \u00E9 full", "");
          std::exit(0);
        },
        testing::ExitedWithCode(0), "");
    const auto lines = Lines(vtest::ReadFile(run / "Debug.txt"));
    if (!c.traced) {
      EXPECT_TRUE(lines.empty()) << (c.showDebug ? c.showDebug : "absent");
      continue;
    }
    ASSERT_EQ(lines.size(), 3u);
    ExpectLine(lines[0], Time + ".+" + Banner);
    ExpectLine(lines[1], Time + "Error: Check.cpp 77 ");
    ExpectLine(lines[2], Time + "Error: Other.cpp 8 Disk \xC3\xA9 full");
  }
}

}  // namespace
