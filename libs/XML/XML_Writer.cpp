#include "XML_Writer.h"

#include <xercesc/util/XMLUni.hpp>

#include <memory>

#include "GLO_Exception.h"
#include "XML_Guard.h"
#include "XML_Platform.h"

namespace xml {
namespace {

struct OutputRelease_t {
  void operator()(xercesc::DOMLSOutput* output) const noexcept { output->release(); }
};

}  // namespace

Writer_t::Writer_t()
{
  XML_EnsureStarted();
  static const XMLCh ls[] = u"LS";
  implementation_ = xercesc::DOMImplementationRegistry::getDOMImplementation(ls);
  if (implementation_ == nullptr) throw Exception_t(GLO_HERE, u"Dom LS API not supported");
  serializer_ = XML_Guard(GLO_HERE, [this] { return implementation_->createLSSerializer(); });
  glo::GLO_Assert(serializer_ != nullptr, GLO_HERE);
  XML_Guard(GLO_HERE, [this] {
    xercesc::DOMConfiguration* config = serializer_->getDomConfig();
    config->setParameter(xercesc::XMLUni::fgDOMErrorHandler, static_cast<xercesc::DOMErrorHandler*>(&errorHandler_));
    const auto set = [config](const XMLCh* feature, bool on) {
      if (config->canSetParameter(feature, on)) config->setParameter(feature, on);
    };
    set(xercesc::XMLUni::fgDOMWRTSplitCdataSections, false);
    set(xercesc::XMLUni::fgDOMWRTFormatPrettyPrint, true);
    set(xercesc::XMLUni::fgDOMWRTBOM, false);
  });
}

Writer_t::~Writer_t()
{
  try {
    serializer_->release();
  } catch (...) {
  }
}

void Writer_t::Write(const DomDocument_t& document, OStream_t& stream)
{
  XML_Guard(GLO_HERE, [&] {
    std::unique_ptr<xercesc::DOMLSOutput, OutputRelease_t> output(implementation_->createLSOutput());
    output->setByteStream(&stream.Target());
    output->setEncoding(u"UTF-8");
    serializer_->write(document.Get(), output.get());
  });
  errorHandler_.RaisePending();
}

}  // namespace xml
