#include <gtest/gtest.h>

#include "DIO_AccessPoint.h"
#include "DIO_Exceptions.h"
#include "TUI_ProxyMessageBox.h"
#include "TUI_ProxyProgressDlg.h"

namespace {

// Keeps what the dialog was asked to do.
class RecordingDialog_t : public tui::ProgressDlgIntf_t {
 public:
  void SetItemText(std::uint32_t id, const std::u16string& text) override
  {
    calls.push_back("SetItemText " + std::to_string(id) + " " + std::string(text.begin(), text.end()));
  }
  void ShowItem(std::uint32_t id, std::int32_t command) override
  {
    calls.push_back("ShowItem " + std::to_string(id) + " " + std::to_string(command));
  }
  void SetPos(std::int32_t percent) override { calls.push_back("SetPos " + std::to_string(percent)); }
  void SetTitle(const std::u16string& title) override
  {
    calls.push_back("SetTitle " + std::string(title.begin(), title.end()));
  }
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

class RecordingMessageBox_t : public tui::MessageBoxIntf_t {
 public:
  std::int32_t Show(const std::u16string& text, std::uint32_t type, std::uint32_t helpId) override
  {
    shown.push_back({text, type, helpId});
    return 6;  // Yes
  }
  void ShowNoResult(const std::u16string& text, std::uint32_t type, std::uint32_t helpId) override
  {
    shown.push_back({text, type, helpId});
  }
  struct Shown {
    std::u16string text;
    std::uint32_t type, helpId;
  };
  std::vector<Shown> shown;
};

// Keeps the bytes of every request on its way to the local access point.
class CapturingAccessPoint_t : public dio::AccessPointIntf_t {
 public:
  explicit CapturingAccessPoint_t(dio::AccessPointIntf_t& next) : next_(next) {}
  std::unique_ptr<dio::AccessPointIntf_t> Clone() const override
  {
    return std::make_unique<CapturingAccessPoint_t>(next_);
  }
  void Call(dio::Stack_t& stack) override
  {
    requests.push_back(stack.Bytes());
    next_.Call(stack);
  }
  std::vector<std::vector<unsigned char>> requests;

 private:
  dio::AccessPointIntf_t& next_;
};

class ProgressCallsTest : public testing::Test {
 protected:
  ProgressCallsTest()
      : reference(dialog), capture(local), proxy(dio::RemoteReference_t({tui::ProgressDlgClass, 1}, capture))
  {
    local.Register({tui::ProgressDlgClass, 1}, reference);
  }

  RecordingDialog_t dialog;
  tui::ProgressDlgRef_t reference;
  dio::LocalAccessPoint_t local;
  CapturingAccessPoint_t capture;
  tui::ProxyProgressDlg_t proxy;
};

TEST_F(ProgressCallsTest, EveryOperationReachesTheDialog)
{
  proxy.SetItemText(5881, u"Transferring");
  proxy.ShowItem(5883, 5);
  proxy.SetPos(42);
  proxy.SetTitle(u"Velmora");
  proxy.Show();
  proxy.Hide();
  proxy.ShowBar();
  proxy.HideBar();
  proxy.StartIndefinite();
  proxy.StopIndefinite();
  proxy.RaiseHold();
  proxy.ReleaseHold();
  proxy.Finish();
  proxy.End();
  EXPECT_EQ(dialog.calls,
            (std::vector<std::string>{"SetItemText 5881 Transferring", "ShowItem 5883 5", "SetPos 42",
                                      "SetTitle Velmora", "Show", "Hide", "ShowBar", "HideBar", "StartIndefinite",
                                      "StopIndefinite", "RaiseHold", "ReleaseHold", "Finish", "End"}));
}

TEST_F(ProgressCallsTest, ARequestFrameIsArgumentsOperationAndAddress)
{
  proxy.SetItemText(5881, u"ab");
  std::vector<unsigned char> expected{0xF9, 0x16, 0,   0,          // control id 5881
                                      0,    0,    'b', 0, 'a', 0,  // the text
                                      0,    0,    0,   0};         // operation 0
  const std::string name = tui::ProgressDlgClass;
  expected.push_back(0);
  expected.insert(expected.end(), name.rbegin(), name.rend());  // the class name
  for (unsigned char b : {1, 0, 0, 0}) expected.push_back(b);   // instance 1
  ASSERT_EQ(capture.requests.size(), 1u);
  EXPECT_EQ(capture.requests[0], expected);
}

TEST_F(ProgressCallsTest, SecondNumbersAndUnknownNumbers)
{
  for (std::int32_t operation : {8, 9}) {
    dio::Stack_t stack(false);
    stack.Push(operation);
    reference.Invoke(stack);
  }
  EXPECT_EQ(dialog.calls, (std::vector<std::string>{"RaiseHold", "ReleaseHold"}));
  for (std::int32_t operation : {16, -1}) {
    dio::Stack_t stack(false);
    stack.Push(operation);
    EXPECT_THROW(reference.Invoke(stack), dio::Exception_t) << operation;
  }
  dio::Stack_t stack(false);
  stack.Push(std::int32_t{tui::ProgressDlgIntf_t::OpShow});
  EXPECT_THROW(reference.InvokeConst(stack), dio::Exception_t);
  dio::Stack_t extra(false);
  extra.Push(std::int32_t{99}).Push(std::int32_t{tui::ProgressDlgIntf_t::OpShow});  // an argument too many
  EXPECT_THROW(reference.Invoke(extra), dio::Exception_t);
}

TEST(MessageBoxCalls, ShowReturnsTheButtonAndShowNoResultReturnsNothing)
{
  RecordingMessageBox_t messageBox;
  tui::MessageBoxRef_t reference(messageBox);
  dio::LocalAccessPoint_t local;
  local.Register({tui::MessageBoxClass, 1}, reference);
  tui::ProxyMessageBox_t proxy(dio::RemoteReference_t({tui::MessageBoxClass, 1}, local));
  EXPECT_EQ(proxy.Show(u"Card full", 0x30, 7), 6);
  proxy.ShowNoResult(u"Done", 0x40, 0);
  ASSERT_EQ(messageBox.shown.size(), 2u);
  EXPECT_EQ(messageBox.shown[0].text, u"Card full");
  EXPECT_EQ(messageBox.shown[0].type, 0x30u);
  EXPECT_EQ(messageBox.shown[0].helpId, 7u);
  EXPECT_EQ(messageBox.shown[1].text, u"Done");
  dio::Stack_t unknown(false);
  unknown.Push(std::int32_t{2});
  EXPECT_THROW(reference.Invoke(unknown), dio::Exception_t);
}

}  // namespace
