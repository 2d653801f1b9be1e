#include "FIL_Exceptions.h"

#include <cerrno>

#include "WIN_Error.h"

namespace fil {

FileError_t::FileError_t(const char* file, unsigned line, const std::u16string& path, std::uint32_t code)
    : FileError_t(file, line, path, path, code)
{
}

FileError_t::FileError_t(const char* file, unsigned line, const std::u16string& path, std::u16string message,
                         std::uint32_t code)
    : glo::Exception_t(file, line, std::move(message), {}), path_(path), code_(code)
{
}

FileInUse_t::FileInUse_t(const char* file, unsigned line, const std::u16string& path)
    : FileError_t(file, line, path, path + u" " + win::WIN_GetSystemMessage(EWOULDBLOCK, 1033), EWOULDBLOCK)
{
}

BadFilePosition_t::BadFilePosition_t(const char* file, unsigned line, const std::u16string& path,
                                     std::uint32_t position)
    : FileError_t(file, line, path), position_(position)
{
}

}  // namespace fil
