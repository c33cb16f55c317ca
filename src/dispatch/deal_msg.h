#pragma once

namespace slvn {

struct Client;

// Acts on the packet that ReadPacket has just put into client.net: keeps its
// echo token (every command but 29), then runs the command's arm. Commands
// without an arm go to the item plug-in while it is active.
void Deal_MSG(Client& client);

// Puts the display seat of the packet's seat bit into info (0 self, 1 left, 2 top, 3 right).
void ToRelativeSeat(Client& client);

// Arms built here.
void HandleChatSeat(Client& client);
void ForwardToPlugin(Client& client);

}  // namespace slvn
