#include "XML_IStream.h"

#include "WIN_ResourceModule.h"
#include "XML_DomElement.h"
#include "XML_Exceptions.h"
#include "XML_Platform.h"
#include "XML_Reader.h"

namespace xml {

IStream_t::IStream_t(DocumentTypes_t types) : types_(std::move(types))
{
  XML_EnsureStarted();
}

WildcardPtr_t IStream_t::Read(glo::Optional_t<glo::CodePage_t>& codePage)
{
  Reader_t reader(Source(), types_);
  codePage = reader.CodePage();
  return Object(reader.Root());
}

WildcardPtr_t IStream_t::Object(xercesc::DOMElement* element)
{
  const DomElement_t root(element);
  if (!types_.empty()) {
    const auto namespaceUri = root.NamespaceUri();
    const auto type = types_.find(namespaceUri ? namespaceUri.Get() : std::u16string());
    if (type != types_.end()) {
      const auto factory = type->second.factories.find(root.LocalName());
      if (factory != type->second.factories.end()) {
        if (nesting_ == MaxNesting) throw Exception_t(GLO_HERE, u"Elements nested too deeply");
        ++nesting_;
        try {
          WildcardPtr_t object = factory->second->Create(element, *this);
          --nesting_;
          return object;
        } catch (...) {
          --nesting_;
          throw;
        }
      }
    }
  }
  return WildcardPtr_t(new UnknownWildcard_t(element));
}

IStringStream_t::IStringStream_t(std::string bytes, DocumentTypes_t types)
    : IStream_t(std::move(types)), bytes_(std::move(bytes))
{
  source_ = std::make_unique<xercesc::MemBufInputSource>(reinterpret_cast<const XMLByte*>(bytes_.data()),
                                                         bytes_.size(), u"String Stream");
}

namespace {

std::string ResourceBytes(std::uint32_t id, const std::string& type)
{
  const auto bytes = win::WIN_LoadCustomResource(id, type);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

IResourceStream_t::IResourceStream_t(std::uint32_t id, const std::string& type)
    : IStringStream_t(ResourceBytes(id, type), {})
{
}

}  // namespace xml
