#include "XML_Platform.h"

#include <xercesc/util/PlatformUtils.hpp>

#include "GLO_Exception.h"
#include "XML_Guard.h"

namespace xml {
namespace {

class Library_t {
 public:
  Library_t()
  {
    XML_Guard(GLO_HERE, [] { xercesc::XMLPlatformUtils::Initialize("en_US"); });
  }
  ~Library_t()
  {
    try {
      xercesc::XMLPlatformUtils::Terminate();
    } catch (...) {
    }
  }
  Library_t(const Library_t&) = delete;
  Library_t& operator=(const Library_t&) = delete;
};

}  // namespace

void XML_EnsureStarted()
{
  static const Library_t library;
}

}  // namespace xml
