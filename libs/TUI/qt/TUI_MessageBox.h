#pragma once
// The message box that workers ask through the progress dialog: the
// program's box, captioned with the product name, modal on the user-interface
// thread.

#include "TUI_MessageBoxIntf.h"

class QWidget;

namespace tui {

class MessageBox_t : public MessageBoxIntf_t {
 public:
  // Over the window (none: over the active window), which must outlive the
  // box.
  explicit MessageBox_t(QWidget* owner = nullptr) : owner_(owner) {}

  // The type's buttons, icon and default button; returns the id of the
  // button that closed the box. There is no help to open: the help id is
  // not used.
  std::int32_t Show(const std::u16string& text, std::uint32_t type, std::uint32_t helpId) override;
  void ShowNoResult(const std::u16string& text, std::uint32_t type, std::uint32_t helpId) override;

 private:
  QWidget* owner_;
};

}  // namespace tui
