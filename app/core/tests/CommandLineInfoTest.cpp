#include "CommandLineInfo.h"

#include <gtest/gtest.h>

#include "GLO_Text.h"
#include "RunMode.h"
#include "WIN_ResourceString.h"

namespace {

std::string Utf8(const std::u16string& text)
{
  return glo::GLO_ToNarrow(text, glo::CodePageUtf8);
}

struct Case {
  std::vector<std::string> arguments;
  std::u16string filePath;
  std::optional<std::u16string> batchScript;
  bool syntaxError;
};

TEST(CommandLine, ParsesFilePathFlagAndBatchScript)
{
  const Case cases[] = {
      {{}, u"", std::nullopt, false},
      {{"/B", "init.cmd", "card.ini"}, u"card.ini", u"init.cmd", false},
      {{"card.ini", "/b", "init.cmd"}, u"card.ini", u"init.cmd", false},
      {{"-B", "init.cmd", "card.ini"}, u"card.ini", u"init.cmd", false},
      {{"/X", "update.vlm"}, u"update.vlm", std::nullopt, true},
      {{"a.vlm", "b.vlm"}, u"b.vlm", std::nullopt, false},
      {{"card.ini", "/B"}, u"card.ini", std::nullopt, false},
      {{"/B", "/X", "card.ini"}, u"card.ini", std::nullopt, true},
      {{"-"}, u"", std::nullopt, true},
      {{"--help"}, u"", std::nullopt, true},
      // Absolute paths start with "/" here: one that names a file or a folder
      // path is a parameter, not a flag.
      {{"/home/alice/update.vlm"}, u"/home/alice/update.vlm", std::nullopt, false},
      {{"/update.vlm"}, u"/update.vlm", std::nullopt, false},
      {{"/B", "/opt/scripts/init.sh", "/media/card.ini"}, u"/media/card.ini", u"/opt/scripts/init.sh", false},
      {{"/tmp"}, u"", std::nullopt, true},
      {{"\xC3\x9C"
        "ber.vlm"},
       u"\u00DCber.vlm",
       std::nullopt,
       false},
  };
  for (const auto& c : cases) {
    vm::CommandLineInfo_t info;
    vm::ParseCommandLine(info, c.arguments);
    std::string label;
    for (const auto& argument : c.arguments) label += argument + " ";
    EXPECT_EQ(info.FilePath(), c.filePath) << label;
    const auto& script = info.BatchScriptPath();
    EXPECT_EQ(script ? std::optional(script.Get()) : std::nullopt, c.batchScript) << label;
    EXPECT_EQ(info.SyntaxError(), c.syntaxError) << label;
  }
}

TEST(CommandLine, TheHandlerSeesEveryParameterInOrder)
{
  struct Recorder : vm::CommandLineInfo_t {
    void ParseParam(const std::u16string& parameter, bool flag, bool last) override
    {
      seen.push_back(Utf8(parameter) + (flag ? " flag" : "") + (last ? " last" : ""));
      CommandLineInfo_t::ParseParam(parameter, flag, last);
    }
    std::vector<std::string> seen;
  } recorder;
  vm::ParseCommandLine(recorder, {"-b", "s.sh", "/home/a.ini"});
  EXPECT_EQ(recorder.seen, (std::vector<std::string>{"b flag", "s.sh", "/home/a.ini last"}));
  EXPECT_EQ(recorder.FilePath(), u"/home/a.ini");
}

class RunModeTest : public testing::Test {
 protected:
  void SetUp() override { win::WIN_SetResourceModule(nullptr); }
};

TEST_F(RunModeTest, ComesFromTheExtension)
{
  const std::pair<const char16_t*, vm::RunMode_t> cases[] = {
      {u"UPDATE.VLM", vm::RunModeUpdateFile},     {u"/home/alice/nav.vlm", vm::RunModeUpdateFile},
      {u".vlm", vm::RunModeUpdateFile},           {u"card.INI", vm::RunModeConfiguration},
      {u"card.qza", vm::RunModeConfigurationQza}, {u"CARD.QzA", vm::RunModeConfigurationQza},
      {u"CARD.QZA", vm::RunModeConfigurationQza},
  };
  for (const auto& [path, mode] : cases) EXPECT_EQ(vm::RunModeOf(path), mode) << Utf8(path);
}

TEST_F(RunModeTest, AnyOtherExtensionIsRefusedWithItsMessage)
{
  for (const char16_t* path : {u"update.vlmx", u"update", u"vlm", u"", u"update.vl m", u"card.ini.bak"}) {
    try {
      vm::RunModeOf(path);
      ADD_FAILURE() << "accepted " << Utf8(path);
    } catch (const glo::InvalidInput_t& error) {
      EXPECT_EQ(error.UserText(),
                u"The update file command line parameter has an unrecognized extension, please try again with the "
                u"valid file path name.");
    }
  }
}

}  // namespace
