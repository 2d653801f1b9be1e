#pragma once
// The dialogs of a transfer on a console. As text: progress on standard
// error (one line redrawn in place on a terminal, one line per phase and per
// database otherwise), messages alone on standard error, the completion
// texts on standard output. As JSON (--json): one object a line on standard
// output for every change of what the dialog shows (JsonLines.h), and the
// messages kept for the command's outcome.
//
// Several cards may be served at once, each by its own dialogs on its own
// thread: every line is written whole, and as text each one starts with the
// card's path when the dialogs are told to name it.

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

#include "TUI_MessageBoxIntf.h"
#include "TUI_ProgressDlgIntf.h"

namespace cli {

// Held for every line written to the console, from any thread.
std::mutex& ConsoleLock();

struct ConsoleOptions_t {
  // Standard error is a terminal, and the line can be redrawn.
  bool terminal = false;
  // JSON lines on standard output instead of text.
  bool json = false;
  // The card the dialogs are about; empty for none.
  std::u16string card;
  // Every text line starts with the card's path and ": ".
  bool named = false;
};

class ConsoleProgress_t : public tui::ProgressDlgIntf_t {
 public:
  explicit ConsoleProgress_t(ConsoleOptions_t options);

  void SetItemText(std::uint32_t controlId, const std::u16string& text) override;
  void ShowItem(std::uint32_t, std::int32_t) override {}
  void SetPos(std::int32_t percent) override;
  void SetTitle(const std::u16string&) override {}
  void Show() override {}
  void Hide() override {}
  void ShowBar() override {}
  void HideBar() override {}
  void StartIndefinite() override {}
  void StopIndefinite() override {}
  void RaiseHold() override {}
  void ReleaseHold() override {}
  // Prints the completion texts, as text.
  void Finish() override;
  void End() override { BreakLine(); }

  // Ends the line being redrawn, so that other output starts on its own.
  void BreakLine();
  bool Finished() const noexcept { return finished_; }
  // The completion texts, one a line.
  std::u16string CompletionText() const;
  const ConsoleOptions_t& Options() const noexcept { return options_; }
  // The text with the card's path before it when the lines name the card,
  // as UTF-8.
  std::string Named(const std::u16string& text) const;

 private:
  void Redraw();
  void WriteJson();

  const ConsoleOptions_t options_;
  std::u16string lines_[3];
  bool drawn_ = false;
  bool finished_ = false;
  // What the JSON lines tell beyond the lines.
  std::int32_t phase_ = 0;
  std::int32_t percent_ = 0;
  std::chrono::steady_clock::time_point phaseStart_;
  std::string lastJson_;
};

class ConsoleMessageBox_t : public tui::MessageBoxIntf_t {
 public:
  explicit ConsoleMessageBox_t(ConsoleProgress_t& progress) : progress_(progress) {}
  // Prints the text alone, as text; keeps it. OK is the answer.
  std::int32_t Show(const std::u16string& text, std::uint32_t type, std::uint32_t helpId) override;
  void ShowNoResult(const std::u16string& text, std::uint32_t type, std::uint32_t helpId) override;

  // What was shown, one message a line; empty when nothing was.
  const std::u16string& Shown() const noexcept { return shown_; }

 private:
  ConsoleProgress_t& progress_;
  std::u16string shown_;
};

}  // namespace cli
