#include "FatCard.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "GLO_Text.h"

namespace vtest {
namespace {

std::string Quoted(const std::filesystem::path& path)
{
  std::string quoted = "'";
  for (char c : path.string()) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

bool Run(const std::string& command)
{
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// What a command prints on its standard output.
std::string Output(const std::string& command)
{
  std::string output;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen((command + " 2>/dev/null").c_str(), "r"), ::pclose);
  if (!pipe) return output;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) output.append(buffer, got);
  return output;
}

}  // namespace

FatCard::FatCard(std::uint64_t bytes)
{
  for (const char* tool : {"mkfs.vfat", "fusefat", "fusermount", "mtype", "mdir", "mattrib"}) {
    if (!Run(std::string("command -v ") + tool)) {
      why_ = std::string(tool) + " is not installed";
      return;
    }
  }
  if (::access("/dev/fuse", R_OK | W_OK) != 0) {
    why_ = "/dev/fuse is not usable here";
    return;
  }
  std::string pattern = (std::filesystem::temp_directory_path() / "velmora-fat-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    why_ = "no temporary folder";
    return;
  }
  folder_ = pattern;
  image_ = folder_ / "card.img";
  root_ = folder_ / "card";
  std::filesystem::create_directory(root_);
  if (!Run("truncate -s " + std::to_string(bytes) + " " + Quoted(image_)) ||
      !Run("mkfs.vfat -F 32 " + Quoted(image_))) {
    why_ = "the image cannot be formatted";
    return;
  }
  Mount();
}

FatCard::~FatCard()
{
  Unmount();
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
}

std::u16string FatCard::Wide() const
{
  return glo::GLO_FileNameToWide(root_.string());
}

bool FatCard::Unmount()
{
  if (!mounted_) return true;
  mounted_ = !Run("fusermount -u " + Quoted(root_));
  if (mounted_) why_ = "fusermount cannot unmount the card here";
  return !mounted_;
}

bool FatCard::Mount()
{
  if (mounted_) return true;
  mounted_ = Run("fusefat -o rw+ " + Quoted(image_) + " " + Quoted(root_));
  if (!mounted_) why_ = "fusefat cannot mount the image here";
  return mounted_;
}

bool FatCard::SetAttributes(const std::string& path, const std::string& changes)
{
  return !mounted_ && Run("mattrib -i " + Quoted(image_) + " " + changes + " " + Quoted("::/" + path));
}

std::string FatCard::Attributes(const std::string& path) const
{
  // "  A  SHR     ::/name": the letters in their columns before the name.
  const std::string line = Output("mattrib -i " + Quoted(image_) + " " + Quoted("::/" + path));
  const std::size_t name = line.find("::/");
  if (name == std::string::npos) return "";
  std::string letters;
  for (char c : line.substr(0, name))
    if (c != ' ') letters += c;
  return letters;
}

std::string FatCard::Read(const std::string& path) const
{
  return Output("mtype -i " + Quoted(image_) + " " + Quoted("::/" + path));
}

std::vector<std::string> FatCard::Files() const
{
  // "mdir -/ -b" lists every file with its full path, as "::/folder/name".
  std::vector<std::string> files;
  const std::string listing = Output("mdir -/ -b -i " + Quoted(image_) + " ::/");
  std::size_t start = 0;
  for (std::size_t end; (end = listing.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = listing.substr(start, end - start);
    if (line.rfind("::/", 0) != 0 || line.back() == '/') continue;
    files.push_back(line.substr(3));
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace vtest
