#pragma once
// Private helpers of the file modules: the path the file system takes, and
// the exceptions they raise.

#include <cstdint>
#include <string>
#include <string_view>

#include "WIN_Handle.h"
#include "WIN_Utilities.h"

namespace win {

// Both "\" and "/" separate path components, so that card layout names such
// as "ldr_sys\avtn_db.bin" work when joined to a card's root.
constexpr bool WIN_IsSeparator(char16_t c) noexcept
{
  return c == u'\\' || c == u'/';
}

// The system path without separators at its end, except for the root "/".
std::string WIN_SystemPathWithoutTrailingSeparator(std::u16string_view path);

// Raises FileError_t for the path with the given errno value.
[[noreturn]] void WIN_ThrowFileError(const char* file, unsigned line, int code, const std::u16string& path);

// Decides what a folder that cannot be opened for a search means: a drive
// without its medium (a card reader without a card, ENOMEDIUM) raises
// DeviceNotReadyError_t for the path; any other failure returns, and the
// search simply finds nothing.
void WIN_CheckSearchFailure(int code, const std::u16string& path);

// Clears the attributes of the mask (the FileAttribute values of
// WIN_Utilities.h) on a system path; false with errno set when that fails.
bool WIN_ClearAttributesOf(const std::string& systemPath, std::uint32_t mask) noexcept;

// The size of an open file or block device; -1 with errno set on failure.
long long WIN_DescriptorSize(NativeHandle_t fd) noexcept;

// The user's temporary folder as the environment names it now, with its
// trailing "/": an absolute $TMPDIR, else "/tmp/".
std::u16string WIN_TempFolderFromEnvironment();

}  // namespace win
