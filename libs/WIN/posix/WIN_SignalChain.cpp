#include "WIN_SignalChain.h"

namespace win {

void WIN_PassOnSignal(const struct sigaction& previous, int signal, siginfo_t* info, void* context)
{
  const bool sent = info->si_code <= 0;
  if ((previous.sa_flags & SA_SIGINFO) != 0) {
    previous.sa_sigaction(signal, info, context);
    return;
  }
  if (previous.sa_handler == SIG_IGN && sent) return;
  if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
    previous.sa_handler(signal);
    return;
  }
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  ::sigaction(signal, &fallback, nullptr);
  // A processor fault happens again when the handler returns; a sent signal
  // has to be sent again.
  if (sent) ::raise(signal);
}

}  // namespace win
