#pragma once
// References through which calls reach an object, and the base of proxies.

#include <cstdint>
#include <memory>

#include "DIO_Address.h"
#include "DIO_Stack.h"
#include "GLO_ThreadChecker.h"

namespace dio {

class AccessPointIntf_t;

class ReferenceIntf_t {
 public:
  virtual ~ReferenceIntf_t() = default;
  virtual std::unique_ptr<ReferenceIntf_t> Clone() const = 0;
  // Runs a call frame on a target that the call does not change.
  virtual void InvokeConst(Stack_t& stack) = 0;
  virtual void Invoke(Stack_t& stack) = 0;
};

// Reaches the object at an address through an access point, which must
// outlive the reference.
class RemoteReference_t : public ReferenceIntf_t {
 public:
  RemoteReference_t(Address_t address, AccessPointIntf_t& accessPoint);

  std::unique_ptr<ReferenceIntf_t> Clone() const override;
  void InvokeConst(Stack_t& stack) override { Invoke(stack); }
  // Pushes the address and calls the access point; a reply must carry the
  // same address back (Exception_t otherwise).
  void Invoke(Stack_t& stack) override;

 private:
  Address_t address_;
  AccessPointIntf_t* accessPoint_;
};

// The part every proxy shares: its reference and the call step. A proxy
// belongs to the worker that made it: another thread's call is a program
// fault (glo::Assert_t).
class Proxy_t {
 public:
  explicit Proxy_t(const ReferenceIntf_t& reference) : reference_(reference.Clone()) {}
  virtual ~Proxy_t() = default;

 protected:
  // Pushes the operation number onto the prepared stack and invokes it; a
  // reply must carry the same number back (Exception_t otherwise). The
  // results are then on the stack.
  void Call(std::int32_t operation, Stack_t& stack);

 private:
  std::unique_ptr<ReferenceIntf_t> reference_;
  glo::ThreadChecker_t thread_;
};

}  // namespace dio
