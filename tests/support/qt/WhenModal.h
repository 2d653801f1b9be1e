#pragma once
// The hand that closes the modal dialogs and message boxes that the code
// under test opens, from inside their own modal loops. Header only, for
// window test programs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

namespace vtest {

// Runs the action on the next modal window once it is open (within 5 s;
// the test fails otherwise), from the modal window's own loop.
inline void WhenModal(std::function<void(QWidget& modal)> action)
{
  // Polled from a timer, so that the action runs inside the modal loop.
  auto* timer = new QTimer;
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  // Guarded: the next box may well be built where the last one was.
  QPointer<QWidget> before = QApplication::activeModalWidget();
  QObject::connect(timer, &QTimer::timeout, [timer, clock, before, action = std::move(action)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != before && modal->isVisible()) {
      timer->stop();
      timer->deleteLater();
      action(*modal);
    } else if (clock->elapsed() > 5000) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "no modal window opened";
    }
  });
  timer->start(10);
}

}  // namespace vtest
