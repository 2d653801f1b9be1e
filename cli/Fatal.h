#pragma once
// The fatal path of velmora-cli: every fatal error is recorded in the error
// log and handed to the error reporter as the wizard does; the program's
// own error dialog, and the message of a reporter that will not start, are
// printed on standard error.

#include <mutex>
#include <string>

#include "ERR_ErrorDialogIntf.h"
#include "ERR_FatalDialog.h"
#include "ERR_FatalDialogIntf.h"

namespace cli {

// Prints the dialog's explanation, "Error Information:" and the error text.
class ConsoleErrorDialog_t : public err::ErrorDialogIntf_t {
 public:
  void ShowErrorDialog(const std::u16string& errorText, const std::string& logText) override;
  void ShowMessage(const std::u16string& text) override;
};

// The fatal-error dialog over the console dialog, one report at a time;
// safe from any thread.
class ConsoleFatalReport_t : public err::FatalDialogIntf_t {
 public:
  void Show(const std::string& file, std::uint16_t line, const std::u16string& extra, const std::string& subId,
            const glo::Optional_t<std::uint32_t>& programAddress,
            const std::vector<std::uint32_t>& stackTrace) override;

 private:
  std::mutex lock_;
  ConsoleErrorDialog_t console_;
  err::FatalDialog_t dialog_{console_};
};

}  // namespace cli
