#pragma once
// What the commands of velmora-cli share.

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

// The commands; each returns the exit code.
int Crash(const Arguments& arguments);
int Drives(const Arguments& arguments);
int Info(const Arguments& arguments);
int Pack(const Arguments& arguments);
int Program(const Arguments& arguments);
int Verify(const Arguments& arguments);

}  // namespace cli
