#pragma once
// What a fault card is told on its command line: the folder it passes
// through, the card it pretends to be, and how it fails.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace faultcard {

struct CardSettings {
  std::string backing;     // the folder whose files the card shows
  std::string mountPoint;  // where the card appears
  std::uint64_t unit = 32768;           // allocation unit (cluster) in bytes
  std::uint64_t capacity = 1ull << 30;  // the card's size in bytes
  std::uint64_t rate = 0;               // write limit in bytes per second; 0 = none
  // The kernel's writeback cache; without it every write waits for the card.
  bool writebackCache = true;
  // Files opened for direct I/O, past the page cache: they cannot be
  // mapped into memory, as on some network and FUSE file systems.
  bool directIo = false;
  // Once this many bytes have been written, counted over all files, the
  // first write or create that asks for more fails with failErrno, or the
  // card vanishes; so is every one after it.
  std::optional<std::uint64_t> failAfter;
  int failErrno = 0;
  bool vanish = false;
};

// Reads the command line (without the program name). Throws
// std::invalid_argument with the text to show for a wrong one.
CardSettings ParseCardSettings(const std::vector<std::string>& arguments);

// How the command line goes, for the usage text.
extern const char* const CardUsage;

}  // namespace faultcard
