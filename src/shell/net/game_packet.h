#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace slvn {

// The commands of bytes 2-3.
enum Command : int16_t {
  Cmd_Deal = 1,
  Cmd_Discard = 2,
  Cmd_SeatName = 3,
  Cmd_NewHand = 4,
  Cmd_Draw = 5,
  Cmd_Turn = 6,
  Cmd_Operate = 7,
  Cmd_Piao = 8,
  Cmd_HandEnd = 9,
  Cmd_WildReset = 14,
  Cmd_ShowHand = 15,
  Cmd_Ready = 16,
  Cmd_Result = 17,
  Cmd_Login = 18,
  Cmd_Chat = 19,
  Cmd_UserInfo = 20,
  Cmd_UserLeft = 21,
  Cmd_Kick = 22,
  Cmd_ReadyState = 23,
  Cmd_KeepAlive = 24,
  Cmd_Reconnect = 28,
  Cmd_ReconnectReply = 29,
  Cmd_HandTiles = 40,
  Cmd_SeatWinds = 41,
  Cmd_PropMsg = 44,  // and 45
  Cmd_PropFlag = 46,
};

// Byte offsets of the fields of a packet.
namespace packet_offset {
constexpr size_t kCommand = 2;  // 16-bit big-endian; receivers read byte 3 alone
constexpr size_t kExtra1 = 5;
constexpr size_t kSeat = 6;
constexpr size_t kExtra2 = 7;
constexpr size_t kValues = 8;  // four 16-bit big-endian words
constexpr size_t kPayload = 16;
constexpr size_t kSeatName = 16;  // command 3: up to 16 single-byte characters
constexpr size_t kSeatNameLength = 16;
constexpr size_t kChatText = 16;  // command 19: 200 bytes of GB2312 text
constexpr size_t kChatTextLength = 200;
constexpr size_t kPassLength = 236;  // command 19: 32-bit big-endian
constexpr size_t kEchoToken = 260;
constexpr size_t kReconnectId = 268;  // 32-bit little-endian
}  // namespace packet_offset

// One unit exchanged with the game server: exactly 272 bytes, no framing.
// Every access is bounded: a read outside the packet gives 0, a write outside
// it changes nothing, so no handler can leave the buffer.
class GamePacket {
 public:
  static constexpr size_t kSize = 272;
  using Bytes = std::array<uint8_t, kSize>;

  GamePacket() { bytes_.fill(0); }
  explicit GamePacket(const Bytes& bytes) : bytes_(bytes) {}

  uint8_t Byte(size_t offset) const { return offset < kSize ? bytes_[offset] : 0; }
  void SetByte(size_t offset, uint8_t value) {
    if (offset < kSize) bytes_[offset] = value;
  }
  uint16_t U16BE(size_t offset) const;
  void SetU16BE(size_t offset, uint16_t value);
  uint32_t U32BE(size_t offset) const;
  uint32_t U32LE(size_t offset) const;
  void SetU32LE(size_t offset, uint32_t value);
  // Up to `length` bytes from `offset`, cut at the end of the packet.
  std::span<const uint8_t> Range(size_t offset, size_t length) const;
  // The single-byte text at `offset`, at most `length` bytes, ending at the first zero.
  std::string ByteString(size_t offset, size_t length) const;

  const Bytes& bytes() const { return bytes_; }
  Bytes& bytes() { return bytes_; }
  bool operator==(const GamePacket&) const = default;

 private:
  Bytes bytes_;
};

// The decoded header of a packet.
struct GameMessage {
  int16_t cmd = 0;
  uint8_t extra1 = 0;
  uint8_t seat = 0;
  uint8_t extra2 = 0;
  std::array<int16_t, 4> value{};
};

// The header as a receiver reads it: the command from byte 3 alone, the seat's
// low four bits, and of each data word its low byte, except in command 17,
// whose words are signed 16-bit.
GameMessage DecodeHeader(const GamePacket& packet);
// The header as a sender writes it: the command and words as 16-bit big-endian
// (a negative word as its two's complement pattern); everything else zero.
GamePacket EncodeHeader(const GameMessage& message);

}  // namespace slvn
