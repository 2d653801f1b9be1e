#include "DIO_Reference.h"

#include "DIO_AccessPoint.h"
#include "DIO_Exceptions.h"

namespace dio {

RemoteReference_t::RemoteReference_t(Address_t address, AccessPointIntf_t& accessPoint)
    : address_(std::move(address)), accessPoint_(&accessPoint)
{
}

std::unique_ptr<ReferenceIntf_t> RemoteReference_t::Clone() const
{
  return std::make_unique<RemoteReference_t>(address_, *accessPoint_);
}

void RemoteReference_t::Invoke(Stack_t& stack)
{
  const bool twoWay = !stack.OneWay();
  stack.Push(address_.className).Push(address_.instance);
  accessPoint_->Call(stack);
  if (!twoWay) return;
  Address_t replied;
  stack.Pop(replied.instance).Pop(replied.className);
  DIO_Check(replied == address_, GLO_HERE);
}

void Proxy_t::Call(std::int32_t operation, Stack_t& stack)
{
  thread_.Check(GLO_HERE);
  const bool twoWay = !stack.OneWay();
  stack.Push(operation);
  reference_->Invoke(stack);
  if (!twoWay) return;
  std::int32_t replied = 0;
  stack.Pop(replied);
  DIO_Check(replied == operation, GLO_HERE);
}

}  // namespace dio
