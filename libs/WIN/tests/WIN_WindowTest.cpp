#include "WIN_Window.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <future>
#include <thread>

#include "GLO_Exception.h"
#include "WIN_Error.h"

namespace {

TEST(Window, APostedMessageRunsOnTheOwnersThread)
{
  std::promise<std::thread::id> ranOn;
  win::Window_t window([&](const win::Message_t& message) {
    EXPECT_EQ(message.id, 0x8001u);
    EXPECT_EQ(message.wParam, 7u);
    ranOn.set_value(std::this_thread::get_id());
    return std::intptr_t{0};
  });
  std::thread poster([handle = window.Handle()] { EXPECT_TRUE(win::WIN_PostMessage(handle, {0x8001, 7, 0, {}})); });
  poster.join();
  EXPECT_EQ(win::MessageQueue_t::ForThisThread()->DispatchPending(), 1u);
  EXPECT_EQ(ranOn.get_future().get(), std::this_thread::get_id());
}

TEST(Window, MessagesArriveInTheOrderPosted)
{
  std::vector<std::uintptr_t> seen;
  win::Window_t window([&](const win::Message_t& message) {
    seen.push_back(message.wParam);
    return std::intptr_t{0};
  });
  for (std::uintptr_t i = 0; i < 5; ++i) win::WIN_PostMessage(window.Handle(), {1, i, 0, {}});
  win::MessageQueue_t::ForThisThread()->DispatchPending();
  EXPECT_EQ(seen, (std::vector<std::uintptr_t>{0, 1, 2, 3, 4}));
}

TEST(Window, AGoneWindowRefusesPostsAndDropsWhatWaited)
{
  bool handled = false, released = false;
  win::WindowHandle_t handle;
  {
    win::Window_t window([&](const win::Message_t&) {
      handled = true;
      return std::intptr_t{0};
    });
    handle = window.Handle();
    std::shared_ptr<void> payload(nullptr, [&released](void*) { released = true; });
    ASSERT_TRUE(win::WIN_PostMessage(handle, {1, 0, 0, std::move(payload)}));
  }
  EXPECT_FALSE(released);  // still queued
  win::MessageQueue_t::ForThisThread()->DispatchPending();
  EXPECT_FALSE(handled);
  EXPECT_TRUE(released);
  errno = 0;
  EXPECT_FALSE(win::WIN_PostMessage(handle, {1, 0, 0, {}}));
  EXPECT_EQ(errno, EBADF);
  EXPECT_THROW(win::WIN_SendMessage(handle, {1, 0, 0, {}}), win::Error_t);
}

TEST(Window, SendingRunsTheHandlerAtOnceOnItsOwnThread)
{
  win::Window_t window([](const win::Message_t& message) { return static_cast<std::intptr_t>(message.wParam * 2); });
  EXPECT_EQ(win::WIN_SendMessage(window.Handle(), {0x8011, 21, 0, {}}), 42);
  std::thread other([handle = window.Handle()] {
    EXPECT_THROW(win::WIN_SendMessage(handle, {0x8011, 1, 0, {}}), glo::Assert_t);
  });
  other.join();
}

TEST(Window, AMessageLoopServesUntilQuit)
{
  std::promise<win::WindowHandle_t> made;
  std::thread owner([&made] {
    win::MessageLoop_t loop;
    win::Window_t window([&loop](const win::Message_t&) {
      loop.Quit();
      return std::intptr_t{0};
    });
    made.set_value(window.Handle());
    loop.Run();
  });
  EXPECT_TRUE(win::WIN_PostMessage(made.get_future().get(), {1, 0, 0, {}}));
  owner.join();
}

}  // namespace
