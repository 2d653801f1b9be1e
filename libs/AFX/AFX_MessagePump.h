#pragma once
// Delivers the window messages of the UI thread (win::Window_t) from Qt's
// event loop, modal loops included: the thread's message queue signals its
// Ready event, which Qt watches.

#include <QObject>
#include <QSocketNotifier>
#include <memory>

#include "WIN_Window.h"

namespace afx {

class MessagePump_t : public QObject {
  Q_OBJECT

 public:
  // Watches the calling thread's queue, which must be the UI thread's.
  MessagePump_t();

 private:
  std::shared_ptr<win::MessageQueue_t> queue_;
  QSocketNotifier notifier_;
};

}  // namespace afx
