#include "XML_Reader.h"

#include "GLO_Exception.h"

namespace xml {

Reader_t::Reader_t(const xercesc::InputSource& source, const DocumentTypes_t& types)
{
  parser_.SetNamespaces(true);
  if (types.empty()) {
    parser_.SetValidation(LSParser_t::Validation_t::IfSchema);
  } else {
    parser_.SetValidation(LSParser_t::Validation_t::On);
    parser_.LoadSchemas(types);
  }
  xercesc::DOMDocument* document = parser_.Parse(source);
  glo::GLO_Assert(document != nullptr && document->getDocumentElement() != nullptr, GLO_HERE);
  document_ = std::make_unique<DomDocument_t>(document);
}

}  // namespace xml
