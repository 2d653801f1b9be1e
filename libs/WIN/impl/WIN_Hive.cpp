#include "WIN_Hive.h"

#include <cerrno>
#include <cstdio>

#include "GLO_Locale.h"
#include "GLO_Text.h"
#include "WIN_RegException.h"

namespace win {
namespace {

constexpr std::string_view Header = "Windows Registry Editor Version 5.00";

bool SameName(std::u16string_view left, std::u16string_view right)
{
  return left.size() == right.size() && glo::GLO_NoCase(1033, left, right);
}

std::string Utf8(std::u16string_view text)
{
  return glo::GLO_ToNarrow(text, glo::CodePageUtf8);
}

std::u16string Wide(std::string_view text)
{
  return glo::GLO_ToWide(text, glo::CodePageUtf8);
}

std::string Quoted(std::u16string_view text)
{
  std::string out = "\"";
  for (char c : Utf8(text)) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + '"';
}

// The text a REG_SZ holds when it is one clean NUL-terminated UTF-16 string.
bool CleanText(const RegData_t& data, std::u16string& text)
{
  const auto& bytes = data.bytes;
  if (bytes.size() < 2 || bytes.size() % 2 != 0 || bytes[bytes.size() - 1] != 0 || bytes[bytes.size() - 2] != 0)
    return false;
  text.clear();
  for (std::size_t i = 0; i + 2 < bytes.size(); i += 2) {
    auto unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (unit == 0) return false;
    text += unit;
  }
  return true;
}

std::string HexList(const std::vector<unsigned char>& bytes)
{
  std::string out;
  char pair[4];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
    if (i != 0) out += ',';
    out += pair;
  }
  return out;
}

class Parser {
 public:
  Parser(std::string_view text, const std::u16string& fileName) : text_(text), fileName_(fileName) {}

  Hive_t Run()
  {
    Hive_t hive;
    std::u16string key;
    std::string line;
    bool headerSeen = false;
    while (NextLine(line)) {
      if (line.empty() || line[0] == ';') continue;
      if (!headerSeen) {
        if (line != Header) Fail();
        headerSeen = true;
      } else if (line.front() == '[') {
        if (line.back() != ']' || line.size() < 3) Fail();
        key = Wide(line.substr(1, line.size() - 2));
        hive.CreateKey(key);
      } else {
        if (key.empty()) Fail();
        auto [name, data] = Value(line);
        hive.Set(key, name, std::move(data));
      }
    }
    return hive;
  }

 private:
  [[noreturn]] void Fail() const
  {
    throw RegError_t(GLO_HERE, fileName_ + u":" + glo::GLO_Decimal(lineNumber_), EBADMSG);
  }

  // One logical line, without its line end or surrounding blanks; a hex list
  // ending in "\" takes the next line with it.
  bool NextLine(std::string& line)
  {
    line.clear();
    for (;;) {
      if (position_ >= text_.size()) return !line.empty();
      std::size_t end = text_.find('\n', position_);
      if (end == std::string_view::npos) end = text_.size();
      std::string_view piece = text_.substr(position_, end - position_);
      position_ = end + 1;
      ++lineNumber_;
      if (lineNumber_ == 1 && piece.substr(0, 3) == "\xEF\xBB\xBF") piece.remove_prefix(3);
      auto first = piece.find_first_not_of(" \t\r");
      auto last = piece.find_last_not_of(" \t\r");
      piece = first == std::string_view::npos ? std::string_view() : piece.substr(first, last - first + 1);
      const bool continues =
          !piece.empty() && piece.back() == '\\' && (line + std::string(piece)).find("=hex") != std::string::npos;
      line += continues ? piece.substr(0, piece.size() - 1) : piece;
      if (!continues) return true;
    }
  }

  // A quoted text starting at i; i ends after the closing quote.
  std::u16string QuotedText(const std::string& line, std::size_t& i) const
  {
    if (i >= line.size() || line[i] != '"') Fail();
    std::string text;
    for (++i; i < line.size() && line[i] != '"'; ++i) {
      if (line[i] == '\\' && ++i == line.size()) Fail();
      text += line[i];
    }
    if (i++ == line.size()) Fail();
    return Wide(text);
  }

  std::vector<unsigned char> Hex(std::string_view list) const
  {
    std::vector<unsigned char> bytes;
    while (!list.empty()) {
      auto comma = list.find(',');
      std::string item(list.substr(0, comma));
      item.erase(0, item.find_first_not_of(" \t"));
      item.erase(item.find_last_not_of(" \t") + 1);
      if (item.empty() || item.size() > 2 || item.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        Fail();
      bytes.push_back(static_cast<unsigned char>(std::stoul(item, nullptr, 16)));
      if (comma == std::string_view::npos) break;
      list.remove_prefix(comma + 1);
      if (list.empty()) Fail();
    }
    return bytes;
  }

  std::pair<std::u16string, RegData_t> Value(const std::string& line) const
  {
    std::size_t i = 0;
    std::u16string name;
    if (line[0] == '@')
      ++i;
    else
      name = QuotedText(line, i);
    if (i >= line.size() || line[i] != '=') Fail();
    std::string_view data = std::string_view(line).substr(i + 1);
    RegData_t value;
    if (!data.empty() && data.front() == '"') {
      std::size_t j = i + 1;
      std::u16string text = QuotedText(line, j);
      if (j != line.size()) Fail();
      value.type = RegSz;
      for (char16_t unit : text) {
        value.bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
        value.bytes.push_back(static_cast<unsigned char>(unit >> 8));
      }
      value.bytes.insert(value.bytes.end(), {0, 0});
    } else if (data.substr(0, 6) == "dword:") {
      std::string digits(data.substr(6));
      if (digits.size() != 8 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) Fail();
      auto number = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
      value.type = RegDword;
      for (int k = 0; k < 4; ++k) value.bytes.push_back(static_cast<unsigned char>(number >> (8 * k)));
    } else if (data.substr(0, 4) == "hex:") {
      value.type = RegBinary;
      value.bytes = Hex(data.substr(4));
    } else if (data.substr(0, 4) == "hex(") {
      auto close = data.find("):");
      std::string digits(data.substr(4, close == std::string_view::npos ? 0 : close - 4));
      if (digits.empty() || digits.size() > 8 ||
          digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        Fail();
      value.type = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
      value.bytes = Hex(data.substr(close + 2));
    } else {
      Fail();
    }
    return {name, value};
  }

  std::string_view text_;
  const std::u16string& fileName_;
  std::size_t position_ = 0;
  unsigned lineNumber_ = 0;
};

}  // namespace

Hive_t Hive_t::Parse(std::string_view text, const std::u16string& fileName)
{
  return Parser(text, fileName).Run();
}

std::string Hive_t::Serialize() const
{
  std::string out = std::string(Header) + "\n";
  for (const auto& key : keys_) {
    out += "\n[" + Utf8(key.path) + "]\n";
    for (const auto& [name, data] : key.values) {
      out += name.empty() ? std::string("@") : Quoted(name);
      out += '=';
      std::u16string text;
      if (data.type == RegSz && CleanText(data, text)) {
        out += Quoted(text);
      } else if (data.type == RegDword && data.bytes.size() == 4) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%02x%02x%02x%02x", data.bytes[3], data.bytes[2], data.bytes[1],
                      data.bytes[0]);
        out += std::string("dword:") + digits;
      } else if (data.type == RegBinary) {
        out += "hex:" + HexList(data.bytes);
      } else {
        char type[16];
        std::snprintf(type, sizeof type, "hex(%x):", data.type);
        out += type + HexList(data.bytes);
      }
      out += '\n';
    }
  }
  return out;
}

Hive_t::Key_t* Hive_t::FindKey(std::u16string_view path)
{
  for (auto& key : keys_)
    if (SameName(key.path, path)) return &key;
  return nullptr;
}

const Hive_t::Key_t* Hive_t::FindKey(std::u16string_view path) const
{
  return const_cast<Hive_t*>(this)->FindKey(path);
}

bool Hive_t::HasKey(std::u16string_view path) const
{
  return FindKey(path) != nullptr || path.find(u'\\') == std::u16string_view::npos;
}

bool Hive_t::CreateKey(std::u16string_view path)
{
  if (HasKey(path)) return false;
  CreateKey(path.substr(0, path.rfind(u'\\')));
  keys_.push_back({std::u16string(path), {}});
  return true;
}

const RegData_t* Hive_t::Find(std::u16string_view path, std::u16string_view name) const
{
  const Key_t* key = FindKey(path);
  if (key == nullptr) return nullptr;
  for (const auto& [valueName, data] : key->values)
    if (SameName(valueName, name)) return &data;
  return nullptr;
}

void Hive_t::Set(std::u16string_view path, std::u16string_view name, RegData_t data)
{
  CreateKey(path);
  Key_t* key = FindKey(path);
  if (key == nullptr) key = &keys_.emplace_back(Key_t{std::u16string(path), {}});  // a root's own values
  for (auto& [valueName, stored] : key->values)
    if (SameName(valueName, name)) {
      stored = std::move(data);
      return;
    }
  key->values.push_back({std::u16string(name), std::move(data)});
}

}  // namespace win
