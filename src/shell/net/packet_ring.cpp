#include "shell/net/packet_ring.h"

#include <algorithm>
#include <cstring>

namespace slvn {

size_t PacketRing::PushBytes(std::span<const uint8_t> bytes) {
  size_t stored = std::min(bytes.size(), static_cast<size_t>(Room()));
  if (stored == 0) return 0;
  size_t first = std::min(stored, static_cast<size_t>(kSize - write_));
  std::memcpy(bytes_.data() + write_, bytes.data(), first);
  std::memcpy(bytes_.data(), bytes.data() + first, stored - first);
  write_ = static_cast<int32_t>((write_ + stored) % kSize);
  return stored;
}

bool PacketRing::AppendPacket(const GamePacket& packet) {
  if (Room() < static_cast<int32_t>(GamePacket::kSize)) return false;
  PushBytes(packet.bytes());
  return true;
}

bool PacketRing::TakePacket(GamePacket& packet) {
  if (!PeekPacket(packet)) return false;
  read_ = (read_ + static_cast<int32_t>(GamePacket::kSize)) % kSize;
  return true;
}

bool PacketRing::PeekPacket(GamePacket& packet) const {
  constexpr auto kPacket = static_cast<int32_t>(GamePacket::kSize);
  if (Waiting() < kPacket) return false;
  auto& out = packet.bytes();
  // Packets start at multiples of 272 and lie in one piece; the split copy is
  // there only so that no index can ever reach past the array.
  int32_t first = std::min(kPacket, kSize - read_);
  std::memcpy(out.data(), bytes_.data() + read_, first);
  std::memcpy(out.data() + first, bytes_.data(), kPacket - first);
  return true;
}

}  // namespace slvn
