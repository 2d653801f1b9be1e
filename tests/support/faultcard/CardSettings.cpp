#include "CardSettings.h"

#include <cerrno>
#include <map>
#include <stdexcept>

namespace faultcard {
namespace {

std::uint64_t Number(const std::string& option, const std::string& text)
{
  std::size_t end = 0;
  unsigned long long value = 0;
  try {
    value = std::stoull(text, &end);
  } catch (const std::exception&) {
    end = 0;
  }
  if (text.empty() || end != text.size() || text[0] == '-') throw std::invalid_argument(option + " takes a number, not \"" + text + "\"");
  return value;
}

}  // namespace

const char* const CardUsage =
    "usage: velmora-faultcard --backing DIR [--unit BYTES] [--capacity BYTES] [--rate BYTES_PER_SECOND]\n"
    "                         [--writeback-cache yes|no] [--direct-io yes|no]\n"
    "                         [--fail-after BYTES --fail-with ENOSPC|EIO|EROFS|EPERM|vanish] MOUNT_POINT\n";

CardSettings ParseCardSettings(const std::vector<std::string>& arguments)
{
  static const std::map<std::string, int> errnos = {{"ENOSPC", ENOSPC}, {"EIO", EIO}, {"EROFS", EROFS}, {"EPERM", EPERM}};
  CardSettings settings;
  std::string failWith;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument.rfind("--", 0) != 0) {
      if (!settings.mountPoint.empty()) throw std::invalid_argument("one mount point only, not also \"" + argument + "\"");
      settings.mountPoint = argument;
      continue;
    }
    if (i + 1 == arguments.size()) throw std::invalid_argument(argument + " needs a value");
    const std::string& value = arguments[++i];
    if (argument == "--backing")
      settings.backing = value;
    else if (argument == "--unit")
      settings.unit = Number(argument, value);
    else if (argument == "--capacity")
      settings.capacity = Number(argument, value);
    else if (argument == "--rate")
      settings.rate = Number(argument, value);
    else if (argument == "--writeback-cache" && (value == "yes" || value == "no"))
      settings.writebackCache = value == "yes";
    else if (argument == "--writeback-cache")
      throw std::invalid_argument("--writeback-cache takes yes or no, not " + value);
    else if (argument == "--direct-io" && (value == "yes" || value == "no"))
      settings.directIo = value == "yes";
    else if (argument == "--direct-io")
      throw std::invalid_argument("--direct-io takes yes or no, not " + value);
    else if (argument == "--fail-after")
      settings.failAfter = Number(argument, value);
    else if (argument == "--fail-with")
      failWith = value;
    else
      throw std::invalid_argument("unknown option " + argument);
  }
  if (settings.backing.empty()) throw std::invalid_argument("--backing is missing");
  if (settings.mountPoint.empty()) throw std::invalid_argument("the mount point is missing");
  if (settings.unit == 0 || settings.unit % 512 != 0) throw std::invalid_argument("--unit must be a positive multiple of 512");
  if (settings.capacity < settings.unit) throw std::invalid_argument("--capacity must hold one unit at least");
  if (settings.failAfter.has_value() != !failWith.empty())
    throw std::invalid_argument("--fail-after and --fail-with go together");
  if (failWith == "vanish")
    settings.vanish = true;
  else if (!failWith.empty()) {
    const auto found = errnos.find(failWith);
    if (found == errnos.end()) throw std::invalid_argument("--fail-with takes ENOSPC, EIO, EROFS, EPERM or vanish, not " + failWith);
    settings.failErrno = found->second;
  }
  return settings;
}

}  // namespace faultcard
