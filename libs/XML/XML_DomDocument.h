#pragma once
// A DOM document of the XML library, and the nodes made in it.

#include <xercesc/dom/DOM.hpp>

#include <string>

#include "GLO_NonCopyable.h"
#include "GLO_Optional.h"
#include "GLO_Text.h"

namespace xml {

// Every operation raises DomException_t when the library refuses it.
class DomDocument_t : public glo::NonCopyable_t {
 public:
  // A new document, owned, whose root element has the namespace and the
  // qualified name "prefix:localName" (localName alone without a prefix).
  DomDocument_t(const glo::Optional_t<std::u16string>& namespaceUri, const glo::Optional_t<std::u16string>& prefix,
                const std::u16string& localName);
  // The document that holds the node, not owned.
  explicit DomDocument_t(const xercesc::DOMNode* node);
  // Releases an owned document.
  ~DomDocument_t();

  xercesc::DOMDocument* Get() const noexcept { return document_; }
  xercesc::DOMElement* Root() const;
  xercesc::DOMText* CreateText(const std::u16string& text) const;
  xercesc::DOMElement* CreateElement(const std::u16string& qualifiedName) const;
  // In the namespace; without one, as CreateElement.
  xercesc::DOMElement* CreateElement(const glo::Optional_t<std::u16string>& namespaceUri,
                                     const std::u16string& qualifiedName) const;
  xercesc::DOMAttr* CreateAttribute(const std::u16string& name) const;
  // The code page of the encoding the document was read in; absent for an
  // encoding without one here (and for a document that was not read).
  glo::Optional_t<glo::CodePage_t> CodePage() const;

 private:
  xercesc::DOMDocument* document_;
  bool owned_;
};

// The code page of an encoding name as the library reports it ("UTF-8",
// "UTF-16 (LE)"); names compare exactly.
glo::Optional_t<glo::CodePage_t> XML_EncodingCodePage(const std::u16string& encoding);

// "prefix:localName", or localName without a prefix.
std::u16string XML_QualifiedName(const glo::Optional_t<std::u16string>& prefix, const std::u16string& localName);

}  // namespace xml
