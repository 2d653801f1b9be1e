#include "CommandLine.h"

namespace cli {

CommandLine_t::CommandLine_t(const std::string& command, const Arguments& arguments,
                             const std::set<std::string>& valued, const std::set<std::string>& flags,
                             const std::string& oneFileOnly)
{
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (valued.count(argument) != 0) {
      if (i + 1 == arguments.size() || arguments[i + 1].empty())
        throw UsageError(command + ": " + argument + " needs a value");
      values_[argument].push_back(arguments[++i]);
    } else if (flags.count(argument) != 0) {
      flags_.insert(argument);
    } else if (!argument.empty() && argument[0] == '-') {
      throw UsageError(command + ": unknown option '" + argument + "'");
    } else if (file_.empty()) {
      file_ = argument;
    } else {
      throw UsageError(command + ": " + oneFileOnly);
    }
  }
}

const std::vector<std::string>& CommandLine_t::Values(const std::string& option) const
{
  static const std::vector<std::string> none;
  const auto found = values_.find(option);
  return found == values_.end() ? none : found->second;
}

}  // namespace cli
