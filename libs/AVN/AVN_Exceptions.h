#pragma once
// Failures of the block of databases in an update file.

#include "GLO_Exception.h"

namespace avn {

// A block of databases that is damaged: wrong header, a truncated record or
// a database that fails its checksum. Carries only where it was found.
class BadRegionFile_t : public glo::Exception_t {
 public:
  BadRegionFile_t(const char* file, unsigned line) : glo::Exception_t(file, line, {}, {}) {}
};

}  // namespace avn
