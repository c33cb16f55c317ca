#pragma once

#include <cstdint>
#include <span>

#include "shell/net/game_packet.h"

namespace slvn {

struct Client;

// Socket events: every byte now available goes to RecvRing (or, while a
// SOCKS5 negotiation runs, to the proxy buffer). A full ring or buffer
// returns to the lobby and ends the program; the ring keeps what it holds.
void Winsock1_DataArrival(Client& client, int bytes_total);
void Winsock1_Close(Client& client);
// The part of the data-arrival event after the socket read.
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
