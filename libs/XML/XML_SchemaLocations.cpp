#include "XML_SchemaLocations.h"

#include "GLO_Exception.h"
#include "XML_DomElement.h"

namespace xml {
namespace {

constexpr char16_t XsiNamespace[] = u"http://www.w3.org/2001/XMLSchema-instance";

void SetOnce(const DomElement_t& root, const std::u16string& name, const std::u16string& value)
{
  root.SetAttribute(u"xmlns:xsi", XsiNamespace);
  glo::GLO_Assert(!root.HasAttribute(name), GLO_HERE);
  root.SetAttribute(name, value);
}

}  // namespace

void SchemaLocations::Add(const glo::Optional_t<std::u16string>& namespaceUri,
                          const glo::Optional_t<std::u16string>& location)
{
  if (!location) return;
  if (namespaceUri)
    locations_[namespaceUri.Get()] = location.Get();
  else
    noNamespaceLocation_ = location.Get();
}

void SchemaLocations::Apply(xercesc::DOMElement* root) const
{
  const DomElement_t element(root);
  std::u16string list;
  for (const auto& [namespaceUri, location] : locations_) {
    if (!list.empty()) list += u' ';
    list += namespaceUri + u" " + location;
  }
  if (!list.empty()) SetOnce(element, u"xsi:schemaLocation", list);
  if (!noNamespaceLocation_.empty()) SetOnce(element, u"xsi:noNamespaceSchemaLocation", noNamespaceLocation_);
}

SchemaLocations& SchemaLocations::Of(const xercesc::DOMElement* element)
{
  glo::GLO_Assert(element != nullptr && element->getOwnerDocument() != nullptr, GLO_HERE);
  const xercesc::DOMElement* root = element->getOwnerDocument()->getDocumentElement();
  glo::GLO_Assert(root != nullptr, GLO_HERE);
  auto* locations = static_cast<SchemaLocations*>(root->getUserData(Key));
  glo::GLO_Assert(locations != nullptr, GLO_HERE);
  return *locations;
}

}  // namespace xml
