#include "WIN_FoundFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "GLO_Exception.h"
#include "GLO_Text.h"
#include "WIN_Error.h"
#include "WIN_FileSystem.h"
#include "WIN_Handle.h"
#include "WIN_PathAt.h"

namespace win {

struct FoundFile_t::Search_t {
  struct CloseFolder_t {
    void operator()(DIR* folder) const noexcept { ::closedir(folder); }
  };
  std::unique_ptr<DIR, CloseFolder_t> folder;
  std::string pattern;  // for fnmatch: only "*" and "?" are wildcards
};

namespace {

// "[" and "]" stand for themselves in a name pattern of the system.
std::string FnmatchPattern(const std::string& pattern)
{
  if (pattern == "*.*") return "*";
  std::string result;
  for (char c : pattern) {
    if (c == '[' || c == ']') result += '\\';
    result += c;
  }
  return result;
}

}  // namespace

FoundFile_t::FoundFile_t(const std::u16string& path)
{
  std::u16string search = path;
  if (!search.empty() && WIN_IsSeparator(search.back())) search.pop_back();
  if (search.empty()) return;

  std::string system = WIN_SystemPath(search);
  const auto slash = system.rfind('/');
  std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : system.substr(0, slash);
  std::string pattern = slash == std::string::npos ? system : system.substr(slash + 1);
  if (pattern.empty()) return;

  auto state = std::make_unique<Search_t>();
  Handle_t opened(WIN_OpenPath(folder, O_RDONLY | O_DIRECTORY));
  if (opened.IsValid()) state->folder.reset(::fdopendir(opened.Get()));
  if (state->folder != nullptr) opened.Release();
  if (state->folder == nullptr) {
    WIN_CheckSearchFailure(errno, path);
    return;
  }
  state->pattern = FnmatchPattern(pattern);
  search_ = std::move(state);
  Next();
}

FoundFile_t::~FoundFile_t() = default;

bool FoundFile_t::IsFolder() const
{
  glo::GLO_Assert(Found(), GLO_HERE);
  return isFolder_;
}

const std::u16string& FoundFile_t::Name() const
{
  glo::GLO_Assert(Found(), GLO_HERE);
  return name_;
}

bool FoundFile_t::IsRegular() const
{
  glo::GLO_Assert(Found(), GLO_HERE);
  return isRegular_;
}

std::uint64_t FoundFile_t::Size() const
{
  glo::GLO_Assert(Found(), GLO_HERE);
  return size_;
}

void FoundFile_t::Next()
{
  glo::GLO_Assert(Found(), GLO_HERE);
  DIR* folder = search_->folder.get();
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(folder);
    if (entry == nullptr) {
      const int error = errno;
      search_.reset();
      if (error != 0) throw Error_t(GLO_HERE, static_cast<std::uint32_t>(error));
      return;
    }
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    if (::fnmatch(search_->pattern.c_str(), name, FNM_CASEFOLD) != 0) continue;

    struct stat status;
    if (::fstatat(::dirfd(folder), name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno == ENOENT) continue;  // gone since the folder was read
      isFolder_ = entry->d_type == DT_DIR;
      isRegular_ = false;
      size_ = 0;
    } else {
      isFolder_ = S_ISDIR(status.st_mode);
      isRegular_ = S_ISREG(status.st_mode);
      if (S_ISLNK(status.st_mode) && ::fstatat(::dirfd(folder), name, &status, 0) != 0) status.st_mode = 0;
      size_ = S_ISREG(status.st_mode) ? static_cast<std::uint64_t>(status.st_size) : 0;
    }
    name_ = glo::GLO_FileNameToWide(name);
    return;
  }
}

}  // namespace win
