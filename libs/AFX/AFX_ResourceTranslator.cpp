#include "AFX_ResourceTranslator.h"

#include <cstdint>
#include <cstring>
#include <optional>

#include "AFX_Text.h"
#include "WIN_Error.h"
#include "WIN_ResourceString.h"

namespace afx {
namespace {

struct QtText_t {
  const char* context;
  const char* source;
  std::uint32_t id;
};

// Qt's own texts of the buttons the program shows; the desktop themes label
// some with an accelerator of their own.
constexpr QtText_t QtTexts[] = {
    {"QWizard", "< &Back", 20200},      {"QWizard", "&Next >", 20201},       {"QWizard", "&Finish", 20202},
    {"QWizard", "Cancel", 20203},       {"QPlatformTheme", "OK", 20210},     {"QPlatformTheme", "Cancel", 20203},
    {"QPlatformTheme", "&Yes", 20212},  {"QPlatformTheme", "&No", 20213},    {"QPlatformTheme", "Abort", 20214},
    {"QPlatformTheme", "Retry", 20215}, {"QPlatformTheme", "Ignore", 20216}, {"QGnomeTheme", "&OK", 20210},
    {"QGnomeTheme", "&Cancel", 20203},
};

std::optional<std::uint32_t> IdOf(const char* context, const char* source, const char* disambiguation)
{
  if (disambiguation != nullptr && *disambiguation != '\0') {
    std::uint32_t id = 0;
    for (const char* digit = disambiguation; *digit != '\0'; ++digit) {
      if (*digit < '0' || *digit > '9' || id > 0xFFFFFFF) return std::nullopt;
      id = id * 10 + static_cast<std::uint32_t>(*digit - '0');
    }
    return id;
  }
  if (context == nullptr || source == nullptr) return std::nullopt;
  for (const auto& text : QtTexts)
    if (std::strcmp(text.context, context) == 0 && std::strcmp(text.source, source) == 0) return text.id;
  return std::nullopt;
}

}  // namespace

QString ResourceTranslator_t::translate(const char* context, const char* sourceText, const char* disambiguation,
                                        int) const
{
  const auto id = IdOf(context, sourceText, disambiguation);
  if (!id) return {};
  try {
    return AFX_ToQString(win::ResourceString_t(*id, GLO_HERE).Text());
  } catch (const win::Error_t&) {
    // Called from inside Qt, which cannot take an exception: the text stays.
    return {};
  }
}

}  // namespace afx
