#include "GDI_Exceptions.h"

#include <cerrno>
#include <string>

namespace gdi {

Exception_t::Exception_t(const char* file, unsigned line, std::string subId)
    : glo::Exception_t(file, line, {}, std::move(subId))
{
}

RenderFailed_t::RenderFailed_t(const char* file, unsigned line, int error)
    : Exception_t(file, line, std::to_string(error))
{
}

void GDI_Check(bool condition, const char* file, unsigned line)
{
  if (!condition) throw RenderFailed_t(file, line, errno);
}

}  // namespace gdi
