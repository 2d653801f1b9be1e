#include "XML_DomDocument.h"

#include <map>

#include "XML_Guard.h"
#include "XML_Platform.h"

namespace xml {
namespace {

const XMLCh* OrNull(const glo::Optional_t<std::u16string>& text)
{
  return text ? text.Get().c_str() : nullptr;
}

xercesc::DOMImplementation& Implementation()
{
  // The core implementation always exists; the LS one is asked for where
  // parsers and writers are made.
  static const XMLCh core[] = u"Core";
  auto* implementation = xercesc::DOMImplementationRegistry::getDOMImplementation(core);
  glo::GLO_Assert(implementation != nullptr, GLO_HERE);
  return *implementation;
}

}  // namespace

std::u16string XML_QualifiedName(const glo::Optional_t<std::u16string>& prefix, const std::u16string& localName)
{
  return prefix ? prefix.Get() + u":" + localName : localName;
}

DomDocument_t::DomDocument_t(const glo::Optional_t<std::u16string>& namespaceUri,
                             const glo::Optional_t<std::u16string>& prefix, const std::u16string& localName)
    : owned_(true)
{
  XML_EnsureStarted();
  const std::u16string name = XML_QualifiedName(prefix, localName);
  document_ = XML_Guard(GLO_HERE, [&] { return Implementation().createDocument(OrNull(namespaceUri), name.c_str(), nullptr); });
}

DomDocument_t::DomDocument_t(const xercesc::DOMNode* node) : owned_(false)
{
  XML_EnsureStarted();
  glo::GLO_Assert(node != nullptr, GLO_HERE);
  document_ = node->getNodeType() == xercesc::DOMNode::DOCUMENT_NODE
                  ? const_cast<xercesc::DOMDocument*>(static_cast<const xercesc::DOMDocument*>(node))
                  : node->getOwnerDocument();
  glo::GLO_Assert(document_ != nullptr, GLO_HERE);
}

DomDocument_t::~DomDocument_t()
{
  if (!owned_) return;
  try {
    document_->release();
  } catch (...) {
  }
}

xercesc::DOMElement* DomDocument_t::Root() const
{
  return document_->getDocumentElement();
}

xercesc::DOMText* DomDocument_t::CreateText(const std::u16string& text) const
{
  return XML_Guard(GLO_HERE, [&] { return document_->createTextNode(text.c_str()); });
}

xercesc::DOMElement* DomDocument_t::CreateElement(const std::u16string& qualifiedName) const
{
  return XML_Guard(GLO_HERE, [&] { return document_->createElement(qualifiedName.c_str()); });
}

xercesc::DOMElement* DomDocument_t::CreateElement(const glo::Optional_t<std::u16string>& namespaceUri,
                                                  const std::u16string& qualifiedName) const
{
  if (!namespaceUri) return CreateElement(qualifiedName);
  return XML_Guard(GLO_HERE,
                   [&] { return document_->createElementNS(namespaceUri.Get().c_str(), qualifiedName.c_str()); });
}

xercesc::DOMAttr* DomDocument_t::CreateAttribute(const std::u16string& name) const
{
  return XML_Guard(GLO_HERE, [&] { return document_->createAttribute(name.c_str()); });
}

glo::Optional_t<glo::CodePage_t> DomDocument_t::CodePage() const
{
  return XML_EncodingCodePage(XML_Text(document_->getInputEncoding()));
}

glo::Optional_t<glo::CodePage_t> XML_EncodingCodePage(const std::u16string& encoding)
{
  static const std::map<std::u16string, glo::CodePage_t> table = {
      {u"US-ASCII", 20127},     {u"USASCII", 20127},     {u"ASCII", 20127},       {u"US_ASCII", 20127},
      {u"UTF8", 65001},         {u"UTF-8", 65001},       {u"ISO8859-1", 1252},    {u"ISO-8859-1", 1252},
      {u"ISO_8859-1", 1252},    {u"IBM-819", 1252},      {u"IBM819", 1252},       {u"LATIN1", 1252},
      {u"LATIN-1", 1252},       {u"LATIN_1", 1252},      {u"CP819", 1252},        {u"CSISOLATIN1", 1252},
      {u"ISO-IR-100", 1252},    {u"L1", 1252},           {u"WINDOWS-1252", 1252}, {u"UTF-16 (LE)", 1200},
      {u"UTF-16LE", 1200},      {u"IBM1200", 1200},      {u"IBM-1200", 1200},     {u"UCS-4 (LE)", 12000},
      {u"UCS-4LE", 12000},      {u"UTF-16 (BE)", 1201},  {u"UTF-16BE", 1201},     {u"UCS-4 (BE)", 12001},
      {u"UCS-4BE", 12001},
  };
  auto it = table.find(encoding);
  if (it == table.end()) return {};
  return it->second;
}

}  // namespace xml
