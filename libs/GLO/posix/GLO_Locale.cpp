#include "GLO_Locale.h"

#include <wctype.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <mutex>

#include "GLO_PosixLocale.h"
#include "GLO_Text.h"

namespace glo {
namespace {

struct KnownLocale_t {
  LocaleId_t id;
  std::string_view name;
  std::string_view abbreviation;
};

// The first locale of each language is its primary one.
constexpr std::array<KnownLocale_t, 36> KnownLocales{{
    {1033, "en_US", "ENU"}, {2057, "en_GB", "ENG"}, {3081, "en_AU", "ENA"}, {4105, "en_CA", "ENC"},
    {5129, "en_NZ", "ENZ"}, {6153, "en_IE", "ENI"}, {1031, "de_DE", "DEU"}, {3079, "de_AT", "DEA"},
    {2055, "de_CH", "DES"}, {1036, "fr_FR", "FRA"}, {2060, "fr_BE", "FRB"}, {3084, "fr_CA", "FRC"},
    {4108, "fr_CH", "FRS"}, {3082, "es_ES", "ESN"}, {2058, "es_MX", "ESM"}, {1040, "it_IT", "ITA"},
    {1043, "nl_NL", "NLD"}, {2067, "nl_BE", "NLB"}, {1046, "pt_BR", "PTB"}, {2070, "pt_PT", "PTG"},
    {1053, "sv_SE", "SVE"}, {1030, "da_DK", "DAN"}, {1044, "nb_NO", "NOR"}, {1035, "fi_FI", "FIN"},
    {1045, "pl_PL", "PLK"}, {1029, "cs_CZ", "CSY"}, {1038, "hu_HU", "HUN"}, {1049, "ru_RU", "RUS"},
    {1055, "tr_TR", "TRK"}, {1032, "el_GR", "ELL"}, {1041, "ja_JP", "JPN"}, {1042, "ko_KR", "KOR"},
    {2052, "zh_CN", "CHS"}, {1028, "zh_TW", "CHT"}, {1037, "he_IL", "HEB"}, {1025, "ar_SA", "ARA"},
}};

const KnownLocale_t* Find(LocaleId_t id)
{
  auto it = std::find_if(KnownLocales.begin(), KnownLocales.end(), [id](const auto& k) { return k.id == id; });
  return it == KnownLocales.end() ? nullptr : &*it;
}

locale_t MakeLocale(LocaleId_t id)
{
  locale_t made = nullptr;
  if (id == UserDefaultLocale) {
    made = newlocale(LC_ALL_MASK, "", nullptr);
  } else if (id == SystemDefaultLocale) {
    std::string name = GLO_SystemLocaleName();
    made = name.empty() ? nullptr : newlocale(LC_ALL_MASK, name.c_str(), nullptr);
    if (made == nullptr) made = newlocale(LC_ALL_MASK, "", nullptr);
  } else if (const auto* known = Find(id)) {
    made = newlocale(LC_ALL_MASK, (std::string(known->name) + ".UTF-8").c_str(), nullptr);
  }
  if (made == nullptr) made = newlocale(LC_ALL_MASK, "C.UTF-8", nullptr);
  return made;
}

}  // namespace

locale_t GLO_PosixLocale(LocaleId_t locale)
{
  static std::mutex guard;
  // Never destroyed: text operations may still run while statics go away.
  static auto* made = new std::map<LocaleId_t, locale_t>;
  std::lock_guard lock(guard);
  auto [it, inserted] = made->try_emplace(locale, nullptr);
  if (inserted) it->second = MakeLocale(locale);
  return it->second;
}

std::string GLO_SystemLocaleName()
{
  std::ifstream file("/etc/default/locale");
  std::string line;
  while (std::getline(file, line)) {
    if (line.rfind("LANG=", 0) != 0) continue;
    std::string value = line.substr(5);
    value.erase(std::remove(value.begin(), value.end(), '"'), value.end());
    return value;
  }
  return {};
}

std::optional<LocaleId_t> GLO_LocaleIdFromName(std::string_view name)
{
  name = name.substr(0, name.find_first_of(".@"));
  for (const auto& known : KnownLocales)
    if (known.name == name) return known.id;
  // A territory without an id of its own takes its language's primary locale.
  const std::string_view language = name.substr(0, name.find('_'));
  for (const auto& known : KnownLocales)
    if (!language.empty() && known.name.substr(0, known.name.find('_')) == language) return known.id;
  return std::nullopt;
}

LocaleId_t GLO_PrimaryLocale(LocaleId_t locale)
{
  for (const auto& known : KnownLocales)
    if ((known.id & 0x3FF) == (locale & 0x3FF)) return known.id;
  return locale;
}

std::optional<std::string> GLO_LocaleAbbreviation(LocaleId_t locale)
{
  if (const auto* known = Find(locale)) return std::string(known->abbreviation);
  return std::nullopt;
}

std::u16string GLO_ToUpper(std::u16string_view text, LocaleId_t locale)
{
  locale_t posix = GLO_PosixLocale(locale);
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();)
    GLO_AppendCodePoint(out, static_cast<char32_t>(towupper_l(GLO_NextCodePoint(text, i), posix)));
  return out;
}

bool GLO_NoCase(LocaleId_t locale, std::u16string_view left, std::u16string_view right)
{
  return GLO_ToUpper(left, locale) == GLO_ToUpper(right, locale);
}

bool GLO_IsPrintable(char16_t character, LocaleId_t locale)
{
  if (character >= 0xD800 && character < 0xE000) return false;
  return iswprint_l(character, GLO_PosixLocale(locale)) != 0;
}

bool GLO_IsPrintable(char character, LocaleId_t locale)
{
  return isprint_l(static_cast<unsigned char>(character), GLO_PosixLocale(locale)) != 0;
}

}  // namespace glo
