#include "WIN_Error.h"

#include <cerrno>

#include "GLO_Text.h"
#include "WIN_VersionInfo.h"

namespace win {
namespace {

constexpr std::uint16_t UsEnglish = 1033;

}  // namespace

Error_t::Error_t(const char* file, unsigned line) : Error_t(file, line, static_cast<std::uint32_t>(errno)) {}

Error_t::Error_t(const char* file, unsigned line, std::uint32_t code)
    : glo::Exception_t(file, line, WIN_GetWindowsErrorText(code), std::to_string(code)), code_(code)
{
}

Error_t::Error_t(const char* file, unsigned line, std::uint32_t code, const std::u16string& path)
    : glo::Exception_t(file, line, WIN_GetWindowsErrorText(code) + u"Path: " + path, std::to_string(code)), code_(code)
{
}

std::u16string Error_t::SystemText() const
{
  return WIN_GetSystemMessage(code_, WIN_GetAppLanguageId());
}

FileError_t::FileError_t(const char* file, unsigned line, const std::u16string& path)
    : Error_t(file, line, static_cast<std::uint32_t>(errno), path)
{
}

DeviceNotReadyError_t::DeviceNotReadyError_t(const char* file, unsigned line, std::u16string path, std::uint32_t code)
    : Error_t(file, line, code, path), path_(std::move(path))
{
}

std::u16string WIN_GetWindowsErrorText(std::uint32_t code)
{
  return u"System Error Code: " + glo::GLO_Decimal(code) + u"\n" + WIN_GetSystemMessage(code, UsEnglish);
}

}  // namespace win
