#pragma once
// The worker's side of the message box, and the user-interface side's stub.

#include "DIO_Reference.h"
#include "GLO_ThreadChecker.h"
#include "TUI_MessageBoxIntf.h"

namespace tui {

class ProxyMessageBox_t : public MessageBoxIntf_t, public dio::Proxy_t {
 public:
  using dio::Proxy_t::Proxy_t;

  // Two-way: waits for the button.
  std::int32_t Show(const std::u16string& text, std::uint32_t type, std::uint32_t helpId) override;
  // One-way: returns once the call is posted.
  void ShowNoResult(const std::u16string& text, std::uint32_t type, std::uint32_t helpId) override;
};

class MessageBoxRef_t : public dio::ReferenceIntf_t {
 public:
  explicit MessageBoxRef_t(MessageBoxIntf_t& messageBox) : messageBox_(&messageBox) {}

  std::unique_ptr<dio::ReferenceIntf_t> Clone() const override;
  void InvokeConst(dio::Stack_t& stack) override { Invoke(stack); }
  // An unknown operation number raises dio::Exception_t.
  void Invoke(dio::Stack_t& stack) override;

 private:
  MessageBoxIntf_t* messageBox_;
  // Calls run on the thread that made the reference, the dialog's.
  glo::ThreadChecker_t thread_;
};

}  // namespace tui
