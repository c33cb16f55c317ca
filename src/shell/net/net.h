#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "shell/net/game_packet.h"
#include "shell/net/packet_ring.h"

namespace slvn {

// The connection to the game server as the packet paths see it.
struct Net {
  GameMessage info;  // header of the packet being dispatched
  GamePacket Msg;    // its 272 bytes
  PacketRing RecvRing;
  PacketRing SendRing;
  std::array<uint8_t, 2> EchoToken{};  // bytes 260-261 of the last dispatched packet but 29
  uint32_t ReconnectId = 0;
  std::array<std::string, 4> SeatNames;  // by BitIndex of the seat bit, single-byte names

  // Received bytes go to the SOCKS5 negotiation instead of RecvRing while it runs.
  bool ProxyReady = true;
  std::array<uint8_t, 1024> ProxyBuffer{};
  int32_t ProxyReadPos = 0;
  int32_t ProxyWritePos = 0;
  // The negotiation's step: 0 idle, 2 greeting sent, 4 authentication sent,
  // 6 connect request sent (1, 3, 5: that message is being sent).
  uint8_t ProxyStep = 0;
  // A proxy connection's wait is pumping events: a further try only
  // reconnects the socket, and that wait goes on with it.
  bool proxy_wait_running = false;
};

}  // namespace slvn
