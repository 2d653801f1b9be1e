#include "TUI_MessageBox.h"

#include <QWidget>

#include "AFX_MessageBox.h"

namespace tui {

std::int32_t MessageBox_t::Show(const std::u16string& text, std::uint32_t type, std::uint32_t)
{
  QWidget* over = owner_ != nullptr ? owner_->window() : nullptr;
  return afx::AFX_MessageBox(over, text, type);
}

void MessageBox_t::ShowNoResult(const std::u16string& text, std::uint32_t type, std::uint32_t helpId)
{
  Show(text, type, helpId);
}

}  // namespace tui
