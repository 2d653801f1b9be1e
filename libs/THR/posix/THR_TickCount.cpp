#include <time.h>

#include "THR_Progress.h"

namespace thr {

std::uint32_t THR_TickCount()
{
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000);
}

}  // namespace thr
