#include "WIN_StopSignals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

// In a child process of one thread, so that no thread of the test program
// can take the signal first.
TEST(StopSignals, TurnInterruptTerminateAndHangUpIntoCalls)
{
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    EXPECT_EXIT(
        {
          std::atomic<int> calls{0};
          // Each time one arrives: a second one pending at once would merge
          // with the first.
          const auto awaitCalls = [&calls](int count) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (calls < count && std::chrono::steady_clock::now() < deadline)
              std::this_thread::sleep_for(std::chrono::milliseconds(5));
          };
          {
            win::StopSignals_t signals([&calls] { ++calls; });
            ::kill(::getpid(), signal);
            awaitCalls(1);
            ::kill(::getpid(), signal);
            awaitCalls(2);
            if (!signals.Received()) std::_Exit(3);
          }
          std::_Exit(calls == 2 ? 0 : 4);
        },
        ::testing::ExitedWithCode(0), "")
        << signal;
  }
  // Given back: the signal ends the program again.
  EXPECT_EXIT(
      {
        {
          win::StopSignals_t signals([] {});
        }
        ::kill(::getpid(), SIGTERM);
        std::this_thread::sleep_for(std::chrono::seconds(10));
        std::_Exit(0);
      },
      ::testing::KilledBySignal(SIGTERM), "");
}

}  // namespace
