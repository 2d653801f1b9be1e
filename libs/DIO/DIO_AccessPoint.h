#pragma once
// Access points carry call frames to where their targets live: across
// threads through the serving window's message queue, or on the calling
// thread through a map of registered objects.

#include <atomic>
#include <map>
#include <memory>

#include "DIO_Address.h"
#include "DIO_Reference.h"
#include "DIO_Stack.h"
#include "WIN_Event.h"
#include "WIN_Window.h"

namespace dio {

// The window message that carries a call.
inline constexpr std::uint32_t CallMessage = 0x8001;

class AccessPointIntf_t {
 public:
  virtual ~AccessPointIntf_t() = default;
  virtual std::unique_ptr<AccessPointIntf_t> Clone() const = 0;
  // Delivers one call frame; for a two-way call the reply is on the stack
  // when this returns.
  virtual void Call(Stack_t& stack) = 0;
};

// The serving side's answer to one posted call.
class CallReply_t {
 public:
  virtual ~CallReply_t() = default;
  // The call ran; a two-way caller takes its reply now.
  virtual void Served() = 0;
  // The call will not run, or it raised: the caller sees Exception_t.
  virtual void Failed() = 0;
};

// Posts each call to the serving window and, for a two-way call, waits
// until it was served. A call that cannot be posted (the window is gone)
// raises WindowsError_t at once; one that is dropped or fails on the
// serving side raises Exception_t: no caller waits for a reply that never
// comes. One access point serves one calling thread at a time.
class UIAccessPoint_t : public AccessPointIntf_t {
 public:
  UIAccessPoint_t(win::WindowHandle_t window, std::uint32_t message);

  // Shares the completion event (a duplicate handle of it).
  std::unique_ptr<AccessPointIntf_t> Clone() const override;
  void Call(Stack_t& stack) override;

  // From now on every call raises Exception_t at once: the worker using it
  // was abandoned.
  void Abandon() noexcept { abandoned_.store(true); }

 private:
  UIAccessPoint_t(win::WindowHandle_t window, std::uint32_t message, win::Event_t completion);

  win::WindowHandle_t window_;
  std::uint32_t message_;
  win::Event_t completion_;
  std::atomic<bool> abandoned_{false};
};

// Dispatches calls on the calling thread to the objects registered by
// address (references not owned).
class LocalAccessPoint_t : public AccessPointIntf_t {
 public:
  std::unique_ptr<AccessPointIntf_t> Clone() const override;
  // Pops the address, invokes the registered reference and, for a two-way
  // call, pushes the address back. An address not registered raises
  // Exception_t.
  void Call(Stack_t& stack) override;

  // An address registered twice raises Exception_t.
  void Register(const Address_t& address, ReferenceIntf_t& reference);
  void Unregister(const Address_t& address);

 private:
  std::map<Address_t, ReferenceIntf_t*> registered_;
};

}  // namespace dio
