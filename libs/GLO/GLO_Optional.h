#pragma once
// A value that may be absent.

#include <optional>
#include <utility>

#include "GLO_Exception.h"

namespace glo {

// Reading an absent value is a program fault (Assert_t).
template <class T>
class Optional_t {
 public:
  Optional_t() = default;
  Optional_t(T value) : value_(std::move(value)) {}

  bool HasValue() const noexcept { return value_.has_value(); }
  explicit operator bool() const noexcept { return HasValue(); }

  const T& Get() const
  {
    GLO_Assert(value_.has_value(), GLO_HERE);
    return *value_;
  }

  void Set(T value) { value_ = std::move(value); }
  void Reset() noexcept { value_.reset(); }

  friend bool operator==(const Optional_t&, const Optional_t&) = default;

 private:
  std::optional<T> value_;
};

}  // namespace glo
