#pragma once

#include <cstdint>
#include <span>

#include "shell/net/game_packet.h"

namespace slvn {

struct Client;

// Socket events: the bytes now available go to RecvRing as far as it has
// room, the rest waiting in the socket (while a SOCKS5 negotiation runs,
// every byte goes to the proxy buffer).
void Winsock1_DataArrival(Client& client, int bytes_total);
void Winsock1_Close(Client& client);
// Moves what waits in the socket into RecvRing as far as it has room; the
// receive slot calls it as it makes room.
void TakeWaitingBytes(Client& client);
// The part of the data-arrival event after the socket read. Bytes beyond
// what the ring or buffer holds return to the lobby and end the program;
// the ring keeps what it holds.
void StoreArrivedBytes(Client& client, std::span<const uint8_t> bytes);
void ResetNetRings(Client& client);

// Takes one packet off RecvRing into Msg and its header into info, storing a
// seat name (command 3) or showing a chat line (command 19) on the way.
// Does nothing while fewer than 272 bytes wait.
void ReadPacket(Client& client);

// Builds a packet from a header (and ChatText for command 19) and queues it.
// False when nothing was queued: an empty chat line or a full SendRing.
bool Send_MSG(Client& client, const GameMessage& message);
// Stamps the echo token into a finished packet and queues it; false when
// SendRing has no room (the packet is refused, the ring stays intact).
bool QueuePacket(Client& client, GamePacket& packet);

}  // namespace slvn
