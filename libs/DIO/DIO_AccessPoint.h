#pragma once
// Access points carry call frames to where their targets live: across
// threads through the serving window's message queue, or on the calling
// thread through a map of registered objects.

#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "DIO_Address.h"
#include "DIO_Reference.h"
#include "DIO_Stack.h"
#include "GLO_ThreadChecker.h"
#include "WIN_Window.h"

namespace dio {

// The window message that carries a call.
inline constexpr std::uint32_t CallMessage = 0x8001;

class PendingCall_t;

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
// until it was answered. A call that cannot be posted (the window is gone)
// raises WindowsError_t at once; one that is dropped, refused or fails on
// the serving side raises Exception_t: no caller waits for a reply that
// never comes. Clones aim at the same window; each call has its own answer,
// so threads may share one.
class UIAccessPoint_t : public AccessPointIntf_t {
 public:
  UIAccessPoint_t(win::WindowHandle_t window, std::uint32_t message);

  std::unique_ptr<AccessPointIntf_t> Clone() const override;
  void Call(Stack_t& stack) override;

  // The worker using it was abandoned: the calls it still waits for fail,
  // unless they are being served right now, and every later call raises
  // Exception_t at once.
  void Abandon();

 private:
  win::WindowHandle_t window_;
  std::uint32_t message_;
  std::mutex lock_;
  std::set<std::shared_ptr<PendingCall_t>> inFlight_;
  bool abandoned_ = false;
};

// Dispatches calls on the calling thread to the objects registered by
// address (references not owned). It belongs to the thread that made it:
// another thread's use is a program fault (glo::Assert_t).
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
  // Its objects live on the thread that made it.
  glo::ThreadChecker_t thread_;
};

}  // namespace dio
