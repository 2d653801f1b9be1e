#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "CapturingAccessPoint.h"
#include "DIO_AccessPoint.h"
#include "DIO_Exceptions.h"
#include "OtherThread.h"
#include "RecordingDialogs.h"
#include "TUI_ProxyMessageBox.h"
#include "TUI_ProxyProgressDlg.h"

namespace {

class ProgressCallsTest : public testing::Test {
 protected:
  ProgressCallsTest()
      : reference(dialog), capture(local), proxy(dio::RemoteReference_t({tui::ProgressDlgClass, 1}, capture))
  {
    local.Register({tui::ProgressDlgClass, 1}, reference);
  }

  vtest::RecordingProgressDlg dialog;
  tui::ProgressDlgRef_t reference;
  dio::LocalAccessPoint_t local;
  vtest::CapturingAccessPoint capture;
  tui::ProxyProgressDlg_t proxy;
};

TEST_F(ProgressCallsTest, EachSideBelongsToItsThread)
{
  vtest::RecordingMessageBox messageBox;
  tui::MessageBoxRef_t boxReference(messageBox);
  dio::Stack_t stack(false);
  stack.Push(std::int32_t{0});
  EXPECT_TRUE(vtest::AssertsOnAnotherThread([&] { reference.Invoke(stack); }));
  EXPECT_TRUE(vtest::AssertsOnAnotherThread([&] { reference.InvokeConst(stack); }));
  EXPECT_TRUE(vtest::AssertsOnAnotherThread([&] { boxReference.Invoke(stack); }));
  EXPECT_TRUE(vtest::AssertsOnAnotherThread([&] { proxy.SetPos(1); }));
  proxy.SetPos(7);
  EXPECT_EQ(dialog.calls, std::vector<std::string>{"SetPos 7"});
}

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

// The operation number and arguments of a request, below its address.
struct Frame {
  std::int32_t operation;
  std::vector<unsigned char> arguments;
};

Frame FrameOf(const std::vector<unsigned char>& request, const std::string& className)
{
  const std::size_t address = 4 + className.size() + 1;
  const std::size_t at = request.size() - address - 4;
  std::int32_t operation = 0;
  for (int i = 3; i >= 0; --i) operation = (operation << 8) | request[at + static_cast<std::size_t>(i)];
  return {operation, std::vector<unsigned char>(request.begin(), request.begin() + static_cast<long>(at))};
}

TEST_F(ProgressCallsTest, EachOperationHasItsNumberAndArguments)
{
  using Args = std::vector<unsigned char>;
  const std::vector<std::tuple<std::function<void()>, std::int32_t, Args>> cases = {
      {[&] { proxy.SetItemText(5882, u"x"); }, 0, {0xfa, 0x16, 0, 0, 0, 0, 'x', 0}},
      {[&] { proxy.SetPos(99); }, 1, {99, 0, 0, 0}},
      {[&] { proxy.SetTitle(u"T"); }, 2, {0, 0, 'T', 0}},
      {[&] { proxy.HideBar(); }, 3, {}},
      {[&] { proxy.StartIndefinite(); }, 4, {}},
      {[&] { proxy.StopIndefinite(); }, 5, {}},
      {[&] { proxy.RaiseHold(); }, 6, {}},
      {[&] { proxy.ReleaseHold(); }, 7, {}},
      {[&] { proxy.Finish(); }, 10, {}},
      {[&] { proxy.End(); }, 11, {}},
      {[&] { proxy.ShowBar(); }, 12, {}},
      {[&] { proxy.ShowItem(5883, 0); }, 13, {0xfb, 0x16, 0, 0, 0, 0, 0, 0}},
      {[&] { proxy.Show(); }, 14, {}},
      {[&] { proxy.Hide(); }, 15, {}},
  };
  for (const auto& [call, operation, arguments] : cases) {
    capture.requests.clear();
    call();
    ASSERT_EQ(capture.requests.size(), 1u);
    const Frame frame = FrameOf(capture.requests[0], tui::ProgressDlgClass);
    EXPECT_EQ(frame.operation, operation);
    EXPECT_EQ(frame.arguments, arguments) << operation;
  }
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
  vtest::RecordingMessageBox messageBox(6);  // Yes
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
  // Show is operation 0 and two-way, ShowNoResult operation 1 and one-way;
  // both push text, type and help id.
  vtest::CapturingAccessPoint capture(local);
  tui::ProxyMessageBox_t captured(dio::RemoteReference_t({tui::MessageBoxClass, 1}, capture));
  captured.Show(u"a", 0x30, 2);
  captured.ShowNoResult(u"a", 0x30, 2);
  const std::vector<unsigned char> arguments{0, 0, 'a', 0, 0x30, 0, 0, 0, 2, 0, 0, 0};
  ASSERT_EQ(capture.requests.size(), 2u);
  EXPECT_EQ(FrameOf(capture.requests[0], tui::MessageBoxClass).operation, 0);
  EXPECT_EQ(FrameOf(capture.requests[0], tui::MessageBoxClass).arguments, arguments);
  EXPECT_EQ(FrameOf(capture.requests[1], tui::MessageBoxClass).operation, 1);
  EXPECT_EQ(FrameOf(capture.requests[1], tui::MessageBoxClass).arguments, arguments);
  EXPECT_EQ(capture.oneWay, (std::vector<bool>{false, true}));
  dio::Stack_t unknown(false);
  unknown.Push(std::int32_t{2});
  EXPECT_THROW(reference.Invoke(unknown), dio::Exception_t);
}

}  // namespace
