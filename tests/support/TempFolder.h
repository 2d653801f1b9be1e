#pragma once
// A fresh folder for one test, removed with everything in it afterwards.
// Test folders lie in a temporary folder of the test process's own, which
// the process makes its TMPDIR when it starts.

#include <filesystem>
#include <string>
#include <vector>

namespace vtest {

class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();

  const std::filesystem::path& Path() const noexcept { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // The path as wide text, as the system's interfaces take it; a name that
  // is not UTF-8 keeps its bytes (glo::GLO_FileNameToWide).
  std::u16string Wide(const std::string& name = {}) const;

 private:
  std::filesystem::path path_;
};

// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);
// Every file below the folder, as paths relative to it with "/" between
// folders, sorted.
std::vector<std::string> FilesBelow(const std::filesystem::path& folder);

// Writes a whole file, creating the folders above it.
void WriteFile(const std::filesystem::path& path, const std::string& content);

// Makes a folder the current one for a scope.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::filesystem::path& folder);
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;
  ~CurrentFolder();

 private:
  std::filesystem::path previous_;
};

}  // namespace vtest
