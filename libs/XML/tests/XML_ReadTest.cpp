// Reading documents: well-formedness, validation against the schema held as
// resource 5603, typed roots, encodings, and input that tries to make the
// parser reach beyond the document.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <xercesc/dom/impl/DOMErrorImpl.hpp>
#include <xercesc/dom/impl/DOMLocatorImpl.hpp>

#include <chrono>
#include <string>
#include <vector>

#include "HostileXml.h"
#include "TempFolder.h"
#include "WIN_Error.h"
#include "XML_Element.h"
#include "XML_Exceptions.h"
#include "XML_IStream.h"
#include "XML_LSParser.h"

namespace {

constexpr char16_t Errors[] = u"http://www.telvan.example/xmlschemas/ApplicationErrors/v1";

// The response document of the schema, reduced to what the tests look at.
class Response_t : public xml::Wildcard_t {
 public:
  Response_t(xercesc::DOMElement* element, xml::IStream_t& stream)
      : xml::Wildcard_t(element), code_(element, u"ResponseCode", stream), message_(element, u"ResponseMessage", stream)
  {
  }
  std::u16string ElementName() const override { return u"ErrorResponse"; }
  void WriteContent(xercesc::DOMElement* element) const override
  {
    code_.Write(element, u"ResponseCode");
    message_.Write(element, u"ResponseMessage");
  }
  xml::Optional_t<xml::SchemaBuiltIn_t<xml::unsignedIntConverter_t>> code_;
  xml::Optional_t<xml::SchemaBuiltIn_t<xml::stringConverter_t>> message_;
};

xml::DocumentTypes_t Types()
{
  xml::DocumentType_t type;
  type.schema = 5603;
  type.factories[u"ErrorResponse"] = xml::WildcardFactoryPtr_t(new xml::WildcardFactory_t<Response_t>);
  return {{Errors, type}};
}

xml::WildcardPtr_t Read(const std::string& text, const xml::DocumentTypes_t& types = Types())
{
  glo::Optional_t<glo::CodePage_t> codePage;
  xml::IStringStream_t stream(text, types);
  return stream.Read(codePage);
}

std::u16string ReadError(const std::string& text, const xml::DocumentTypes_t& types = Types())
{
  try {
    Read(text, types);
  } catch (const xml::Exception_t& error) {
    return error.Message();
  }
  return u"(no error)";
}

const std::string Response = "<ErrorResponse xmlns=\"http://www.telvan.example/xmlschemas/ApplicationErrors/v1\">";

TEST(Read, ValidDocumentBuildsItsTypedRoot)
{
  auto root = Read("<?xml version=\"1.0\"?>\n" + Response +
                   "<ResponseCode> 1 </ResponseCode><ResponseMessage>a &amp; b</ResponseMessage></ErrorResponse>");
  auto* response = dynamic_cast<Response_t*>(root.Get());
  ASSERT_NE(response, nullptr);
  EXPECT_EQ(response->code_.Get().Value(), 1u);
  EXPECT_EQ(response->message_.Get().Value(), u"a & b");
  EXPECT_EQ(response->NamespaceUri().Get(), Errors);
  EXPECT_FALSE(response->Prefix());
}

TEST(Read, InvalidDocumentsRaiseWithWhereAndWhy)
{
  const std::u16string invalid = u"Error: \nFile Path: String Stream, line: 3, char: 14\nMessage: ";
  EXPECT_EQ(ReadError(Response + "\n\n  <Nonsense/></ErrorResponse>").substr(0, invalid.size()), invalid);
  const std::u16string illFormed = u"Fatal Error: \nFile Path: String Stream, line: 1, char: 9\nMessage: ";
  EXPECT_EQ(ReadError("<a><b></a>", {}).substr(0, illFormed.size()), illFormed);
  EXPECT_EQ(ReadError(Response + "<ResponseCode>x</ResponseCode></ErrorResponse>").substr(0, 7), u"Error: ");
  EXPECT_EQ(ReadError("").substr(0, 13), u"Fatal Error: ");
}

TEST(Read, WithoutDocumentTypesOnlyWellFormednessCounts)
{
  // A schema on the network is named, but never fetched: nothing is at hand.
  const auto start = std::chrono::steady_clock::now();
  auto root = Read(
      "<x:Any xmlns:x=\"urn:other\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
      "xsi:schemaLocation=\"urn:other http://192.0.2.1/any.xsd\"><Whatever/></x:Any>",
      {});
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  EXPECT_NE(dynamic_cast<xml::UnknownWildcard_t*>(root.Get()), nullptr);
  EXPECT_EQ(root->ElementName(), u"");
  EXPECT_EQ(root->Prefix().Get(), u"x");
  // Registered names count only where their namespace is in the table.
  EXPECT_NE(dynamic_cast<xml::UnknownWildcard_t*>(Read(Response + "</ErrorResponse>", {}).Get()), nullptr);
}

TEST(Read, NothingOutsideTheDocumentIsOpened)
{
  vtest::TempFolder folder;
  vtest::WriteFile(folder / "secret.txt", "SECRET");
  const std::string fifo = (folder / "fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& system : std::vector<std::string>{"file://" + (folder / "secret.txt").string(), "file://" + fifo,
                                    (folder / "secret.txt").string(), "http://192.0.2.1/e.txt"}) {
    SCOPED_TRACE(system);
    const std::string document = "<!DOCTYPE r SYSTEM \"" + system + "\" [<!ENTITY e SYSTEM \"" + system +
                                 "\">]><r>&e;</r>";
    const auto start = std::chrono::steady_clock::now();
    for (const auto& types : {xml::DocumentTypes_t(), Types()})
      EXPECT_EQ(ReadError(document, types).find(u"SECRET"), std::u16string::npos);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  }
  // Schema hints of a validated document are not followed either: the
  // hint names the FIFO, which would block whoever opened it.
  EXPECT_EQ(ReadError(Response.substr(0, Response.size() - 1) +
                      " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:schemaLocation=\"" +
                      std::string(Errors, Errors + 57) + " " + fifo + "\"></ErrorResponse>"),
            u"(no error)");
}

TEST(Read, DocumentTypeDeclarationsAreRefused)
{
  const std::string laughs = vtest::BillionLaughs();
  const std::u16string refused = u"Fatal Error: \nFile Path: String Stream, line: 1, char: ";
  for (const std::string& document :
       {laughs, std::string("<!DOCTYPE r><r/>"), std::string("<!DOCTYPE r SYSTEM \"http://192.0.2.1/r.dtd\"><r/>")}) {
    SCOPED_TRACE(document.substr(0, 40));
    const auto start = std::chrono::steady_clock::now();
    for (const auto& types : {xml::DocumentTypes_t(), Types()})
      EXPECT_EQ(ReadError(document, types).substr(0, refused.size()), refused);
    xml::LSParser_t parser;
    parser.SetValidation(xml::LSParser_t::Validation_t::Off);
    xml::IStringStream_t stream(document, {});
    EXPECT_THROW(parser.Parse(stream.Source()), xml::Exception_t);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  }
}

TEST(Read, CodePageOfTheDocumentsEncoding)
{
  struct Case {
    std::string document;
    glo::Optional_t<glo::CodePage_t> codePage;
  } cases[] = {
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><r/>", 65001u},
      {"<r/>", 65001u},
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>\xe9</r>", 1252u},
      {"<?xml version=\"1.0\" encoding=\"US-ASCII\"?><r/>", 20127u},
      {std::string("\xff\xfe<\0r\0/\0>\0", 10), 1200u},
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?><r/>", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.document);
    glo::Optional_t<glo::CodePage_t> codePage;
    xml::IStringStream_t stream(c.document, {});
    stream.Read(codePage);
    EXPECT_EQ(codePage, c.codePage);
  }
}

TEST(ErrorHandler, WarningsGoOnAndErrorsRaise)
{
  xml::DomErrorHandler_t handler;
  xercesc::DOMLocatorImpl located(3, 14, nullptr, u"/tmp/in.xml");
  xercesc::DOMLocatorImpl nowhere;
  struct Case {
    xercesc::DOMError::ErrorSeverity severity;
    xercesc::DOMLocator* location;
    const char16_t* message;
    const char16_t* expected;
  } cases[] = {
      {xercesc::DOMError::DOM_SEVERITY_ERROR, &located, u"bad", u"Error: \nFile Path: /tmp/in.xml, line: 3, char: 14\nMessage: bad"},
      {xercesc::DOMError::DOM_SEVERITY_FATAL_ERROR, &located, u"", u"Fatal Error: \nFile Path: /tmp/in.xml, line: 3, char: 14"},
      {xercesc::DOMError::DOM_SEVERITY_ERROR, &nowhere, u"bad", u"Error: \nMessage: bad"},
  };
  for (const auto& c : cases) {
    xercesc::DOMErrorImpl error(c.severity, c.message, c.location);
    EXPECT_FALSE(handler.handleError(error));
    // Only the first error counts: it is what stopped the work.
    xercesc::DOMErrorImpl later(xercesc::DOMError::DOM_SEVERITY_ERROR, u"later", &nowhere);
    EXPECT_FALSE(handler.handleError(later));
    try {
      handler.RaisePending();
      ADD_FAILURE() << "no exception";
    } catch (const xml::Exception_t& raised) {
      EXPECT_EQ(raised.Message(), c.expected);
    }
  }
  xercesc::DOMErrorImpl warning(xercesc::DOMError::DOM_SEVERITY_WARNING, u"careful", &located);
  EXPECT_TRUE(handler.handleError(warning));
  EXPECT_NO_THROW(handler.RaisePending());
}

TEST(Read, MissingSchemaResourceRaisesTheResourceError)
{
  xml::DocumentTypes_t types = Types();
  types.begin()->second.schema = 4711;
  EXPECT_THROW(Read(Response + "</ErrorResponse>", types), win::Error_t);
}

}  // namespace
