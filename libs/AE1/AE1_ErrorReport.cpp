#include "AE1_ErrorReport.h"

#include <array>

#include "GLO_Exception.h"

namespace ae1 {
namespace {

std::u16string Collapsed(const std::u16string& text)
{
  std::u16string out;
  bool blank = false;
  for (char16_t c : text) {
    if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n') {
      blank = !out.empty();
      continue;
    }
    if (blank) out += u' ';
    blank = false;
    out += c;
  }
  return out;
}

const std::u16string& CheckedBuildType(const std::u16string& text)
{
  static const std::array<std::u16string, 4> types = {u"Internal", u"Alpha", u"Beta", u"Release"};
  for (const auto& type : types)
    if (text == type) return text;
  throw glo::OutOfRange_t(GLO_HERE);
}

const std::u16string& CheckedPartNumber(const std::u16string& text)
{
  if (!xml::XML_PatternMatches(text, u"[\\p{Lu}\\d]{3}-[\\p{Lu}\\d]{5}-[\\p{Lu}\\d]{2}")) throw glo::OutOfRange_t(GLO_HERE);
  return text;
}

template <class T>
T Child(const xercesc::DOMElement* element, const char16_t* name, xml::IStream_t& stream)
{
  return xml::XML_Child<T>(element, name, stream);
}

}  // namespace

xml::DocumentTypes_t AE1_DocumentTypes()
{
  xml::DocumentType_t type;
  type.schema = SchemaResource;
  type.factories[u"ErrorReport"] = xml::WildcardFactoryPtr_t(new xml::WildcardFactory_t<ErrorReport_t>);
  type.factories[u"ErrorResponse"] = xml::WildcardFactoryPtr_t(new xml::WildcardFactory_t<ErrorResponse_t>);
  return {{Namespace, type}};
}

Token_t::Token_t(const std::u16string& text) : String_t(Collapsed(text)) {}

Token_t::Token_t(const xercesc::DOMElement* element, xml::IStream_t& stream)
    : Token_t(String_t(element, stream).Value())
{
}

BuildType_t::BuildType_t(const std::u16string& text) : Token_t(CheckedBuildType(text)) {}

BuildType_t::BuildType_t(const xercesc::DOMElement* element, xml::IStream_t& stream)
    : BuildType_t(Token_t(element, stream).Value())
{
}

PartNumber_t::PartNumber_t(const std::u16string& text) : Token_t(CheckedPartNumber(text)) {}

PartNumber_t::PartNumber_t(const xercesc::DOMElement* element, xml::IStream_t& stream)
    : PartNumber_t(Token_t(element, stream).Value())
{
}

SourceCodeLocation_t::SourceCodeLocation_t(Token_t fileName, UnsignedShort_t line)
    : fileName_(std::move(fileName)), line_(line)
{
}

SourceCodeLocation_t::SourceCodeLocation_t(const xercesc::DOMElement* element, xml::IStream_t& stream)
    : fileName_(Child<Token_t>(element, u"SourceFileName", stream)),
      line_(Child<UnsignedShort_t>(element, u"SourceFileLine", stream))
{
}

void SourceCodeLocation_t::WriteContent(xercesc::DOMElement* element) const
{
  fileName_.Write(element, u"SourceFileName");
  line_.Write(element, u"SourceFileLine");
}

StackTrace_t::StackTrace_t(xml::Vector_t<ProgramAddress_t> returnAddresses)
    : returnAddresses_(std::move(returnAddresses))
{
  glo::GLO_Assert(!returnAddresses_.empty(), GLO_HERE);
}

StackTrace_t::StackTrace_t(const xercesc::DOMElement* element, xml::IStream_t& stream)
    : returnAddresses_(element, u"ReturnAddress", stream)
{
}

void StackTrace_t::WriteContent(xercesc::DOMElement* element) const
{
  returnAddresses_.Write(element, u"ReturnAddress");
}

Extra_t::Extra_t(std::vector<std::u16string> texts, std::vector<xml::WildcardPtr_t> elements)
    : texts_(std::move(texts)), elements_(std::move(elements))
{
}

Extra_t::Extra_t(const xercesc::DOMElement* element, xml::IStream_t& stream)
    : texts_(xml::XML_GetTexts(element)), elements_(xml::XML_GetWildcards(element, stream))
{
}

void Extra_t::WriteContent(xercesc::DOMElement* element) const
{
  xml::XML_WriteTexts(element, texts_);
  xml::XML_WriteWildcards(element, elements_);
}

std::u16string Extra_t::Text() const
{
  std::u16string text;
  for (const auto& piece : texts_) text += piece;
  return text;
}

Exception_t::Exception_t(xml::Optional_t<Token_t> subId, SourceCodeLocation_t location,
                         xml::Optional_t<ProgramAddress_t> programAddress, xml::Optional_t<StackTrace_t> stackTrace,
                         xml::Optional_t<Extra_t> extra)
    : subId_(std::move(subId)),
      location_(std::move(location)),
      programAddress_(std::move(programAddress)),
      stackTrace_(std::move(stackTrace)),
      extra_(std::move(extra))
{
}

Exception_t::Exception_t(const xercesc::DOMElement* element, xml::IStream_t& stream)
    : subId_(element, u"SubId", stream),
      location_(Child<SourceCodeLocation_t>(element, u"SourceCodeLocation", stream)),
      programAddress_(element, u"ProgramAddress", stream),
      stackTrace_(element, u"StackTrace", stream),
      extra_(element, u"Extra", stream)
{
}

void Exception_t::WriteContent(xercesc::DOMElement* element) const
{
  subId_.Write(element, u"SubId");
  location_.Write(element, u"SourceCodeLocation");
  programAddress_.Write(element, u"ProgramAddress");
  stackTrace_.Write(element, u"StackTrace");
  extra_.Write(element, u"Extra");
}

Version_t::Version_t(UnsignedShort_t versionMajor, UnsignedShort_t versionMinor, UnsignedShort_t buildMajor,
                     UnsignedShort_t buildMinor)
    : versionMajor_(versionMajor), versionMinor_(versionMinor), buildMajor_(buildMajor), buildMinor_(buildMinor)
{
}

Version_t::Version_t(const xercesc::DOMElement* element, xml::IStream_t& stream)
    : versionMajor_(Child<UnsignedShort_t>(element, u"VersionMajor", stream)),
      versionMinor_(Child<UnsignedShort_t>(element, u"VersionMinor", stream)),
      buildMajor_(Child<UnsignedShort_t>(element, u"BuildMajor", stream)),
      buildMinor_(Child<UnsignedShort_t>(element, u"BuildMinor", stream))
{
}

void Version_t::WriteContent(xercesc::DOMElement* element) const
{
  versionMajor_.Write(element, u"VersionMajor");
  versionMinor_.Write(element, u"VersionMinor");
  buildMajor_.Write(element, u"BuildMajor");
  buildMinor_.Write(element, u"BuildMinor");
}

Build_t::Build_t(Version_t version, BuildType_t type, Token_t time, Token_t builder)
    : version_(std::move(version)), type_(std::move(type)), time_(std::move(time)), builder_(std::move(builder))
{
}

Build_t::Build_t(const xercesc::DOMElement* element, xml::IStream_t& stream)
    : version_(Child<Version_t>(element, u"Version", stream)),
      type_(Child<BuildType_t>(element, u"Type", stream)),
      time_(Child<Token_t>(element, u"Time", stream)),
      builder_(Child<Token_t>(element, u"Builder", stream))
{
}

void Build_t::WriteContent(xercesc::DOMElement* element) const
{
  version_.Write(element, u"Version");
  type_.Write(element, u"Type");
  time_.Write(element, u"Time");
  builder_.Write(element, u"Builder");
}

Application_t::Application_t(Token_t name, Build_t build, UnsignedShort_t languageId, PartNumber_t partNumber)
    : name_(std::move(name)), build_(std::move(build)), languageId_(languageId), partNumber_(std::move(partNumber))
{
}

Application_t::Application_t(const xercesc::DOMElement* element, xml::IStream_t& stream)
    : name_(Child<Token_t>(element, u"Name", stream)),
      build_(Child<Build_t>(element, u"Build", stream)),
      languageId_(Child<UnsignedShort_t>(element, u"LanguageID", stream)),
      partNumber_(Child<PartNumber_t>(element, u"PartNumber", stream))
{
}

void Application_t::WriteContent(xercesc::DOMElement* element) const
{
  name_.Write(element, u"Name");
  build_.Write(element, u"Build");
  languageId_.Write(element, u"LanguageID");
  partNumber_.Write(element, u"PartNumber");
}

Computer_t::Computer_t(Token_t operatingSystem, Token_t processor, KiloBytes_t ramSize)
    : operatingSystem_(std::move(operatingSystem)), processor_(std::move(processor)), ramSize_(ramSize)
{
}

Computer_t::Computer_t(const xercesc::DOMElement* element, xml::IStream_t& stream)
    : operatingSystem_(Child<Token_t>(element, u"OperatingSystem", stream)),
      processor_(Child<Token_t>(element, u"Processor", stream)),
      ramSize_(Child<KiloBytes_t>(element, u"RamSize", stream))
{
}

void Computer_t::WriteContent(xercesc::DOMElement* element) const
{
  operatingSystem_.Write(element, u"OperatingSystem");
  processor_.Write(element, u"Processor");
  ramSize_.Write(element, u"RamSize");
}

Error_t::Error_t(Exception_t exception, Application_t application, Computer_t computer, DateTime_t time,
                 xml::Optional_t<Token_t> userEmail, xml::Optional_t<String_t> userDescription)
    : exception_(std::move(exception)),
      application_(std::move(application)),
      computer_(std::move(computer)),
      time_(time),
      userEmail_(std::move(userEmail)),
      userDescription_(std::move(userDescription))
{
}

Error_t::Error_t(const xercesc::DOMElement* element, xml::IStream_t& stream)
    : exception_(Child<Exception_t>(element, u"Exception", stream)),
      application_(Child<Application_t>(element, u"Application", stream)),
      computer_(Child<Computer_t>(element, u"Computer", stream)),
      time_(Child<DateTime_t>(element, u"Time", stream)),
      userEmail_(element, u"UserEmail", stream),
      userDescription_(element, u"UserDescription", stream)
{
}

void Error_t::WriteContent(xercesc::DOMElement* element) const
{
  exception_.Write(element, u"Exception");
  application_.Write(element, u"Application");
  computer_.Write(element, u"Computer");
  time_.Write(element, u"Time");
  userEmail_.Write(element, u"UserEmail");
  userDescription_.Write(element, u"UserDescription");
}

ErrorReport_t::ErrorReport_t(xml::Vector_t<Error_t> errors)
    : xml::Wildcard_t(std::u16string(Namespace), {}, {}), errors_(std::move(errors))
{
}

ErrorReport_t::ErrorReport_t(xercesc::DOMElement* element, xml::IStream_t& stream)
    : xml::Wildcard_t(element), errors_(element, u"Error", stream)
{
}

void ErrorReport_t::WriteContent(xercesc::DOMElement* element) const
{
  errors_.Write(element, u"Error");
}

Response_t::Response_t(xml::Optional_t<UnsignedInt_t> caseNumber, String_t displayMessage)
    : case_(std::move(caseNumber)), displayMessage_(std::move(displayMessage))
{
}

Response_t::Response_t(const xercesc::DOMElement* element, xml::IStream_t& stream)
    : case_(element, u"Case", stream), displayMessage_(Child<String_t>(element, u"DisplayMessage", stream))
{
}

void Response_t::WriteContent(xercesc::DOMElement* element) const
{
  case_.Write(element, u"Case");
  displayMessage_.Write(element, u"DisplayMessage");
}

ErrorResponse_t::ErrorResponse_t(xercesc::DOMElement* element, xml::IStream_t& stream)
    : xml::Wildcard_t(element),
      responseCode_(element, u"ResponseCode", stream),
      responseMessage_(element, u"ResponseMessage", stream),
      responses_(element, u"Response", stream)
{
}

void ErrorResponse_t::WriteContent(xercesc::DOMElement* element) const
{
  responseCode_.Write(element, u"ResponseCode");
  responseMessage_.Write(element, u"ResponseMessage");
  responses_.Write(element, u"Response");
}

}  // namespace ae1
