#include "GLO_Text.h"

#include <array>
#include <string>

#include "GLO_Exception.h"

namespace glo {
namespace {

constexpr char DefaultChar = '?';
constexpr char16_t Replacement = 0xFFFD;

// Code page 1252 at 0x80 to 0x9F; the five bytes it leaves undefined map to
// the C1 controls of the same value, as the system's own table does.
constexpr std::array<char16_t, 32> Western80 = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

[[noreturn]] void UnknownCodePage(CodePage_t codePage)
{
  throw OutOfRange_t(GLO_HERE, u"Unknown code page " + GLO_Decimal(codePage));
}

bool IsSurrogate(char32_t c)
{
  return c >= 0xD800 && c < 0xE000;
}

void AppendUtf8(std::string& out, char32_t c)
{
  if (IsSurrogate(c)) c = Replacement;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

char ToSingleByte(char32_t c, CodePage_t codePage)
{
  switch (codePage) {
    case CodePageAscii:
      return c < 0x80 ? static_cast<char>(c) : DefaultChar;
    case CodePageLatin1:
      return c < 0x100 ? static_cast<char>(c) : DefaultChar;
    default:
      if (c < 0x80 || (c >= 0xA0 && c < 0x100)) return static_cast<char>(c);
      for (std::size_t k = 0; k < Western80.size(); ++k)
        if (Western80[k] == c) return static_cast<char>(0x80 + k);
      return DefaultChar;
  }
}

char16_t FromSingleByte(unsigned char byte, CodePage_t codePage)
{
  if (byte < 0x80) return byte;
  switch (codePage) {
    case CodePageAscii:
      return DefaultChar;
    case CodePageLatin1:
      return byte;
    default:
      return byte < 0xA0 ? Western80[byte - 0x80] : byte;
  }
}

// Decodes one UTF-8 sequence. A malformed one yields U+FFFD for its lead byte
// and the continuation bytes that were right so far (one U+FFFD for a
// truncated sequence); an overlong form or a surrogate yields U+FFFD per byte.
char32_t NextUtf8(std::string_view text, std::size_t& i)
{
  auto byte = static_cast<unsigned char>(text[i++]);
  if (byte < 0x80) return byte;
  std::size_t length = (byte >> 5) == 6 ? 2 : (byte >> 4) == 14 ? 3 : (byte >> 3) == 30 ? 4 : 0;
  if (length == 0) return Replacement;
  char32_t c = byte & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if (i - 1 + k >= text.size() || (static_cast<unsigned char>(text[i - 1 + k]) >> 6) != 2) {
      i += k - 1;
      return Replacement;
    }
    c = (c << 6) | (static_cast<unsigned char>(text[i - 1 + k]) & 0x3F);
  }
  constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < smallest[length] || c > 0x10FFFF || IsSurrogate(c)) return Replacement;
  i += length - 1;
  return c;
}

// The code point of the valid UTF-8 sequence that starts at i, moving i past
// it; false, with i unchanged, when no valid sequence starts there. The
// second byte's range rules out overlong forms, surrogates and code points
// beyond U+10FFFF.
bool NextStrictUtf8(std::string_view text, std::size_t& i, char32_t& c)
{
  const auto byte = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) {
    c = lead;
    ++i;
    return true;
  }
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return false;
  }
  if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high) return false;
  char32_t value = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) >> 6) != 2) return false;
    value = (value << 6) | (byte(i + k) & 0x3F);
  }
  c = value;
  i += length;
  return true;
}

constexpr char16_t EscapeBase = 0xDC00;  // + a byte from 0x80 to 0xFF

}  // namespace

std::u16string GLO_FileNameToWide(std::string_view name)
{
  std::u16string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size();) {
    char32_t c = 0;
    if (NextStrictUtf8(name, i, c))
      GLO_AppendCodePoint(out, c);
    else
      out += static_cast<char16_t>(EscapeBase + static_cast<unsigned char>(name[i++]));
  }
  return out;
}

std::string GLO_FileNameToNarrow(std::u16string_view name)
{
  std::string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size();) {
    const char32_t c = GLO_NextCodePoint(name, i);
    if (c >= EscapeBase + 0x80 && c <= EscapeBase + 0xFF)
      out += static_cast<char>(c - EscapeBase);
    else
      AppendUtf8(out, c);
  }
  return out;
}

std::u16string GLO_Decimal(long long value)
{
  std::u16string text;
  for (char c : std::to_string(value)) text += static_cast<char16_t>(c);
  return text;
}

char32_t GLO_NextCodePoint(std::u16string_view text, std::size_t& i)
{
  char32_t c = text[i++];
  if (c >= 0xD800 && c < 0xDC00 && i < text.size() && text[i] >= 0xDC00 && text[i] < 0xE000)
    c = 0x10000 + ((c - 0xD800) << 10) + (text[i++] - 0xDC00);
  return c;
}

void GLO_AppendCodePoint(std::u16string& text, char32_t codePoint)
{
  if (codePoint >= 0x10000) {
    codePoint -= 0x10000;
    text += static_cast<char16_t>(0xD800 + (codePoint >> 10));
    text += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
  } else {
    text += static_cast<char16_t>(codePoint);
  }
}

bool GLO_IsKnownCodePage(CodePage_t codePage) noexcept
{
  return codePage == CodePageWestern || codePage == CodePageAscii || codePage == CodePageLatin1 ||
         codePage == CodePageUtf8;
}

std::string GLO_ToNarrow(std::u16string_view text, CodePage_t codePage)
{
  if (!GLO_IsKnownCodePage(codePage)) UnknownCodePage(codePage);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = GLO_NextCodePoint(text, i);
    if (codePage == CodePageUtf8)
      AppendUtf8(out, c);
    else
      out += ToSingleByte(c, codePage);
  }
  return out;
}

std::u16string GLO_ToWide(std::string_view text, CodePage_t codePage)
{
  if (!GLO_IsKnownCodePage(codePage)) UnknownCodePage(codePage);
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (codePage == CodePageUtf8)
      GLO_AppendCodePoint(out, NextUtf8(text, i));
    else
      out += FromSingleByte(static_cast<unsigned char>(text[i++]), codePage);
  }
  return out;
}

}  // namespace glo
