#pragma once
// The serving side of cross-thread calls, run by the serving window.

#include "DIO_AccessPoint.h"
#include "GLO_ThreadChecker.h"
#include "WIN_Window.h"

namespace dio {

// It serves on the thread that made it, the serving window's; another
// thread's call is a program fault (glo::Assert_t).
class Server_t {
 public:
  // The access point that dispatches (not owned).
  explicit Server_t(AccessPointIntf_t& dispatcher) : dispatcher_(&dispatcher) {}

  // Runs one posted call and answers it. An exception from the call fails
  // the call for its caller and then goes on to the serving thread.
  virtual void Serve(Stack_t* stack, CallReply_t* reply);

 private:
  AccessPointIntf_t* dispatcher_;
  glo::ThreadChecker_t thread_;
};

// For a serving window's handler: serves a call message and returns true;
// while the window is not serving, the call fails for its caller instead.
// Any other message returns false. A call message without its ticket raises
// Exception_t.
bool DIO_ServeMessage(Server_t& server, const win::Message_t& message, bool serving);

}  // namespace dio
