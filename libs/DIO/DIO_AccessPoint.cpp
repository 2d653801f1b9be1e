#include "DIO_AccessPoint.h"

#include <cerrno>
#include <chrono>

#include "DIO_Exceptions.h"
#include "DIO_PendingCall.h"
#include "WIN_Error.h"

namespace dio {

PendingCall_t::PendingCall_t(Stack_t& stack, const win::Event_t& completion)
    : own_(stack.OneWay()), stack_(&stack), oneWay_(stack.OneWay()), completion_(win::Event_t::Duplicate(completion))
{
  if (stack.OneWay()) {
    own_.TakeOver(stack);
    stack_ = &own_;
  }
}

void PendingCall_t::Finish(bool served)
{
  Outcome expected = Outcome::Pending;
  if (!outcome_.compare_exchange_strong(expected, served ? Outcome::Served : Outcome::Failed)) return;
  // Nobody waits for a one-way call; a signal would wake the next call early.
  if (!oneWay_) completion_.Set();
}

UIAccessPoint_t::UIAccessPoint_t(win::WindowHandle_t window, std::uint32_t message)
    : UIAccessPoint_t(window, message, win::Event_t(false, false))
{
}

UIAccessPoint_t::UIAccessPoint_t(win::WindowHandle_t window, std::uint32_t message, win::Event_t completion)
    : window_(window), message_(message), completion_(std::move(completion))
{
}

std::unique_ptr<AccessPointIntf_t> UIAccessPoint_t::Clone() const
{
  return std::unique_ptr<AccessPointIntf_t>(
      new UIAccessPoint_t(window_, message_, win::Event_t::Duplicate(completion_)));
}

void UIAccessPoint_t::Call(Stack_t& stack)
{
  DIO_Check(!abandoned_.load(), GLO_HERE);
  auto call = std::make_shared<PendingCall_t>(stack, completion_);
  win::Message_t message{message_, 0, 0, call, [call] { call->Failed(); }};
  if (!win::WIN_PostMessage(window_, std::move(message)))
    throw WindowsError_t(GLO_HERE, static_cast<std::uint32_t>(errno));
  if (stack.OneWay()) return;
  try {
    while (!completion_.Wait(std::chrono::hours(24))) {
    }
  } catch (const win::Error_t& error) {
    throw WindowsError_t(GLO_HERE, error.Code());
  }
  DIO_Check(call->WasServed(), GLO_HERE);
}

std::unique_ptr<AccessPointIntf_t> LocalAccessPoint_t::Clone() const
{
  auto clone = std::make_unique<LocalAccessPoint_t>();
  clone->registered_ = registered_;
  return clone;
}

void LocalAccessPoint_t::Call(Stack_t& stack)
{
  Address_t address;
  stack.Pop(address.instance).Pop(address.className);
  auto found = registered_.find(address);
  DIO_Check(found != registered_.end(), GLO_HERE);
  const bool twoWay = !stack.OneWay();
  found->second->Invoke(stack);
  if (twoWay) stack.Push(address.className).Push(address.instance);
}

void LocalAccessPoint_t::Register(const Address_t& address, ReferenceIntf_t& reference)
{
  DIO_Check(registered_.emplace(address, &reference).second, GLO_HERE);
}

void LocalAccessPoint_t::Unregister(const Address_t& address)
{
  registered_.erase(address);
}

}  // namespace dio
