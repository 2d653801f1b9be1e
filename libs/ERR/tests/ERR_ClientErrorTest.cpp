#include "ERR_ClientError.h"

#include <gtest/gtest.h>

#include "ERR_Environment.h"
#include "GLO_Exception.h"
#include "ScopedEnvironment.h"
#include "WIN_Locale.h"
#include "WIN_VersionInfo.h"

namespace {

ae1::Error_t ErrorOfBuild(const std::u16string& buildType, xml::Optional_t<ae1::Extra_t> extra = {})
{
  return ae1::Error_t(
      ae1::Exception_t({}, ae1::SourceCodeLocation_t(ae1::Token_t(u"TRANSFER.SRC"), std::uint16_t{120}), {}, {}, extra),
      ae1::Application_t(ae1::Token_t(u"Velmora"),
                         ae1::Build_t(ae1::Version_t(1, 4, 7, 2), ae1::BuildType_t(buildType),
                                      ae1::Token_t(u"Mar 7 2026, 09:05:01"), ae1::Token_t(u"sqa")),
                         std::uint16_t{1033}, ae1::PartNumber_t(u"VLM-00100-01")),
      ae1::Computer_t(ae1::Token_t(u"Debian GNU/Linux 12 (bookworm) Linux 6.1.0"), ae1::Token_t(u"x64, Processor Level: 6"),
                      4096u),
      ae1::DateTime_t(glo::Time_t(1267794245)));
}

TEST(ClientError, SourceFileNameIsTheUpperCasedLastPart)
{
  struct Case {
    const char* path;
    const char16_t* name;
  } cases[] = {
      {"/src/app/Transfer.src", u"TRANSFER.SRC"},
      {"C:\\build\\Foo.src", u"FOO.SRC"},
      {"plain.cpp", u"PLAIN.CPP"},
      {"libs/ERR/caf\xe9.cpp", u"CAF\u00c9.CPP"},
  };
  for (const auto& c : cases) EXPECT_EQ(err::ERR_SourceFileName(c.path), c.name);
}

TEST(ClientError, ErrorTextFollowsTheBuildType)
{
  const std::u16string head = u"\nApp: Velmora\nAt: " + err::ERR_TimeText(glo::Time_t(1267794245)) +
                              u"\nOS: Debian GNU/Linux 12 (bookworm) Linux 6.1.0\nProcessor: x64, Processor Level: "
                              u"6, RAM: 4096";
  struct Case {
    const char16_t* buildType;
    const char16_t* tail;
  } cases[] = {
      {u"Release", u"\nTRANSFER.SRC-120-1.4.7.2"},
      {u"Beta", u"\nTRANSFER.SRC-120-1.4.7"},
      {u"Alpha", u"\nTRANSFER.SRC-120-1.4.7\nMar 7 2026, 09:05:01"},
      {u"Internal", u"\nTRANSFER.SRC-120-1.4.7\nMar 7 2026, 09:05:01(sqa)"},
  };
  for (const auto& c : cases) EXPECT_EQ(err::ClientError_t(ErrorOfBuild(c.buildType)).ErrorText(), head + c.tail);
  EXPECT_EQ(err::ClientError_t(ErrorOfBuild(u"Release", ae1::Extra_t({u"Disk on fire\nreally"}))).ErrorText(),
            head + u"\nTRANSFER.SRC-120-1.4.7.2\nDisk on fire\nreally");
}

TEST(ClientError, TimeTextInTheUsersFormatsMarkedUtc)
{
  std::tm fields{};
  fields.tm_year = 110;
  fields.tm_mon = 2;
  fields.tm_mday = 5;
  fields.tm_hour = 13;
  fields.tm_min = 4;
  fields.tm_sec = 5;
  const std::u16string expected = win::WIN_GetFormattedDate(glo::UserDefaultLocale, fields) + u" " +
                                  win::WIN_GetFormattedTime(glo::UserDefaultLocale, fields, win::TimeFull) + u" (UTC)";
  vtest::ScopedEnvironment environment;
  for (const char* zone : {"UTC", "Europe/Berlin", "America/New_York"}) {
    environment.Set("TZ", zone);
    EXPECT_EQ(err::ERR_TimeText(glo::Time_t(1267794245)), expected) << zone;
  }
}

TEST(ClientError, BuiltFromTheReportAndThisProgram)
{
  const auto before = glo::Time_t::Now();
  const err::ClientError_t client("/src/libs/AVN/Card.cpp", 77, u"It broke", "0x4a1f\xe9",
                                  glo::Optional_t<std::uint32_t>(4660), {1, 2, 3});
  const ae1::Error_t& error = client.Error();
  const ae1::Exception_t& exception = error.Exception();
  EXPECT_EQ(exception.SubId().Get().Value(), u"0x4a1f\u00e9");
  EXPECT_EQ(exception.Location().FileName().Value(), u"CARD.CPP");
  EXPECT_EQ(exception.Location().Line().Value(), 77);
  EXPECT_EQ(exception.ProgramAddress().Get().Value(), 4660u);
  ASSERT_EQ(exception.StackTrace().Get().ReturnAddresses().size(), 3u);
  EXPECT_EQ(exception.StackTrace().Get().ReturnAddresses()[2].Value(), 3u);
  EXPECT_EQ(exception.Extra().Get().Texts(), std::vector<std::u16string>{u"It broke"});

  const auto& info = win::VersionInfo_t::Get();
  const ae1::Application_t& application = error.Application();
  EXPECT_EQ(application.Name().Value(), info.ProductName());
  EXPECT_EQ(application.Build().Version().VersionMajor().Value(), info.FileVersion().major);
  EXPECT_EQ(application.Build().Version().BuildMinor().Value(), info.FileVersion().revision);
  EXPECT_EQ(application.Build().Type().Value(), info.BuildType());
  EXPECT_EQ(application.Build().Time().Value(), info.BuildDate() + u", " + info.BuildTime());
  EXPECT_EQ(application.Build().Builder().Value(), info.Builder());
  EXPECT_EQ(application.LanguageId().Value(), 1033);
  EXPECT_EQ(application.PartNumber().Value(), u"VLM-00100-01");
  EXPECT_EQ(error.Computer().OperatingSystem().Value(), err::ERR_OperatingSystemText(err::ERR_OperatingSystem()));
  EXPECT_EQ(error.Computer().Processor().Value(), err::ERR_ProcessorText(err::ERR_Processor()));
  EXPECT_GT(error.Computer().RamSize().Value(), 0u);
  EXPECT_GE(error.Time().Value(), before);
  EXPECT_LE(error.Time().Value(), glo::Time_t::Now());
  EXPECT_FALSE(error.UserEmail());
  EXPECT_FALSE(error.UserDescription());

  const err::ClientError_t plain("x.cpp", 1, u"", "", {}, {});
  const ae1::Exception_t& bare = plain.Error().Exception();
  EXPECT_FALSE(bare.SubId());
  EXPECT_FALSE(bare.ProgramAddress());
  EXPECT_FALSE(bare.StackTrace());
  EXPECT_FALSE(bare.Extra());
}

TEST(ClientError, FallbackTextFromTheArgumentsAlone)
{
  const auto& info = win::VersionInfo_t::Get();
  ASSERT_EQ(info.BuildType(), u"Release");
  const std::u16string text =
      err::ERR_FallbackText("/src/Transfer.src", 120, u"Gone", "7", glo::Optional_t<std::uint32_t>(42), {5, 6});
  const std::u16string environment = u"\nOS: " + err::ERR_OperatingSystemText(err::ERR_OperatingSystem()) +
                                     u"\nProcessor: " + err::ERR_ProcessorText(err::ERR_Processor()) + u", RAM: ";
  ASSERT_EQ(text.substr(0, 18), u"\nApp: Velmora\nAt: ");
  const auto os = text.find(u"\nOS: ");
  ASSERT_NE(os, std::u16string::npos);
  EXPECT_EQ(text.substr(os, environment.size()), environment);
  const auto file = text.find(u"\nTRANSFER.SRC");
  ASSERT_NE(file, std::u16string::npos);
  EXPECT_EQ(text.substr(file), u"\nTRANSFER.SRC-120-1.0.0.1\nLanguage ID: 1033\nPart Number: VLM-00100-01\nBuild "
                               u"Type: Release\nExtra: Gone\nSub ID: 7\nProgram Address: 42\nStack Trace: \n5\n6");
  const std::u16string bare = err::ERR_FallbackText("a.cpp", 1, u"", "", {}, {});
  EXPECT_EQ(bare.substr(bare.find(u"\nA.CPP")), u"\nA.CPP-1-1.0.0.1\nLanguage ID: 1033\nPart Number: VLM-00100-01\nBuild Type: Release");
}

TEST(Environment, OperatingSystemTexts)
{
  struct Case {
    err::OperatingSystemFacts_t facts;
    const char16_t* text;
  } cases[] = {
      {{u"Linux", u"6.1.0-18-amd64", std::u16string(u"Debian GNU/Linux 12 (bookworm)")},
       u"Debian GNU/Linux 12 (bookworm) Linux 6.1.0-18-amd64"},
      {{u"Linux", u"6.1.0-18-amd64", {}}, u"Linux Platform, Major Version: 6, Minor Version: 1 Linux 6.1.0-18-amd64"},
      {{u"Linux", u"5", {}}, u"Linux Platform, Major Version: 5, Minor Version: 0 Linux 5"},
      {{u"", u"", {}}, u"Unknown Platform, Major Version: 0, Minor Version: 0"},
  };
  for (const auto& c : cases) EXPECT_EQ(err::ERR_OperatingSystemText(c.facts), c.text);
}

TEST(Environment, ProcessorTexts)
{
  struct Case {
    err::ProcessorFacts_t facts;
    const char16_t* text;
  } cases[] = {
      {{u"x64", 6, 4, 0x3A09}, u"x64, Processor Level: 6, Processors:4, Model: 58 Stepping: 9"},
      {{u"x64", 25, 16, 0x2102}, u"x64, Processor Level: 25, Processors:16, Model: 33 Stepping: 2"},
      {{u"", 0, 8, 0}, u"Unknown Processor type, Processors:8, Model: 0 Stepping: 0"},
  };
  for (const auto& c : cases) EXPECT_EQ(err::ERR_ProcessorText(c.facts), c.text);
  const err::ProcessorFacts_t here = err::ERR_Processor();
  EXPECT_GE(here.count, 1u);
#if defined(__x86_64__)
  EXPECT_EQ(here.architecture, u"x64");
  EXPECT_GT(here.level, 0u);
#endif
}

}  // namespace
