#include "AFX_MessagePump.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <thread>
#include <vector>

#include "qt/QtTestApplication.h"

namespace {

TEST(MessagePump, QtsLoopDeliversMessagesPostedFromAnotherThread)
{
  afx::MessagePump_t pump;
  std::vector<std::uint32_t> received;
  win::Window_t window([&](const win::Message_t& message) {
    received.push_back(message.id);
    return 0;
  });
  std::thread poster([handle = window.Handle()] {
    win::WIN_PostMessage(handle, {0x8011, 0, 0, nullptr});
    win::WIN_PostMessage(handle, {0x8013, 0, 0, nullptr});
  });
  poster.join();
  QElapsedTimer clock;
  clock.start();
  while (received.size() < 2 && clock.elapsed() < 5000) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  EXPECT_EQ(received, (std::vector<std::uint32_t>{0x8011, 0x8013}));
}

TEST(MessagePump, AModalLoopDeliversThemToo)
{
  afx::MessagePump_t pump;
  QDialog dialog;
  std::uint32_t received = 0;
  win::Window_t window([&](const win::Message_t& message) {
    received = message.id;
    dialog.accept();
    return 0;
  });
  QTimer::singleShot(0, [&] { win::WIN_PostMessage(window.Handle(), {0x8001, 0, 0, nullptr}); });
  QTimer::singleShot(5000, &dialog, &QDialog::reject);
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(received, 0x8001u);
}

}  // namespace
