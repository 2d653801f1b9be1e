#pragma once
// A temporary file that deletes itself.

#include <string>

#include "GLO_SmartPtr.h"
#include "WIN_Handle.h"

namespace win {

// Creates a new, empty file "<prefix>XXXXXX.tmp" (X a unique character)
// readable by the user alone, and deletes it when the object goes (a failing
// delete is ignored). Shared through glo::SmartPtr_t, or owned on its own.
//
// A program that is killed cannot delete its files, so each file is held
// locked while its object lives, and making a file first deletes the files
// of the same prefix in the folder that no living object holds: what a
// killed run left behind goes with the next run.
class SmartTempFile_t : public glo::RefCounter_t {
 public:
  // In the program's temporary folder (WIN_GetAppTempFolder).
  explicit SmartTempFile_t(const std::u16string& prefix);
  // In the given folder. When the file cannot be made there and the folder
  // is read-only, the folder is given write permission and the file tried
  // again. Failures raise FileError_t naming the folder.
  SmartTempFile_t(const std::u16string& prefix, const std::u16string& folder);
  ~SmartTempFile_t() override;

  const std::u16string& Path() const noexcept { return path_; }

 private:
  std::u16string path_;
  std::string systemPath_;
  Handle_t held_;
};

}  // namespace win
