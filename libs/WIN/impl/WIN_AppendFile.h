#pragma once
// A log file that every writer appends to.

#include <string>
#include <string_view>

#include "WIN_Handle.h"

namespace win {

// Opens or creates the file for appending, shared with other readers and
// writers; an empty handle when that fails.
Handle_t WIN_OpenForAppending(const std::u16string& path) noexcept;

// Appends the bytes in one write where the system allows; does nothing with
// an empty handle, and drops what cannot be written.
void WIN_AppendToFile(const Handle_t& file, std::string_view bytes) noexcept;

}  // namespace win
