#pragma once
// The command line of a command that takes one file and options: options
// with a value (each may be given again), options alone, and the file.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "Cli.h"

namespace cli {

class CommandLine_t {
 public:
  // Reads the arguments of the command. An option of valued takes the next
  // argument, which may not be empty; one of flags stands alone; any other
  // argument starting with '-' is unknown; the one argument that is neither
  // is the file, and a second one is refused with "COMMAND: oneFileOnly".
  // Raises UsageError.
  CommandLine_t(const std::string& command, const Arguments& arguments, const std::set<std::string>& valued,
                const std::set<std::string>& flags, const std::string& oneFileOnly);

  // The values of the option, in the order given.
  const std::vector<std::string>& Values(const std::string& option) const;
  bool Has(const std::string& flag) const { return flags_.count(flag) != 0; }
  // Empty when none was given.
  const std::string& File() const noexcept { return file_; }

 private:
  std::map<std::string, std::vector<std::string>> values_;
  std::set<std::string> flags_;
  std::string file_;
};

}  // namespace cli
