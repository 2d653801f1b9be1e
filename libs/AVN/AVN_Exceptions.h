#pragma once
// Failures of an update that the user is told about in the system's own
// words.

#include <cstdint>
#include <string>

#include "GLO_Exception.h"

namespace avn {

// A block of databases that is damaged: wrong header, a truncated record or
// a database that fails its checksum. Carries only where it was found.
class BadRegionFile_t : public glo::Exception_t {
 public:
  BadRegionFile_t(const char* file, unsigned line) : glo::Exception_t(file, line, {}, {}) {}
};

// A partial chart update that does not fit the charts on the card; the
// message is the text the user is shown.
class BadPartialTpcUpdateFile_t : public glo::Exception_t {
 public:
  BadPartialTpcUpdateFile_t(const char* file, unsigned line, std::u16string message)
      : glo::Exception_t(file, line, std::move(message), {})
  {
  }
};

// A card, or a file beside the update, that the transfer refuses before it
// changes anything on the card; the message is the text the user is shown.
class CardRefused_t : public glo::Exception_t {
 public:
  CardRefused_t(const char* file, unsigned line, std::u16string message)
      : glo::Exception_t(file, line, std::move(message), {})
  {
  }
};

// The script that prepares a configuration card failed, or could not be
// run.
class BatchFileFailure_t : public glo::Exception_t {
 public:
  BatchFileFailure_t(const char* file, unsigned line) : glo::Exception_t(file, line, {}, {}) {}
};

// Too little free space for the bytes to be written.
class InsufficientFreeSpace_t : public glo::Exception_t {
 public:
  std::uint64_t Needed() const noexcept { return needed_; }
  std::uint64_t Available() const noexcept { return available_; }

 protected:
  InsufficientFreeSpace_t(const char* file, unsigned line, std::uint64_t needed, std::uint64_t available)
      : glo::Exception_t(file, line, {}, {}), needed_(needed), available_(available)
  {
  }

 private:
  std::uint64_t needed_;
  std::uint64_t available_;
};

// The card cannot hold the update.
class InsufficientCardFreeSpace_t : public InsufficientFreeSpace_t {
 public:
  InsufficientCardFreeSpace_t(const char* file, unsigned line, std::uint64_t needed, std::uint64_t available)
      : InsufficientFreeSpace_t(file, line, needed, available)
  {
  }
};

// The computer's drive cannot hold the temporary copy of the block of
// databases.
class InsufficientDriveFreeSpace_t : public InsufficientFreeSpace_t {
 public:
  InsufficientDriveFreeSpace_t(const char* file, unsigned line, std::uint64_t needed, std::uint64_t available)
      : InsufficientFreeSpace_t(file, line, needed, available)
  {
  }
};

}  // namespace avn
