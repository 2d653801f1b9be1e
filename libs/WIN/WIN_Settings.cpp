#include "WIN_Settings.h"

namespace win {

Settings_t::Settings_t(const RegKey_t& settingsKey)
    : useLocalTime_(settingsKey, u"UseLocalTime", true),
      userUtcOffset_(settingsKey, u"UserUtcOffset", glo::TimeSpan_t()),
      showDebug_(settingsKey, u"ShowDebug", {}),
      showUsbDebug_(settingsKey, u"ShowUsbDebug", {})
{
}

bool Settings_t::DebugTraceOn() const
{
  return showDebug_.Value() && showDebug_.Value().Get();
}

const Settings_t& WIN_GetSettings()
{
  static const Settings_t settings(WIN_SettingsKey());
  return settings;
}

ConstRegValue_t<std::u16string> WIN_ErrorReporterInstallDir()
{
  const RegKey_t key(WIN_LocalMachineMakerKey(), u"ErrorReporter", RegKey_t::KeyReader_t());
  return ConstRegValue_t<std::u16string>(key, u"InstallDir", {});
}

}  // namespace win
