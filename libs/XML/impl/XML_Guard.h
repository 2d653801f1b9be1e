#pragma once
// The one place where the library's own exceptions become the system's.

#include <xercesc/dom/DOMException.hpp>
#include <xercesc/sax/SAXException.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/XMLException.hpp>

#include <new>
#include <utility>

#include "XML_Exceptions.h"

namespace xml {

inline std::u16string XML_Text(const XMLCh* text)
{
  return text == nullptr ? std::u16string() : std::u16string(text);
}

// Runs the work and raises, at the given site, DomException_t for a DOM
// exception, SaxException_t for a SAX exception and Exception_t ("Exception
// message is: ") for any other exception of the library; running out of
// memory stays std::bad_alloc.
template <class Work>
decltype(auto) XML_Guard(const char* file, unsigned line, Work&& work)
{
  try {
    return std::forward<Work>(work)();
  } catch (const xercesc::OutOfMemoryException&) {
    throw std::bad_alloc();
  } catch (const xercesc::DOMException& error) {
    throw DomException_t(file, line, static_cast<std::uint16_t>(error.code), XML_Text(error.getMessage()));
  } catch (const xercesc::SAXException& error) {
    throw SaxException_t(file, line, XML_Text(error.getMessage()));
  } catch (const xercesc::XMLException& error) {
    throw Exception_t(file, line, u"Exception message is: " + XML_Text(error.getMessage()));
  }
}

}  // namespace xml
