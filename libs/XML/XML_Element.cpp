#include "XML_Element.h"

#include "GLO_Exception.h"
#include "XML_DomDocument.h"
#include "XML_DomElement.h"
#include "XML_Guard.h"

namespace xml {
namespace {

constexpr char16_t XsiNamespace[] = u"http://www.w3.org/2001/XMLSchema-instance";

}  // namespace

void Element_t::Write(xercesc::DOMElement* parent, const std::u16string& localName) const
{
  const DomElement_t owner(parent);
  const DomDocument_t document(parent);
  xercesc::DOMElement* child = document.CreateElement(owner.NamespaceUri(), XML_QualifiedName(owner.Prefix(), localName));
  WriteContent(child);
  owner.AppendChild(child);
}

void XML_WriteTextElement(xercesc::DOMElement* parent, const std::u16string& localName, const std::u16string& text)
{
  const DomElement_t owner(parent);
  const DomDocument_t document(parent);
  // In the parent's namespace: the writer's namespace fixup would move an
  // element made without one out of the parent's default namespace.
  xercesc::DOMElement* child = document.CreateElement(owner.NamespaceUri(), XML_QualifiedName(owner.Prefix(), localName));
  DomElement_t(child).AppendChild(document.CreateText(text));
  owner.AppendChild(child);
}

void XML_WriteTextAttribute(xercesc::DOMElement* element, const std::u16string& name, const std::u16string& text)
{
  const DomElement_t owner(element);
  const DomDocument_t document(element);
  xercesc::DOMAttr* attribute = document.CreateAttribute(name);
  XML_Guard(GLO_HERE, [&] { attribute->setValue(text.c_str()); });
  owner.SetAttributeNode(attribute);
  if (name.starts_with(u"xsi:")) DomElement_t(document.Root()).SetAttribute(u"xmlns:xsi", XsiNamespace);
}

glo::Optional_t<std::u16string> XML_SimpleText(const xercesc::DOMElement* element)
{
  glo::GLO_Assert(element != nullptr, GLO_HERE);
  const xercesc::DOMNode* child = element->getFirstChild();
  if (child == nullptr) return {};
  const auto type = child->getNodeType();
  glo::GLO_Assert(type == xercesc::DOMNode::TEXT_NODE || type == xercesc::DOMNode::CDATA_SECTION_NODE, GLO_HERE);
  return std::u16string(child->getNodeValue());
}

}  // namespace xml
