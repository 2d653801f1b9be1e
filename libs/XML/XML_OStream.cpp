#include "XML_OStream.h"

#include "XML_Platform.h"

namespace xml {
namespace {

constexpr XMLSize_t InitialCapacity = 1023;

XMLSize_t Started()
{
  XML_EnsureStarted();
  return InitialCapacity;
}

}  // namespace

OStringStream_t::OStringStream_t() : target_(Started()) {}

std::string OStringStream_t::Bytes() const
{
  return std::string(reinterpret_cast<const char*>(target_.getRawBuffer()), target_.getLen());
}

}  // namespace xml
