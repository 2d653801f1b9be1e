#include "XML_Wildcard.h"

#include "XML_DomDocument.h"
#include "XML_DomElement.h"
#include "XML_Guard.h"
#include "XML_OStream.h"
#include "XML_Platform.h"
#include "XML_SchemaLocations.h"
#include "XML_Writer.h"

namespace xml {

Wildcard_t::Wildcard_t(xercesc::DOMElement* element)
    : namespaceUri_(DomElement_t(element).NamespaceUri()), prefix_(DomElement_t(element).Prefix())
{
  XML_EnsureStarted();
}

Wildcard_t::Wildcard_t(glo::Optional_t<std::u16string> namespaceUri, glo::Optional_t<std::u16string> schemaLocation,
                       glo::Optional_t<std::u16string> prefix)
    : namespaceUri_(std::move(namespaceUri)), schemaLocation_(std::move(schemaLocation)), prefix_(std::move(prefix))
{
  XML_EnsureStarted();
}

void Wildcard_t::WriteDocument(OStream_t& stream) const
{
  const DomDocument_t document(namespaceUri_, prefix_, ElementName());
  xercesc::DOMElement* root = document.Root();
  SchemaLocations locations;
  locations.Add(namespaceUri_, schemaLocation_);
  XML_Guard(GLO_HERE, [&] { root->setUserData(SchemaLocations::Key, &locations, nullptr); });
  WriteContent(root);
  locations.Apply(root);
  XML_Guard(GLO_HERE, [&] { root->setUserData(SchemaLocations::Key, nullptr, nullptr); });
  Writer_t writer;
  writer.Write(document, stream);
}

void Wildcard_t::WriteAsChild(xercesc::DOMElement* parent) const
{
  const DomElement_t owner(parent);
  const DomDocument_t document(parent);
  xercesc::DOMElement* element = document.CreateElement(namespaceUri_, XML_QualifiedName(prefix_, ElementName()));
  SchemaLocations::Of(parent).Add(namespaceUri_, schemaLocation_);
  owner.AppendChild(element);
  WriteContent(element);
}

}  // namespace xml
