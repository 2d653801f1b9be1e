#include "WIN_LanguageModule.h"

#include <memory>

#include "GLO_Locale.h"
#include "GLO_Text.h"
#include "WIN_Error.h"
#include "WIN_ResourceString.h"
#include "WIN_VersionInfo.h"

namespace win {
namespace {

// The program path without its extension: /opt/velmora/bin/velmora.
std::u16string ModuleBase(const std::u16string& path)
{
  std::size_t slash = path.rfind(u'/');
  std::size_t dot = path.rfind(u'.');
  if (dot != std::u16string::npos && (slash == std::u16string::npos || dot > slash)) return path.substr(0, dot);
  return path;
}

std::unique_ptr<ResourceModule_t> FirstModuleThatLoads(const std::vector<std::string>& candidates)
{
  const ResourceModule_t& own = WIN_GetMainModule();
  const std::u16string base = ModuleBase(WIN_GetModulePath(own));
  const auto ownLanguage = glo::GLO_LocaleAbbreviation(own.LanguageId());
  for (const auto& abbreviation : candidates) {
    if (abbreviation == ownLanguage) return nullptr;
    const std::u16string path = base + glo::GLO_ToWide(abbreviation, glo::CodePageAscii) + u".res";
    try {
      return WIN_LoadModule(path);
    } catch (const Error_t&) {
      // No such file, or not a module after all: try the next language.
    }
  }
  return nullptr;
}

}  // namespace

bool WIN_LoadLanguageModule(const ShowError_t& showError, const std::vector<std::string>& candidates)
{
  try {
    // Kept for the whole run once selected, like a loaded library.
    static std::unique_ptr<ResourceModule_t> taken;
    auto module = FirstModuleThatLoads(candidates);
    if (!WIN_SetResourceModule(module.get())) {
      showError(u"Incorrect language dll file.  Please reinstall " + VersionInfo_t::Get().ProductName() + u".");
      return false;
    }
    if (module) taken = std::move(module);
    return true;
  } catch (...) {
    showError(
        u"There was an error initializing this Telvan application.\nPlease contact Customer Support for "
        u"assistance.");
    return false;
  }
}

}  // namespace win
