#include "ScopedEnvironment.h"

#include <cstdlib>
#include <ctime>

namespace vtest {

ScopedEnvironment::~ScopedEnvironment()
{
  for (const auto& [name, value] : saved_) {
    if (value)
      setenv(name.c_str(), value->c_str(), 1);
    else
      unsetenv(name.c_str());
  }
  tzset();
}

void ScopedEnvironment::Remember(const std::string& name)
{
  if (saved_.count(name)) return;
  const char* value = std::getenv(name.c_str());
  saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
}

ScopedEnvironment& ScopedEnvironment::Set(const std::string& name, const std::string& value)
{
  Remember(name);
  setenv(name.c_str(), value.c_str(), 1);
  tzset();
  return *this;
}

ScopedEnvironment& ScopedEnvironment::Clear(const std::string& name)
{
  Remember(name);
  unsetenv(name.c_str());
  tzset();
  return *this;
}

}  // namespace vtest
