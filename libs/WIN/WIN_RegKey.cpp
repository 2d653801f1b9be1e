#include "WIN_RegKey.h"

#include <cerrno>

#include "WIN_HiveFile.h"
#include "WIN_RegException.h"
#include "WIN_VersionInfo.h"

namespace win {

RegKeyHandle_t::RegKeyHandle_t(std::shared_ptr<const HiveFile_t> hive, std::u16string path, bool writable)
    : hive_(std::move(hive)), path_(std::move(path)), writable_(writable)
{
}

RegKeyHandlePtr_t RegKey_t::KeyReader_t::Open(const RegKeyHandle_t& parent, const std::u16string& parentPath,
                                              const std::u16string& component) const
{
  const std::u16string path = parent.Path() + u"\\" + component;
  if (!parent.Hive().Read().HasKey(path)) throw RegError_t(GLO_HERE, parentPath + u"\\" + component, ENOENT);
  return RegKeyHandlePtr_t(new RegKeyHandle_t(parent.SharedHive(), path, false));
}

RegKeyHandlePtr_t RegKey_t::KeyCreator_t::Open(const RegKeyHandle_t& parent, const std::u16string& parentPath,
                                               const std::u16string& component) const
{
  const std::u16string path = parent.Path() + u"\\" + component;
  if (!parent.Writable()) throw RegError_t(GLO_HERE, parentPath + u"\\" + component, EACCES);
  parent.Hive().Update([&path](Hive_t& hive) { return hive.CreateKey(path); }, parentPath + u"\\" + component);
  return RegKeyHandlePtr_t(new RegKeyHandle_t(parent.SharedHive(), path, true));
}

RegKey_t RegKey_t::Root(const std::u16string& name, const std::u16string& hiveFile)
{
  return RegKey_t(RegKeyHandlePtr_t(new RegKeyHandle_t(std::make_shared<HiveFile_t>(hiveFile), name, true)), name,
                  name);
}

RegKey_t::RegKey_t(RegKeyHandlePtr_t handle, std::u16string name, std::u16string path)
    : handle_(std::move(handle)), name_(std::move(name)), path_(std::move(path))
{
}

RegKey_t::RegKey_t(const RegKey_t& parent, const std::u16string& relativePath, const KeyInitializer_t& initializer)
    : RegKey_t(parent)
{
  std::u16string rest = relativePath;
  do {
    const std::size_t slash = rest.find(u'\\');
    const std::u16string component = rest.substr(0, slash);
    rest = slash == std::u16string::npos ? std::u16string() : rest.substr(slash + 1);
    glo::GLO_Assert(!component.empty(), GLO_HERE);
    handle_ = initializer.Open(*handle_, path_, component);
    path_ += u"\\" + component;
    name_ = component;
  } while (!rest.empty());
}

bool RegKey_t::HasValue(const std::u16string& name) const
{
  try {
    return handle_->Hive().Read().Find(handle_->Path(), name) != nullptr;
  } catch (const RegException_t&) {
    return false;
  }
}

std::vector<unsigned char> RegKey_t::ReadBinary(const std::u16string& name, std::size_t size) const
{
  const Hive_t hive = handle_->Hive().Read();
  const RegData_t* data = hive.Find(handle_->Path(), name);
  if (data == nullptr) throw RegError_t(GLO_HERE, path_ + u"\\" + name, ENOENT);
  if (data->type != RegBinary || data->bytes.size() != size) throw RegError_t(GLO_HERE, path_ + u"\\" + name, 0);
  return data->bytes;
}

std::u16string RegKey_t::ReadText(const std::u16string& name) const
{
  const Hive_t hive = handle_->Hive().Read();
  const RegData_t* data = hive.Find(handle_->Path(), name);
  if (data == nullptr) throw RegError_t(GLO_HERE, name, ENOENT);
  if (data->type != RegSz) throw RegError_t(GLO_HERE, name, 0);
  std::u16string text;
  for (std::size_t i = 0; i + 1 < data->bytes.size(); i += 2) {
    auto unit = static_cast<char16_t>(data->bytes[i] | (data->bytes[i + 1] << 8));
    if (unit == 0) break;
    text += unit;
  }
  return text;
}

void RegKey_t::Write(const std::u16string& name, std::uint32_t type, std::vector<unsigned char> bytes) const
{
  if (!handle_->Writable()) throw RegError_t(GLO_HERE, path_ + u"\\" + name, EACCES);
  const std::u16string& key = handle_->Path();
  const RegData_t data{type, std::move(bytes)};
  handle_->Hive().Update(
      [&](Hive_t& hive) {
        const RegData_t* stored = hive.Find(key, name);
        if (stored != nullptr && *stored == data) return false;
        hive.Set(key, name, data);
        return true;
      },
      path_ + u"\\" + name);
}

const RegKey_t& WIN_CurrentUserKey()
{
  static const RegKey_t key = RegKey_t::Root(u"HKEY_CURRENT_USER", WIN_UserHivePath());
  return key;
}

const RegKey_t& WIN_LocalMachineKey()
{
  static const RegKey_t key = RegKey_t::Root(u"HKEY_LOCAL_MACHINE", WIN_MachineHivePath());
  return key;
}

const RegKey_t& WIN_CurrentUserMakerKey()
{
  static const RegKey_t key(WIN_CurrentUserKey(), u"Software\\Telvan\\", RegKey_t::KeyCreator_t());
  return key;
}

const RegKey_t& WIN_LocalMachineMakerKey()
{
  static const RegKey_t key(WIN_LocalMachineKey(), u"Software\\Telvan\\", RegKey_t::KeyReader_t());
  return key;
}

const RegKey_t& WIN_SettingsKey()
{
  static const RegKey_t key(WIN_CurrentUserMakerKey(), VersionInfo_t::Get().ProductName() + u"\\Settings",
                            RegKey_t::KeyCreator_t());
  return key;
}

}  // namespace win
