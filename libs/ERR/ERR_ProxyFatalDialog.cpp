#include "ERR_ProxyFatalDialog.h"

#include "DIO_Exceptions.h"

namespace err {

void ProxyFatalDialog_t::Show(const std::string& file, std::uint16_t line, const std::u16string& extra,
                              const std::string& subId, const glo::Optional_t<std::uint32_t>& programAddress,
                              const std::vector<std::uint32_t>& stackTrace)
{
  dio::Stack_t stack(false);
  stack.Push(file).Push(line).Push(extra).Push(subId).Push(programAddress).Push(stackTrace);
  Call(OpShow, stack);
}

std::unique_ptr<dio::ReferenceIntf_t> FatalDialogRef_t::Clone() const
{
  return std::make_unique<FatalDialogRef_t>(*dialog_);
}

void FatalDialogRef_t::Invoke(dio::Stack_t& stack)
{
  thread_.Check(GLO_HERE);
  std::int32_t operation = 0;
  stack.Pop(operation);
  if (operation != FatalDialogIntf_t::OpShow) throw dio::Exception_t(GLO_HERE);
  std::string file, subId;
  std::uint16_t line = 0;
  std::u16string extra;
  glo::Optional_t<std::uint32_t> programAddress;
  std::vector<std::uint32_t> stackTrace;
  stack.Pop(stackTrace).Pop(programAddress).Pop(subId).Pop(extra).Pop(line).Pop(file);
  dio::DIO_Check(stack.Empty(), GLO_HERE);
  dialog_->Show(file, line, extra, subId, programAddress, stackTrace);
  stack.Push(operation);
}

}  // namespace err
