#pragma once
// An access point that keeps every request frame on its way to the next
// one, for tests that pin the bytes of cross-thread calls.

#include <memory>
#include <vector>

#include "DIO_AccessPoint.h"

namespace vtest {

class CapturingAccessPoint : public dio::AccessPointIntf_t {
 public:
  explicit CapturingAccessPoint(dio::AccessPointIntf_t& next) : next_(next) {}
  std::unique_ptr<dio::AccessPointIntf_t> Clone() const override
  {
    return std::make_unique<CapturingAccessPoint>(next_);
  }
  void Call(dio::Stack_t& stack) override
  {
    requests.push_back(stack.Bytes());
    oneWay.push_back(stack.OneWay());
    next_.Call(stack);
  }

  std::vector<std::vector<unsigned char>> requests;
  std::vector<bool> oneWay;

 private:
  dio::AccessPointIntf_t& next_;
};

}  // namespace vtest
