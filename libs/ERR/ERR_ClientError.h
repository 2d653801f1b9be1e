#pragma once
// One fatal error as the error report holds it, with what the program knows
// of itself and of the computer, and its text for the fatal-error dialog.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "AE1_ErrorReport.h"
#include "GLO_Optional.h"
#include "GLO_Time.h"

namespace err {

class ClientError_t {
 public:
  // The source file's name comes without its folder and in upper case; the
  // SubId is read in code page 1252; the time is now. A part number of the
  // program that is not of the report's form raises glo::OutOfRange_t, a
  // failed system query win::Error_t.
  ClientError_t(const std::string& sourcePath, std::uint16_t sourceLine, const std::u16string& extra,
                const std::string& subId, const glo::Optional_t<std::uint32_t>& programAddress,
                const std::vector<std::uint32_t>& stackTrace);
  // An error built elsewhere, such as one read back from the log.
  explicit ClientError_t(const ae1::Error_t& error);
  virtual ~ClientError_t() = default;

  const ae1::Error_t& Error() const;

  // Lines, each after a "\n": "App: NAME", "At: TIME", "OS: ...",
  // "Processor: ..., RAM: KB", then FILE-LINE-VERSION (the fourth version
  // part in release builds only), the build time in internal and alpha
  // builds with "(builder)" in internal ones, and the extra text.
  std::u16string ErrorText() const;

 private:
  std::unique_ptr<ae1::Error_t> error_;
};

// The file name of a source path, upper-cased in the user's locale.
std::u16string ERR_SourceFileName(const std::string& sourcePath);

// The "At" text: the time as UTC in the user's date and time formats, then
// " (UTC)".
std::u16string ERR_TimeText(glo::Time_t time);

// The text of an error that could not be built or logged, from what was
// reported alone (see ClientError_t::ErrorText), with the four version
// parts, "Language ID: ", "Part Number: ", "Build Type: " lines, and lines
// for the extra text, SubId, program address and stack trace that are there.
std::u16string ERR_FallbackText(const std::string& sourcePath, std::uint16_t sourceLine, const std::u16string& extra,
                                const std::string& subId, const glo::Optional_t<std::uint32_t>& programAddress,
                                const std::vector<std::uint32_t>& stackTrace);

}  // namespace err
