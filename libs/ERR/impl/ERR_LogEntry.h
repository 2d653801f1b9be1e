#pragma once
// File-system steps of the error log that the file objects do not offer.

#include <string>

namespace err {

// "Telvan Error Reporting-<uid>/" in the user's temporary folder, private
// to the user (win::WIN_GetPrivateTempFolder).
std::u16string ERR_LogFolder();

// Removes the entry at path when it is there but no plain file (a link, a
// FIFO, a device, a socket), so that opening the log never reaches beyond
// it or blocks. FileError_t when it cannot be removed.
void ERR_RemoveUnlessPlainFile(const std::u16string& path);

// Renames from over to, and makes the rename durable with the folder.
// FileError_t naming from on failure.
void ERR_ReplaceFile(const std::u16string& from, const std::u16string& to);

}  // namespace err
