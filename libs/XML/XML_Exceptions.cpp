#include "XML_Exceptions.h"

#include "GLO_Text.h"

namespace xml {
namespace {

// The longest library text a DOM exception message takes.
constexpr std::size_t MaxDomMessage = 2047;

std::u16string DomMessage(std::uint16_t code, const std::u16string& libraryMessage)
{
  std::u16string message = u"Dom Exception code is: " + glo::GLO_Decimal(code);
  if (!libraryMessage.empty())
    message += u"\nDom Exception Message is: " + libraryMessage.substr(0, MaxDomMessage);
  return message;
}

}  // namespace

Exception_t::Exception_t(const char* file, unsigned line, std::u16string message)
    : glo::Exception_t(file, line, std::move(message), {})
{
}

SaxException_t::SaxException_t(const char* file, unsigned line, const std::u16string& libraryMessage)
    : Exception_t(file, line, u"Sax Exception message is: " + libraryMessage)
{
}

DomException_t::DomException_t(const char* file, unsigned line, std::uint16_t code,
                               const std::u16string& libraryMessage)
    : Exception_t(file, line, DomMessage(code, libraryMessage)), code_(code)
{
}

}  // namespace xml
