#pragma once
// Processor faults as ordinary exceptions. A thread that installs the
// translator gets a fault of its own code (a division by zero, a bad memory
// access, an illegal instruction, a stack overflow) thrown from the faulting
// instruction as StructuredException_t, which then takes the way of every
// other exception.

#include <cstdint>

#include "GLO_Exception.h"

namespace win {

// Fault codes, as the error report carries them.
inline constexpr std::uint32_t ExceptionDatatypeMisalignment = 0x80000002;
inline constexpr std::uint32_t ExceptionAccessViolation = 0xC0000005;
inline constexpr std::uint32_t ExceptionIllegalInstruction = 0xC000001D;
inline constexpr std::uint32_t ExceptionArrayBoundsExceeded = 0xC000008C;
inline constexpr std::uint32_t ExceptionFloatDivideByZero = 0xC000008E;
inline constexpr std::uint32_t ExceptionFloatInexactResult = 0xC000008F;
inline constexpr std::uint32_t ExceptionFloatInvalidOperation = 0xC0000090;
inline constexpr std::uint32_t ExceptionFloatOverflow = 0xC0000091;
inline constexpr std::uint32_t ExceptionFloatUnderflow = 0xC0000093;
inline constexpr std::uint32_t ExceptionIntegerDivideByZero = 0xC0000094;
inline constexpr std::uint32_t ExceptionIntegerOverflow = 0xC0000095;
inline constexpr std::uint32_t ExceptionStackOverflow = 0xC00000FD;

// What the translator reads from a fault while it runs.
struct Fault_t {
  std::uint32_t code = 0;
  // The faulting instruction, as a trace entry (GLO_ProgramAddress).
  std::uint32_t programAddress = 0;
  // For an access violation: whether the access was a write, and the data
  // address it touched.
  bool write = false;
  std::uintptr_t dataAddress = 0;
};

// A processor fault. The message names the fault and its program address
// ("Integer divide by zero at program address 0x4a1f."; an access violation
// also says "Read" or "Write" and the data address; a code without a name
// reads "Exception: 0x", the code in upper case, " at "); the SubId is "0x"
// and the program address in lower-case hexadecimal.
class StructuredException_t : public glo::Exception_t {
 public:
  // The trace starts at the faulting instruction or its caller.
  StructuredException_t(const char* file, unsigned line, const Fault_t& fault, glo::StackTrace_t trace);

  std::uint32_t Code() const noexcept { return code_; }
  std::uint32_t ProgramAddress() const noexcept { return programAddress_; }

 private:
  std::uint32_t code_;
  std::uint32_t programAddress_;
};

// From now on, a processor fault on the calling thread throws
// StructuredException_t from the faulting instruction; faults on threads that
// did not call this keep the system's handling (the process ends). Call it
// first thing on every thread that runs the program's code; calling it again
// on the same thread changes nothing. A failure to set up raises Error_t.
void WIN_InstallStructuredExceptionTranslator();

}  // namespace win
