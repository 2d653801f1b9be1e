#pragma once
// Conversions between wide text (UTF-16) and narrow text in a named code page.

#include <string>
#include <string_view>

namespace glo {

using CodePage_t = unsigned;

inline constexpr CodePage_t CodePageWestern = 1252;  // exception texts
inline constexpr CodePage_t CodePageAscii = 20127;   // US-ASCII
inline constexpr CodePage_t CodePageLatin1 = 28591;  // ISO 8859-1
inline constexpr CodePage_t CodePageUtf8 = 65001;    // debug trace, file system
inline constexpr CodePage_t GLO_DefaultCodePage = CodePageWestern;

// Whether the conversions below know the code page.
bool GLO_IsKnownCodePage(CodePage_t codePage) noexcept;

// Characters the code page lacks become its default character '?'; in UTF-8
// a lone surrogate becomes U+FFFD. An unknown code page raises OutOfRange_t.
std::string GLO_ToNarrow(std::u16string_view text, CodePage_t codePage);

// Bytes that are not text in the code page become U+FFFD (UTF-8) or '?'; they
// are never rejected.
std::u16string GLO_ToWide(std::string_view text, CodePage_t codePage);

// File names are bytes, and these two carry every name through wide text
// and back unchanged, as Python's "surrogateescape" does. A valid UTF-8
// sequence becomes its character; each byte that does not start one (a
// stray continuation byte, a truncated, overlong or out-of-range sequence, a
// surrogate written in UTF-8, 0xF5 to 0xFF) becomes the lone surrogate
// U+DC80 + (byte - 0x80), which no valid sequence ever yields. On the way
// back such a lone surrogate becomes its byte again and every other
// character its UTF-8; a lone surrogate outside U+DC80..U+DCFF (which no
// name yields) becomes U+FFFD, as in GLO_ToNarrow. Shown to a user through
// GLO_ToNarrow, an undecodable byte reads as U+FFFD.
std::u16string GLO_FileNameToWide(std::string_view name);
std::string GLO_FileNameToNarrow(std::u16string_view name);

// The number in decimal, as wide text.
std::u16string GLO_Decimal(long long value);

// Reads the code point at i and moves i past it; a lone surrogate comes back
// as itself.
char32_t GLO_NextCodePoint(std::u16string_view text, std::size_t& i);

// Appends the code point, as a surrogate pair above U+FFFF.
void GLO_AppendCodePoint(std::u16string& text, char32_t codePoint);

}  // namespace glo
