#pragma once
// Access to one element of a DOM document.

#include <xercesc/dom/DOM.hpp>

#include <string>

#include "GLO_Optional.h"

namespace xml {

// A non-null element (asserted when built), not owned. Every operation
// raises DomException_t when the library refuses it.
class DomElement_t {
 public:
  explicit DomElement_t(xercesc::DOMElement* element);

  xercesc::DOMElement* Get() const noexcept { return element_; }
  // Absent when the element has none.
  glo::Optional_t<std::u16string> NamespaceUri() const;
  glo::Optional_t<std::u16string> Prefix() const;
  // The local name of a namespace-aware element, else its node name.
  std::u16string LocalName() const;

  bool HasAttribute(const std::u16string& name) const;
  // Asserts that the attribute exists.
  std::u16string GetAttribute(const std::u16string& name) const;
  // Adds the attribute; one that exists already must have this value
  // (asserted).
  void SetAttribute(const std::u16string& name, const std::u16string& value) const;

  void AppendChild(xercesc::DOMNode* child) const;
  void SetAttributeNode(xercesc::DOMAttr* attribute) const;

 private:
  xercesc::DOMElement* element_;
};

}  // namespace xml
