#include "DIO_Exceptions.h"

#include "WIN_Error.h"

namespace dio {

Exception_t::Exception_t(const char* file, unsigned line) : glo::Exception_t(file, line, {}, {}) {}

Exception_t::Exception_t(const char* file, unsigned line, std::u16string message, std::string subId)
    : glo::Exception_t(file, line, std::move(message), std::move(subId))
{
}

BadStackException_t::BadStackException_t(const char* file, unsigned line, std::u16string dump)
    : Exception_t(file, line, std::move(dump), {})
{
}

WindowsError_t::WindowsError_t(const char* file, unsigned line, std::uint32_t code)
    : Exception_t(file, line, win::WIN_GetWindowsErrorText(code), std::to_string(code))
{
}

void DIO_Check(bool condition, const char* file, unsigned line)
{
  if (!condition) throw Exception_t(file, line);
}

}  // namespace dio
