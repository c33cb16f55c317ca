#include "shell/client.h"
#include "shell/lobby_link.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"
#include "shell/proxy.h"

namespace slvn {

namespace {

void EndOnFullBuffer(Client& client) {
  ReturnToLobby(client);
  EndProgram(client);
}

// The SOCKS5 reply bytes, in a ring of its own.
bool PushProxyByte(Net& net, uint8_t byte) {
  int32_t size = static_cast<int32_t>(net.ProxyBuffer.size());
  int32_t next = (net.ProxyWritePos + 1) % size;
  if (next == net.ProxyReadPos) return false;
  net.ProxyBuffer[net.ProxyWritePos] = byte;
  net.ProxyWritePos = next;
  return true;
}

}  // namespace

void StoreArrivedBytes(Client& client, std::span<const uint8_t> bytes) {
  Net& net = client.net;
  if (!net.ProxyReady) {
    for (uint8_t byte : bytes)
      if (!PushProxyByte(net, byte)) return EndOnFullBuffer(client);
    HandleProxyReply(client);
    return;
  }
  // Only a packet that arrives into a ring without a whole one waits the
  // slot's full period: restarting the count at every chunk would hold
  // dispatch off for as long as data comes at least once a tick.
  const bool packet_waited = net.RecvRing.Waiting() >= static_cast<int32_t>(GamePacket::kSize);
  if (net.RecvRing.PushBytes(bytes) < bytes.size()) return EndOnFullBuffer(client);
  HeartbeatState& hb = client.heartbeat;
  if (packet_waited)
    hb.TickEnabled[kReceiveSlot] = true;
  else
    hb.Enable(kReceiveSlot);
}

void TakeWaitingBytes(Client& client) {
  Net& net = client.net;
  // The game's bytes come only as far as the ring has room: the rest waits
  // in the socket, which reads no more until the receive slot made room.
  const size_t room = net.ProxyReady ? static_cast<size_t>(net.RecvRing.Room()) : SIZE_MAX;
  if (client.Winsock1.Pending() == 0 || room == 0) return;
  auto bytes = client.Winsock1.GetData(room);
  StoreArrivedBytes(client, bytes);
}

void Winsock1_DataArrival(Client& client, int /*bytes_total*/) {
  TakeWaitingBytes(client);
}

void Winsock1_Close(Client& client) {
  client.Winsock1.Close();
}

void ResetNetRings(Client& client) {
  client.net.RecvRing.Reset();
  client.net.SendRing.Reset();
}

}  // namespace slvn
