#pragma once

namespace glo {

// Base of every class whose objects must not be copied.
class NonCopyable_t {
 protected:
  NonCopyable_t() = default;
  ~NonCopyable_t() = default;

 public:
  NonCopyable_t(const NonCopyable_t&) = delete;
  NonCopyable_t& operator=(const NonCopyable_t&) = delete;
};

}  // namespace glo
