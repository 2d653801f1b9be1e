#include "WIN_Event.h"

#include <gtest/gtest.h>

#include <thread>

#include "WIN_Error.h"

using namespace std::chrono_literals;

namespace {

TEST(Event, AutomaticResetIsConsumedByTheWaitThatSeesIt)
{
  win::Event_t event(false, true);
  EXPECT_TRUE(event.Wait(0ms));
  EXPECT_FALSE(event.Wait(0ms));
  event.Set();
  event.Set();  // two signals before a wait are one
  EXPECT_TRUE(event.Wait(0ms));
  EXPECT_FALSE(event.Wait(0ms));
}

TEST(Event, ManualResetStaysSignalledUntilReset)
{
  win::Event_t event(true, false);
  EXPECT_FALSE(event.Wait(0ms));
  event.Set();
  EXPECT_TRUE(event.Wait(0ms));
  EXPECT_TRUE(event.Wait(10ms));
  event.Reset();
  EXPECT_FALSE(event.Wait(0ms));
  event.Reset();
}

TEST(Event, ADuplicateIsTheSameEvent)
{
  win::Event_t event(true, false);
  win::Event_t duplicate = win::Event_t::Duplicate(event);
  EXPECT_NE(duplicate.Handle().Get(), event.Handle().Get());
  duplicate.Set();
  EXPECT_TRUE(event.Wait(0ms));
}

TEST(Event, AWaitEndsWhenAnotherThreadSets)
{
  win::Event_t event(false, false);
  std::thread setter([&event] {
    std::this_thread::sleep_for(20ms);
    event.Set();
  });
  EXPECT_TRUE(event.Wait(10s));
  setter.join();
}

TEST(Event, WaitForAnyTellsWhichIsReady)
{
  win::Event_t first(true, false), second(false, false);
  EXPECT_EQ(win::WIN_WaitForAny({&first.Handle(), &second.Handle()}, 0ms), std::nullopt);
  second.Set();
  EXPECT_EQ(win::WIN_WaitForAny({&first.Handle(), &second.Handle()}, 1s), 1u);
  EXPECT_TRUE(second.Wait(0ms));  // nothing was consumed
  first.Set();
  EXPECT_EQ(win::WIN_WaitForAny({&first.Handle(), &second.Handle()}, 1s), 0u);
  const win::Handle_t empty;
  EXPECT_THROW(win::WIN_WaitForAny({&first.Handle(), &empty}, 0ms), win::Error_t);
}

}  // namespace
