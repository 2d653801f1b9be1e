#pragma once
// A progress dialog and a message box that record what they are shown, for
// exact checks of what a worker sends. Header only: tests that use it link
// the dialog interfaces themselves.

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "GLO_Text.h"
#include "TUI_MessageBoxIntf.h"
#include "TUI_ProgressDlgIntf.h"

namespace vtest {

inline std::string Utf8(const std::u16string& text)
{
  return glo::GLO_ToNarrow(text, glo::CodePageUtf8);
}

// Every call in order as a line ("SetItemText 5882 Copying database(s)...",
// "SetPos 40", "End"), and the lines and bar position they leave.
class RecordingProgressDlg : public tui::ProgressDlgIntf_t {
 public:
  void SetItemText(std::uint32_t id, const std::u16string& text) override
  {
    calls.push_back("SetItemText " + std::to_string(id) + " " + Utf8(text));
    lines[id] = Utf8(text);
    texts.emplace_back(id, Utf8(text));
  }
  void ShowItem(std::uint32_t id, std::int32_t command) override
  {
    calls.push_back("ShowItem " + std::to_string(id) + " " + std::to_string(command));
  }
  void SetPos(std::int32_t percent) override
  {
    calls.push_back("SetPos " + std::to_string(percent));
    pos = percent;
  }
  void SetTitle(const std::u16string& title) override { calls.push_back("SetTitle " + Utf8(title)); }
  void Show() override { calls.push_back("Show"); }
  void Hide() override { calls.push_back("Hide"); }
  void ShowBar() override { calls.push_back("ShowBar"); }
  void HideBar() override { calls.push_back("HideBar"); }
  void StartIndefinite() override { calls.push_back("StartIndefinite"); }
  void StopIndefinite() override { calls.push_back("StopIndefinite"); }
  void RaiseHold() override { calls.push_back("RaiseHold"); }
  void ReleaseHold() override { calls.push_back("ReleaseHold"); }
  void Finish() override { calls.push_back("Finish"); }
  void End() override { calls.push_back("End"); }

  // The calls since the last look.
  std::vector<std::string> Take() { return std::exchange(calls, {}); }

  std::vector<std::string> calls;
  std::map<std::uint32_t, std::string> lines;
  // Every text set, with its control.
  std::vector<std::pair<std::uint32_t, std::string>> texts;
  std::int32_t pos = -1;
};

// Every box shown; answers with the given button.
class RecordingMessageBox : public tui::MessageBoxIntf_t {
 public:
  explicit RecordingMessageBox(std::int32_t answer = 1) : answer_(answer) {}
  std::int32_t Show(const std::u16string& text, std::uint32_t type, std::uint32_t helpId) override
  {
    shown.push_back({text, type, helpId});
    return answer_;
  }
  void ShowNoResult(const std::u16string& text, std::uint32_t type, std::uint32_t helpId) override
  {
    shown.push_back({text, type, helpId});
  }
  struct Shown {
    std::u16string text;
    std::uint32_t type, helpId;
  };
  // The texts alone, as UTF-8.
  std::vector<std::string> Texts() const
  {
    std::vector<std::string> texts;
    for (const auto& box : shown) texts.push_back(Utf8(box.text));
    return texts;
  }
  std::vector<Shown> shown;

 private:
  std::int32_t answer_;
};

}  // namespace vtest
