#include "TempFolder.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include <fstream>
#include <sstream>
#include <vector>

#include "GLO_Text.h"

namespace vtest {
namespace {

// Every test process works below a temporary folder of its own, so that
// tests running side by side never see each other's temporary files (the
// program's temporary copies among them); it goes when the process ends.
class ProcessTempFolder {
 public:
  ProcessTempFolder()
  {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base == '/' ? base : "/tmp") + "/velmora-run-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) return;
    path_ = pattern;
    // Open to every user as /tmp is: some tests run parts as another user.
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::all | std::filesystem::perms::sticky_bit, ignored);
    owner_ = getpid();
    setenv("TMPDIR", path_.c_str(), 1);
  }
  ~ProcessTempFolder()
  {
    // A child forked by a death test ends through here too; the folder is
    // its parent's.
    if (path_.empty() || getpid() != owner_) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

 private:
  std::filesystem::path path_;
  pid_t owner_ = 0;
};

const ProcessTempFolder processTempFolder;

}  // namespace

TempFolder::TempFolder()
{
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : "velmora";
  for (char& c : name)
    if (c == '/') c = '_';
  std::string pattern = (std::filesystem::temp_directory_path() / ("velmora-test-" + name + "-XXXXXX")).string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder from " + pattern);
  path_ = buffer.data();
}

TempFolder::~TempFolder()
{
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::u16string TempFolder::Wide(const std::string& name) const
{
  return glo::GLO_FileNameToWide((name.empty() ? path_ : path_ / name).string());
}

std::vector<std::string> FilesBelow(const std::filesystem::path& folder)
{
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) files.push_back(std::filesystem::relative(entry.path(), folder).generic_string());
  std::sort(files.begin(), files.end());
  return files;
}

std::string ReadFile(const std::filesystem::path& path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& content)
{
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

CurrentFolder::CurrentFolder(const std::filesystem::path& folder) : previous_(std::filesystem::current_path())
{
  std::filesystem::current_path(folder);
}

CurrentFolder::~CurrentFolder()
{
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
}

}  // namespace vtest
