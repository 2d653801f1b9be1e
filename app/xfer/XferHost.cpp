#include "XferHost.h"

#include <algorithm>
#include <chrono>

#include "DIO_Exceptions.h"

namespace vm {
namespace {

// Private messages of the host's window.
constexpr std::uint32_t WorkerEnded = 0x8101;
constexpr std::uint32_t StopRequested = 0x8102;
// How long a stopped worker is waited for.
constexpr std::chrono::milliseconds StopWait{3000};

}  // namespace

XferHost_t::XferHost_t(tui::ProgressDlgIntf_t& progressDialog, tui::MessageBoxIntf_t& messageBox,
                       err::FatalDialogIntf_t& fatalDialog)
    : progressRef_(progressDialog),
      messageBoxRef_(messageBox),
      fatalRef_(fatalDialog),
      server_(local_),
      window_([this](const win::Message_t& message) {
        Handle(message);
        return std::intptr_t{0};
      })
{
  local_.Register({tui::ProgressDlgClass, 1}, progressRef_);
  local_.Register({tui::MessageBoxClass, 1}, messageBoxRef_);
  local_.Register({err::FatalDialogClass, 1}, fatalRef_);
}

XferHost_t::~XferHost_t() = default;

bool XferHost_t::Run(thr::UIThread_t::Entry_t entry, std::unique_ptr<thr::Parameter_t> parameter)
{
  stopRequested_ = false;
  ended_ = stopping_ = false;
  // An abandoned worker of an earlier run may still tell of its end.
  const std::uintptr_t run = ++run_;
  const win::WindowHandle_t window = window_.Handle();
  worker_ = std::make_unique<thr::UIThread_t>(
      [entry = std::move(entry), window, run](thr::UIThread_t::Context_t& context) {
        entry(context);
        win::WIN_PostMessage(window, win::Message_t{WorkerEnded, run, 0, nullptr});
      },
      window, dio::CallMessage, std::move(parameter), false);
  const auto queue = win::MessageQueue_t::ForThisThread();
  std::chrono::steady_clock::time_point deadline{};
  while (!ended_) {
    if (stopping_ && deadline == std::chrono::steady_clock::time_point{})
      deadline = std::chrono::steady_clock::now() + StopWait;
    const auto wait =
        stopping_ ? std::chrono::duration_cast<std::chrono::milliseconds>(std::max(
                        deadline - std::chrono::steady_clock::now(), std::chrono::steady_clock::duration::zero()))
                  : std::chrono::milliseconds(std::chrono::hours(1));
    if (win::WIN_WaitForAny({&queue->Ready().Handle()}, wait)) {
      queue->DispatchPending();
    } else if (stopping_) {
      break;  // given up: the worker is abandoned below
    }
  }
  worker_.reset();
  return !stopRequested_;
}

void XferHost_t::RequestStop()
{
  stopRequested_ = true;
  win::WIN_PostMessage(window_.Handle(), win::Message_t{StopRequested, 0, 0, nullptr});
}

void XferHost_t::Handle(const win::Message_t& message)
{
  if (dio::DIO_ServeMessage(server_, message, worker_ != nullptr)) return;
  if (message.id == WorkerEnded && message.wParam == run_) {
    ended_ = true;
  } else if (message.id == StopRequested && worker_ && stopRequested_ && !stopping_) {
    worker_->RequestStop();
    stopping_ = true;
  }
}

}  // namespace vm
