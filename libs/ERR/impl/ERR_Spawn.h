#pragma once
// Starting a program without a shell.

#include <cstdint>
#include <string>
#include <vector>

namespace err {

// Starts the program with the arguments, its standard input from /dev/null,
// and leaves it running on its own (collected when it ends, never a zombie
// of ours); 0 when it started, else the system's error number.
std::uint32_t ERR_Spawn(const std::u16string& program, const std::vector<std::u16string>& arguments);

// Whether the path names a file (following links).
bool ERR_IsFile(const std::u16string& path);

}  // namespace err
