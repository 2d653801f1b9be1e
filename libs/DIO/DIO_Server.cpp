#include "DIO_Server.h"

#include "DIO_Exceptions.h"
#include "DIO_PendingCall.h"

namespace dio {

void Server_t::Serve(Stack_t* stack, CallReply_t* reply)
{
  thread_.Check(GLO_HERE);
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
  // Only call messages carry a ticket; one without is not a call.
  auto ticket = std::static_pointer_cast<CallTicket_t>(message.payload);
  DIO_Check(ticket != nullptr, GLO_HERE);
  const auto& call = ticket->call;
  if (!serving) {
    call->Failed();
    return true;
  }
  // A call given up already (its worker abandoned) is not run.
  if (!call->StartServing()) return true;
  server.Serve(&call->Stack(), call.get());
  return true;
}

}  // namespace dio
