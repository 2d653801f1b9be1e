#include "JsonLines.h"

#include <iostream>
#include <mutex>

#include "Cli.h"
#include "Console.h"

namespace cli {

void JsonLine(const std::string& object)
{
  std::lock_guard guard(ConsoleLock());
  std::cout << object << '\n' << std::flush;
}

std::string JsonCard(const std::u16string& card)
{
  return card.empty() ? "null" : Json(card);
}

const char* OutcomeOf(int exitCode)
{
  switch (exitCode) {
    case Success:
      return "ok";
    case Usage:
      return "usage";
    case Stopped:
      return "stopped";
    default:
      return "failed";
  }
}

std::string JsonOutcome(const char* type, const std::u16string& card, int exitCode,
                        const std::optional<std::u16string>& message, const std::string& extra)
{
  return std::string("{\"type\":\"") + type + "\",\"card\":" + JsonCard(card) + ",\"outcome\":\"" +
         OutcomeOf(exitCode) + "\",\"exit\":" + std::to_string(exitCode) +
         ",\"message\":" + (message ? Json(*message) : "null") + extra + "}";
}

}  // namespace cli
