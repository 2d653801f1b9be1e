#pragma once
// A real FAT card: an image formatted with mkfs.vfat, mounted through FUSE
// (fusefat) so that the program writes to it as to any card, and read back
// with mtools once it is unmounted. Needs /dev/fuse and the three tools; a
// test without them ends through VTEST_REQUIRE_MOUNTED (Unavailable.h).

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vtest {

class FatCard {
 public:
  // A FAT32 image of the given size (at least 64 MiB), mounted on a folder
  // of its own. Mounted() tells whether that worked, and Why() why not.
  explicit FatCard(std::uint64_t bytes = 64ull << 20);
  FatCard(const FatCard&) = delete;
  FatCard& operator=(const FatCard&) = delete;
  ~FatCard();

  bool Mounted() const noexcept { return mounted_; }
  const std::string& Why() const noexcept { return why_; }
  // The mount point: the card's root.
  const std::filesystem::path& Root() const noexcept { return root_; }
  std::u16string Wide() const;

  // Unmounts the card, writing everything to the image; true when it went,
  // else Why() tells why not.
  bool Unmount();
  // Mounts the image again after Unmount; true when it worked, else Why()
  // tells why not.
  bool Mount();
  // Changes the DOS attributes of a file on the unmounted image, as mattrib
  // takes them ("+r +h +s", "-a"); true when it worked.
  bool SetAttributes(const std::string& path, const std::string& changes);
  // The DOS attributes of a file on the unmounted image, as letters of
  // "ASHR" (archive, system, hidden, read-only); empty when it is missing.
  std::string Attributes(const std::string& path) const;
  // Read from the image with mtools once unmounted: a file's bytes (empty
  // when it is missing) and every file's path below the root, sorted, with
  // "/" between folders.
  std::string Read(const std::string& path) const;
  std::vector<std::string> Files() const;

 private:
  std::filesystem::path folder_;
  std::filesystem::path image_;
  std::filesystem::path root_;
  bool mounted_ = false;
  std::string why_;
};

}  // namespace vtest
