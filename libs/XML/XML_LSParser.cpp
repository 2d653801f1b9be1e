#include "XML_LSParser.h"

#include <xercesc/framework/Wrapper4InputSource.hpp>
#include <xercesc/util/BinMemInputStream.hpp>
#include <xercesc/util/XMLUni.hpp>
#include <xercesc/validators/common/Grammar.hpp>

#include "GLO_Exception.h"
#include "XML_Guard.h"
#include "XML_Platform.h"

namespace xml {
namespace {

xercesc::DOMImplementationLS* LoadAndSave()
{
  static const XMLCh ls[] = u"LS";
  auto* implementation = xercesc::DOMImplementationRegistry::getDOMImplementation(ls);
  if (implementation == nullptr) throw Exception_t(GLO_HERE, u"Dom LS API not supported");
  return implementation;
}

}  // namespace

bool DomErrorHandler_t::handleError(const xercesc::DOMError& error)
{
  const auto severity = error.getSeverity();
  if (severity == xercesc::DOMError::DOM_SEVERITY_WARNING) return true;
  std::u16string text;
  const xercesc::DOMLocator* location = error.getLocation();
  const std::u16string path = location != nullptr ? XML_Text(location->getURI()) : std::u16string();
  if (!path.empty())
    text += u"\nFile Path: " + path + u", line: " + glo::GLO_Decimal(static_cast<long long>(location->getLineNumber())) +
            u", char: " + glo::GLO_Decimal(static_cast<long long>(location->getColumnNumber()));
  const std::u16string message = XML_Text(error.getMessage());
  if (!message.empty()) text += u"\nMessage: " + message;
  if (pending_) return false;
  if (severity == xercesc::DOMError::DOM_SEVERITY_ERROR) {
    pending_.Set(u"Error: " + text);
  } else {
    glo::GLO_Assert(severity == xercesc::DOMError::DOM_SEVERITY_FATAL_ERROR, GLO_HERE);
    pending_.Set(u"Fatal Error: " + text);
  }
  return false;
}

void DomErrorHandler_t::RaisePending()
{
  if (!pending_) return;
  const std::u16string message = pending_.Get();
  pending_.Reset();
  throw Exception_t(GLO_HERE, message);
}

xercesc::BinInputStream* EmptyInputSource_t::makeStream() const
{
  static const XMLByte nothing[1] = {0};
  return new xercesc::BinMemInputStream(nothing, 0, xercesc::BinMemInputStream::BufOpt_Reference);
}

xercesc::DOMLSInput* LSResourceResolver_t::resolveResource(const XMLCh*, const XMLCh*, const XMLCh*, const XMLCh*,
                                                           const XMLCh*)
{
  return new xercesc::Wrapper4InputSource(new EmptyInputSource_t);
}

LSParser_t::LSParser_t()
{
  XML_EnsureStarted();
  parser_ = XML_Guard(GLO_HERE, [] {
    return LoadAndSave()->createLSParser(xercesc::DOMImplementationLS::MODE_SYNCHRONOUS, nullptr);
  });
  glo::GLO_Assert(parser_ != nullptr, GLO_HERE);
  security_.setEntityExpansionLimit(EntityExpansionLimit);
  XML_Guard(GLO_HERE, [this] {
    xercesc::DOMConfiguration* config = parser_->getDomConfig();
    config->setParameter(xercesc::XMLUni::fgDOMErrorHandler, static_cast<xercesc::DOMErrorHandler*>(&errorHandler_));
    config->setParameter(xercesc::XMLUni::fgDOMResourceResolver,
                         static_cast<xercesc::DOMLSResourceResolver*>(&resolver_));
    config->setParameter(xercesc::XMLUni::fgXercesSecurityManager, &security_);
    config->setParameter(xercesc::XMLUni::fgDOMComments, false);
    // Entity references become their text, so simple values are one text.
    config->setParameter(xercesc::XMLUni::fgDOMEntities, false);
    // Schemas come only from the program's resources, never from a
    // document's hints; nothing outside the document is read for it. No
    // document of the system has a document type declaration, which is
    // where entity bombs and external entities live: one is refused.
    config->setParameter(xercesc::XMLUni::fgXercesLoadSchema, false);
    config->setParameter(xercesc::XMLUni::fgXercesLoadExternalDTD, false);
    config->setParameter(xercesc::XMLUni::fgDOMDisallowDoctype, true);
    config->setParameter(xercesc::XMLUni::fgXercesDisableDefaultEntityResolution, true);
  });
}

LSParser_t::~LSParser_t()
{
  try {
    parser_->release();
  } catch (...) {
  }
}

void LSParser_t::Set(const XMLCh* feature, bool on)
{
  XML_Guard(GLO_HERE, [&] { parser_->getDomConfig()->setParameter(feature, on); });
}

void LSParser_t::SetNamespaces(bool on)
{
  Set(xercesc::XMLUni::fgDOMNamespaces, on);
}

void LSParser_t::SetValidation(Validation_t validation)
{
  // Each of the two sets the parser's one validation scheme, so only the
  // one that is on is given.
  if (validation == Validation_t::IfSchema) {
    Set(xercesc::XMLUni::fgDOMValidateIfSchema, true);
    return;
  }
  Set(xercesc::XMLUni::fgDOMValidate, validation == Validation_t::On);
  if (validation != Validation_t::On) return;
  Set(xercesc::XMLUni::fgXercesSchema, true);
  Set(xercesc::XMLUni::fgXercesSchemaFullChecking, true);
  Set(xercesc::XMLUni::fgDOMElementContentWhitespace, false);
  Set(xercesc::XMLUni::fgXercesUseCachedGrammarInParse, true);
  Set(xercesc::XMLUni::fgXercesCacheGrammarFromParse, true);
  Set(xercesc::XMLUni::fgDOMDatatypeNormalization, true);
}

void LSParser_t::LoadSchemas(const DocumentTypes_t& types)
{
  XML_Guard(GLO_HERE, [&] {
    parser_->resetCachedGrammarPool();
    for (const auto& [namespaceUri, type] : types) {
      IResourceStream_t schema(type.schema, "XSD");
      xercesc::Wrapper4InputSource input(const_cast<xercesc::InputSource*>(&schema.Source()), false);
      parser_->loadGrammar(&input, xercesc::Grammar::SchemaGrammarType, true);
      errorHandler_.RaisePending();
      if (namespaceUri.empty())
        parser_->getDomConfig()->setParameter(xercesc::XMLUni::fgXercesSchemaExternalNoNameSpaceSchemaLocation,
                                              u"");
    }
  });
}

xercesc::DOMDocument* LSParser_t::Parse(const xercesc::InputSource& source)
{
  xercesc::Wrapper4InputSource input(const_cast<xercesc::InputSource*>(&source), false);
  xercesc::DOMDocument* document = nullptr;
  try {
    document = XML_Guard(GLO_HERE, [&] { return parser_->parse(&input); });
  } catch (const Exception_t&) {
    errorHandler_.RaisePending();
    throw;
  }
  errorHandler_.RaisePending();
  return document;
}

}  // namespace xml
