#include "TUI_ProxyProgressDlg.h"

#include "DIO_Exceptions.h"

namespace tui {

void ProxyProgressDlg_t::SetItemText(std::uint32_t controlId, const std::u16string& text)
{
  dio::Stack_t stack(false);
  stack.Push(controlId).Push(text);
  Call(OpSetItemText, stack);
}

void ProxyProgressDlg_t::ShowItem(std::uint32_t controlId, std::int32_t showCommand)
{
  dio::Stack_t stack(false);
  stack.Push(controlId).Push(showCommand);
  Call(OpShowItem, stack);
}

void ProxyProgressDlg_t::SetPos(std::int32_t percent)
{
  dio::Stack_t stack(false);
  stack.Push(percent);
  Call(OpSetPos, stack);
}

void ProxyProgressDlg_t::SetTitle(const std::u16string& title)
{
  dio::Stack_t stack(false);
  stack.Push(title);
  Call(OpSetTitle, stack);
}

void ProxyProgressDlg_t::Plain(Operation_t operation)
{
  dio::Stack_t stack(false);
  Call(operation, stack);
}

std::unique_ptr<dio::ReferenceIntf_t> ProgressDlgRef_t::Clone() const
{
  return std::make_unique<ProgressDlgRef_t>(*dialog_);
}

void ProgressDlgRef_t::InvokeConst(dio::Stack_t&)
{
  thread_.Check(GLO_HERE);
  throw dio::Exception_t(GLO_HERE);
}

void ProgressDlgRef_t::Invoke(dio::Stack_t& stack)
{
  thread_.Check(GLO_HERE);
  using Intf = ProgressDlgIntf_t;
  std::int32_t operation = 0;
  stack.Pop(operation);
  std::uint32_t controlId = 0;
  std::int32_t number = 0;
  std::u16string text;
  auto argumentsTaken = [&stack] { dio::DIO_Check(stack.Empty(), GLO_HERE); };
  switch (operation) {
    case Intf::OpSetItemText:
      stack.Pop(text).Pop(controlId);
      argumentsTaken();
      dialog_->SetItemText(controlId, text);
      break;
    case Intf::OpShowItem:
      stack.Pop(number).Pop(controlId);
      argumentsTaken();
      dialog_->ShowItem(controlId, number);
      break;
    case Intf::OpSetPos:
      stack.Pop(number);
      argumentsTaken();
      dialog_->SetPos(number);
      break;
    case Intf::OpSetTitle:
      stack.Pop(text);
      argumentsTaken();
      dialog_->SetTitle(text);
      break;
    default: {
      argumentsTaken();
      switch (operation) {
        case Intf::OpShow:
          dialog_->Show();
          break;
        case Intf::OpHide:
          dialog_->Hide();
          break;
        case Intf::OpShowBar:
          dialog_->ShowBar();
          break;
        case Intf::OpHideBar:
          dialog_->HideBar();
          break;
        case Intf::OpStartIndefinite:
          dialog_->StartIndefinite();
          break;
        case Intf::OpStopIndefinite:
          dialog_->StopIndefinite();
          break;
        case Intf::OpRaiseHold:
        case Intf::OpRaiseHoldAgain:
          dialog_->RaiseHold();
          break;
        case Intf::OpReleaseHold:
        case Intf::OpReleaseHoldAgain:
          dialog_->ReleaseHold();
          break;
        case Intf::OpFinish:
          dialog_->Finish();
          break;
        case Intf::OpEnd:
          dialog_->End();
          break;
        default:
          throw dio::Exception_t(GLO_HERE);
      }
    }
  }
  stack.Push(operation);
}

}  // namespace tui
