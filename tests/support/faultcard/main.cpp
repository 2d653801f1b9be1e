// velmora-faultcard: a card for tests that fails on purpose. It shows a
// backing folder at a mount point through FUSE, in the foreground, with the
// kernel's writeback cache on (unless told otherwise), its own allocation
// unit and capacity, an optional write limit, and a fault after a number of
// bytes written.
// It ends when it is unmounted, on SIGTERM or SIGINT, or when it vanishes.

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "Card.h"
#include "CardSettings.h"

namespace {

// Ends the connection, frees what mounting took and unmounts. A vanished
// card is unmounted already: libfuse's complaint about unmounting it again
// is not shown.
void Unmount(fuse_session* session, bool vanished)
{
  if (!vanished) {
    fuse_session_unmount(session);
    return;
  }
  std::fflush(stderr);
  const int saved = ::dup(2);
  const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (nowhere >= 0) ::dup2(nowhere, 2);
  fuse_session_unmount(session);
  std::fflush(stderr);
  if (saved >= 0) ::dup2(saved, 2);
  if (nowhere >= 0) ::close(nowhere);
  if (saved >= 0) ::close(saved);
}

}  // namespace

int main(int argc, char** argv)
{
  faultcard::CardSettings settings;
  try {
    settings = faultcard::ParseCardSettings(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::invalid_argument& wrong) {
    std::fprintf(stderr, "velmora-faultcard: %s\n%s", wrong.what(), faultcard::CardUsage);
    return 2;
  }
  try {
    faultcard::Card card(settings);
    // The first argument is only the program's name; the options are the
    // mount's, seen in the mount table as source and type.
    char name[] = "velmora-faultcard";
    char dashO[] = "-o";
    char options[] = "default_permissions,fsname=velmora-faultcard,subtype=velmora-faultcard";
    char* arguments[] = {name, dashO, options};
    fuse_args args = FUSE_ARGS_INIT(3, arguments);
    fuse_session* session = fuse_session_new(&args, &faultcard::Card::Operations(), sizeof(fuse_lowlevel_ops), &card);
    fuse_opt_free_args(&args);
    if (session == nullptr) return 1;
    card.Serve(session);
    if (fuse_session_mount(session, settings.mountPoint.c_str()) != 0) {
      fuse_session_destroy(session);
      return 1;
    }
    fuse_set_signal_handlers(session);
    const int looped = fuse_session_loop(session);
    fuse_remove_signal_handlers(session);
    Unmount(session, card.Vanished());
    fuse_session_destroy(session);
    if (card.Vanished())
      std::fprintf(stderr, "velmora-faultcard: vanished after %llu bytes\n", static_cast<unsigned long long>(card.Written()));
    return looped == 0 ? 0 : 1;
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "velmora-faultcard: %s\n", failure.what());
    return 1;
  }
}
