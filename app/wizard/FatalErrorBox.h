#pragma once
// The fatal-error dialog of start-up, until the error reporting's own
// dialog takes its place: an error box with the error's text and where it
// was raised.

#include "ERR_FatalDialogIntf.h"

namespace vm {

class FatalErrorBox_t : public err::FatalDialogIntf_t {
 public:
  void Show(const std::string& file, std::uint16_t line, const std::u16string& extra, const std::string& subId,
            const glo::Optional_t<std::uint32_t>& programAddress,
            const std::vector<std::uint32_t>& stackTrace) override;
};

}  // namespace vm
