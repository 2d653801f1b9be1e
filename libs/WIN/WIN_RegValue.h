#pragma once
// Typed values of a registry key.
//
//   T                 registry type   size
//   std::u16string    REG_SZ          as stored; read only
//   bool              REG_BINARY      exactly 1 byte; zero is false
//   glo::TimeSpan_t   REG_BINARY      exactly 8 bytes, the span's double

#include <cstring>
#include <string>

#include "GLO_Optional.h"
#include "GLO_Time.h"
#include "WIN_RegException.h"
#include "WIN_RegKey.h"

namespace win {

template <class T>
struct RegValueType_t;

template <>
struct RegValueType_t<std::u16string> {
  static std::u16string Read(const RegKey_t& key, const std::u16string& name) { return key.ReadText(name); }
};

template <>
struct RegValueType_t<bool> {
  static bool Read(const RegKey_t& key, const std::u16string& name) { return key.ReadBinary(name, 1)[0] != 0; }
  static void Write(const RegKey_t& key, const std::u16string& name, bool value)
  {
    key.Write(name, RegBinary, {static_cast<unsigned char>(value ? 1 : 0)});
  }
};

template <>
struct RegValueType_t<glo::TimeSpan_t> {
  static glo::TimeSpan_t Read(const RegKey_t& key, const std::u16string& name)
  {
    const auto bytes = key.ReadBinary(name, sizeof(double));
    double seconds;
    std::memcpy(&seconds, bytes.data(), sizeof seconds);
    return glo::TimeSpan_t(seconds);
  }
  static void Write(const RegKey_t& key, const std::u16string& name, glo::TimeSpan_t value)
  {
    const double seconds = value.Seconds();
    std::vector<unsigned char> bytes(sizeof seconds);
    std::memcpy(bytes.data(), &seconds, sizeof seconds);
    key.Write(name, RegBinary, std::move(bytes));
  }
};

// A value as the registry holds it when built, else the default.
template <class T>
class ConstRegValue_t {
 public:
  // Errors reading a stored value reach the caller.
  ConstRegValue_t(const RegKey_t& key, std::u16string name, glo::Optional_t<T> fallback)
      : ConstRegValue_t(key, std::move(name), std::move(fallback), Unread{})
  {
    if (key_.HasValue(name_)) value_.Set(RegValueType_t<T>::Read(key_, name_));
  }

  const RegKey_t& Key() const noexcept { return key_; }
  const std::u16string& Name() const noexcept { return name_; }
  const glo::Optional_t<T>& Value() const noexcept { return value_; }

  // The value; RegException_t named "\" and the value name when absent.
  const T& get() const
  {
    if (!value_) throw RegException_t(GLO_HERE, u"\\" + name_);
    return value_.Get();
  }

 protected:
  struct Unread {};
  ConstRegValue_t(const RegKey_t& key, std::u16string name, glo::Optional_t<T> fallback, Unread)
      : key_(key), name_(std::move(name)), value_(std::move(fallback))
  {
  }

  RegKey_t key_;
  std::u16string name_;
  glo::Optional_t<T> value_;
};

// A value that is read, falls back to its default when it is missing or
// unreadable, and is written back: the default is stored the first time, a
// stored value is kept. Without a default a stored value that cannot be read
// raises its RegException_t.
template <class T>
class RegValue_t : public ConstRegValue_t<T> {
  using Base = ConstRegValue_t<T>;

 public:
  RegValue_t(const RegKey_t& key, std::u16string name, glo::Optional_t<T> fallback)
      : Base(key, std::move(name), fallback, typename Base::Unread{})
  {
    if (this->key_.HasValue(this->name_)) {
      try {
        this->value_.Set(RegValueType_t<T>::Read(this->key_, this->name_));
      } catch (const RegException_t&) {
        if (!fallback) throw;
      }
    }
    if (this->value_) RegValueType_t<T>::Write(this->key_, this->name_, this->value_.Get());
  }
};

}  // namespace win
