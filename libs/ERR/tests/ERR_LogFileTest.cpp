#include "ERR_LogFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "FaultCard.h"
#include "GLO_Text.h"
#include "HostileXml.h"
#include "TempFolder.h"
#include "Unavailable.h"
#include "WIN_Error.h"

namespace {

err::ClientError_t Error(const std::string& file, std::uint16_t line)
{
  return err::ClientError_t(file, line, u"extra", "", {}, {});
}

// The source file names of the errors in the report text, in order.
std::string Files(const std::string& report)
{
  std::string files;
  const std::regex name("<SourceFileName>([^<]*)</SourceFileName>");
  for (auto it = std::sregex_iterator(report.begin(), report.end(), name); it != std::sregex_iterator(); ++it)
    files += (*it)[1].str() + " ";
  return files;
}

class LogFile : public ::testing::Test {
 protected:
  std::filesystem::path Log() const { return folder_ / "ErrorReport.xml"; }
  std::u16string LogPath() const { return folder_.Wide("ErrorReport.xml"); }

  // Adds one error to the log and returns the report text.
  std::string Add(const std::string& file)
  {
    err::LogFile_t log(LogPath());
    log.AddError(Error(file, 1));
    const std::string text = log.ReportText();
    EXPECT_EQ(text, vtest::ReadFile(Log()));
    return text;
  }

  vtest::TempFolder folder_;
};

TEST_F(LogFile, ErrorsAccumulateOldestFirst)
{
  EXPECT_FALSE(std::filesystem::exists(Log()));
  EXPECT_EQ(Files(Add("first.cpp")), "FIRST.CPP ");
  EXPECT_EQ(Files(Add("second.cpp")), "FIRST.CPP SECOND.CPP ");
  EXPECT_EQ(Files(vtest::ReadFile(Log())), "FIRST.CPP SECOND.CPP ");
  EXPECT_EQ(vtest::FilesBelow(folder_.Path()), std::vector<std::string>{"ErrorReport.xml"});
}

TEST_F(LogFile, WhatIsNoReportOfOursIsReplacedByTheNewError)
{
  const std::string valid = Add("old.cpp");
  const std::string laughs = vtest::BillionLaughs();
  struct Case {
    const char* what;
    std::string content;
  } cases[] = {
      {"not XML", "this is not a report"},
      {"truncated", valid.substr(0, valid.size() - 40)},
      {"invalid", std::regex_replace(valid, std::regex("<Type>Release"), "<Type>Gamma")},
      {"a response", "<ErrorResponse xmlns=\"http://www.telvan.example/xmlschemas/ApplicationErrors/v1\"/>"},
      {"another vocabulary", "<ErrorReport xmlns=\"urn:other\"><Error/></ErrorReport>"},
      {"entity expansion", laughs},
      {"external entity", "<!DOCTYPE r [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><r>&e;</r>"},
      {"a year the system cannot hold", std::regex_replace(valid, std::regex("<Time>[0-9]{4}-"), "<Time>-0001-")},
      {"binary", std::string("\0\1\2\3", 4)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    vtest::WriteFile(Log(), c.content);
    EXPECT_EQ(Files(Add("new.cpp")), "NEW.CPP ");
  }
}

TEST_F(LogFile, DeepElementsOfOtherVocabulariesAreDropped)
{
  const std::string valid = Add("old.cpp");
  ASSERT_NE(valid.find("<Extra>extra</Extra>"), std::string::npos);
  std::string deep = "<Extra>";
  for (int i = 0; i < 200000; ++i) deep += "<o:a xmlns:o=\"urn:o\">";
  for (int i = 0; i < 200000; ++i) deep += "</o:a>";
  deep += "</Extra>";
  vtest::WriteFile(Log(), std::regex_replace(valid, std::regex("<Extra>extra</Extra>"), deep));
  const std::string text = Add("new.cpp");
  EXPECT_EQ(Files(text), "OLD.CPP NEW.CPP ");
  EXPECT_EQ(text.find("urn:o"), std::string::npos);
}

TEST_F(LogFile, AnOversizedLogIsReplacedUnread)
{
  {
    std::ofstream file(Log());
    file << "<ErrorReport>";
  }
  std::filesystem::resize_file(Log(), err::LogFile_t::MaxSize + 1);
  EXPECT_EQ(Files(Add("new.cpp")), "NEW.CPP ");
}

TEST(LogFileOnACard, ALogThatCannotBeMappedIsRead)
{
  vtest::FaultCard card({.directIo = true});
  VTEST_REQUIRE_MOUNTED(card);
  const std::u16string path = glo::GLO_FileNameToWide((card.Root() / "ErrorReport.xml").string());
  for (const char* file : {"first.cpp", "second.cpp"}) {
    err::LogFile_t log(path);
    log.AddError(Error(file, 1));
  }
  err::LogFile_t log(path);
  EXPECT_EQ(Files(log.ReportText()), "FIRST.CPP SECOND.CPP ");
}

TEST_F(LogFile, AReadOnlyLogIsMadeWritable)
{
  Add("old.cpp");
  std::filesystem::permissions(Log(), std::filesystem::perms::owner_read);
  EXPECT_EQ(Files(Add("new.cpp")), "OLD.CPP NEW.CPP ");
}

TEST_F(LogFile, ALogLeftEmptyIsDeleted)
{
  {
    err::LogFile_t log(LogPath());
    EXPECT_EQ(log.ReportText(), "");
  }
  EXPECT_FALSE(std::filesystem::exists(Log()));
  vtest::WriteFile(Log(), "damaged");
  { err::LogFile_t log(LogPath()); }
  EXPECT_FALSE(std::filesystem::exists(Log()));
}

TEST_F(LogFile, EntriesThatAreNoPlainFileAreReplacedNotFollowed)
{
  vtest::WriteFile(folder_ / "elsewhere.txt", "keep me");
  std::filesystem::create_symlink(folder_ / "elsewhere.txt", Log());
  EXPECT_EQ(Files(Add("new.cpp")), "NEW.CPP ");
  EXPECT_EQ(vtest::ReadFile(folder_ / "elsewhere.txt"), "keep me");
  EXPECT_FALSE(std::filesystem::is_symlink(Log()));

  std::filesystem::remove(Log());
  ASSERT_EQ(mkfifo(Log().c_str(), 0600), 0);
  EXPECT_EQ(Files(Add("fifo.cpp")), "FIFO.CPP ");
  EXPECT_TRUE(std::filesystem::is_regular_file(Log()));

  // Where the next report is written first is no way out either.
  std::filesystem::create_symlink(folder_ / "elsewhere.txt", folder_ / "ErrorReport.xml.new");
  EXPECT_EQ(Files(Add("again.cpp")), "FIFO.CPP AGAIN.CPP ");
  EXPECT_EQ(vtest::ReadFile(folder_ / "elsewhere.txt"), "keep me");
}

TEST_F(LogFile, TheLogIsNotSharedWhileOpen)
{
  err::LogFile_t log(LogPath());
  try {
    err::LogFile_t second(LogPath());
    ADD_FAILURE() << "shared";
  } catch (const win::FileError_t& error) {
    EXPECT_EQ(error.Code(), static_cast<std::uint32_t>(EWOULDBLOCK));
  }
}

TEST_F(LogFile, AFolderInItsPlaceIsAFileError)
{
  std::filesystem::create_directory(Log());
  EXPECT_THROW(err::LogFile_t log(LogPath()), win::FileError_t);
}

TEST(LogFilePath, APrivateFolderOfTheTemporaryFolder)
{
  const std::string path = glo::GLO_ToNarrow(err::ERR_LogFilePath(), glo::CodePageUtf8);
  const char* temp = std::getenv("TMPDIR");
  ASSERT_NE(temp, nullptr);
  EXPECT_EQ(path, std::string(temp) + "/Telvan Error Reporting-" + std::to_string(geteuid()) + "/ErrorReport.xml");
  struct stat status;
  ASSERT_EQ(stat(std::filesystem::path(path).parent_path().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
}

}  // namespace
