#pragma once
// One parse of a document into a DOM tree.

#include <xercesc/dom/DOM.hpp>

#include <memory>

#include "GLO_NonCopyable.h"
#include "XML_DomDocument.h"
#include "XML_IStream.h"
#include "XML_LSParser.h"

namespace xml {

class Reader_t : public glo::NonCopyable_t {
 public:
  // Parses at once: namespace-aware, validating against the schemas of the
  // table (or, with an empty table, only where a schema is at hand, which
  // is never). Raises Exception_t for input that is not well formed or
  // valid; asserts that the document has a root.
  Reader_t(const xercesc::InputSource& source, const DocumentTypes_t& types);

  // Valid while the reader lives.
  xercesc::DOMElement* Root() const { return document_->Root(); }
  glo::Optional_t<glo::CodePage_t> CodePage() const { return document_->CodePage(); }

 private:
  LSParser_t parser_;
  std::unique_ptr<DomDocument_t> document_;
};

}  // namespace xml
