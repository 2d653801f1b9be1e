#include "StandardOutput.h"

#include <signal.h>

namespace cli {

void CLI_IgnoreBrokenPipes() noexcept
{
  ::signal(SIGPIPE, SIG_IGN);
}

}  // namespace cli
