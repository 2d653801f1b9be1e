#include "DIO_AccessPoint.h"

#include <cerrno>

#include "DIO_Exceptions.h"
#include "DIO_PendingCall.h"

namespace dio {

PendingCall_t::PendingCall_t(Stack_t& stack) : own_(stack.OneWay()), stack_(&stack)
{
  if (stack.OneWay()) {
    own_.TakeOver(stack);
    stack_ = &own_;
  }
}

bool PendingCall_t::StartServing()
{
  std::lock_guard guard(lock_);
  if (state_ != State::Pending) return false;
  state_ = State::Serving;
  return true;
}

void PendingCall_t::Served()
{
  Finish(State::Served);
}

void PendingCall_t::Failed()
{
  Finish(State::Failed);
}

void PendingCall_t::Finish(State state)
{
  std::lock_guard guard(lock_);
  if (state_ == State::Served || state_ == State::Failed) return;
  state_ = state;
  answered_.notify_all();
}

bool PendingCall_t::Wait()
{
  std::unique_lock guard(lock_);
  answered_.wait(guard, [this] { return state_ == State::Served || state_ == State::Failed; });
  return state_ == State::Served;
}

UIAccessPoint_t::UIAccessPoint_t(win::WindowHandle_t window, std::uint32_t message) : window_(window), message_(message)
{
}

std::unique_ptr<AccessPointIntf_t> UIAccessPoint_t::Clone() const
{
  return std::make_unique<UIAccessPoint_t>(window_, message_);
}

void UIAccessPoint_t::Call(Stack_t& stack)
{
  const bool twoWay = !stack.OneWay();
  auto call = std::make_shared<PendingCall_t>(stack);
  {
    std::lock_guard guard(lock_);
    DIO_Check(!abandoned_, GLO_HERE);
    if (twoWay) inFlight_.insert(call);
  }
  auto forget = [this, &call] {
    std::lock_guard guard(lock_);
    inFlight_.erase(call);
  };
  win::Message_t message{message_, 0, 0, std::make_shared<CallTicket_t>(call)};
  if (!win::WIN_PostMessage(window_, std::move(message))) {
    const auto code = static_cast<std::uint32_t>(errno);
    forget();
    throw WindowsError_t(GLO_HERE, code);
  }
  if (!twoWay) return;
  const bool served = call->Wait();
  forget();
  DIO_Check(served, GLO_HERE);
}

void UIAccessPoint_t::Abandon()
{
  std::lock_guard guard(lock_);
  abandoned_ = true;
  for (const auto& call : inFlight_) call->Failed();
}

std::unique_ptr<AccessPointIntf_t> LocalAccessPoint_t::Clone() const
{
  auto clone = std::make_unique<LocalAccessPoint_t>();
  clone->registered_ = registered_;
  return clone;
}

void LocalAccessPoint_t::Call(Stack_t& stack)
{
  thread_.Check(GLO_HERE);
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
  thread_.Check(GLO_HERE);
  DIO_Check(registered_.emplace(address, &reference).second, GLO_HERE);
}

void LocalAccessPoint_t::Unregister(const Address_t& address)
{
  thread_.Check(GLO_HERE);
  registered_.erase(address);
}

}  // namespace dio
