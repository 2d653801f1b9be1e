#pragma once
// Children, texts and wildcards of DOM elements, and XML Schema patterns.

#include <xercesc/dom/DOM.hpp>

#include <string>
#include <vector>

#include "XML_Wildcard.h"

namespace xml {

// Children are looked up by the qualified name made of the element's own
// prefix and the local name. The element must not be null (asserted).

// The first such child element; null when there is none.
xercesc::DOMElement* XML_GetChildElement(const xercesc::DOMElement* element, const std::u16string& localName);
// Every such child element, in document order.
std::vector<xercesc::DOMElement*> XML_GetChildElements(const xercesc::DOMElement* element,
                                                       const std::u16string& localName);

// The values of the text and CDATA children, in order.
std::vector<std::u16string> XML_GetTexts(const xercesc::DOMElement* element);
// One text node per entry, appended.
void XML_WriteTexts(xercesc::DOMElement* element, const std::vector<std::u16string>& texts);

// The typed object of every child element (IStream_t::Object).
std::vector<WildcardPtr_t> XML_GetWildcards(const xercesc::DOMElement* element, IStream_t& stream);
// Each object as a child; none may be empty (asserted).
void XML_WriteWildcards(xercesc::DOMElement* element, const std::vector<WildcardPtr_t>& wildcards);

// Whether the whole text matches the pattern under XML Schema regular
// expression rules. A malformed pattern raises Exception_t.
bool XML_PatternMatches(const std::u16string& text, const std::u16string& pattern);

}  // namespace xml
