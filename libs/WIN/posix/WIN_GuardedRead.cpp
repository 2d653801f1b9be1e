#include "WIN_GuardedRead.h"

#include <setjmp.h>
#include <signal.h>

#include <mutex>

#include "GLO_Exception.h"
#include "WIN_Error.h"
#include "WIN_SignalChain.h"

namespace win {
namespace {

// Where a bus error inside a guarded read goes; constant-initialised, so
// that the handler reads it without running a thread-local constructor.
constinit thread_local sigjmp_buf* guard = nullptr;
struct sigaction previousAction;

void EndGuardedRead(int signal, siginfo_t* info, void* context)
{
  // A sent SIGBUS is nobody's fault in the read.
  if (guard != nullptr && info->si_code > 0) siglongjmp(*guard, 1);
  WIN_PassOnSignal(previousAction, signal, info, context);
}

void InstallHandler()
{
  struct sigaction action {};
  action.sa_sigaction = EndGuardedRead;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  if (::sigaction(SIGBUS, &action, &previousAction) != 0) throw Error_t(GLO_HERE);
}

}  // namespace

bool WIN_InGuardedRead() noexcept
{
  return guard != nullptr;
}

bool WIN_GuardedRead(void (*read)(void* context), void* context)
{
  static std::once_flag handler;
  std::call_once(handler, InstallHandler);
  glo::GLO_Assert(guard == nullptr, GLO_HERE);
  sigjmp_buf jump;
  // The jump gives the thread its signal mask back, SIGBUS unblocked.
  if (sigsetjmp(jump, 1) != 0) {
    guard = nullptr;
    return false;
  }
  guard = &jump;
  try {
    read(context);
  } catch (...) {
    // A fault the translator turned into an exception: the guard must not
    // outlive its frame.
    guard = nullptr;
    throw;
  }
  guard = nullptr;
  return true;
}

}  // namespace win
