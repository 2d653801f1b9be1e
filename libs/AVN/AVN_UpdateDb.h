#pragma once
// The databases of an update as the card sees them: where each one's bytes
// lie in the block of databases, the file it becomes on the card, the card
// space it needs and frees, and how it is written.
//
// A card is its root folder ("/media/alice/CARD"); every card file lies
// below it as the card layout names it.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AVN_UpdateCounter.h"
#include "BIN_Stream.h"
#include "GLO_NonCopyable.h"
#include "GLO_Optional.h"
#include "THR_Progress.h"
#include "WIN_Event.h"

namespace avn {

using TransferProgress_t = thr::PhasedProgress_t<ioa::Phase_t>;

class UpdateDb_t : public glo::NonCopyable_t {
 public:
  // The database's Length bytes at Offset of the block, its 4-byte checksum
  // trailer included, are exactly the bytes its card file receives.
  UpdateDb_t(std::uint32_t kind, std::uint32_t offset, std::uint32_t length)
      : Kind(kind), Offset(offset), Length(length)
  {
  }
  virtual ~UpdateDb_t() = default;

  // Adds the database to needed, and the old card file it replaces to
  // available, each rounded up to whole allocation units.
  virtual void AddSpace(const std::u16string& root, std::uint64_t& available, std::uint64_t& needed);
  // The accounting of a whole update: also what the database erases.
  virtual void AddSpaceFull(const std::u16string& root, std::uint64_t& available, std::uint64_t& needed)
  {
    AddSpace(root, available, needed);
  }
  // Copies the database to its card file, creating the folders above it,
  // under the phases "preparing" and "transferring", counting one update.
  virtual void Copy(const std::u16string& root, bin::istream& region, TransferProgress_t& progress, win::Event_t& stop,
                    UpdateCounter_t& counter);
  // Writes the database with whatever goes with it.
  virtual void Write(const std::u16string& root, bin::istream& region, TransferProgress_t& progress, win::Event_t& stop,
                     UpdateCounter_t& counter)
  {
    Copy(root, region, progress, stop, counter);
  }
  // The steps of the update counter the database takes.
  virtual std::uint32_t UpdateCount() { return 1; }

  // The card files the database writes, each of which must be absent or a
  // regular file before the card changes, with only folders above it.
  virtual std::vector<std::u16string> CardFiles(const std::u16string& root);
  // The card folders the database erases with everything in them.
  virtual std::vector<std::u16string> ErasedFolders(const std::u16string&) { return {}; }
  // The folders beside the update that the database copies files from.
  virtual std::vector<std::u16string> SourceFolders() { return {}; }

  // A file beside the update that the database copies to the card, and the
  // card file it becomes.
  struct CopiedFile_t {
    std::u16string source;
    std::u16string card;
  };
  // The files the database copies from beside the update, as its transfer
  // finds them; what the transfer would refuse (no chart files, a link,
  // device or pipe among them) raises BadRegionFile_t.
  virtual std::vector<CopiedFile_t> CopiedFiles(const std::u16string&) { return {}; }

  // What a file of the given size takes on the card: its bytes rounded up
  // to whole allocation units.
  std::uint64_t Allocated(std::uint64_t bytes) const noexcept;

  const std::uint32_t Kind;
  const std::uint32_t Offset;
  const std::uint32_t Length;
  // The card's allocation unit in bytes (a cluster on FAT cards), set
  // before the space is counted.
  std::uint64_t AllocationUnit = 1;
};

// The main aviation database, in either card layout (kinds 1 and 50).
class AdbUpdateDb_t : public UpdateDb_t {
 public:
  using UpdateDb_t::UpdateDb_t;
};

// A terrain database (kinds 33, 34, 35 and 52): a card keeps one of the
// four, so the others are erased before it is written.
class TerrainUpdateDb_t : public UpdateDb_t {
 public:
  using UpdateDb_t::UpdateDb_t;

  // Also counts the alternates on the card as free; their summed size
  // becomes EraseTotal when it is not 0 (glo::OutOfRange_t past 4 GiB).
  void AddSpaceFull(const std::u16string& root, std::uint64_t& available, std::uint64_t& needed) override;
  // Erases the alternates (under the erase phase when EraseTotal is set),
  // then copies.
  void Write(const std::u16string& root, bin::istream& region, TransferProgress_t& progress, win::Event_t& stop,
             UpdateCounter_t& counter) override;

  glo::Optional_t<std::uint32_t> EraseTotal;
};

// The databases of one update by kind, owned by the collection.
class UpdateDbs_t : public std::map<unsigned int, std::unique_ptr<UpdateDb_t>> {
 public:
  UpdateDbs_t() = default;
  UpdateDbs_t(const UpdateDbs_t&) = delete;
  UpdateDbs_t& operator=(const UpdateDbs_t&) = delete;
  virtual ~UpdateDbs_t() = default;

  // Takes the database unless its kind is there already (the first one
  // stays); true when it was taken.
  bool Insert(std::unique_ptr<UpdateDb_t> database);
  // The update counter's total: the sum over every database.
  virtual std::uint32_t UpdateCount() const;
};

}  // namespace avn
