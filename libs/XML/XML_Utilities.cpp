#include "XML_Utilities.h"

#include <xercesc/util/regx/RegularExpression.hpp>

#include "GLO_Exception.h"
#include "XML_DomDocument.h"
#include "XML_DomElement.h"
#include "XML_Guard.h"
#include "XML_IStream.h"
#include "XML_Platform.h"

namespace xml {
namespace {

std::u16string ChildName(const xercesc::DOMElement* element, const std::u16string& localName)
{
  glo::GLO_Assert(element != nullptr, GLO_HERE);
  return XML_QualifiedName(DomElement_t(const_cast<xercesc::DOMElement*>(element)).Prefix(), localName);
}

}  // namespace

xercesc::DOMElement* XML_GetChildElement(const xercesc::DOMElement* element, const std::u16string& localName)
{
  const std::u16string name = ChildName(element, localName);
  for (auto* child = element->getFirstElementChild(); child != nullptr; child = child->getNextElementSibling())
    if (name == child->getNodeName()) return child;
  return nullptr;
}

std::vector<xercesc::DOMElement*> XML_GetChildElements(const xercesc::DOMElement* element,
                                                       const std::u16string& localName)
{
  const std::u16string name = ChildName(element, localName);
  std::vector<xercesc::DOMElement*> children;
  for (auto* child = element->getFirstElementChild(); child != nullptr; child = child->getNextElementSibling())
    if (name == child->getNodeName()) children.push_back(child);
  return children;
}

std::vector<std::u16string> XML_GetTexts(const xercesc::DOMElement* element)
{
  glo::GLO_Assert(element != nullptr, GLO_HERE);
  std::vector<std::u16string> texts;
  for (auto* child = element->getFirstChild(); child != nullptr; child = child->getNextSibling()) {
    const auto type = child->getNodeType();
    if (type == xercesc::DOMNode::TEXT_NODE || type == xercesc::DOMNode::CDATA_SECTION_NODE)
      texts.push_back(XML_Text(child->getNodeValue()));
  }
  return texts;
}

void XML_WriteTexts(xercesc::DOMElement* element, const std::vector<std::u16string>& texts)
{
  const DomElement_t parent(element);
  const DomDocument_t document(element);
  for (const auto& text : texts) parent.AppendChild(document.CreateText(text));
}

std::vector<WildcardPtr_t> XML_GetWildcards(const xercesc::DOMElement* element, IStream_t& stream)
{
  glo::GLO_Assert(element != nullptr, GLO_HERE);
  std::vector<WildcardPtr_t> wildcards;
  for (auto* child = element->getFirstElementChild(); child != nullptr; child = child->getNextElementSibling())
    wildcards.push_back(stream.Object(child));
  return wildcards;
}

void XML_WriteWildcards(xercesc::DOMElement* element, const std::vector<WildcardPtr_t>& wildcards)
{
  for (const auto& wildcard : wildcards) {
    glo::GLO_Assert(static_cast<bool>(wildcard), GLO_HERE);
    wildcard->WriteAsChild(element);
  }
}

bool XML_PatternMatches(const std::u16string& text, const std::u16string& pattern)
{
  XML_EnsureStarted();
  return XML_Guard(GLO_HERE, [&] {
    static const XMLCh schemaRules[] = u"X";
    const xercesc::RegularExpression expression(pattern.c_str(), schemaRules);
    return expression.matches(text.c_str());
  });
}

}  // namespace xml
