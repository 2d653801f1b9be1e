#pragma once
// A fatal-error dialog that records every report, safe to use from any
// thread (a worker reports on its own thread when its calls fail). Header
// only: tests that use it link the dialog interface themselves.

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "ERR_FatalDialogIntf.h"

namespace vtest {

class RecordingFatalDialog : public err::FatalDialogIntf_t {
 public:
  struct Report {
    std::string file;
    std::uint16_t line = 0;
    std::u16string extra;
    std::string subId;
    glo::Optional_t<std::uint32_t> programAddress;
    std::vector<std::uint32_t> stackTrace;
  };

  void Show(const std::string& file, std::uint16_t line, const std::u16string& extra, const std::string& subId,
            const glo::Optional_t<std::uint32_t>& programAddress, const std::vector<std::uint32_t>& stackTrace) override
  {
    std::lock_guard guard(lock_);
    reports_.push_back({file, line, extra, subId, programAddress, stackTrace});
  }

  std::vector<Report> Reports() const
  {
    std::lock_guard guard(lock_);
    return reports_;
  }
  // The last report; asserts that there is one.
  Report Last() const
  {
    std::lock_guard guard(lock_);
    glo::GLO_Assert(!reports_.empty(), GLO_HERE);
    return reports_.back();
  }

 private:
  mutable std::mutex lock_;
  std::vector<Report> reports_;
};

}  // namespace vtest
