#pragma once
// A message box as the worker sees it.

#include <cstdint>
#include <string>

#include "GLO_NonCopyable.h"

namespace tui {

inline constexpr const char* MessageBoxClass = "MessageBoxClass";

class MessageBoxIntf_t : public glo::NonCopyable_t {
 public:
  enum Operation_t : std::int32_t { OpShow = 0, OpShowNoResult = 1 };

  virtual ~MessageBoxIntf_t() = default;
  // The button pressed (1 OK, 2 Cancel, 6 Yes, 7 No ...).
  virtual std::int32_t Show(const std::u16string& text, std::uint32_t type, std::uint32_t helpId) = 0;
  // The same without waiting for an answer.
  virtual void ShowNoResult(const std::u16string& text, std::uint32_t type, std::uint32_t helpId) = 0;
};

}  // namespace tui
