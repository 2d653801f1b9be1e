#pragma once
// Code that makes the processor fault on purpose, for the tests of the
// structured exception translator. The sanitizers' own checks are off inside
// it, so it faults the same way in every build.

#include <cstdint>

namespace vtest {

// 1 divided by divisor, in integers.
int DivideOneBy(int divisor);
// Reads the int at the address.
int ReadAt(std::uintptr_t address);
// Writes an int to the address.
void WriteAt(std::uintptr_t address);
// Executes an instruction the processor does not know.
void ExecuteIllegalInstruction();
// Recurses until the stack runs out.
int OverflowStack(int depth);

}  // namespace vtest
