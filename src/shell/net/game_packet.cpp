#include "shell/net/game_packet.h"

#include <algorithm>

namespace slvn {

uint16_t GamePacket::U16BE(size_t offset) const {
  return static_cast<uint16_t>(Byte(offset) << 8 | Byte(offset + 1));
}

void GamePacket::SetU16BE(size_t offset, uint16_t value) {
  SetByte(offset, static_cast<uint8_t>(value >> 8));
  SetByte(offset + 1, static_cast<uint8_t>(value));
}

uint32_t GamePacket::U32BE(size_t offset) const {
  return uint32_t{U16BE(offset)} << 16 | U16BE(offset + 2);
}

uint32_t GamePacket::U32LE(size_t offset) const {
  uint32_t value = 0;
  for (size_t i = 4; i-- > 0;) value = value << 8 | Byte(offset + i);
  return value;
}

void GamePacket::SetU32LE(size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) SetByte(offset + i, static_cast<uint8_t>(value >> (8 * i)));
}

std::span<const uint8_t> GamePacket::Range(size_t offset, size_t length) const {
  if (offset >= kSize) return {};
  return std::span<const uint8_t>(bytes_).subspan(offset, std::min(length, kSize - offset));
}

std::string GamePacket::ByteString(size_t offset, size_t length) const {
  auto range = Range(offset, length);
  auto end = std::find(range.begin(), range.end(), uint8_t{0});
  return std::string(range.begin(), end);
}

GameMessage DecodeHeader(const GamePacket& packet) {
  namespace off = packet_offset;
  GameMessage message;
  message.cmd = packet.Byte(off::kCommand + 1);
  message.extra1 = packet.Byte(off::kExtra1);
  message.seat = packet.Byte(off::kSeat) & 15;
  message.extra2 = packet.Byte(off::kExtra2);
  for (size_t i = 0; i < message.value.size(); ++i) {
    size_t at = off::kValues + 2 * i;
    message.value[i] = message.cmd == Cmd_Result ? static_cast<int16_t>(packet.U16BE(at))
                                                 : int16_t{packet.Byte(at + 1)};
  }
  return message;
}

GamePacket EncodeHeader(const GameMessage& message) {
  namespace off = packet_offset;
  GamePacket packet;
  packet.SetU16BE(off::kCommand, static_cast<uint16_t>(message.cmd));
  packet.SetByte(off::kExtra1, message.extra1);
  packet.SetByte(off::kSeat, message.seat);
  packet.SetByte(off::kExtra2, message.extra2);
  for (size_t i = 0; i < message.value.size(); ++i)
    packet.SetU16BE(off::kValues + 2 * i, static_cast<uint16_t>(message.value[i]));
  return packet;
}

}  // namespace slvn
