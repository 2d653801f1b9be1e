#include "AE1_ErrorReport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "GLO_Exception.h"
#include "TempFolder.h"
#include "XML_Exceptions.h"
#include "XML_OStream.h"

namespace {

ae1::Error_t MakeError(std::u16string file, std::uint16_t line, xml::Optional_t<ae1::Token_t> subId = {},
                       xml::Optional_t<ae1::ProgramAddress_t> address = {},
                       xml::Optional_t<ae1::StackTrace_t> trace = {}, xml::Optional_t<ae1::Extra_t> extra = {})
{
  return ae1::Error_t(
      ae1::Exception_t(subId, ae1::SourceCodeLocation_t(file, line), address, trace, extra),
      ae1::Application_t(ae1::Token_t(u"Velmora"),
                         ae1::Build_t(ae1::Version_t(1, 4, 7, 2), ae1::BuildType_t(u"Beta"),
                                      ae1::Token_t(u"Mar 7 2026, 09:05:01"), ae1::Token_t(u"sqa")),
                         std::uint16_t{1033}, ae1::PartNumber_t(u"VLM-00100-01")),
      ae1::Computer_t(ae1::Token_t(u"Linux 6.1.0, Debian GNU/Linux 12 (bookworm)"),
                      ae1::Token_t(u"x64, Processor Level: 6, Processors:4, Model: 58 Stepping: 9"), 16318412u),
      ae1::DateTime_t(glo::Time_t(1267794245)));
}

std::string Written(const ae1::ErrorReport_t& report)
{
  xml::OStringStream_t stream;
  report.WriteDocument(stream);
  return stream.Bytes();
}

xml::WildcardPtr_t Read(const std::string& text)
{
  glo::Optional_t<glo::CodePage_t> codePage;
  xml::IStringStream_t stream(text, ae1::AE1_DocumentTypes());
  return stream.Read(codePage);
}

// The element names of the text, in order, without the ones of Build and
// below it.
std::string Names(const std::string& text)
{
  std::string names;
  const std::regex open("<([A-Za-z]+)[ >]");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), open); it != std::sregex_iterator(); ++it)
    names += (*it)[1].str() + " ";
  return names;
}

TEST(ErrorReport, ErrorsAreWrittenInListOrderAndSchemaOrder)
{
  const std::string text = Written(ae1::ErrorReport_t({MakeError(u"A.SRC", 1), MakeError(u"B.SRC", 2)}));
  EXPECT_EQ(Names(text),
            "ErrorReport Error Exception SourceCodeLocation SourceFileName SourceFileLine Application Name Build "
            "Version VersionMajor VersionMinor BuildMajor BuildMinor Type Time Builder LanguageID PartNumber "
            "Computer OperatingSystem Processor RamSize Time "
            "Error Exception SourceCodeLocation SourceFileName SourceFileLine Application Name Build "
            "Version VersionMajor VersionMinor BuildMajor BuildMinor Type Time Builder LanguageID PartNumber "
            "Computer OperatingSystem Processor RamSize Time ");
  EXPECT_LT(text.find("A.SRC"), text.find("B.SRC"));
  EXPECT_EQ(text.substr(0, 137),
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
            "<ErrorReport xmlns=\"http://www.telvan.example/xmlschemas/ApplicationErrors/v1\">\n\n");
  EXPECT_NE(text.find("<Time>2010-03-05T13:04:05Z</Time>"), std::string::npos);
  EXPECT_NE(text.find("<Time>Mar 7 2026, 09:05:01</Time>"), std::string::npos);
}

TEST(ErrorReport, OptionalPartsAreWrittenOnlyWhenPresent)
{
  const std::string full = Written(ae1::ErrorReport_t({MakeError(
      u"A.SRC", 1, ae1::Token_t(u"0x4a1f"), ae1::ProgramAddress_t(19000),
      ae1::StackTrace_t({ae1::ProgramAddress_t(3), ae1::ProgramAddress_t(1), ae1::ProgramAddress_t(2)}),
      ae1::Extra_t({u"Access violation"}))}));
  EXPECT_NE(Names(full).find("Exception SubId SourceCodeLocation SourceFileName SourceFileLine ProgramAddress "
                             "StackTrace ReturnAddress ReturnAddress ReturnAddress Extra Application"),
            std::string::npos);
  EXPECT_NE(full.find("<ReturnAddress>3</ReturnAddress>\n        <ReturnAddress>1</ReturnAddress>\n"
                      "        <ReturnAddress>2</ReturnAddress>"),
            std::string::npos)
      << full;
  EXPECT_NE(full.find("<Extra>Access violation</Extra>"), std::string::npos);

  const std::string bare = Written(ae1::ErrorReport_t({MakeError(u"A.SRC", 1)}));
  EXPECT_NE(Names(bare).find("Exception SourceCodeLocation SourceFileName SourceFileLine Application"),
            std::string::npos);
  EXPECT_EQ(bare.find("UserEmail"), std::string::npos);
}

TEST(ErrorReport, ReadBackGivesTheSameValues)
{
  const auto original = MakeError(u"TRANSFER.SRC", 120, ae1::Token_t(u"  two \n words "), ae1::ProgramAddress_t(4294967295u),
                                  ae1::StackTrace_t({ae1::ProgramAddress_t(77)}), ae1::Extra_t({u"line 1\nline 2 & <3>"}));
  EXPECT_EQ(original.Exception().SubId().Get().Value(), u"two words");
  const std::string text = Written(ae1::ErrorReport_t({original, MakeError(u"B.SRC", 2)}));
  auto root = Read(text);
  auto* report = dynamic_cast<ae1::ErrorReport_t*>(root.Get());
  ASSERT_NE(report, nullptr);
  ASSERT_EQ(report->Errors().size(), 2u);
  const ae1::Error_t& error = report->Errors()[0];
  EXPECT_EQ(error.Exception().SubId().Get(), original.Exception().SubId().Get());
  EXPECT_EQ(error.Exception().Location().FileName().Value(), u"TRANSFER.SRC");
  EXPECT_EQ(error.Exception().Location().Line().Value(), 120);
  EXPECT_EQ(error.Exception().ProgramAddress().Get().Value(), 4294967295u);
  EXPECT_EQ(error.Exception().StackTrace().Get().ReturnAddresses(),
            xml::Vector_t<ae1::ProgramAddress_t>({ae1::ProgramAddress_t(77)}));
  EXPECT_EQ(error.Exception().Extra().Get().Text(), u"line 1\nline 2 & <3>");
  const ae1::Application_t& application = error.Application();
  EXPECT_EQ(application.Name().Value(), u"Velmora");
  EXPECT_EQ(application.Build().Version().VersionMajor().Value(), 1);
  EXPECT_EQ(application.Build().Version().BuildMinor().Value(), 2);
  EXPECT_EQ(application.Build().Type().Value(), u"Beta");
  EXPECT_EQ(application.Build().Time().Value(), u"Mar 7 2026, 09:05:01");
  EXPECT_EQ(application.Build().Builder().Value(), u"sqa");
  EXPECT_EQ(application.LanguageId().Value(), 1033);
  EXPECT_EQ(application.PartNumber().Value(), u"VLM-00100-01");
  EXPECT_EQ(error.Computer().OperatingSystem(), original.Computer().OperatingSystem());
  EXPECT_EQ(error.Computer().Processor(), original.Computer().Processor());
  EXPECT_EQ(error.Computer().RamSize().Value(), 16318412u);
  EXPECT_EQ(error.Time().Value(), glo::Time_t(1267794245));
  EXPECT_FALSE(error.UserEmail());
  EXPECT_FALSE(report->Errors()[1].Exception().SubId());
  EXPECT_EQ(Written(*report), text);
}

TEST(ErrorReport, WrittenReportsSatisfyTheSchemaForOtherToolsToo)
{
  vtest::TempFolder folder;
  vtest::WriteFile(folder / "report.xml",
                   Written(ae1::ErrorReport_t({MakeError(u"A.SRC", 1, ae1::Token_t(u"5"), ae1::ProgramAddress_t(1),
                                                         ae1::StackTrace_t({ae1::ProgramAddress_t(2)}),
                                                         ae1::Extra_t({u"text"}))})));
  const std::string command = "xmllint --noout --schema '" SCHEMA_FILE "' '" + (folder / "report.xml").string() +
                              "' 2>/dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0);
}

TEST(ErrorReport, ExtraKeepsItsTextAndElementsOfKnownVocabularies)
{
  const std::string text = Written(ae1::ErrorReport_t({MakeError(u"A.SRC", 1, {}, {}, {}, ae1::Extra_t({u"before"}))}));
  const std::string mixed = std::regex_replace(
      text, std::regex("<Extra>before</Extra>"),
      "<Extra>before<o:Note xmlns:o=\"urn:other\">dropped</o:Note>after<ErrorResponse><ResponseCode>0</ResponseCode>"
      "</ErrorResponse></Extra>");
  auto root = Read(mixed);
  const auto& extra = dynamic_cast<ae1::ErrorReport_t&>(*root).Errors()[0].Exception().Extra().Get();
  EXPECT_EQ(extra.Texts(), (std::vector<std::u16string>{u"before", u"after"}));
  ASSERT_EQ(extra.Elements().size(), 2u);
  EXPECT_NE(dynamic_cast<xml::UnknownWildcard_t*>(extra.Elements()[0].Get()), nullptr);
  auto* response = dynamic_cast<ae1::ErrorResponse_t*>(extra.Elements()[1].Get());
  ASSERT_NE(response, nullptr);
  EXPECT_EQ(response->ResponseCode().Get().Value(), 0u);
  const std::string again = Written(dynamic_cast<ae1::ErrorReport_t&>(*root));
  EXPECT_EQ(again.find("dropped"), std::string::npos);
  // The nested root is in the report's namespace, so it needs no
  // declaration of its own.
  EXPECT_NE(again.find("<Extra>beforeafter\n        <ErrorResponse>\n          <ResponseCode>0</ResponseCode>"),
            std::string::npos)
      << again;
}

TEST(ErrorResponse, IsReadWithItsResponses)
{
  auto root = Read(
      "<ErrorResponse xmlns=\"http://www.telvan.example/xmlschemas/ApplicationErrors/v1\"><ResponseCode>1</ResponseCode>"
      "<Response><Case>4711</Case><DisplayMessage>&lt;b&gt;Filed&lt;/b&gt;</DisplayMessage></Response>"
      "<Response><DisplayMessage>Again</DisplayMessage></Response></ErrorResponse>");
  auto* response = dynamic_cast<ae1::ErrorResponse_t*>(root.Get());
  ASSERT_NE(response, nullptr);
  EXPECT_EQ(response->ResponseCode().Get().Value(), 1u);
  EXPECT_FALSE(response->ResponseMessage());
  ASSERT_EQ(response->Responses().size(), 2u);
  EXPECT_EQ(response->Responses()[0].Case().Get().Value(), 4711u);
  EXPECT_EQ(response->Responses()[0].DisplayMessage().Value(), u"<b>Filed</b>");
  EXPECT_FALSE(response->Responses()[1].Case());
}

TEST(SimpleTypes, BuildTypesAndPartNumbersAreChecked)
{
  for (const char16_t* type : {u"Internal", u"Alpha", u"Beta", u"Release"}) EXPECT_EQ(ae1::BuildType_t(type).Value(), type);
  for (const char16_t* type : {u"beta", u"Beta ", u"", u"Gamma"}) {
    try {
      ae1::BuildType_t refused(type);
      ADD_FAILURE() << "accepted";
    } catch (const glo::OutOfRange_t& error) {
      EXPECT_EQ(error.Message(), u"");
    }
  }
  EXPECT_EQ(ae1::PartNumber_t(u"AB1-2C3D4-5E").Value(), u"AB1-2C3D4-5E");
  for (const char16_t* number : {u"Ab1-2C3D4-5E", u"AB12C3D4-5E", u"AB1-2C3D-45E", u"AB1-2C3D4-5E-"})
    EXPECT_THROW(ae1::PartNumber_t refused(number), glo::OutOfRange_t);
}

TEST(ErrorReport, DocumentsOutsideTheSchemaAreRefusedWhenRead)
{
  const std::string valid = Written(ae1::ErrorReport_t({MakeError(u"A.SRC", 1)}));
  struct Case {
    const char* what;
    std::string document;
  } cases[] = {
      {"no errors", "<ErrorReport xmlns=\"http://www.telvan.example/xmlschemas/ApplicationErrors/v1\"/>"},
      {"lower-case build type", std::regex_replace(valid, std::regex("<Type>Beta"), "<Type>beta")},
      {"part number", std::regex_replace(valid, std::regex("VLM-00100-01"), "vlm-00100-01")},
      {"line out of range", std::regex_replace(valid, std::regex("<SourceFileLine>1<"), "<SourceFileLine>65536<")},
      {"elements out of order", std::regex_replace(valid, std::regex("<Time>2010"), "<UserEmail>a</UserEmail><Time>2010")},
      {"truncated", valid.substr(0, valid.size() / 2)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_THROW(Read(c.document), xml::Exception_t);
  }
}

TEST(ErrorReport, ReportsNestedTooDeeplyAreRefused)
{
  const std::string valid = Written(ae1::ErrorReport_t({MakeError(u"A.SRC", 1, {}, {}, {}, ae1::Extra_t({u"x"}))}));
  const auto extra = valid.find("<Extra>x</Extra>");
  ASSERT_NE(extra, std::string::npos);
  const std::string before = valid.substr(valid.find("<ErrorReport"), extra + 7 - valid.find("<ErrorReport"));
  const std::string after = valid.substr(extra + 8);
  // Each level is a whole report inside the Extra of the level above.
  const auto nested = [&](int levels) {
    const std::string closing = after.substr(0, after.rfind("</ErrorReport>") + 14);
    std::string text = "<?xml version=\"1.0\"?>";
    for (int i = 0; i < levels; ++i) text += before;
    text += "x";
    for (int i = 0; i < levels; ++i) text += closing;
    return text;
  };
  EXPECT_NO_THROW(Read(nested(xml::IStream_t::MaxNesting)));
  EXPECT_THROW(Read(nested(xml::IStream_t::MaxNesting + 1)), xml::Exception_t);
  EXPECT_THROW(Read(nested(2000)), xml::Exception_t);
}

}  // namespace
