#pragma once
// Typed objects for elements that can be a document's root or stand for any
// element of a wildcard ("xsd:any"), and the factories that make them.

#include <xercesc/dom/DOM.hpp>

#include <string>

#include "GLO_Optional.h"
#include "GLO_SmartPtr.h"

namespace xml {

class IStream_t;
class OStream_t;

class Wildcard_t : public glo::RefCounter_t {
 public:
  // Namespace and prefix of the element, no schema location.
  explicit Wildcard_t(xercesc::DOMElement* element);
  Wildcard_t(glo::Optional_t<std::u16string> namespaceUri, glo::Optional_t<std::u16string> schemaLocation,
             glo::Optional_t<std::u16string> prefix);

  const glo::Optional_t<std::u16string>& NamespaceUri() const noexcept { return namespaceUri_; }
  // Announced for the namespace (xsi:schemaLocation) when written.
  const glo::Optional_t<std::u16string>& SchemaLocation() const noexcept { return schemaLocation_; }
  const glo::Optional_t<std::u16string>& Prefix() const noexcept { return prefix_; }

  // The element's local name.
  virtual std::u16string ElementName() const = 0;
  // The whole document with this object's element as root, as indented
  // UTF-8 with the namespaces used announced on the root.
  virtual void WriteDocument(OStream_t& stream) const;
  // This object's element, last child of the parent.
  virtual void WriteAsChild(xercesc::DOMElement* parent) const;
  // The element's children and attributes, in schema order.
  virtual void WriteContent(xercesc::DOMElement* element) const = 0;

 private:
  glo::Optional_t<std::u16string> namespaceUri_;
  glo::Optional_t<std::u16string> schemaLocation_;
  glo::Optional_t<std::u16string> prefix_;
};

using WildcardPtr_t = glo::SmartPtr_t<Wildcard_t>;

// An element whose namespace and name no factory knows: it has no name and
// writes nothing, so it is dropped from a document written again.
class UnknownWildcard_t : public Wildcard_t {
 public:
  using Wildcard_t::Wildcard_t;
  std::u16string ElementName() const override { return {}; }
  void WriteDocument(OStream_t&) const override {}
  void WriteAsChild(xercesc::DOMElement*) const override {}
  void WriteContent(xercesc::DOMElement*) const override {}
};

class WildcardFactoryBase_t : public glo::RefCounter_t {
 public:
  // The typed object of the element, read with the stream's document types.
  virtual WildcardPtr_t Create(xercesc::DOMElement* element, IStream_t& stream) const = 0;
};

using WildcardFactoryPtr_t = glo::SmartPtr_t<const WildcardFactoryBase_t>;

// Builds a T from (element, stream).
template <class T>
class WildcardFactory_t : public WildcardFactoryBase_t {
 public:
  WildcardPtr_t Create(xercesc::DOMElement* element, IStream_t& stream) const override
  {
    return WildcardPtr_t(new T(element, stream));
  }
};

}  // namespace xml
