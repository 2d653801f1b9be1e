#pragma once
// Scripts run by the shell on behalf of a transfer, and the processes of
// the system, so that a script's whole tree of processes can be ended.

#include <cstdint>
#include <string>
#include <vector>

#include "GLO_NonCopyable.h"
#include "GLO_Optional.h"
#include "WIN_Handle.h"

namespace win {

// "/bin/sh SCRIPT ARGUMENT" in a process group of its own, reading nothing
// (its input is /dev/null), writing where the program writes, with the
// program's environment and current folder, no other open files and every
// signal unblocked and at its default action. The path is used as given: a
// relative one is relative to the current folder.
class ScriptProcess_t : public glo::NonCopyable_t {
 public:
  // Raises Error_t when the script is no regular file (ENOENT when it is
  // missing, ELOOP for a link, EINVAL for a folder, device or pipe) or the
  // shell cannot be started.
  ScriptProcess_t(const std::u16string& script, const std::u16string& argument);
  // Ends the shell when it still runs, and reaps it: nothing is left
  // behind, not even a zombie. The shell's own children are the owner's to
  // end (WIN_ProcessSnapshot, WIN_TerminateProcess) before that.
  ~ScriptProcess_t();

  std::uint32_t Id() const noexcept { return id_; }
  // Readable once the shell has ended, so that it can be waited for
  // together with events (WIN_WaitForAny).
  const Handle_t& Handle() const noexcept { return handle_; }
  // The exit code; empty when the shell was ended by a signal. Meant for
  // after Handle() has signalled: called earlier, it waits for the end.
  // The first call reaps the shell; later calls give the same answer.
  glo::Optional_t<int> ExitCode();
  // Ends the shell itself (SIGKILL), not its children; false, with errno
  // set, when that fails (ESRCH once ExitCode has reaped it).
  bool Terminate();
  // Ends what still runs in the shell's process group (SIGKILL): the
  // children it left behind in the background. Meant for after the shell
  // has ended and before ExitCode reaps it, so that the group's id cannot
  // have passed to another process.
  void EndGroup() noexcept;

 private:
  std::uint32_t id_ = 0;
  Handle_t handle_;
  bool reaped_ = false;
  glo::Optional_t<int> exitCode_;
};

// One process of the system.
struct ProcessEntry_t {
  std::uint32_t id = 0;
  std::uint32_t parentId = 0;
  std::u16string name;  // its program's name, as the system keeps it
};

// The processes running now, from the proc file system below procRoot.
// Processes that end while they are read are left out. Raises Error_t when
// the folder cannot be read.
std::vector<ProcessEntry_t> WIN_ProcessSnapshot(const std::u16string& procRoot = u"/proc");

// Ends the process at once (SIGKILL); false, with errno set, when that fails
// (ESRCH: there is no such process, EPERM: it is not ours to end), so that
// the caller can tell the system's text for it (WIN_GetSystemMessage).
bool WIN_TerminateProcess(std::uint32_t processId);

}  // namespace win
