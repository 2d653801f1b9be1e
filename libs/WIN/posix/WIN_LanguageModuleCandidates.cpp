#include <cstdlib>
#include <sstream>

#include "GLO_Locale.h"
#include "WIN_LanguageModule.h"

namespace win {
namespace {

std::string Variable(const char* name)
{
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

void Add(std::vector<std::string>& candidates, const std::string& name)
{
  auto id = glo::GLO_LocaleIdFromName(name);
  if (!id) return;
  for (glo::LocaleId_t locale : {*id, glo::GLO_PrimaryLocale(*id)}) {
    auto abbreviation = glo::GLO_LocaleAbbreviation(locale);
    if (!abbreviation) continue;
    bool seen = false;
    for (const auto& candidate : candidates) seen = seen || candidate == *abbreviation;
    if (!seen) candidates.push_back(*abbreviation);
  }
}

}  // namespace

std::vector<std::string> WIN_LanguageModuleCandidates()
{
  return WIN_LanguageModuleCandidates(glo::GLO_SystemLocaleName());
}

std::vector<std::string> WIN_LanguageModuleCandidates(const std::string& machineLocale)
{
  std::vector<std::string> candidates;
  std::istringstream languages(Variable("LANGUAGE"));
  for (std::string entry; std::getline(languages, entry, ':');) Add(candidates, entry);
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) Add(candidates, Variable(name));
  Add(candidates, machineLocale);
  candidates.push_back("LOC");
  return candidates;
}

}  // namespace win
