#include "AVN_RegionScan.h"

#include <algorithm>
#include <cstring>

#include "AVN_CardLayout.h"
#include "AVN_Crc32.h"

namespace avn {
namespace {

constexpr std::uint32_t BlockHeaderLength = 11;  // magic, version, the 'D' record's length and type
constexpr std::uint32_t RecordHeaderLength = 5;
constexpr std::uint32_t DatabaseHeaderLength = 10;
// The common CRC over a database and its trailer: the trailer is the
// register over the data without its final complement.
constexpr std::uint32_t MatchingTrailer = 0xFFFFFFFF;

std::uint32_t Number32(const unsigned char* bytes)
{
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

}  // namespace

bool RegionScan_t::Gather(const unsigned char*& bytes, std::uint32_t& count, std::uint32_t wanted)
{
  const std::uint32_t taken = std::min(count, wanted - gathered_);
  std::memcpy(header_ + gathered_, bytes, taken);
  gathered_ += taken;
  bytes += taken;
  count -= taken;
  position_ += taken;
  if (gathered_ < wanted) return false;
  gathered_ = 0;
  return true;
}

void RegionScan_t::Feed(const unsigned char* bytes, std::uint32_t count)
{
  while (count > 0) {
    switch (state_) {
      case State_t::BlockHeader:
        if (!Gather(bytes, count, BlockHeaderLength)) return;
        left_ = Number32(header_ + 6);
        state_ = State_t::Skip;
        break;
      case State_t::RecordHeader:
        if (!Gather(bytes, count, RecordHeaderLength)) return;
        left_ = Number32(header_);
        state_ = header_[4] == 'R' ? State_t::DatabaseHeader : State_t::Skip;
        break;
      case State_t::DatabaseHeader: {
        if (!Gather(bytes, count, DatabaseHeaderLength)) return;
        const std::uint32_t kind = static_cast<std::uint32_t>(header_[0]) | static_cast<std::uint32_t>(header_[1]) << 8;
        left_ = Number32(header_ + 6);
        databaseStart_ = static_cast<std::uint32_t>(position_);
        databaseLength_ = static_cast<std::uint32_t>(left_);
        crc_ = 0;
        // A database too short for its trailer never matches; the check
        // finds that without help.
        const bool checked = AVN_IsSupportedKind(kind) && kinds_.insert(kind).second && databaseLength_ >= 4;
        state_ = checked ? State_t::Database : State_t::Skip;
        break;
      }
      case State_t::Database:
      case State_t::Skip: {
        const auto taken = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, left_));
        if (state_ == State_t::Database) crc_ = AVN_Crc32(crc_, bytes, taken);
        bytes += taken;
        count -= taken;
        position_ += taken;
        left_ -= taken;
        if (left_ == 0) Parsed();
        break;
      }
    }
  }
}

void RegionScan_t::Parsed()
{
  if (state_ == State_t::Database) verified_[{databaseStart_, databaseLength_}] = crc_ == MatchingTrailer;
  state_ = State_t::RecordHeader;
}

std::optional<bool> RegionScan_t::Verified(std::uint32_t start, std::uint32_t length) const
{
  const auto found = verified_.find({start, length});
  if (found == verified_.end()) return std::nullopt;
  return found->second;
}

}  // namespace avn
