#pragma once
// Message boxes with the system's type flags and button ids: the low four
// bits choose the buttons (0 OK, 1 OK Cancel, 2 Abort Retry Ignore, 3 Yes No
// Cancel, 4 Yes No, 5 Retry Cancel, 6 Cancel Try Again Continue), 0xF0 the
// icon (0x10 error, 0x20 question, 0x30 warning, 0x40 information), 0xF00
// the default button (0x000 the first ... 0x300 the fourth).

#include <cstdint>
#include <string>

class QWidget;

namespace afx {

// Button ids, which are also the buttons' control ids.
inline constexpr int IdOk = 1;
inline constexpr int IdCancel = 2;
inline constexpr int IdAbort = 3;
inline constexpr int IdRetry = 4;
inline constexpr int IdIgnore = 5;
inline constexpr int IdYes = 6;
inline constexpr int IdNo = 7;
inline constexpr int IdTryAgain = 10;
inline constexpr int IdContinue = 11;

inline constexpr std::uint32_t MbOk = 0x00;
inline constexpr std::uint32_t MbIconError = 0x10;
inline constexpr std::uint32_t MbIconWarning = 0x30;

// Shows the box modally over the parent (none: over the active window) with
// the caption, and returns the id of the button that closed it. Escape and
// the window's close button answer Cancel where the box has one, else the
// only button of an OK box.
int AFX_MessageBox(QWidget* parent, const std::u16string& text, std::uint32_t type, const std::u16string& caption);

// The same, captioned with the product name, as every box of the program.
int AFX_MessageBox(QWidget* parent, const std::u16string& text, std::uint32_t type);

}  // namespace afx
