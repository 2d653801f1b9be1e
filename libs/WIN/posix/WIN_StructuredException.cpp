#include "WIN_StructuredException.h"

#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <mutex>

#include "GLO_NonCopyable.h"
#include "GLO_StackTrace.h"
#include "WIN_Error.h"
#include "WIN_FaultCode.h"
#include "WIN_SignalChain.h"

#if !defined(__x86_64__)
#error "Reading the fault context is written for x86-64 only."
#endif

namespace win {
namespace {

constexpr int FaultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};

// The actions in place before ours, in the order of FaultSignals; faults on
// threads without the translator go to them.
struct sigaction previousActions[std::size(FaultSignals)];

// What the handler needs of the faulting thread. Constant-initialised, so the
// handler reads it without running a thread-local constructor.
struct Thread_t {
  bool translating;
  // The guard page below the thread's stack: [guardLow, guardHigh).
  std::uintptr_t guardLow;
  std::uintptr_t guardHigh;
};
constinit thread_local Thread_t self{};

// The x86-64 page-fault error code: set for a write.
constexpr greg_t PageFaultWrite = 0x2;

std::uint32_t FpeCode(int signalCode)
{
  switch (signalCode) {
    case FPE_INTDIV:
      return ExceptionIntegerDivideByZero;
    case FPE_INTOVF:
      return ExceptionIntegerOverflow;
    case FPE_FLTDIV:
      return ExceptionFloatDivideByZero;
    case FPE_FLTOVF:
      return ExceptionFloatOverflow;
    case FPE_FLTUND:
      return ExceptionFloatUnderflow;
    case FPE_FLTRES:
      return ExceptionFloatInexactResult;
    case FPE_FLTSUB:
      return ExceptionArrayBoundsExceeded;
    // FPE_FLTINV, and the faults the system does not diagnose further.
    default:
      return ExceptionFloatInvalidOperation;
  }
}

const struct sigaction& PreviousAction(int signal)
{
  return previousActions[std::find(std::begin(FaultSignals), std::end(FaultSignals), signal) -
                         std::begin(FaultSignals)];
}

void Translate(int signal, siginfo_t* info, void* context)
{
  // Sent signals are no faults of the code at hand, and a bus error in a
  // guarded read is the guard's.
  if (!self.translating || info->si_code <= 0 || (signal == SIGBUS && WIN_InGuardedRead())) {
    WIN_PassOnSignal(PreviousAction(signal), signal, info, context);
    return;
  }
  auto* fault = static_cast<ucontext_t*>(context);
  const auto* programCounter = reinterpret_cast<const void*>(fault->uc_mcontext.gregs[REG_RIP]);
  const auto dataAddress = reinterpret_cast<std::uintptr_t>(info->si_addr);
  const bool onGuardPage = dataAddress >= self.guardLow && dataAddress < self.guardHigh;
  glo::StackTrace_t trace;
  glo::GLO_CaptureStackTraceFrom(programCounter, trace);
  StructuredException_t error(
      GLO_HERE,
      Fault_t{WIN_FaultCode(signal, info->si_code, onGuardPage), glo::GLO_ProgramAddress(programCounter),
              (fault->uc_mcontext.gregs[REG_ERR] & PageFaultWrite) != 0, dataAddress},
      std::move(trace));
  // Leaving by a throw skips the return that would give the interrupted code
  // its signal mask back; without it, this signal would stay blocked and the
  // next fault would end the process.
  ::pthread_sigmask(SIG_SETMASK, &fault->uc_sigmask, nullptr);
  throw error;
}

void InstallHandlers()
{
  // The first stack walk loads the unwinder; do it here rather than in a fault.
  glo::StackTrace_t warmUp;
  glo::GLO_CaptureStackTrace(warmUp);
  struct sigaction action {};
  action.sa_sigaction = Translate;
  // On the alternate stack, so that a stack overflow can be handled too.
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < std::size(FaultSignals); ++i)
    if (::sigaction(FaultSignals[i], &action, &previousActions[i]) != 0) throw Error_t(GLO_HERE);
}

// A thread's alternate signal stack, where the handler builds and throws the
// exception of a stack overflow. The previous alternate stack (a sanitizer's,
// say) comes back when it ends.
class AltStack_t : glo::NonCopyable_t {
 public:
  AltStack_t()
  {
    base_ = ::mmap(nullptr, Guard + Size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (base_ == MAP_FAILED) throw Error_t(GLO_HERE);
    stack_t stack{};
    stack.ss_sp = static_cast<std::byte*>(base_) + Guard;
    stack.ss_size = Size;
    // The guard page turns an overflow of this stack into a fault.
    if (::mprotect(base_, Guard, PROT_NONE) != 0 || ::sigaltstack(&stack, &previous_) != 0) {
      Error_t error(GLO_HERE);
      ::munmap(base_, Guard + Size);
      throw error;
    }
  }

  ~AltStack_t()
  {
    stack_t current{};
    ::sigaltstack(nullptr, &current);
    if (current.ss_sp == static_cast<std::byte*>(base_) + Guard) ::sigaltstack(&previous_, nullptr);
    ::munmap(base_, Guard + Size);
  }

 private:
  static constexpr std::size_t Guard = 4096;
  // Far above the system's minimum: the stack walk, the exception and the
  // unwinder all run here, with the sanitizers' larger frames.
  static constexpr std::size_t Size = 256 * 1024;

  void* base_;
  stack_t previous_{};
};

// The guard page below the calling thread's stack. The main thread's stack
// reports no guard of its own; a fault on the page below its lowest address
// is its overflow.
void FindGuardPage()
{
  pthread_attr_t attributes;
  if (int code = ::pthread_getattr_np(::pthread_self(), &attributes); code != 0) throw Error_t(GLO_HERE, code);
  void* low = nullptr;
  std::size_t size = 0;
  std::size_t guard = 0;
  ::pthread_attr_getstack(&attributes, &low, &size);
  ::pthread_attr_getguardsize(&attributes, &guard);
  ::pthread_attr_destroy(&attributes);
  guard = std::max(guard, static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)));
  self.guardHigh = reinterpret_cast<std::uintptr_t>(low);
  self.guardLow = self.guardHigh - guard;
}

// The translator of one thread, from its installation to the thread's end.
class ThreadTranslator_t : glo::NonCopyable_t {
 public:
  ThreadTranslator_t()
  {
    FindGuardPage();
    self.translating = true;
  }
  ~ThreadTranslator_t() { self.translating = false; }

 private:
  AltStack_t altStack_;
};

}  // namespace

std::uint32_t WIN_FaultCode(int signal, int signalCode, bool onGuardPage) noexcept
{
  switch (signal) {
    case SIGSEGV:
      return onGuardPage ? ExceptionStackOverflow : ExceptionAccessViolation;
    case SIGBUS:
      return ExceptionDatatypeMisalignment;
    case SIGFPE:
      return FpeCode(signalCode);
    default:
      return ExceptionIllegalInstruction;
  }
}

void WIN_InstallStructuredExceptionTranslator()
{
  static std::once_flag handlers;
  std::call_once(handlers, InstallHandlers);
  thread_local ThreadTranslator_t translator;
}

}  // namespace win
