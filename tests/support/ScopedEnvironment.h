#pragma once
// Environment variables set for the life of a test scope.

#include <map>
#include <optional>
#include <string>

namespace vtest {

// Sets or clears variables and puts back what was there before when it goes.
// Locale and zone variables are re-read (tzset) both ways.
class ScopedEnvironment {
 public:
  ScopedEnvironment() = default;
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  ~ScopedEnvironment();

  ScopedEnvironment& Set(const std::string& name, const std::string& value);
  ScopedEnvironment& Clear(const std::string& name);

 private:
  void Remember(const std::string& name);
  std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace vtest
