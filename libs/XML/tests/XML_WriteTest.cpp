// Writing typed objects as documents: declaration, indentation, element
// names under the parent's prefix, and the schema locations on the root.

#include <gtest/gtest.h>

#include "GLO_Exception.h"
#include "XML_DomDocument.h"
#include "XML_DomElement.h"
#include "XML_Element.h"
#include "XML_Exceptions.h"
#include "XML_OStream.h"
#include "XML_Utilities.h"

namespace {

using Count_t = xml::SchemaBuiltIn_t<xml::unsignedIntConverter_t>;
using Text_t = xml::SchemaBuiltIn_t<xml::stringConverter_t>;

// A root of any namespace, with a count, a text and nested roots.
class Thing_t : public xml::Wildcard_t {
 public:
  Thing_t(glo::Optional_t<std::u16string> namespaceUri, glo::Optional_t<std::u16string> location,
          glo::Optional_t<std::u16string> prefix, std::vector<xml::WildcardPtr_t> children = {})
      : xml::Wildcard_t(std::move(namespaceUri), std::move(location), std::move(prefix)),
        children_(std::move(children))
  {
  }
  std::u16string ElementName() const override { return u"Thing"; }
  void WriteContent(xercesc::DOMElement* element) const override
  {
    Count_t(7).Write(element, u"Count");
    Text_t(u"a < b").Write(element, u"Text");
    xml::XML_WriteWildcards(element, children_);
  }

 private:
  std::vector<xml::WildcardPtr_t> children_;
};

std::string Written(const xml::Wildcard_t& object)
{
  xml::OStringStream_t stream;
  object.WriteDocument(stream);
  return stream.Bytes();
}

TEST(Write, DeclarationIndentationAndTheParentsPrefix)
{
  EXPECT_EQ(Written(Thing_t(std::u16string(u"urn:n"), {}, std::u16string(u"n"))),
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
            "<n:Thing xmlns:n=\"urn:n\">\n\n"
            "  <n:Count>7</n:Count>\n\n"
            "  <n:Text>a &lt; b</n:Text>\n\n"
            "</n:Thing>\n");
}

TEST(Write, SchemaLocationsAnnouncedOnTheRootInNamespaceOrder)
{
  EXPECT_EQ(Written(Thing_t(std::u16string(u"urn:n"), {}, {})).find("xsi"), std::string::npos);
  const std::string alone = Written(Thing_t(std::u16string(u"urn:n"), std::u16string(u"n.xsd"), {}));
  EXPECT_NE(alone.find("<Thing xmlns=\"urn:n\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                       "xsi:schemaLocation=\"urn:n n.xsd\">"),
            std::string::npos)
      << alone;
  EXPECT_EQ(alone.find("noNamespaceSchemaLocation"), std::string::npos);

  const xml::WildcardPtr_t b(new Thing_t(std::u16string(u"urn:b"), std::u16string(u"b.xsd"), std::u16string(u"b")));
  const xml::WildcardPtr_t a(new Thing_t(std::u16string(u"urn:a"), std::u16string(u"a.xsd"), std::u16string(u"a")));
  const xml::WildcardPtr_t plain(new Thing_t({}, std::u16string(u"plain.xsd"), {}));
  const std::string nested = Written(Thing_t(std::u16string(u"urn:root"), {}, {}, {b, a, plain}));
  EXPECT_NE(nested.find("xsi:schemaLocation=\"urn:a a.xsd urn:b b.xsd\""), std::string::npos) << nested;
  EXPECT_NE(nested.find("xsi:noNamespaceSchemaLocation=\"plain.xsd\""), std::string::npos) << nested;
  EXPECT_NE(nested.find("<b:Thing xmlns:b=\"urn:b\">"), std::string::npos) << nested;
  EXPECT_NE(nested.find("<b:Count>7</b:Count>"), std::string::npos) << nested;
}

TEST(Write, WrittenAgainAfterReadingLosesOnlyUnknownElements)
{
  const std::string original = Written(Thing_t(std::u16string(u"urn:n"), {}, {}));
  glo::Optional_t<glo::CodePage_t> codePage;
  xml::IStringStream_t stream(original, {});
  auto root = stream.Read(codePage);
  EXPECT_EQ(root->ElementName(), u"");
  xml::OStringStream_t out;
  root->WriteDocument(out);
  EXPECT_EQ(out.Bytes(), "");
}

TEST(DomElement, AttributesSetOnceOrToTheSameValue)
{
  xml::DomDocument_t document({}, {}, u"r");
  const xml::DomElement_t root(document.Root());
  EXPECT_FALSE(root.HasAttribute(u"a"));
  root.SetAttribute(u"a", u"1");
  root.SetAttribute(u"a", u"1");
  EXPECT_EQ(root.GetAttribute(u"a"), u"1");
  EXPECT_THROW(root.SetAttribute(u"a", u"2"), glo::Assert_t);
  EXPECT_THROW(root.GetAttribute(u"b"), glo::Assert_t);
  EXPECT_THROW(xml::DomElement_t(nullptr), glo::Assert_t);
  EXPECT_THROW(document.CreateElement(u"not a name"), xml::DomException_t);
  try {
    document.CreateElement(u"<");
  } catch (const xml::DomException_t& error) {
    EXPECT_EQ(error.Code(), xercesc::DOMException::INVALID_CHARACTER_ERR);
    EXPECT_EQ(error.Message().substr(0, 25), u"Dom Exception code is: 5\n");
  }
}

TEST(SimpleValues, AttributesAndEmptyElements)
{
  xml::DomDocument_t document({}, {}, u"r");
  xercesc::DOMElement* root = document.Root();
  Count_t(12).WriteAttribute(root, u"xsi:nil");
  EXPECT_EQ(xml::DomElement_t(root).GetAttribute(u"xmlns:xsi"), u"http://www.w3.org/2001/XMLSchema-instance");
  EXPECT_EQ(xml::DomElement_t(root).GetAttribute(u"xsi:nil"), u"12");
  xercesc::DOMElement* empty = document.CreateElement(u"e");
  xml::IStringStream_t stream("", {});
  EXPECT_EQ(Text_t(empty, stream).Value(), u"");
  EXPECT_EQ(Count_t(empty, stream).Value(), 0u);
  xml::DomElement_t(empty).AppendChild(document.CreateElement(u"child"));
  EXPECT_THROW(Text_t(empty, stream), glo::Assert_t);
  EXPECT_THROW(Text_t(nullptr, stream), glo::Assert_t);
}

}  // namespace
