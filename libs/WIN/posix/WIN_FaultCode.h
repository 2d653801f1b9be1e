#pragma once
// How the signals of processor faults map to fault codes.

#include <cstdint>

namespace win {

// The fault code for a fault signal (SIGSEGV, SIGBUS, SIGFPE or SIGILL) and
// its si_code. onGuardPage tells a SIGSEGV on the guard page below the
// faulting thread's stack: a stack overflow.
std::uint32_t WIN_FaultCode(int signal, int signalCode, bool onGuardPage) noexcept;

}  // namespace win
