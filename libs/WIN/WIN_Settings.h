#pragma once
// The user's settings of the program.

#include "GLO_NonCopyable.h"
#include "WIN_RegValue.h"

namespace win {

// The settings key's values, read (and those with a default written back)
// when built.
class Settings_t : public glo::NonCopyable_t {
 public:
  // A value without a default stored with another type or size raises
  // RegError_t (code 0).
  explicit Settings_t(const RegKey_t& settingsKey);

  const RegValue_t<bool>& UseLocalTime() const noexcept { return useLocalTime_; }
  const RegValue_t<glo::TimeSpan_t>& UserUtcOffset() const noexcept { return userUtcOffset_; }
  const RegValue_t<bool>& ShowDebug() const noexcept { return showDebug_; }
  const RegValue_t<bool>& ShowUsbDebug() const noexcept { return showUsbDebug_; }

  // "ShowDebug" is present and true.
  bool DebugTraceOn() const;

 private:
  RegValue_t<bool> useLocalTime_;
  RegValue_t<glo::TimeSpan_t> userUtcOffset_;
  RegValue_t<bool> showDebug_;
  RegValue_t<bool> showUsbDebug_;
};

// The process-wide settings of WIN_SettingsKey, built on first use.
const Settings_t& WIN_GetSettings();

// The folder of the external error reporter: "InstallDir" of the machine's
// Software\Telvan\ErrorReporter key; get() raises RegException_t when it is
// missing. RegError_t when the key is missing.
ConstRegValue_t<std::u16string> WIN_ErrorReporterInstallDir();

}  // namespace win
