#pragma once
// Reading a mapped file that another program may cut short meanwhile: the
// pages past its new end are gone, and touching one is a bus error. Inside
// a guarded read that error ends the read, not the process.

namespace win {

// Runs read on the calling thread and returns true, or false as soon as it
// touched a mapped page that is gone. The read may be left at any
// instruction, so it must own nothing and only read memory; an exception
// it raises (a fault of another kind that the translator turns into one)
// passes through. Guarded reads do not nest. Raises Error_t when the guard
// cannot be set up.
bool WIN_GuardedRead(void (*read)(void* context), void* context);

// The same for a callable.
template <class Read>
bool WIN_GuardedRead(Read& read)
{
  return WIN_GuardedRead([](void* context) { (*static_cast<Read*>(context))(); }, &read);
}

}  // namespace win
