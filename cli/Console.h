#pragma once
// The dialogs of a transfer on a console: progress on standard error (one
// line redrawn in place on a terminal, one line per phase and per database
// otherwise), messages alone on standard error, the completion texts on
// standard output.

#include <cstdint>
#include <string>

#include "TUI_MessageBoxIntf.h"
#include "TUI_ProgressDlgIntf.h"

namespace cli {

class ConsoleProgress_t : public tui::ProgressDlgIntf_t {
 public:
  // terminal: standard error is one, and the line can be redrawn.
  explicit ConsoleProgress_t(bool terminal) : terminal_(terminal) {}

  void SetItemText(std::uint32_t controlId, const std::u16string& text) override;
  void ShowItem(std::uint32_t, std::int32_t) override {}
  void SetPos(std::int32_t) override {}
  void SetTitle(const std::u16string&) override {}
  void Show() override {}
  void Hide() override {}
  void ShowBar() override {}
  void HideBar() override {}
  void StartIndefinite() override {}
  void StopIndefinite() override {}
  void RaiseHold() override {}
  void ReleaseHold() override {}
  // Prints the completion texts.
  void Finish() override;
  void End() override { BreakLine(); }

  // Ends the line being redrawn, so that other output starts on its own.
  void BreakLine();
  bool Finished() const noexcept { return finished_; }

 private:
  void Redraw();

  const bool terminal_;
  std::u16string lines_[3];
  bool drawn_ = false;
  bool finished_ = false;
};

class ConsoleMessageBox_t : public tui::MessageBoxIntf_t {
 public:
  explicit ConsoleMessageBox_t(ConsoleProgress_t& progress) : progress_(progress) {}
  // Prints the text alone; OK is the answer.
  std::int32_t Show(const std::u16string& text, std::uint32_t type, std::uint32_t helpId) override;
  void ShowNoResult(const std::u16string& text, std::uint32_t type, std::uint32_t helpId) override;

 private:
  ConsoleProgress_t& progress_;
};

}  // namespace cli
