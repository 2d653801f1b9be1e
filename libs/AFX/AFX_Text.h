#pragma once
// The system's wide text and Qt's: both UTF-16, so a conversion keeps every
// unit, unpaired surrogates included.

#include <QString>
#include <string>

namespace afx {

inline QString AFX_ToQString(const std::u16string& text)
{
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u16string AFX_ToWide(const QString& text)
{
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

}  // namespace afx
