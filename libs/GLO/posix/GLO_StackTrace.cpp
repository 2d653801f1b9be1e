#include "GLO_StackTrace.h"

#include <dlfcn.h>
#include <execinfo.h>

#include <mutex>

namespace glo {

void GLO_CaptureStackTrace(StackTrace_t& trace)
{
  static std::mutex walk;
  std::lock_guard lock(walk);
  if (trace.size() >= MaxStackFrames) return;
  void* frames[MaxStackFrames + 1];
  // The first frame is this function itself.
  int count = backtrace(frames, static_cast<int>(MaxStackFrames - trace.size()) + 1);
  for (int i = 1; i < count; ++i) {
    auto address = reinterpret_cast<std::uintptr_t>(frames[i]);
    Dl_info info{};
    if (dladdr(frames[i], &info) != 0 && info.dli_fbase != nullptr)
      address -= reinterpret_cast<std::uintptr_t>(info.dli_fbase);
    trace.push_back(static_cast<std::uint32_t>(address));
  }
}

}  // namespace glo
