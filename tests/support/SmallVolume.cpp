#include "SmallVolume.h"

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "GLO_Text.h"

namespace vtest {

SmallVolume::SmallVolume(std::uint64_t bytes)
{
  std::string pattern = (std::filesystem::temp_directory_path() / "velmora-volume-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    why_ = std::strerror(errno);
    return;
  }
  path_ = pattern;
  const std::string options = "size=" + std::to_string(bytes) + ",mode=0700";
  if (::mount("tmpfs", path_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0)
    mounted_ = true;
  else
    why_ = std::string("a tmpfs cannot be mounted here: ") + std::strerror(errno);
}

SmallVolume::~SmallVolume()
{
  if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  if (!path_.empty()) ::rmdir(path_.c_str());
}

std::u16string SmallVolume::Wide() const
{
  return glo::GLO_FileNameToWide(path_.string());
}

}  // namespace vtest
