#pragma once
// The checksums of a block's databases, taken from its bytes as they are
// copied, so that the check need not read them a second time.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <utility>

namespace avn {

// Follows the records of the block as the walk over its databases does and
// runs the checksum over the first database of every supported kind: those
// are the databases a check reads. It judges nothing else: a damaged header
// or record only leaves it without answers.
class RegionScan_t {
 public:
  // The next bytes of the block, in order.
  void Feed(const unsigned char* bytes, std::uint32_t count);

  // Whether the database whose data starts at start and holds length bytes,
  // its trailer included, matches its trailer; empty when the scan did not
  // see all of that database.
  std::optional<bool> Verified(std::uint32_t start, std::uint32_t length) const;

 private:
  enum class State_t { BlockHeader, RecordHeader, DatabaseHeader, Database, Skip };

  // Gathers the bytes of a header that may straddle two chunks; true once
  // all of them are there.
  bool Gather(const unsigned char*& bytes, std::uint32_t& count, std::uint32_t wanted);
  void Parsed();

  State_t state_ = State_t::BlockHeader;
  std::uint64_t position_ = 0;
  unsigned char header_[11] = {};
  std::uint32_t gathered_ = 0;
  std::uint64_t left_ = 0;
  std::uint32_t crc_ = 0;
  std::uint32_t databaseStart_ = 0;
  std::uint32_t databaseLength_ = 0;
  std::set<std::uint32_t> kinds_;
  std::map<std::pair<std::uint32_t, std::uint32_t>, bool> verified_;
};

}  // namespace avn
