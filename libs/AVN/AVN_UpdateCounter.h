#pragma once
// The line of the progress dialog that counts the databases written.

#include <cstdint>

#include "GLO_NonCopyable.h"
#include "TUI_ProgressDlgIntf.h"

namespace avn {

class UpdateCounter_t : public glo::NonCopyable_t {
 public:
  // The dialog's control that shows the count.
  static constexpr std::uint32_t ControlId = 5881;

  // The dialog must outlive the counter.
  UpdateCounter_t(tui::ProgressDlgIntf_t& dialog, std::uint32_t total) : Total(total), dialog_(dialog) {}

  // Counts one more and shows "Transferring Data (update N of TOTAL)".
  void Next();

  std::uint32_t Count = 0;
  std::uint32_t Total;

 private:
  tui::ProgressDlgIntf_t& dialog_;
};

}  // namespace avn
