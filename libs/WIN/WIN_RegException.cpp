#include "WIN_RegException.h"

#include "WIN_Error.h"

namespace win {
namespace {

std::u16string NameText(const std::u16string& name)
{
  return u"Reg name: '" + name + u"'; ";
}

}  // namespace

RegException_t::RegException_t(const char* file, unsigned line, const std::u16string& name)
    : RegException_t(file, line, NameText(name), {})
{
}

RegException_t::RegException_t(const char* file, unsigned line, std::u16string message, std::string subId)
    : glo::Exception_t(file, line, std::move(message), std::move(subId))
{
}

RegError_t::RegError_t(const char* file, unsigned line, const std::u16string& name, std::uint32_t code)
    : RegException_t(file, line, NameText(name) + WIN_GetWindowsErrorText(code), std::to_string(code)), code_(code)
{
}

}  // namespace win
