#pragma once
// Dialogs that record what a transfer shows, for exact checks.

#include <mutex>
#include <string>
#include <vector>

#include "ERR_FatalDialogIntf.h"
#include "GLO_Text.h"
#include "TUI_MessageBoxIntf.h"
#include "TUI_ProgressDlgIntf.h"

namespace xfertest {

inline std::string Utf8(const std::u16string& text)
{
  return glo::GLO_ToNarrow(text, glo::CodePageUtf8);
}

// Every call as a line: "text 5882 Copying database(s)...", "pos 40", "End".
class ProgressDialog_t : public tui::ProgressDlgIntf_t {
 public:
  void SetItemText(std::uint32_t controlId, const std::u16string& text) override
  {
    calls.push_back("text " + std::to_string(controlId) + " " + Utf8(text));
  }
  void ShowItem(std::uint32_t controlId, std::int32_t show) override
  {
    calls.push_back("show " + std::to_string(controlId) + " " + std::to_string(show));
  }
  void SetPos(std::int32_t percent) override { calls.push_back("pos " + std::to_string(percent)); }
  void SetTitle(const std::u16string& title) override { calls.push_back("title " + Utf8(title)); }
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

  std::vector<std::string> calls;
};

class MessageBox_t : public tui::MessageBoxIntf_t {
 public:
  std::int32_t Show(const std::u16string& text, std::uint32_t type, std::uint32_t helpId) override
  {
    texts.push_back(Utf8(text));
    types.push_back(type);
    helpIds.push_back(helpId);
    return 1;
  }
  void ShowNoResult(const std::u16string& text, std::uint32_t type, std::uint32_t helpId) override
  {
    Show(text, type, helpId);
  }
  std::vector<std::string> texts;
  std::vector<std::uint32_t> types;
  std::vector<std::uint32_t> helpIds;
};

// Safe from any thread: the worker's own fatal-error dialog is one.
class FatalDialog_t : public err::FatalDialogIntf_t {
 public:
  void Show(const std::string& file, std::uint16_t line, const std::u16string& extra, const std::string& subId,
            const glo::Optional_t<std::uint32_t>&, const std::vector<std::uint32_t>& stackTrace) override
  {
    std::lock_guard guard(lock_);
    reports.push_back({file, line, Utf8(extra), subId, stackTrace.size()});
  }
  struct Report_t {
    std::string file;
    std::uint16_t line;
    std::string extra;
    std::string subId;
    std::size_t traceSize;
  };
  std::vector<Report_t> Reports()
  {
    std::lock_guard guard(lock_);
    return reports;
  }

 private:
  std::mutex lock_;
  std::vector<Report_t> reports;
};

}  // namespace xfertest
