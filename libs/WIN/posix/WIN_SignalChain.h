#pragma once
// How the handlers of fault signals share them: each passes on what is not
// its own to the action that was in place before it.

#include <signal.h>

namespace win {

// Hands a signal to the previous action, or, when that was the default, ends
// the process with the signal as if no handler had been there.
void WIN_PassOnSignal(const struct sigaction& previous, int signal, siginfo_t* info, void* context);

// True on a thread inside WIN_GuardedRead: a bus error there is the guard's,
// whichever handler sees it first.
bool WIN_InGuardedRead() noexcept;

}  // namespace win
