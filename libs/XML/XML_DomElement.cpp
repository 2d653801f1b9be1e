#include "XML_DomElement.h"

#include "XML_Guard.h"

namespace xml {
namespace {

glo::Optional_t<std::u16string> Present(const XMLCh* text)
{
  if (text == nullptr) return {};
  return std::u16string(text);
}

}  // namespace

DomElement_t::DomElement_t(xercesc::DOMElement* element) : element_(element)
{
  glo::GLO_Assert(element != nullptr, GLO_HERE);
}

glo::Optional_t<std::u16string> DomElement_t::NamespaceUri() const
{
  return Present(element_->getNamespaceURI());
}

glo::Optional_t<std::u16string> DomElement_t::Prefix() const
{
  return Present(element_->getPrefix());
}

std::u16string DomElement_t::LocalName() const
{
  const XMLCh* local = element_->getLocalName();
  return XML_Text(local != nullptr ? local : element_->getNodeName());
}

bool DomElement_t::HasAttribute(const std::u16string& name) const
{
  return element_->hasAttribute(name.c_str());
}

std::u16string DomElement_t::GetAttribute(const std::u16string& name) const
{
  glo::GLO_Assert(HasAttribute(name), GLO_HERE);
  return XML_Text(element_->getAttribute(name.c_str()));
}

void DomElement_t::SetAttribute(const std::u16string& name, const std::u16string& value) const
{
  if (HasAttribute(name)) {
    glo::GLO_Assert(GetAttribute(name) == value, GLO_HERE);
    return;
  }
  XML_Guard(GLO_HERE, [&] { element_->setAttribute(name.c_str(), value.c_str()); });
}

void DomElement_t::AppendChild(xercesc::DOMNode* child) const
{
  XML_Guard(GLO_HERE, [&] { element_->appendChild(child); });
}

void DomElement_t::SetAttributeNode(xercesc::DOMAttr* attribute) const
{
  XML_Guard(GLO_HERE, [&] { element_->setAttributeNode(attribute); });
}

}  // namespace xml
