#pragma once
// Input streams of XML documents and the document types they are read with.

#include <xercesc/framework/MemBufInputSource.hpp>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "GLO_NonCopyable.h"
#include "GLO_Optional.h"
#include "GLO_Text.h"
#include "XML_Wildcard.h"

namespace xml {

// What the system knows of one namespace: the schema it is validated
// against (resource of type "XSD") and the factories of its root elements by
// local name.
struct DocumentType_t {
  std::uint32_t schema = 0;
  std::map<std::u16string, WildcardFactoryPtr_t> factories;
};

// By namespace URI; the empty text stands for elements without a namespace.
using DocumentTypes_t = std::map<std::u16string, DocumentType_t>;

class IStream_t : public glo::NonCopyable_t {
 public:
  // The most typed objects one may hold inside another (through wildcard
  // children); deeper nesting is refused, since objects are read and
  // written depth first.
  static constexpr int MaxNesting = 16;

  explicit IStream_t(DocumentTypes_t types);
  virtual ~IStream_t() = default;

  virtual const xercesc::InputSource& Source() const = 0;
  const DocumentTypes_t& Types() const noexcept { return types_; }

  // Parses the stream, validating every namespace of the table against its
  // schema (with an empty table only well-formedness counts, no schema is
  // ever fetched), and returns the typed root object; the document's code
  // page goes to codePage. Raises Exception_t for a document that is not
  // well formed or not valid.
  WildcardPtr_t Read(glo::Optional_t<glo::CodePage_t>& codePage);

  // The typed object of an element: from the factory registered for its
  // namespace and local name, else UnknownWildcard_t. Raises Exception_t
  // beyond MaxNesting.
  WildcardPtr_t Object(xercesc::DOMElement* element);

 private:
  DocumentTypes_t types_;
  int nesting_ = 0;
};

// A copy of bytes in memory; its system id is "String Stream".
class IStringStream_t : public IStream_t {
 public:
  IStringStream_t(std::string bytes, DocumentTypes_t types);
  const xercesc::InputSource& Source() const override { return *source_; }

 private:
  std::string bytes_;
  std::unique_ptr<xercesc::MemBufInputSource> source_;
};

// The bytes of a custom resource of the program (a schema), with no
// document types. A missing resource raises win::Error_t.
class IResourceStream_t : public IStringStream_t {
 public:
  IResourceStream_t(std::uint32_t id, const std::string& type);
};

}  // namespace xml
