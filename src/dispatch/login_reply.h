#pragma once

namespace slvn {

struct Client;

// Command 18: the server's answer to the login. Accepted, the client is at
// the table; refused, it returns to the lobby and ends.
void HandleLoginReply(Client& client);
// Command 29: the answer to a reconnect.
void HandleReconnectReply(Client& client);

}  // namespace slvn
