#include "WIN_ResourceModule.h"

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "GLO_Text.h"
#include "WIN_Error.h"

namespace win {
namespace {

// Reads little-endian fields from the bytes; any overrun marks it bad.
class Reader {
 public:
  explicit Reader(std::span<const unsigned char> bytes) : bytes_(bytes) {}

  bool Ok() const { return ok_; }
  bool AtEnd() const { return position_ == bytes_.size(); }

  std::uint32_t Number(std::size_t size)
  {
    if (!Has(size)) return 0;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value |= std::uint32_t{bytes_[position_ + i]} << (8 * i);
    position_ += size;
    return value;
  }

  std::span<const unsigned char> Bytes(std::size_t size)
  {
    if (!Has(size)) return {};
    auto taken = bytes_.subspan(position_, size);
    position_ += size;
    return taken;
  }

  std::string Text()
  {
    std::string text;
    while (Has(1) && bytes_[position_] != 0) text += static_cast<char>(bytes_[position_++]);
    Bytes(1);
    return text;
  }

 private:
  bool Has(std::size_t size)
  {
    if (ok_ && bytes_.size() - position_ < size) ok_ = false;
    return ok_;
  }

  std::span<const unsigned char> bytes_;
  std::size_t position_ = 0;
  bool ok_ = true;
};

[[noreturn]] void Malformed()
{
  throw Error_t(GLO_HERE, ENOEXEC);
}

}  // namespace

ResourceModule_t::ResourceModule_t(std::u16string path, std::span<const unsigned char> bytes) : path_(std::move(path))
{
  Reader file(bytes);
  auto magic = file.Bytes(4);
  if (!file.Ok() || std::string_view(reinterpret_cast<const char*>(magic.data()), 4) != "VRES") Malformed();
  // What follows the counted bytes (padding of a section) is not the module's.
  Reader module(file.Bytes(file.Number(4)));
  if (!file.Ok()) Malformed();
  bool versionSeen = false;
  while (!module.AtEnd()) {
    std::uint32_t length = module.Number(4);
    auto type = static_cast<char>(module.Number(1));
    Reader payload(module.Bytes(length));
    if (!module.Ok()) Malformed();
    if (type == 'V' && !versionSeen) {
      version_ = {static_cast<std::uint16_t>(payload.Number(2)), static_cast<std::uint16_t>(payload.Number(2)),
                  static_cast<std::uint16_t>(payload.Number(2)), static_cast<std::uint16_t>(payload.Number(2))};
      language_ = static_cast<std::uint16_t>(payload.Number(2));
      while (payload.Ok() && !payload.AtEnd()) {
        std::string name = payload.Text();
        values_[name] = glo::GLO_ToWide(payload.Text(), glo::CodePageUtf8);
      }
      versionSeen = true;
    } else if (type == 'S' && versionSeen) {
      std::uint32_t id = payload.Number(4);
      std::u16string text;
      while (payload.Ok() && !payload.AtEnd()) text += static_cast<char16_t>(payload.Number(2));
      strings_[id] = std::move(text);
    } else if (type == 'C' && versionSeen) {
      std::uint32_t id = payload.Number(4);
      std::string name = payload.Text();
      auto bytes = payload.Bytes(length - std::min<std::size_t>(length, 5 + name.size()));
      customs_[{id, std::move(name)}].assign(bytes.begin(), bytes.end());
    } else {
      Malformed();
    }
    if (!payload.Ok()) Malformed();
  }
  if (!versionSeen) Malformed();
}

std::optional<std::u16string> ResourceModule_t::Value(const std::string& name) const
{
  auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

std::optional<std::u16string> ResourceModule_t::String(std::uint32_t id) const
{
  auto it = strings_.find(id);
  if (it == strings_.end()) return std::nullopt;
  return it->second;
}

std::span<const unsigned char> ResourceModule_t::Custom(std::uint32_t id, const std::string& type) const
{
  auto it = customs_.find({id, type});
  if (it == customs_.end()) return {};
  return it->second;
}

std::span<const unsigned char> WIN_LoadCustomResource(std::uint32_t id, const std::string& type)
{
  auto bytes = WIN_GetMainModule().Custom(id, type);
  if (bytes.empty()) throw Error_t(GLO_HERE, ENODATA);
  return bytes;
}

const std::u16string& WIN_GetModulePath(const ResourceModule_t& module)
{
  return module.Path();
}

}  // namespace win
