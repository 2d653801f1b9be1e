#include "GLO_StackTrace.h"

#include <dlfcn.h>
#include <execinfo.h>

#include <algorithm>
#include <iterator>
#include <mutex>

namespace glo {
namespace {

std::mutex walk;

// Frames that a fault handler may add above the faulting frame.
constexpr std::size_t HandlerFrames = 16;

void Append(void* const* frames, int first, int count, StackTrace_t& trace)
{
  for (int i = first; i < count && trace.size() < MaxStackFrames; ++i) trace.push_back(GLO_ProgramAddress(frames[i]));
}

}  // namespace

void GLO_CaptureStackTrace(StackTrace_t& trace)
{
  std::lock_guard lock(walk);
  if (trace.size() >= MaxStackFrames) return;
  void* frames[MaxStackFrames + 1];
  // The first frame is this function itself.
  int count = backtrace(frames, static_cast<int>(MaxStackFrames - trace.size()) + 1);
  Append(frames, 1, count, trace);
}

void GLO_CaptureStackTraceFrom(const void* programCounter, StackTrace_t& trace)
{
  std::lock_guard lock(walk);
  if (trace.size() >= MaxStackFrames) return;
  void* frames[MaxStackFrames + HandlerFrames + 1];
  int count = backtrace(frames, static_cast<int>(std::size(frames)));
  auto start = std::find(frames, frames + count, programCounter);
  // Without the faulting frame, the first frame is this function itself.
  int first = start == frames + count ? 1 : static_cast<int>(start - frames);
  Append(frames, first, count, trace);
}

std::uint32_t GLO_ProgramAddress(const void* address) noexcept
{
  auto value = reinterpret_cast<std::uintptr_t>(address);
  Dl_info info{};
  if (dladdr(address, &info) != 0 && info.dli_fbase != nullptr)
    value -= reinterpret_cast<std::uintptr_t>(info.dli_fbase);
  return static_cast<std::uint32_t>(value);
}

}  // namespace glo
