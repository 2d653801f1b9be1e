#pragma once
// The documents of the application-errors schema, version 1 (resource 5603):
// the error report that programs write to their error log, and the response
// of the error reporting service, which programs read but never write. One
// class per schema type; each is built from values, read from its element,
// and writes its children in schema order.

#include <cstdint>
#include <string>
#include <vector>

#include "XML_Element.h"
#include "XML_IStream.h"
#include "XML_Wildcard.h"

namespace ae1 {

inline constexpr char16_t Namespace[] = u"http://www.telvan.example/xmlschemas/ApplicationErrors/v1";
// The schema, a resource of type "XSD".
inline constexpr std::uint32_t SchemaResource = 5603;

// The namespace with its schema and the two root documents.
xml::DocumentTypes_t AE1_DocumentTypes();

using String_t = xml::SchemaBuiltIn_t<xml::stringConverter_t>;
using UnsignedShort_t = xml::SchemaBuiltIn_t<xml::unsignedShortConverter_t>;
using UnsignedInt_t = xml::SchemaBuiltIn_t<xml::unsignedIntConverter_t>;
using DateTime_t = xml::SchemaBuiltIn_t<xml::dateTimeConverter_t>;

// Text with white space collapsed: runs of blanks, tabs and line ends become
// one blank, none at either end.
class Token_t : public String_t {
 public:
  Token_t() = default;
  Token_t(const std::u16string& text);
  Token_t(const xercesc::DOMElement* element, xml::IStream_t& stream);
};

// "Internal", "Alpha", "Beta" or "Release", exactly; anything else raises
// glo::OutOfRange_t with an empty message.
class BuildType_t : public Token_t {
 public:
  BuildType_t(const std::u16string& text);
  BuildType_t(const xercesc::DOMElement* element, xml::IStream_t& stream);
};

// Three, five and two upper-case letters or digits joined by hyphens
// ("VLM-00100-01"); anything else raises glo::OutOfRange_t with an empty
// message.
class PartNumber_t : public Token_t {
 public:
  PartNumber_t(const std::u16string& text);
  PartNumber_t(const xercesc::DOMElement* element, xml::IStream_t& stream);
};

using ProgramAddress_t = UnsignedInt_t;
using KiloBytes_t = UnsignedInt_t;

class SourceCodeLocation_t : public xml::Element_t {
 public:
  SourceCodeLocation_t(Token_t fileName, UnsignedShort_t line);
  SourceCodeLocation_t(const xercesc::DOMElement* element, xml::IStream_t& stream);
  void WriteContent(xercesc::DOMElement* element) const override;

  const Token_t& FileName() const noexcept { return fileName_; }
  const UnsignedShort_t& Line() const noexcept { return line_; }

 private:
  Token_t fileName_;
  UnsignedShort_t line_;
};

// Return addresses, the failing function's caller first; never empty.
class StackTrace_t : public xml::Element_t {
 public:
  explicit StackTrace_t(xml::Vector_t<ProgramAddress_t> returnAddresses);
  StackTrace_t(const xercesc::DOMElement* element, xml::IStream_t& stream);
  void WriteContent(xercesc::DOMElement* element) const override;

  const xml::Vector_t<ProgramAddress_t>& ReturnAddresses() const noexcept { return returnAddresses_; }

 private:
  xml::Vector_t<ProgramAddress_t> returnAddresses_;
};

// Mixed content: pieces of text, and elements of any vocabulary (written
// after the text).
class Extra_t : public xml::Element_t {
 public:
  Extra_t(std::vector<std::u16string> texts, std::vector<xml::WildcardPtr_t> elements = {});
  Extra_t(const xercesc::DOMElement* element, xml::IStream_t& stream);
  void WriteContent(xercesc::DOMElement* element) const override;

  const std::vector<std::u16string>& Texts() const noexcept { return texts_; }
  const std::vector<xml::WildcardPtr_t>& Elements() const noexcept { return elements_; }
  // The pieces of text joined.
  std::u16string Text() const;

 private:
  std::vector<std::u16string> texts_;
  std::vector<xml::WildcardPtr_t> elements_;
};

class Exception_t : public xml::Element_t {
 public:
  Exception_t(xml::Optional_t<Token_t> subId, SourceCodeLocation_t location,
              xml::Optional_t<ProgramAddress_t> programAddress, xml::Optional_t<StackTrace_t> stackTrace,
              xml::Optional_t<Extra_t> extra);
  Exception_t(const xercesc::DOMElement* element, xml::IStream_t& stream);
  void WriteContent(xercesc::DOMElement* element) const override;

  const xml::Optional_t<Token_t>& SubId() const noexcept { return subId_; }
  const SourceCodeLocation_t& Location() const noexcept { return location_; }
  const xml::Optional_t<ProgramAddress_t>& ProgramAddress() const noexcept { return programAddress_; }
  const xml::Optional_t<StackTrace_t>& StackTrace() const noexcept { return stackTrace_; }
  const xml::Optional_t<Extra_t>& Extra() const noexcept { return extra_; }

 private:
  xml::Optional_t<Token_t> subId_;
  SourceCodeLocation_t location_;
  xml::Optional_t<ProgramAddress_t> programAddress_;
  xml::Optional_t<StackTrace_t> stackTrace_;
  xml::Optional_t<Extra_t> extra_;
};

// The four version parts.
class Version_t : public xml::Element_t {
 public:
  Version_t(UnsignedShort_t versionMajor, UnsignedShort_t versionMinor, UnsignedShort_t buildMajor,
            UnsignedShort_t buildMinor);
  Version_t(const xercesc::DOMElement* element, xml::IStream_t& stream);
  void WriteContent(xercesc::DOMElement* element) const override;

  const UnsignedShort_t& VersionMajor() const noexcept { return versionMajor_; }
  const UnsignedShort_t& VersionMinor() const noexcept { return versionMinor_; }
  const UnsignedShort_t& BuildMajor() const noexcept { return buildMajor_; }
  const UnsignedShort_t& BuildMinor() const noexcept { return buildMinor_; }

 private:
  UnsignedShort_t versionMajor_, versionMinor_, buildMajor_, buildMinor_;
};

class Build_t : public xml::Element_t {
 public:
  // time: the build date, ", " and the build time, as text.
  Build_t(Version_t version, BuildType_t type, Token_t time, Token_t builder);
  Build_t(const xercesc::DOMElement* element, xml::IStream_t& stream);
  void WriteContent(xercesc::DOMElement* element) const override;

  const Version_t& Version() const noexcept { return version_; }
  const BuildType_t& Type() const noexcept { return type_; }
  const Token_t& Time() const noexcept { return time_; }
  const Token_t& Builder() const noexcept { return builder_; }

 private:
  Version_t version_;
  BuildType_t type_;
  Token_t time_;
  Token_t builder_;
};

class Application_t : public xml::Element_t {
 public:
  Application_t(Token_t name, Build_t build, UnsignedShort_t languageId, PartNumber_t partNumber);
  Application_t(const xercesc::DOMElement* element, xml::IStream_t& stream);
  void WriteContent(xercesc::DOMElement* element) const override;

  const Token_t& Name() const noexcept { return name_; }
  const Build_t& Build() const noexcept { return build_; }
  const UnsignedShort_t& LanguageId() const noexcept { return languageId_; }
  const PartNumber_t& PartNumber() const noexcept { return partNumber_; }

 private:
  Token_t name_;
  Build_t build_;
  UnsignedShort_t languageId_;
  PartNumber_t partNumber_;
};

class Computer_t : public xml::Element_t {
 public:
  Computer_t(Token_t operatingSystem, Token_t processor, KiloBytes_t ramSize);
  Computer_t(const xercesc::DOMElement* element, xml::IStream_t& stream);
  void WriteContent(xercesc::DOMElement* element) const override;

  const Token_t& OperatingSystem() const noexcept { return operatingSystem_; }
  const Token_t& Processor() const noexcept { return processor_; }
  const KiloBytes_t& RamSize() const noexcept { return ramSize_; }

 private:
  Token_t operatingSystem_;
  Token_t processor_;
  KiloBytes_t ramSize_;
};

// One fatal error. The user's e-mail address and description are the
// reporter's to add; programs never write them.
class Error_t : public xml::Element_t {
 public:
  Error_t(Exception_t exception, Application_t application, Computer_t computer, DateTime_t time,
          xml::Optional_t<Token_t> userEmail = {}, xml::Optional_t<String_t> userDescription = {});
  Error_t(const xercesc::DOMElement* element, xml::IStream_t& stream);
  void WriteContent(xercesc::DOMElement* element) const override;

  const Exception_t& Exception() const noexcept { return exception_; }
  const Application_t& Application() const noexcept { return application_; }
  const Computer_t& Computer() const noexcept { return computer_; }
  const DateTime_t& Time() const noexcept { return time_; }
  const xml::Optional_t<Token_t>& UserEmail() const noexcept { return userEmail_; }
  const xml::Optional_t<String_t>& UserDescription() const noexcept { return userDescription_; }

 private:
  Exception_t exception_;
  Application_t application_;
  Computer_t computer_;
  DateTime_t time_;
  xml::Optional_t<Token_t> userEmail_;
  xml::Optional_t<String_t> userDescription_;
};

// The root of an error log: its errors, oldest first.
class ErrorReport_t : public xml::Wildcard_t {
 public:
  explicit ErrorReport_t(xml::Vector_t<Error_t> errors);
  ErrorReport_t(xercesc::DOMElement* element, xml::IStream_t& stream);

  std::u16string ElementName() const override { return u"ErrorReport"; }
  void WriteContent(xercesc::DOMElement* element) const override;

  const xml::Vector_t<Error_t>& Errors() const noexcept { return errors_; }

 private:
  xml::Vector_t<Error_t> errors_;
};

// One filed error of a response.
class Response_t : public xml::Element_t {
 public:
  Response_t(xml::Optional_t<UnsignedInt_t> caseNumber, String_t displayMessage);
  Response_t(const xercesc::DOMElement* element, xml::IStream_t& stream);
  void WriteContent(xercesc::DOMElement* element) const override;

  const xml::Optional_t<UnsignedInt_t>& Case() const noexcept { return case_; }
  const String_t& DisplayMessage() const noexcept { return displayMessage_; }

 private:
  xml::Optional_t<UnsignedInt_t> case_;
  String_t displayMessage_;
};

// What the reporting service answers: code 0 when the errors were
// submitted without problems, 1 otherwise.
class ErrorResponse_t : public xml::Wildcard_t {
 public:
  ErrorResponse_t(xercesc::DOMElement* element, xml::IStream_t& stream);

  std::u16string ElementName() const override { return u"ErrorResponse"; }
  void WriteContent(xercesc::DOMElement* element) const override;

  const xml::Optional_t<UnsignedInt_t>& ResponseCode() const noexcept { return responseCode_; }
  const xml::Optional_t<String_t>& ResponseMessage() const noexcept { return responseMessage_; }
  const xml::Vector_t<Response_t>& Responses() const noexcept { return responses_; }

 private:
  xml::Optional_t<UnsignedInt_t> responseCode_;
  xml::Optional_t<String_t> responseMessage_;
  xml::Vector_t<Response_t> responses_;
};

}  // namespace ae1
