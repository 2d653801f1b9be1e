#include "THR_UIThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "DIO_Exceptions.h"
#include "DIO_Reference.h"
#include "DIO_Server.h"

using namespace std::chrono_literals;

namespace {

struct Count_t : thr::Parameter_t {
  explicit Count_t(int value) : value(value) {}
  int value;
};

// A window on this thread that is never served: calls to it stay queued.
win::Window_t& QuietWindow()
{
  static win::Window_t window([](const win::Message_t&) { return std::intptr_t{0}; });
  return window;
}

TEST(UIThread, TheWorkerGetsItsParameterAndStopEvent)
{
  std::promise<int> taken;
  std::atomic<bool> stopSeen{false};
  {
    thr::UIThread_t worker(
        [&](thr::UIThread_t::Context_t& context) {
          auto parameter = context.TakeParameter();
          taken.set_value(dynamic_cast<Count_t&>(*parameter).value);
          auto stop = context.DuplicateStopEvent();
          stopSeen = stop.Wait(10s);
        },
        QuietWindow().Handle(), dio::CallMessage, std::make_unique<Count_t>(42), false);
    auto value = taken.get_future();
    ASSERT_EQ(value.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(value.get(), 42);
    EXPECT_TRUE(worker.Stop(10s));
  }
  EXPECT_TRUE(stopSeen);
}

TEST(UIThread, ARequestedStopReachesTheWorkerWithoutAWait)
{
  auto release = std::make_shared<std::promise<void>>();
  auto released = release->get_future().share();
  std::atomic<bool> stopSeen{false};
  thr::UIThread_t worker(
      [&stopSeen, released](thr::UIThread_t::Context_t& context) {
        stopSeen = context.DuplicateStopEvent().Wait(10s);
        released.wait();
      },
      QuietWindow().Handle(), dio::CallMessage, nullptr, false);
  // Returns while the worker still runs: it waits for the release.
  worker.RequestStop();
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!stopSeen && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
  EXPECT_TRUE(stopSeen);
  release->set_value();
  EXPECT_TRUE(worker.Stop(10s));
}

TEST(UIThread, ASuspendedWorkerWaitsForResume)
{
  std::atomic<bool> ran{false};
  thr::UIThread_t worker([&](thr::UIThread_t::Context_t&) { ran = true; }, QuietWindow().Handle(), dio::CallMessage,
                         nullptr, true);
  std::this_thread::sleep_for(30ms);
  EXPECT_FALSE(ran);
  worker.Resume();
  EXPECT_TRUE(worker.Stop(10s));
  EXPECT_TRUE(ran);
}

TEST(UIThread, StoppingAnEndedWorkerDoesNotSignalIt)
{
  auto handedOver = std::make_shared<std::promise<win::Event_t>>();
  auto stopEvent = handedOver->get_future();
  thr::UIThread_t worker(
      [handedOver](thr::UIThread_t::Context_t& context) { handedOver->set_value(context.DuplicateStopEvent()); },
      QuietWindow().Handle(), dio::CallMessage, nullptr, false);
  ASSERT_EQ(stopEvent.wait_for(10s), std::future_status::ready);
  win::Event_t stop = stopEvent.get();
  std::this_thread::sleep_for(50ms);  // the entry function has returned
  EXPECT_TRUE(worker.Stop(0ms));
  EXPECT_FALSE(stop.Wait(0ms));
}

TEST(UIThread, AWorkerThatIgnoresTheStopIsAbandonedAndEndsSafely)
{
  auto release = std::make_shared<win::Event_t>(true, false);
  auto outcome = std::make_shared<std::promise<std::string>>();
  auto future = outcome->get_future();
  const auto started = std::chrono::steady_clock::now();
  {
    thr::UIThread_t worker(
        [release, outcome](thr::UIThread_t::Context_t& context) {
          release->Wait(60s);  // ignores its stop event
          // The thread object is gone by now; the call must fail, not reach the window.
          try {
            dio::Stack_t stack(false);
            dio::RemoteReference_t({"ProgressDlgClass", 1}, context.AccessPoint()).Invoke(stack);
            outcome->set_value("called");
          } catch (const dio::Exception_t&) {
            outcome->set_value("refused");
          }
        },
        QuietWindow().Handle(), dio::CallMessage, nullptr, false);
  }
  const auto waited = std::chrono::steady_clock::now() - started;
  EXPECT_GE(waited, 2900ms);
  EXPECT_LT(waited, 6s);
  release->Set();
  ASSERT_EQ(future.wait_for(10s), std::future_status::ready);
  EXPECT_EQ(future.get(), "refused");
  EXPECT_EQ(win::MessageQueue_t::ForThisThread()->DispatchPending(), 0u);
}

TEST(UIThread, ReleasedWorkersAreJoinedWhenEndedAndAbandonedAtOnceOtherwise)
{
  auto release = std::make_shared<win::Event_t>(true, false);
  auto stopSeen = std::make_shared<std::promise<bool>>();
  auto future = stopSeen->get_future();
  const auto started = std::chrono::steady_clock::now();
  {
    thr::UIThread_t worker(
        [release, stopSeen](thr::UIThread_t::Context_t& context) {
          release->Wait(60s);
          stopSeen->set_value(context.DuplicateStopEvent().Wait(0ms));
        },
        QuietWindow().Handle(), dio::CallMessage, nullptr, false);
    worker.Release();
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, 2s) << "no wait after Release";
  EXPECT_FALSE(thr::UIThread_t::WaitForAll(100ms)) << "the abandoned worker still runs";
  release->Set();
  ASSERT_EQ(future.wait_for(10s), std::future_status::ready);
  EXPECT_TRUE(future.get()) << "the abandoned worker was asked to stop";
  EXPECT_TRUE(thr::UIThread_t::WaitForAll(10s)) << "and it is counted until it has ended";

  std::atomic<bool> ran{false};
  thr::UIThread_t ended([&](thr::UIThread_t::Context_t&) { ran = true; }, QuietWindow().Handle(), dio::CallMessage,
                        nullptr, false);
  while (!ended.Stop(0ms)) std::this_thread::yield();
  ended.Release();
  EXPECT_TRUE(ran);
}

TEST(UIThread, AWorkerNeverResumedNeverRuns)
{
  std::atomic<bool> ran{false};
  const auto started = std::chrono::steady_clock::now();
  {
    thr::UIThread_t worker([&](thr::UIThread_t::Context_t&) { ran = true; }, QuietWindow().Handle(), dio::CallMessage,
                           nullptr, true);
  }
  EXPECT_FALSE(ran);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
}

// Counts the calls that reach it.
class CountingRef_t : public dio::ReferenceIntf_t {
 public:
  std::unique_ptr<dio::ReferenceIntf_t> Clone() const override { return std::make_unique<CountingRef_t>(); }
  void InvokeConst(dio::Stack_t& stack) override { Invoke(stack); }
  void Invoke(dio::Stack_t& stack) override
  {
    ++calls;
    std::int32_t operation = 0;
    stack.Pop(operation).Push(operation);
  }
  int calls = 0;
};

TEST(UIThread, ACallInFlightWhenTheWorkerIsAbandonedFailsAndIsNeverServed)
{
  CountingRef_t dialog;
  dio::LocalAccessPoint_t local;
  local.Register({"ProgressDlgClass", 1}, dialog);
  dio::Server_t server(local);
  win::Window_t serving([&server](const win::Message_t& message) {
    dio::DIO_ServeMessage(server, message, true);
    return std::intptr_t{0};
  });
  auto outcome = std::make_shared<std::promise<std::string>>();
  auto future = outcome->get_future();
  auto posting = std::make_shared<std::promise<void>>();
  {
    thr::UIThread_t worker(
        [outcome, posting](thr::UIThread_t::Context_t& context) {
          try {
            dio::Stack_t stack(false);
            stack.Push(std::int32_t{14});
            posting->set_value();
            dio::RemoteReference_t({"ProgressDlgClass", 1}, context.AccessPoint()).Invoke(stack);
            outcome->set_value("called");
          } catch (const dio::Exception_t&) {
            outcome->set_value("refused");
          }
        },
        serving.Handle(), dio::CallMessage, nullptr, false);
    ASSERT_EQ(posting->get_future().wait_for(10s), std::future_status::ready);
    // The call waits in this thread's queue, which is not served while the
    // worker is stopped: after 3000 ms it is abandoned.
    ASSERT_TRUE(win::WIN_WaitForAny({&win::MessageQueue_t::ForThisThread()->Ready().Handle()}, 10s));
  }
  ASSERT_EQ(future.wait_for(10s), std::future_status::ready);
  EXPECT_EQ(future.get(), "refused");
  // This thread serves its messages again: the given-up call does not run.
  EXPECT_EQ(win::MessageQueue_t::ForThisThread()->DispatchPending(), 1u);
  EXPECT_EQ(dialog.calls, 0);
}

}  // namespace
