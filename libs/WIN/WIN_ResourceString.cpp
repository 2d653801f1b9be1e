#include "WIN_ResourceString.h"

#include <atomic>
#include <cerrno>

#include "GLO_FormatMessage.h"
#include "WIN_Error.h"

namespace win {
namespace {

std::atomic<const ResourceModule_t*> selected{nullptr};

}  // namespace

const ResourceModule_t& WIN_GetResourceModule()
{
  const ResourceModule_t* module = selected.load();
  glo::GLO_Assert(module != nullptr, GLO_HERE);
  return *module;
}

bool WIN_SetResourceModule(const ResourceModule_t* module)
{
  const ResourceModule_t& own = WIN_GetMainModule();
  if (module == nullptr || module == &own) {
    selected.store(&own);
    return true;
  }
  if (!(module->Version() == own.Version())) return false;
  selected.store(module);
  return true;
}

ResourceString_t::ResourceString_t(std::uint32_t id, const char* file, unsigned line) : id_(id)
{
  auto text = WIN_GetResourceModule().String(id);
  if (!text || text->empty()) throw Error_t(file, line, ENOMSG);
  text_ = std::move(*text);
}

std::u16string ResourceString_t::Format(const std::vector<std::u16string>& arguments, const char* file,
                                        unsigned line) const
{
  return glo::GLO_FormatMessage(text_, arguments, file, line);
}

std::u16string ResourceString_t::Format(const std::u16string& argument, const char* file, unsigned line) const
{
  return Format(std::vector<std::u16string>{argument}, file, line);
}

}  // namespace win
