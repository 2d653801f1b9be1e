#include "AFX_MessagePump.h"

namespace afx {

MessagePump_t::MessagePump_t()
    : queue_(win::MessageQueue_t::ForThisThread()), notifier_(queue_->Ready().Handle().Get(), QSocketNotifier::Read)
{
  connect(&notifier_, &QSocketNotifier::activated, this, [this] { queue_->DispatchPending(); });
}

}  // namespace afx
