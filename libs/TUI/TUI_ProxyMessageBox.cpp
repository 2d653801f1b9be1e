#include "TUI_ProxyMessageBox.h"

#include "DIO_Exceptions.h"

namespace tui {

std::int32_t ProxyMessageBox_t::Show(const std::u16string& text, std::uint32_t type, std::uint32_t helpId)
{
  dio::Stack_t stack(false);
  stack.Push(text).Push(type).Push(helpId);
  Call(OpShow, stack);
  std::int32_t button = 0;
  stack.Pop(button);
  return button;
}

void ProxyMessageBox_t::ShowNoResult(const std::u16string& text, std::uint32_t type, std::uint32_t helpId)
{
  dio::Stack_t stack(true);
  stack.Push(text).Push(type).Push(helpId);
  Call(OpShowNoResult, stack);
}

std::unique_ptr<dio::ReferenceIntf_t> MessageBoxRef_t::Clone() const
{
  return std::make_unique<MessageBoxRef_t>(*messageBox_);
}

void MessageBoxRef_t::Invoke(dio::Stack_t& stack)
{
  thread_.Check(GLO_HERE);
  std::int32_t operation = 0;
  stack.Pop(operation);
  if (operation != MessageBoxIntf_t::OpShow && operation != MessageBoxIntf_t::OpShowNoResult)
    throw dio::Exception_t(GLO_HERE);
  std::u16string text;
  std::uint32_t type = 0, helpId = 0;
  stack.Pop(helpId).Pop(type).Pop(text);
  dio::DIO_Check(stack.Empty(), GLO_HERE);
  if (operation == MessageBoxIntf_t::OpShowNoResult) {
    messageBox_->ShowNoResult(text, type, helpId);
    return;
  }
  stack.Push(messageBox_->Show(text, type, helpId)).Push(operation);
}

}  // namespace tui
