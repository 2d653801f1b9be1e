#pragma once
// Shared ownership by an intrusive reference count.

#include <atomic>
#include <utility>

#include "GLO_Exception.h"
#include "GLO_NonCopyable.h"

namespace glo {

// Base of objects shared through SmartPtr_t. The count is atomic, so that
// process-wide objects may be shared by threads that copy pointers at once.
class RefCounter_t : public NonCopyable_t {
 public:
  void AddRef() const noexcept { count_.fetch_add(1, std::memory_order_relaxed); }
  // Destroys the object when the last reference goes; an exception from the
  // destruction is swallowed.
  void Release() const noexcept
  {
    if (count_.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    try {
      delete this;
    } catch (...) {
    }
  }

 protected:
  RefCounter_t() = default;
  virtual ~RefCounter_t() = default;

 private:
  mutable std::atomic<long> count_{0};
};

// Using an empty pointer is a program fault (Assert_t).
template <class T>
class SmartPtr_t {
 public:
  SmartPtr_t() = default;
  explicit SmartPtr_t(T* object) noexcept : object_(object)
  {
    if (object_ != nullptr) object_->AddRef();
  }
  SmartPtr_t(const SmartPtr_t& other) noexcept : SmartPtr_t(other.object_) {}
  SmartPtr_t(SmartPtr_t&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  SmartPtr_t& operator=(SmartPtr_t other) noexcept
  {
    std::swap(object_, other.object_);
    return *this;
  }
  ~SmartPtr_t()
  {
    if (object_ != nullptr) object_->Release();
  }

  T& operator*() const { return *Checked(); }
  T* operator->() const { return Checked(); }
  T* Get() const noexcept { return object_; }
  explicit operator bool() const noexcept { return object_ != nullptr; }

 private:
  T* Checked() const
  {
    GLO_Assert(object_ != nullptr, GLO_HERE);
    return object_;
  }

  T* object_ = nullptr;
};

}  // namespace glo
