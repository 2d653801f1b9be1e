#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <thread>

#include "DIO_AccessPoint.h"
#include "DIO_Exceptions.h"
#include "DIO_Reference.h"
#include "DIO_Server.h"
#include "OtherThread.h"

using namespace std::chrono_literals;

namespace {

// A small interface called across threads in these tests.
class CalculatorIntf_t {
 public:
  virtual ~CalculatorIntf_t() = default;
  virtual std::int32_t Add(std::int32_t a, std::int32_t b) = 0;  // operation 0, two-way
  virtual void Note(const std::u16string& text) = 0;             // operation 1, one-way
};

class Calculator_t : public CalculatorIntf_t {
 public:
  std::int32_t Add(std::int32_t a, std::int32_t b) override
  {
    ranOn = std::this_thread::get_id();
    return a + b;
  }
  void Note(const std::u16string& text) override { notes.push_back(text); }

  std::thread::id ranOn;
  std::vector<std::u16string> notes;
};

class CalculatorRef_t : public dio::ReferenceIntf_t {
 public:
  explicit CalculatorRef_t(CalculatorIntf_t& target) : target_(&target) {}
  std::unique_ptr<dio::ReferenceIntf_t> Clone() const override { return std::make_unique<CalculatorRef_t>(*target_); }
  void InvokeConst(dio::Stack_t& stack) override { Invoke(stack); }
  void Invoke(dio::Stack_t& stack) override
  {
    std::int32_t operation = 0;
    stack.Pop(operation);
    if (operation == 0) {
      std::int32_t a = 0, b = 0;
      stack.Pop(b).Pop(a);
      dio::DIO_Check(stack.Empty(), GLO_HERE);
      stack.Push(target_->Add(a, b)).Push(operation);
    } else if (operation == 1) {
      std::u16string text;
      stack.Pop(text);
      dio::DIO_Check(stack.Empty(), GLO_HERE);
      target_->Note(text);
    } else {
      throw dio::Exception_t(GLO_HERE);
    }
  }

 private:
  CalculatorIntf_t* target_;
};

class ProxyCalculator_t : public CalculatorIntf_t, public dio::Proxy_t {
 public:
  using dio::Proxy_t::Proxy_t;
  std::int32_t Add(std::int32_t a, std::int32_t b) override
  {
    dio::Stack_t stack(false);
    stack.Push(a).Push(b);
    Call(0, stack);
    std::int32_t sum = 0;
    stack.Pop(sum);
    EXPECT_TRUE(stack.Empty());
    return sum;
  }
  void Note(const std::u16string& text) override
  {
    dio::Stack_t stack(true);
    stack.Push(text);
    Call(1, stack);
  }
  void Unknown()
  {
    dio::Stack_t stack(false);
    Call(16, stack);
  }
};

const dio::Address_t Calculator{"CalculatorClass", 1};

// The user-interface side: a thread with a serving window and its loop.
class ServingThread_t {
 public:
  ServingThread_t()
  {
    std::promise<win::WindowHandle_t> made;
    thread_ = std::thread([this, &made] {
      dio::LocalAccessPoint_t local;
      CalculatorRef_t reference(calculator);
      local.Register(Calculator, reference);
      dio::Server_t server(local);
      win::Window_t window([&](const win::Message_t& message) {
        try {
          dio::DIO_ServeMessage(server, message, serving.load());
        } catch (const dio::Exception_t&) {
          ++failures;
        }
        return std::intptr_t{0};
      });
      id = std::this_thread::get_id();
      made.set_value(window.Handle());
      loop_.Run();
    });
    window = made.get_future().get();
  }
  ~ServingThread_t() { Stop(); }
  // Ends the loop; the window goes with the thread.
  void Stop()
  {
    if (!thread_.joinable()) return;
    loop_.Quit();
    thread_.join();
  }

  Calculator_t calculator;
  std::atomic<bool> serving{true};
  std::atomic<int> failures{0};
  win::WindowHandle_t window = 0;
  std::thread::id id;

 private:
  win::MessageLoop_t loop_;
  std::thread thread_;
};

TEST(Call, ATwoWayCallReturnsOnlyAfterTheServingThreadRanIt)
{
  ServingThread_t ui;
  dio::UIAccessPoint_t accessPoint(ui.window, dio::CallMessage);
  ProxyCalculator_t calculator(dio::RemoteReference_t(Calculator, accessPoint));
  EXPECT_EQ(calculator.Add(2, 3), 5);
  EXPECT_EQ(ui.calculator.ranOn, ui.id);
  EXPECT_EQ(calculator.Add(-7, 7), 0);
}

TEST(Call, AOneWayCallDoesNotWaitAndWakesNoOtherCall)
{
  ServingThread_t ui;
  dio::UIAccessPoint_t accessPoint(ui.window, dio::CallMessage);
  ProxyCalculator_t calculator(dio::RemoteReference_t(Calculator, accessPoint));
  for (int i = 0; i < 20; ++i) {
    calculator.Note(u"note");
    EXPECT_EQ(calculator.Add(i, 1), i + 1);
    // The notes were posted first, so they were served before the sum.
    EXPECT_EQ(ui.calculator.notes.size(), static_cast<std::size_t>(i + 1));
  }
}

TEST(Call, ACallThatIsNotServedFailsInsteadOfBlocking)
{
  ServingThread_t ui;
  dio::UIAccessPoint_t accessPoint(ui.window, dio::CallMessage);
  ProxyCalculator_t calculator(dio::RemoteReference_t(Calculator, accessPoint));
  EXPECT_THROW(calculator.Unknown(), dio::Exception_t);  // raised on the serving side
  ui.serving = false;
  EXPECT_THROW(calculator.Add(1, 1), dio::Exception_t);
  ui.serving = true;
  EXPECT_EQ(calculator.Add(1, 1), 2);
  // Served in order: the failure reached the serving thread's handler too.
  EXPECT_EQ(ui.failures.load(), 1);
}

TEST(Call, ADestroyedServingWindowFailsAtOnce)
{
  ServingThread_t ui;
  dio::UIAccessPoint_t accessPoint(ui.window, dio::CallMessage);
  ProxyCalculator_t calculator(dio::RemoteReference_t(Calculator, accessPoint));
  ui.Stop();
  try {
    calculator.Add(1, 2);
    FAIL() << "no exception";
  } catch (const dio::WindowsError_t& error) {
    EXPECT_EQ(error.SubId(), "9");  // EBADF
    EXPECT_EQ(error.Message(), u"System Error Code: 9\nBad file descriptor\n");
  }
}

TEST(Call, AnAccessPointAndItsCloneServeTwoThreadsAtOnce)
{
  ServingThread_t ui;
  dio::UIAccessPoint_t accessPoint(ui.window, dio::CallMessage);
  auto clone = accessPoint.Clone();
  auto caller = [](dio::AccessPointIntf_t& through, int base) {
    ProxyCalculator_t calculator(dio::RemoteReference_t(Calculator, through));
    for (int i = 0; i < 300; ++i)
      if (calculator.Add(base, i) != base + i) return false;
    return true;
  };
  auto first = std::async(std::launch::async, caller, std::ref(accessPoint), 1000);
  auto second = std::async(std::launch::async, caller, std::ref(*clone), 2000);
  EXPECT_TRUE(first.get());
  EXPECT_TRUE(second.get());
}

// Calls Add from another thread through a window of this thread, which never
// serves it, and tells how the call ended once `settle` dealt with the
// message this thread received.
std::string CallUnserved(const std::function<void(std::unique_ptr<win::Window_t>&)>& settle)
{
  auto window = std::make_unique<win::Window_t>([](const win::Message_t&) { return std::intptr_t{0}; });
  dio::UIAccessPoint_t accessPoint(window->Handle(), dio::CallMessage);
  auto outcome = std::async(std::launch::async, [&accessPoint] {
    ProxyCalculator_t calculator(dio::RemoteReference_t(Calculator, accessPoint));
    try {
      calculator.Add(1, 2);
      return std::string("returned");
    } catch (const dio::Exception_t&) {
      return std::string("failed");
    }
  });
  EXPECT_TRUE(win::WIN_WaitForAny({&win::MessageQueue_t::ForThisThread()->Ready().Handle()}, 10s));
  settle(window);
  return outcome.get();
}

TEST(Call, ACallThatIsDroppedFails)
{
  // Its window goes away while the call waits in the queue.
  EXPECT_EQ(CallUnserved([](auto& window) {
              window.reset();
              win::MessageQueue_t::ForThisThread()->DispatchPending();
            }),
            "failed");
  // Its window's handler ignores it.
  EXPECT_EQ(CallUnserved([](auto&) { win::MessageQueue_t::ForThisThread()->DispatchPending(); }), "failed");
}

TEST(Call, ACallMessageWithoutItsTicketIsRefused)
{
  dio::LocalAccessPoint_t local;
  dio::Server_t server(local);
  EXPECT_THROW(dio::DIO_ServeMessage(server, {dio::CallMessage, 0, 0, nullptr}, true), dio::Exception_t);
  EXPECT_FALSE(dio::DIO_ServeMessage(server, {0x8011, 0, 0, nullptr}, true));
}

TEST(Call, TheServingSideBelongsToItsThread)
{
  Calculator_t target;
  CalculatorRef_t reference(target);
  dio::LocalAccessPoint_t local;
  local.Register(Calculator, reference);
  dio::Server_t server(local);
  ProxyCalculator_t calculator(dio::RemoteReference_t(Calculator, local));
  dio::Stack_t stack(false);
  const std::pair<const char*, std::function<void()>> uses[] = {
      {"serve", [&] { server.Serve(&stack, nullptr); }},
      {"dispatch", [&] { local.Call(stack); }},
      {"register", [&] { local.Register({"Other", 1}, reference); }},
      {"unregister", [&] { local.Unregister(Calculator); }},
      {"proxy", [&] { calculator.Add(1, 2); }},
  };
  for (const auto& [name, use] : uses) EXPECT_TRUE(vtest::AssertsOnAnotherThread(use)) << name;
  EXPECT_EQ(calculator.Add(1, 2), 3);
}

TEST(Call, AnAbandonedAccessPointCallsNoMore)
{
  ServingThread_t ui;
  dio::UIAccessPoint_t accessPoint(ui.window, dio::CallMessage);
  ProxyCalculator_t calculator(dio::RemoteReference_t(Calculator, accessPoint));
  accessPoint.Abandon();
  EXPECT_THROW(calculator.Add(1, 2), dio::Exception_t);
  EXPECT_EQ(ui.calculator.ranOn, std::thread::id());
}

TEST(Call, ALocalAccessPointDispatchesOnTheCallingThread)
{
  Calculator_t target;
  CalculatorRef_t reference(target);
  dio::LocalAccessPoint_t local;
  local.Register(Calculator, reference);
  EXPECT_THROW(local.Register(Calculator, reference), dio::Exception_t);
  ProxyCalculator_t calculator(dio::RemoteReference_t(Calculator, local));
  EXPECT_EQ(calculator.Add(40, 2), 42);
  EXPECT_EQ(target.ranOn, std::this_thread::get_id());
  auto clone = local.Clone();
  ProxyCalculator_t throughClone(dio::RemoteReference_t(Calculator, *clone));
  EXPECT_EQ(throughClone.Add(1, 1), 2);
  local.Unregister(Calculator);
  EXPECT_THROW(calculator.Add(1, 1), dio::Exception_t);
}

}  // namespace
