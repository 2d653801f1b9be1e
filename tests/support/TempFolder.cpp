#include "TempFolder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "GLO_Text.h"

namespace vtest {

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
  return glo::GLO_ToWide((name.empty() ? path_ : path_ / name).string(), glo::CodePageUtf8);
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
