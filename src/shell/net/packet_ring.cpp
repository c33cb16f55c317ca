#include "shell/net/packet_ring.h"

#include <algorithm>
#include <cstring>

namespace slvn {

bool PacketRing::PushByte(uint8_t byte) {
  int32_t next = (write_ + 1) % kSize;
  if (next == read_) return false;
  bytes_[write_] = byte;
  write_ = next;
  return true;
}

bool PacketRing::AppendPacket(const GamePacket& packet) {
  if (Room() < static_cast<int32_t>(GamePacket::kSize)) return false;
  for (uint8_t byte : packet.bytes()) PushByte(byte);
  return true;
}

bool PacketRing::TakePacket(GamePacket& packet) {
  constexpr auto kPacket = static_cast<int32_t>(GamePacket::kSize);
  if (Waiting() < kPacket) return false;
  auto& out = packet.bytes();
  // Packets start at multiples of 272 and lie in one piece; the split copy is
  // there only so that no index can ever reach past the array.
  int32_t first = std::min(kPacket, kSize - read_);
  std::memcpy(out.data(), bytes_.data() + read_, first);
  std::memcpy(out.data() + first, bytes_.data(), kPacket - first);
  read_ = (read_ + kPacket) % kSize;
  return true;
}

}  // namespace slvn
