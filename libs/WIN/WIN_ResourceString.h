#pragma once
// String-table texts of the selected resource module.

#include <cstdint>
#include <string>
#include <vector>

#include "GLO_Exception.h"
#include "WIN_ResourceModule.h"

namespace win {

// The module every text is loaded from; asking before start-up selected one
// is a program fault (Assert_t).
const ResourceModule_t& WIN_GetResourceModule();

// Selects the module: none or the program's own module selects the program's
// own; another module only when its file version equals the program's in all
// four parts, and it must then outlive its selection. Returns whether the
// module given was accepted.
bool WIN_SetResourceModule(const ResourceModule_t* module);

// A string-table text, loaded when built. A missing or empty entry raises
// Error_t (ENOMSG) at the requester's site.
class ResourceString_t {
 public:
  ResourceString_t(std::uint32_t id, const char* file, unsigned line);
  ResourceString_t(const ResourceString_t&) = delete;
  ResourceString_t& operator=(const ResourceString_t&) = delete;

  std::uint32_t Id() const noexcept { return id_; }
  const std::u16string& Text() const noexcept { return text_; }

  // The text with "%1$@" ... "%9$@" replaced (GLO_FormatMessage).
  std::u16string Format(const std::vector<std::u16string>& arguments, const char* file, unsigned line) const;
  std::u16string Format(const std::u16string& argument, const char* file, unsigned line) const;

 private:
  std::uint32_t id_;
  std::u16string text_;
};

}  // namespace win
