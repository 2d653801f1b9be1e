#pragma once
// What the commands of velmora-cli share.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

constexpr int Success = 0;
constexpr int Failure = 1;
constexpr int Usage = 2;
// Ended by SIGINT or SIGTERM.
constexpr int Stopped = 130;

using Arguments = std::vector<std::string>;

// A command line that does not fit the command; ends with exit code 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The text as UTF-8 for the console; a byte of a name that is not UTF-8
// shows as U+FFFD.
std::string Utf8(const std::u16string& text);
// A path given on the command line or in the environment, as wide text that
// keeps every byte of its names (glo::GLO_FileNameToWide).
std::u16string Path(const std::string& argument);
// The text as a JSON string, quotes included.
std::string Json(const std::u16string& text);

// The system's text for an errno value, without its line end.
std::u16string SystemReason(std::uint32_t code);
// The message of the failure being handled, inside a catch: the system's
// own text where the user can act on it; nothing for a fatal one, which is
// reported on the fatal path (the error log, the error reporter or the
// console) here.
std::optional<std::u16string> FailureMessage();

// The commands; each returns the exit code.
int Check(const Arguments& arguments);
int Crash(const Arguments& arguments);
int Drives(const Arguments& arguments);
int Info(const Arguments& arguments);
int Pack(const Arguments& arguments);
int Program(const Arguments& arguments);
int Verify(const Arguments& arguments);

}  // namespace cli
