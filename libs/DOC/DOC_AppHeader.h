#pragma once
// The application header with which data files begin: the format's magic,
// the header version, a 'D' record with the data version and an 'A' record
// with the application's build information.

#include <cstdint>
#include <string>

#include "BIN_Stream.h"
#include "GLO_Exception.h"
#include "GLO_Optional.h"

namespace doc {

// Present only when the header version is above 100.
using AppName_t = glo::Optional_t<std::u16string>;

struct AppHeader_t {
  std::uint32_t magic = 0;
  std::uint16_t headerVersion = 0;
  std::uint16_t dataVersion = 0;
  std::uint16_t buildNumber = 0;
  std::u16string buildTexts[3];
  AppName_t appName;
};

// A record of the wrong type where the header expects 'D' or 'A'.
class InvalidRecordTypeException_t : public glo::Exception_t {
 public:
  InvalidRecordTypeException_t(const char* file, unsigned line, char found, char expected, const std::u16string& text);
};

// Reads the header; the stream needs its code page for the texts. A stream
// that fails part-way stops the reading and stays failed; a record of the
// wrong type raises InvalidRecordTypeException_t.
bin::istream& operator>>(bin::istream& stream, AppHeader_t& header);

}  // namespace doc
