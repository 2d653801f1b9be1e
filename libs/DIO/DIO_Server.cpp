#include "DIO_Server.h"

#include "DIO_Exceptions.h"
#include "DIO_PendingCall.h"

namespace dio {

void Server_t::Serve(Stack_t* stack, CallReply_t* reply)
{
  DIO_Check(stack != nullptr && reply != nullptr, GLO_HERE);
  try {
    dispatcher_->Call(*stack);
  } catch (...) {
    reply->Failed();
    throw;
  }
  reply->Served();
}

bool DIO_ServeMessage(Server_t& server, const win::Message_t& message, bool serving)
{
  if (message.id != CallMessage) return false;
  auto call = std::static_pointer_cast<PendingCall_t>(message.payload);
  if (!serving) {
    call->Failed();
    return true;
  }
  server.Serve(&call->Stack(), call.get());
  return true;
}

}  // namespace dio
