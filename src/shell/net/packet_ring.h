#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "shell/net/game_packet.h"

namespace slvn {

// A byte ring of 128 packets between the socket and the game. Bytes are
// stored one by one at the write index; packets are taken whole from the read
// index. Equal indexes mean empty, so at most kSize - 1 bytes wait; bytes
// that would make the ring look empty are refused and the ring stays intact.
class PacketRing {
 public:
  static constexpr int32_t kSize = 128 * static_cast<int32_t>(GamePacket::kSize);  // 34,816

  int32_t ReadIndex() const { return read_; }
  int32_t WriteIndex() const { return write_; }
  int32_t Waiting() const { return (write_ + kSize - read_) % kSize; }
  int32_t Room() const { return kSize - 1 - Waiting(); }
  void Reset() { read_ = write_ = 0; }

  // Stores bytes in order until the ring is full; how many were stored.
  size_t PushBytes(std::span<const uint8_t> bytes);
  // False when fewer than 272 bytes of room remain; nothing is stored then.
  bool AppendPacket(const GamePacket& packet);
  // Takes the next whole packet; false (nothing taken) while fewer than 272 bytes wait.
  bool TakePacket(GamePacket& packet);
  // The next whole packet without taking it; false while fewer than 272 bytes wait.
  bool PeekPacket(GamePacket& packet) const;

 private:
  std::array<uint8_t, kSize> bytes_{};
  int32_t read_ = 0;
  int32_t write_ = 0;
};

}  // namespace slvn
