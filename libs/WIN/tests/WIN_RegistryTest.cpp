#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

#include "GLO_Text.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "WIN_RegKey.h"
#include "WIN_RegValue.h"
#include "WIN_Settings.h"

namespace {

using win::RegKey_t;

const std::string Header = "Windows Registry Editor Version 5.00\n";
const std::string SettingsSection = "[HKEY_CURRENT_USER\\Software\\Telvan\\Velmora\\Settings]\n";

std::string Narrow(const std::u16string& text)
{
  return glo::GLO_ToNarrow(text, glo::CodePageUtf8);
}

class RegistryTest : public testing::Test {
 protected:
  RegKey_t UserRoot() const { return RegKey_t::Root(u"HKEY_CURRENT_USER", folder.Wide("user.reg")); }
  RegKey_t SettingsKey() const
  {
    return RegKey_t(UserRoot(), u"Software\\Telvan\\Velmora\\Settings", RegKey_t::KeyCreator_t());
  }
  std::string Hive() const { return vtest::ReadFile(folder / "user.reg"); }
  void HandEdit(const std::string& values) const
  {
    vtest::WriteFile(folder / "user.reg", Header + "\n" + SettingsSection + values);
  }

  vtest::TempFolder folder;
};

TEST_F(RegistryTest, AFreshProfileGetsTheDefaultsWrittenBack)
{
  const win::Settings_t settings(SettingsKey());
  EXPECT_TRUE(settings.UseLocalTime().get());
  EXPECT_EQ(settings.UserUtcOffset().get(), glo::TimeSpan_t());
  EXPECT_FALSE(settings.ShowDebug().Value());
  EXPECT_FALSE(settings.ShowUsbDebug().Value());
  EXPECT_FALSE(settings.DebugTraceOn());
  EXPECT_EQ(Hive(), Header +
                        "\n[HKEY_CURRENT_USER\\Software]\n"
                        "\n[HKEY_CURRENT_USER\\Software\\Telvan]\n"
                        "\n[HKEY_CURRENT_USER\\Software\\Telvan\\Velmora]\n"
                        "\n" +
                        SettingsSection +
                        "\"UseLocalTime\"=hex:01\n"
                        "\"UserUtcOffset\"=hex:00,00,00,00,00,00,00,00\n");
}

TEST_F(RegistryTest, ShowDebugTurnsTheTraceOnOnlyAsOneTrueByte)
{
  struct Case {
    const char* stored;
    bool on;
  };
  const Case readable[] = {{"hex:01", true}, {"hex:ff", true}, {"hex:00", false}};
  for (const auto& c : readable) {
    HandEdit(std::string("\"ShowDebug\"=") + c.stored + "\n");
    EXPECT_EQ(win::Settings_t(SettingsKey()).DebugTraceOn(), c.on) << c.stored;
  }
  for (const char* stored : {"dword:00000001", "hex:01,00,00,00", "\"1\"", "hex:"}) {
    HandEdit(std::string("\"ShowDebug\"=") + stored + "\n");
    try {
      win::Settings_t settings(SettingsKey());
      ADD_FAILURE() << "accepted " << stored;
    } catch (const win::RegError_t& error) {
      EXPECT_EQ(error.Code(), 0u);
      EXPECT_EQ(error.SubId(), "0");
      EXPECT_EQ(error.Message(),
                u"Reg name: 'HKEY_CURRENT_USER\\Software\\Telvan\\Velmora\\Settings\\ShowDebug'; System Error Code: "
                u"0\nSuccess\n");
    }
  }
}

TEST_F(RegistryTest, AValueWithADefaultReplacesWhatItCannotRead)
{
  HandEdit("\"UseLocalTime\"=dword:00000000\n\"UserUtcOffset\"=hex:01\n");
  const win::Settings_t settings(SettingsKey());
  EXPECT_TRUE(settings.UseLocalTime().get());
  EXPECT_NE(Hive().find(SettingsSection + "\"UseLocalTime\"=hex:01\n"
                                          "\"UserUtcOffset\"=hex:00,00,00,00,00,00,00,00\n"),
            std::string::npos);
}

TEST_F(RegistryTest, StoredValuesAreKept)
{
  HandEdit("\"UseLocalTime\"=hex:00\n\"UserUtcOffset\"=hex:00,00,00,00,00,20,ac,40\n\"ShowUsbDebug\"=hex:01\n");
  const std::string before = Hive();
  const win::Settings_t settings(SettingsKey());
  EXPECT_FALSE(settings.UseLocalTime().get());
  EXPECT_EQ(settings.UserUtcOffset().get(), glo::TimeSpan_t(3600));
  EXPECT_TRUE(settings.ShowUsbDebug().get());
  EXPECT_EQ(Hive(), before);
}

TEST_F(RegistryTest, EachValueTypeRoundTripsThroughTheFile)
{
  const RegKey_t key = SettingsKey();
  for (bool value : {false, true}) {
    const std::u16string name = value ? u"True" : u"False";
    win::RegValue_t<bool>(key, name, value);   // stores the default
    win::RegValue_t<bool>(key, name, !value);  // reads it back and keeps it
    EXPECT_EQ(win::ConstRegValue_t<bool>(key, name, {}).get(), value);
  }
  for (double seconds : {0.0, -1.5, 3600.25, 1e300, 7.0}) {
    const std::u16string name = u"Span" + glo::GLO_Decimal(static_cast<long long>(seconds * 4));
    win::RegValue_t<glo::TimeSpan_t>(key, name, glo::TimeSpan_t(seconds));
    win::RegValue_t<glo::TimeSpan_t>(key, name, glo::TimeSpan_t(99));
    EXPECT_EQ(win::ConstRegValue_t<glo::TimeSpan_t>(key, name, {}).get().Seconds(), seconds);
  }
  key.Write(u"Folder", win::RegSz, {'/', 0, 'o', 0, 'p', 0, 't', 0, 0, 0, 'x', 0});
  EXPECT_EQ(win::ConstRegValue_t<std::u16string>(key, u"Folder", {}).get(), u"/opt");
  EXPECT_NE(Hive().find("\"Span28\"=hex:00,00,00,00,00,00,1c,40\n"), std::string::npos);  // 7.0 as a double
}

TEST_F(RegistryTest, AnAbsentValueWithoutDefaultIsAnException)
{
  const win::ConstRegValue_t<std::u16string> value(SettingsKey(), u"InstallDir", {});
  EXPECT_FALSE(value.Value());
  try {
    value.get();
    FAIL() << "no exception";
  } catch (const win::RegException_t& error) {
    EXPECT_EQ(error.Message(), u"Reg name: '\\InstallDir'; ");
  }
  const win::RegValue_t<bool> flag(SettingsKey(), u"ShowDebug", {});
  EXPECT_FALSE(flag.Value());
  EXPECT_EQ(Hive().find("ShowDebug"), std::string::npos);
}

TEST_F(RegistryTest, ATextValueOfAnotherTypeIsAnError)
{
  HandEdit("\"InstallDir\"=hex:41,00,00,00\n");
  try {
    win::ConstRegValue_t<std::u16string>(SettingsKey(), u"InstallDir", {});
    FAIL() << "no exception";
  } catch (const win::RegError_t& error) {
    EXPECT_EQ(error.Code(), 0u);
    EXPECT_EQ(error.Message().substr(0, 25), u"Reg name: 'InstallDir'; S");
  }
}

TEST_F(RegistryTest, KeyPaths)
{
  const RegKey_t telvan(UserRoot(), u"Software\\Telvan\\", RegKey_t::KeyCreator_t());
  EXPECT_EQ(telvan.Name(), u"Telvan");
  EXPECT_EQ(telvan.Path(), u"HKEY_CURRENT_USER\\Software\\Telvan");
  const RegKey_t copy = telvan;
  EXPECT_EQ(copy.Handle().Get(), telvan.Handle().Get());
  EXPECT_EQ(UserRoot().Name(), u"HKEY_CURRENT_USER");
  EXPECT_EQ(UserRoot().Path(), u"HKEY_CURRENT_USER");
  for (const char16_t* path : {u"Software\\\\Telvan", u"\\Software", u""})
    EXPECT_THROW(RegKey_t(UserRoot(), path, RegKey_t::KeyCreator_t()), glo::Assert_t) << Narrow(path);
}

TEST_F(RegistryTest, AMissingKeyOpenedForReadingIsAnError)
{
  const RegKey_t machine = RegKey_t::Root(u"HKEY_LOCAL_MACHINE", folder.Wide("system.reg"));
  try {
    RegKey_t(machine, u"Software\\Telvan\\ErrorReporter", RegKey_t::KeyReader_t());
    FAIL() << "no exception";
  } catch (const win::RegError_t& error) {
    EXPECT_EQ(error.Code(), std::uint32_t(ENOENT));
    EXPECT_EQ(error.Message(),
              u"Reg name: 'HKEY_LOCAL_MACHINE\\Software'; System Error Code: 2\nNo such file or "
              u"directory\n");
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "system.reg"));
}

TEST_F(RegistryTest, AKeyOpenedForReadingCannotBeWritten)
{
  SettingsKey();
  const RegKey_t reader(UserRoot(), u"Software\\Telvan", RegKey_t::KeyReader_t());
  try {
    reader.Write(u"X", win::RegBinary, {1});
    FAIL() << "no exception";
  } catch (const win::RegError_t& error) {
    EXPECT_EQ(error.Code(), std::uint32_t(EACCES));
    EXPECT_EQ(error.Message().find(u"Reg name: 'HKEY_CURRENT_USER\\Software\\Telvan\\X'; "), 0u);
  }
  EXPECT_THROW(RegKey_t(reader, u"Sub", RegKey_t::KeyCreator_t()), win::RegError_t);
}

TEST_F(RegistryTest, AHandEditedFileIsReadWithoutRegardToCase)
{
  vtest::WriteFile(folder / "user.reg", Header +
                                            "[hkey_current_user\\SOFTWARE\\telvan\\VELMORA\\settings]\n"
                                            "\"showdebug\"=hex:01\n\"USELOCALTIME\"=hex:00\n");
  const win::Settings_t settings(SettingsKey());
  EXPECT_TRUE(settings.DebugTraceOn());
  EXPECT_FALSE(settings.UseLocalTime().get());
}

TEST_F(RegistryTest, AHiveThatDoesNotParseIsReportedAndKept)
{
  const std::string broken = Header + "[HKEY_CURRENT_USER\\Software\n";
  vtest::WriteFile(folder / "user.reg", broken);
  try {
    win::Settings_t settings(SettingsKey());
    FAIL() << "no exception";
  } catch (const win::RegError_t& error) {
    EXPECT_EQ(error.Code(), std::uint32_t(EBADMSG));
    EXPECT_NE(error.Message().find(folder.Wide("user.reg") + u":2'"), std::u16string::npos);
  }
  EXPECT_EQ(Hive(), broken);
}

TEST_F(RegistryTest, WritersInParallelLoseNothing)
{
  SettingsKey();
  constexpr int Writers = 4, Values = 20;
  std::vector<std::thread> writers;
  for (int w = 0; w < Writers; ++w)
    writers.emplace_back([this, w] {
      // Each writer has a hive object of its own, as another process would.
      const RegKey_t key = SettingsKey();
      for (int v = 0; v < Values; ++v)
        key.Write(u"W" + glo::GLO_Decimal(w) + u"V" + glo::GLO_Decimal(v), win::RegBinary, {1});
    });
  for (auto& writer : writers) writer.join();
  const std::string hive = Hive();
  for (int w = 0; w < Writers; ++w)
    for (int v = 0; v < Values; ++v)
      EXPECT_NE(hive.find("\"W" + std::to_string(w) + "V" + std::to_string(v) + "\"=hex:01"), std::string::npos);
}

// The process-wide keys and settings come from the environment on first use,
// so this runs in a child process of its own.
TEST_F(RegistryTest, ProcessWideSettingsLiveInTheUsersConfigFolder)
{
  const std::string config = folder.Path().string();
  EXPECT_EXIT(
      {
        vtest::ScopedEnvironment environment;
        environment.Set("XDG_CONFIG_HOME", config).Set("XDG_CONFIG_DIRS", config + "/machine");
        vtest::WriteFile(
            config + "/machine/Telvan/system.reg",
            Header + "[HKEY_LOCAL_MACHINE\\Software\\Telvan\\ErrorReporter]\n\"InstallDir\"=\"/opt/er\"\n");
        // Two threads reach the settings first at once.
        const win::Settings_t* seen[2] = {};
        std::thread first([&] { seen[0] = &win::WIN_GetSettings(); });
        std::thread second([&] { seen[1] = &win::WIN_GetSettings(); });
        first.join();
        second.join();
        const bool ok = seen[0] == seen[1] &&
                        win::WIN_SettingsKey().Path() == u"HKEY_CURRENT_USER\\Software\\Telvan\\Velmora\\Settings" &&
                        win::WIN_LocalMachineMakerKey().Path() == u"HKEY_LOCAL_MACHINE\\Software\\Telvan" &&
                        win::WIN_ErrorReporterInstallDir().get() == u"/opt/er";
        std::exit(ok ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
  EXPECT_NE(vtest::ReadFile(folder / "Telvan/user.reg").find(SettingsSection + "\"UseLocalTime\"=hex:01\n"),
            std::string::npos);
}

}  // namespace
