#pragma once
// The schema locations of the namespaces of one document being written.

#include <xercesc/dom/DOM.hpp>

#include <map>
#include <string>

#include "GLO_Optional.h"

namespace xml {

class SchemaLocations {
 public:
  // The user-data key under which the document's root carries the
  // collection while the document is written.
  static constexpr char16_t Key[] = u"SchemaLocations";

  // Nothing without a location; a later location of a namespace replaces
  // the earlier one; without a namespace it is the no-namespace location.
  void Add(const glo::Optional_t<std::u16string>& namespaceUri, const glo::Optional_t<std::u16string>& location);
  // Sets xsi:schemaLocation (the namespaces in order, each with its
  // location) and xsi:noNamespaceSchemaLocation on the root where there is
  // something to say, with the xsi namespace declared; the root must not
  // carry them yet (asserted).
  void Apply(xercesc::DOMElement* root) const;

  // The collection attached to the root of the element's document; asserts
  // that the document is being written.
  static SchemaLocations& Of(const xercesc::DOMElement* element);

 private:
  std::map<std::u16string, std::u16string> locations_;
  std::u16string noNamespaceLocation_;
};

}  // namespace xml
