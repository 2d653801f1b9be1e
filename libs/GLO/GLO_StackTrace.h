#pragma once
// Stack capture for assertion failures and processor faults.

#include "GLO_Exception.h"

namespace glo {

// The most return addresses a trace keeps.
inline constexpr std::size_t MaxStackFrames = 50;

// Appends the calling thread's return addresses, innermost first, up to
// MaxStackFrames in all. Walks are serialised by one process-wide lock.
void GLO_CaptureStackTrace(StackTrace_t& trace);

}  // namespace glo
