#pragma once
// Folders, file attributes, free space and the temporary folders.
//
// Paths are wide text; "\" and "/" both separate their components. A drive
// is the root folder of its volume (a mount point), "/" included.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace win {

// The path as the system calls take it: its bytes (glo::GLO_FileNameToNarrow,
// so that every name read from the system is addressed again as it was),
// with every "\" written as "/". (A Linux name that holds a "\" cannot be
// addressed; card and Windows names never do.)
std::string WIN_SystemPath(std::u16string_view path);

// File attributes, with the values the cards' file system gives them.
// Read-only is a file without any write permission bit; on a FAT volume it
// is also the DOS attribute. Hidden and system exist on FAT volumes only.
inline constexpr std::uint32_t FileAttributeReadOnly = 0x1;
inline constexpr std::uint32_t FileAttributeHidden = 0x2;
inline constexpr std::uint32_t FileAttributeSystem = 0x4;

// The bytes available to the caller on the volume that holds the path; the
// largest count for a volume that does not report its size. Raises
// FileError_t.
std::uint64_t WIN_GetFreeDiskSpace(const std::u16string& path);

// Whether the path is "/" or the root of a mounted volume. A path that does
// not exist is no root. Asserts a non-empty path.
bool WIN_IsRootPath(const std::u16string& path);

// Creates the folder; true when it was created, and for a root. An
// existing folder gives false; so does a link to a folder outside confined
// folders (WIN_ConfinedFolder.h). Anything else of that name (a file, a
// link, a device) is left alone and refused with ENOTDIR. Asserts a
// non-empty path; raises FileError_t.
bool WIN_CreateFolder(const std::u16string& path);

// Creates every folder of a folder path that ends in a separator, outermost
// first ("/a/b/" creates "/a/" and "/a/b/"); the part after the last
// separator is no folder. True when any folder was created. Raises
// FileError_t.
bool WIN_CreateFolders(const std::u16string& folder);

// Creates the folders above a file that does not exist yet. Raises
// FileError_t.
void WIN_CreateFoldersForFile(const std::u16string& path);

// Receives the size of every file deleted.
using DeletedBytesObserver_t = std::function<void(std::uint32_t bytes)>;

// Deletes the folder with everything in it, first clearing the attributes
// of the mask on every file and folder that has any of them (a folder
// without write permission would keep its entries). Symbolic links are
// deleted, never followed, and the folder itself must not be one (ENOTDIR).
// A missing folder raises FileError_t with ENOENT, a drive without its
// medium DeviceNotReadyError_t, any other failure FileError_t with the path
// concerned; a file over 4 GiB raises glo::OutOfRange_t when it is reported
// to the observer.
void WIN_DeleteFolderTree(const std::u16string& folder, std::uint32_t attributesToClear,
                          const DeletedBytesObserver_t& observer = {});

// Clears the attributes of the mask that the file or folder has. Read-only
// is cleared by giving the owner write permission. A symbolic link has no
// attributes of its own: nothing is done. Raises FileError_t.
void WIN_ClearFileAttributes(const std::u16string& path, std::uint32_t mask);

// What a path names itself: a symbolic link at its end is not followed.
enum class PathKind_t {
  Missing,
  File,  // a regular file
  Link,  // a symbolic link, whatever it points to
  Folder,
  Special,  // a FIFO, device or socket
};
// Missing when nothing has the name (its folder missing too). Below a
// confined folder (WIN_ConfinedFolder.h), a link among the folders above
// the path makes it Link. Raises FileError_t when that cannot be told
// (ENOTDIR, EACCES on the way, ...).
PathKind_t WIN_PathKind(const std::u16string& path);

// Whether the file or folder at path is the folder or lies below it, links
// resolved on both sides; false when either does not exist.
bool WIN_IsWithin(const std::u16string& path, const std::u16string& folder);

// Deletes a file; false (with errno set) when that fails.
bool WIN_DeleteFile(const std::u16string& path);

// The user's temporary folder with its trailing "/": $TMPDIR when it is an
// absolute path, else "/tmp/". Read once per process; created on every call
// when missing (FileError_t when that fails).
std::u16string WIN_GetTempFolder();

// The program's private temporary folder, "<temp folder>Velmora-<uid>/", in
// the folder of WIN_GetTempFolder. Created with mode 0700 on every call when
// missing; one that exists must be a folder of our own that is no symbolic
// link, else FileError_t (EACCES, or ENOTDIR when it is no folder) naming
// it. A folder of ours that others may use is made private again.
std::u16string WIN_GetAppTempFolder();
// The same below the given temporary folder (with or without its trailing
// separator).
std::u16string WIN_GetAppTempFolder(const std::u16string& tempFolder);

// A private folder of the same kind with another name: "<temp folder><name>-
// <uid>/", held to the same rules.
std::u16string WIN_GetPrivateTempFolder(const std::u16string& tempFolder, const std::u16string& name);

}  // namespace win
