#pragma once
// The serialiser of DOM documents: indented UTF-8 with the XML declaration
// and no byte-order mark.

#include <xercesc/dom/DOM.hpp>

#include "GLO_NonCopyable.h"
#include "XML_DomDocument.h"
#include "XML_LSParser.h"
#include "XML_OStream.h"

namespace xml {

class Writer_t : public glo::NonCopyable_t {
 public:
  // Raises Exception_t "Dom LS API not supported" when the library has no
  // load-and-save implementation.
  Writer_t();
  ~Writer_t();

  // Raises Exception_t when the document cannot be written.
  void Write(const DomDocument_t& document, OStream_t& stream);

 private:
  DomErrorHandler_t errorHandler_;
  xercesc::DOMLSSerializer* serializer_ = nullptr;
  xercesc::DOMImplementationLS* implementation_ = nullptr;
};

}  // namespace xml
