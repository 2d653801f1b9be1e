#pragma once
// A small file system of its own (tmpfs) for tests of full cards and full
// drives; mounting needs privileges, and a test without them ends through
// VTEST_REQUIRE_MOUNTED (Unavailable.h).

#include <cstdint>
#include <filesystem>
#include <string>

namespace vtest {

class SmallVolume {
 public:
  // Mounts a tmpfs of the given size on a fresh folder. Mounted() tells
  // whether that worked, and Why() why not.
  explicit SmallVolume(std::uint64_t bytes);
  SmallVolume(const SmallVolume&) = delete;
  SmallVolume& operator=(const SmallVolume&) = delete;
  ~SmallVolume();

  bool Mounted() const noexcept { return mounted_; }
  const std::string& Why() const noexcept { return why_; }
  const std::filesystem::path& Path() const noexcept { return path_; }
  std::u16string Wide() const;

 private:
  std::filesystem::path path_;
  bool mounted_ = false;
  std::string why_;
};

}  // namespace vtest
