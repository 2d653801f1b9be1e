#pragma once
// Stack capture for assertion failures and processor faults.

#include "GLO_Exception.h"

namespace glo {

// The most return addresses a trace keeps.
inline constexpr std::size_t MaxStackFrames = 50;

// Appends the calling thread's return addresses, innermost first, up to
// MaxStackFrames in all. Walks are serialised by one process-wide lock.
void GLO_CaptureStackTrace(StackTrace_t& trace);

// As GLO_CaptureStackTrace, but the trace starts at the frame that executes
// programCounter. Called by the handler of a processor fault with the faulting
// instruction, it leaves out the handler's own frames, so the first entry is
// that instruction. When no frame executes there, the trace starts at the
// caller.
void GLO_CaptureStackTraceFrom(const void* programCounter, StackTrace_t& trace);

// The address as a trace entry: its offset from the load base of the module
// that holds it, or the address itself cut to 32 bits when no module does.
std::uint32_t GLO_ProgramAddress(const void* address) noexcept;

}  // namespace glo
