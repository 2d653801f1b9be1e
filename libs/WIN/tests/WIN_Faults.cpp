#include "WIN_Faults.h"

// Out of line and opaque to the optimizer, so that the fault happens here and
// at run time; unchecked by the sanitizers, which would report it first.
#define VTEST_FAULTING \
  __attribute__((noipa, no_sanitize("address", "null", "integer-divide-by-zero", "signed-integer-overflow")))

namespace vtest {
namespace {

// Never reached; keeps the recursion from being infinite to the compiler.
volatile int lastDepth = -1;

}  // namespace

VTEST_FAULTING int DivideOneBy(int divisor)
{
  volatile int dividend = 1;
  volatile int by = divisor;
  return dividend / by;
}

VTEST_FAULTING int ReadAt(std::uintptr_t address)
{
  return *reinterpret_cast<volatile int*>(address);
}

VTEST_FAULTING void WriteAt(std::uintptr_t address)
{
  *reinterpret_cast<volatile int*>(address) = 1;
}

VTEST_FAULTING void ExecuteIllegalInstruction()
{
  __builtin_trap();
}

VTEST_FAULTING int OverflowStack(int depth)
{
  volatile char frame[1024];
  frame[0] = static_cast<char>(depth);
  if (depth == lastDepth) return 0;
  return OverflowStack(depth + 1) + frame[0];
}

}  // namespace vtest
