#include "WIN_Locale.h"

#include <langinfo.h>

#include <cerrno>
#include <string_view>

#include "GLO_PosixLocale.h"
#include "WIN_Error.h"

namespace win {
namespace {

glo::CodePage_t CodePageOfCodeSet(std::string_view codeSet)
{
  if (codeSet == "UTF-8") return glo::CodePageUtf8;
  if (codeSet == "ISO-8859-1") return glo::CodePageLatin1;
  if (codeSet == "CP1252") return glo::CodePageWestern;
  return glo::CodePageAscii;
}

// The narrow text of a locale, in the locale's own code set.
std::u16string FromLocale(const std::string& text, locale_t posix)
{
  return glo::GLO_ToWide(text, CodePageOfCodeSet(nl_langinfo_l(CODESET, posix)));
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to)
{
  for (std::size_t i = text.find(from); i != std::string::npos; i = text.find(from, i + to.size()))
    text.replace(i, from.size(), to);
}

// The locale's time format with its shorthands spelled out, so that seconds
// and the 12-hour clock can be taken out.
std::string TimeFormat(locale_t posix, int style)
{
  std::string format = nl_langinfo_l(T_FMT, posix);
  ReplaceAll(format, "%r", nl_langinfo_l(T_FMT_AMPM, posix));
  ReplaceAll(format, "%T", "%H:%M:%S");
  ReplaceAll(format, "%R", "%H:%M");
  if (style == TimeNoSeconds) {
    for (std::string_view seconds : {":%S", ".%S", "%S"}) ReplaceAll(format, seconds, "");
  } else if (style == TimeForce24Hour) {
    ReplaceAll(format, "%I", "%H");
    ReplaceAll(format, "%l", "%k");
    for (std::string_view marker : {" %p", " %P", "%p", "%P"}) ReplaceAll(format, marker, "");
  }
  return format;
}

std::u16string Format(locale_t posix, const std::tm& fields, const std::string& format)
{
  if (format.empty()) return {};
  char buffer[256];
  std::size_t length = strftime_l(buffer, sizeof buffer, format.c_str(), &fields, posix);
  if (length == 0) throw Error_t(GLO_HERE, ERANGE);
  return FromLocale(std::string(buffer, length), posix);
}

}  // namespace

std::u16string WIN_GetFormattedDate(glo::LocaleId_t locale, const std::tm& date, const char* format)
{
  locale_t posix = glo::GLO_PosixLocale(locale);
  return Format(posix, date, format != nullptr ? format : nl_langinfo_l(D_FMT, posix));
}

std::u16string WIN_GetFormattedTime(glo::LocaleId_t locale, const std::tm& time, int style)
{
  glo::GLO_Assert(style == TimeFull || style == TimeNoSeconds || style == TimeForce24Hour, GLO_HERE);
  locale_t posix = glo::GLO_PosixLocale(locale);
  return Format(posix, time, TimeFormat(posix, style));
}

std::string WIN_GetLocaleText(glo::LocaleId_t locale, LocaleItem_t item)
{
  locale_t posix = glo::GLO_PosixLocale(locale);
  switch (item) {
    case LocaleItem_t::AnsiCodePage:
      return std::to_string(CodePageOfCodeSet(nl_langinfo_l(CODESET, posix)));
  }
  throw Error_t(GLO_HERE, EINVAL);
}

glo::CodePage_t WIN_GetAnsiCodePage()
{
  static const glo::CodePage_t codePage = [] {
    const std::string text = WIN_GetLocaleText(glo::UserDefaultLocale, LocaleItem_t::AnsiCodePage);
    glo::GLO_Assert(!text.empty() && text.find_first_not_of("0123456789") == std::string::npos, GLO_HERE);
    return static_cast<glo::CodePage_t>(std::stoul(text));
  }();
  return codePage;
}

glo::CodePage_t WIN_GetAsciiCodePage()
{
  static const glo::CodePage_t codePage = glo::GLO_IsKnownCodePage(glo::CodePageAscii)     ? glo::CodePageAscii
                                          : glo::GLO_IsKnownCodePage(glo::CodePageWestern) ? glo::CodePageWestern
                                                                                           : WIN_GetAnsiCodePage();
  return codePage;
}

}  // namespace win
