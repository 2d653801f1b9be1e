#pragma once
// The validating parser, with its error handler and entity resolver.

#include <xercesc/dom/DOM.hpp>
#include <xercesc/sax/InputSource.hpp>
#include <xercesc/util/SecurityManager.hpp>

#include <cstddef>

#include "GLO_NonCopyable.h"
#include "GLO_Optional.h"
#include "XML_IStream.h"

namespace xml {

// Turns the first error or fatal error of the parser or writer into
// Exception_t ("Error: " or "Fatal Error: ", then "\nFile Path: PATH, line:
// L, char: C" when the location has a path, then "\nMessage: " and the
// library's text); warnings are ignored. The library swallows what its
// callbacks throw, so the error stops the work and is raised once the
// library has returned.
class DomErrorHandler_t : public xercesc::DOMErrorHandler {
 public:
  // False (stop) for an error, true for a warning.
  bool handleError(const xercesc::DOMError& error) override;
  // Raises the error that stopped the work, if any, and forgets it.
  void RaisePending();

 private:
  glo::Optional_t<std::u16string> pending_;
};

// An input source without bytes.
class EmptyInputSource_t : public xercesc::InputSource {
 public:
  xercesc::BinInputStream* makeStream() const override;
};

// Answers every external entity, DTD and schema a document names with an
// empty source: nothing is fetched from files or the network on a
// document's behalf.
class LSResourceResolver_t : public xercesc::DOMLSResourceResolver {
 public:
  xercesc::DOMLSInput* resolveResource(const XMLCh* resourceType, const XMLCh* namespaceUri, const XMLCh* publicId,
                                       const XMLCh* systemId, const XMLCh* baseUri) override;
};

// Refuses documents with a document type declaration (a fatal error), and
// limits the expansion of entities all the same.
class LSParser_t : public glo::NonCopyable_t {
 public:
  // The most entity references one document may expand.
  static constexpr std::size_t EntityExpansionLimit = 1000;

  enum class Validation_t { Off, On, IfSchema };

  // Raises Exception_t "Dom LS API not supported" when the library has no
  // load-and-save implementation.
  LSParser_t();
  ~LSParser_t();

  void SetNamespaces(bool on);
  // On validates with every schema loaded; comments are dropped either way.
  void SetValidation(Validation_t validation);
  // Replaces the cached schemas by those of the table, in namespace order.
  void LoadSchemas(const DocumentTypes_t& types);
  // The document, owned by the parser; raises Exception_t (or a subclass)
  // for input that is not well formed or, when validating, not valid.
  xercesc::DOMDocument* Parse(const xercesc::InputSource& source);

 private:
  void Set(const XMLCh* feature, bool on);

  DomErrorHandler_t errorHandler_;
  LSResourceResolver_t resolver_;
  xercesc::SecurityManager security_;
  xercesc::DOMLSParser* parser_ = nullptr;
};

}  // namespace xml
