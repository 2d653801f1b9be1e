#pragma once
// The hand of a window test: it closes the modal dialogs and message boxes
// that the code under test opens, and finds controls by their ids.
// Header only, so that the shared test support links no Qt.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>

#include "AFX_DlgItem.h"

// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
  *out << '"' << text.toStdString() << '"';
}

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

// Runs Qt's loop until the condition holds, for the time given at most;
// whether it holds.
inline bool PumpUntil(const std::function<bool()>& condition, int milliseconds = 20000)
{
  QElapsedTimer clock;
  clock.start();
  while (!condition() && clock.elapsed() < milliseconds)
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
  return condition();
}

// The button with the id in the window; the test fails without one.
inline QAbstractButton& Button(const QWidget& window, int id)
{
  auto* button = qobject_cast<QAbstractButton*>(afx::AFX_FindDlgItem(&window, id));
  EXPECT_NE(button, nullptr) << "no button " << id;
  if (button == nullptr) throw std::runtime_error("no button " + std::to_string(id));
  return *button;
}

// The text of the label with the id.
inline QString Text(const QWidget& window, int id)
{
  auto* label = qobject_cast<QLabel*>(afx::AFX_FindDlgItem(&window, id));
  EXPECT_NE(label, nullptr) << "no label " << id;
  return label != nullptr ? label->text() : QString();
}

}  // namespace vtest
