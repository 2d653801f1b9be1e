#pragma once
// Output targets of the XML writer.

#include <xercesc/framework/MemBufFormatTarget.hpp>

#include <string>

#include "GLO_NonCopyable.h"

namespace xml {

class OStream_t : public glo::NonCopyable_t {
 public:
  virtual ~OStream_t() = default;
  virtual xercesc::XMLFormatTarget& Target() = 0;
};

// Bytes in memory, 1023 to start with and growing as needed.
class OStringStream_t : public OStream_t {
 public:
  OStringStream_t();
  xercesc::XMLFormatTarget& Target() override { return target_; }
  // What was written (UTF-8 text).
  std::string Bytes() const;

 private:
  xercesc::MemBufFormatTarget target_;
};

}  // namespace xml
