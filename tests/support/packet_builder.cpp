#include "packet_builder.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/text.h"

namespace slvn::test {

namespace {

void PutWord(PacketBytes& packet, size_t offset, int value) {
  auto word = static_cast<uint16_t>(value);
  packet[offset] = static_cast<uint8_t>(word >> 8);
  packet[offset + 1] = static_cast<uint8_t>(word);
}

int Word(const PacketBytes& packet, size_t offset) {
  return static_cast<int16_t>(packet[offset] << 8 | packet[offset + 1]);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

}  // namespace

PacketBytes BuildPacket(const PacketFields& fields) {
  PacketBytes packet{};
  PutWord(packet, 2, fields.cmd);
  packet[5] = static_cast<uint8_t>(fields.extra1);
  packet[6] = static_cast<uint8_t>(fields.seat);
  packet[7] = static_cast<uint8_t>(fields.extra2);
  for (size_t i = 0; i < 4; ++i) PutWord(packet, 8 + 2 * i, fields.value[i]);
  return packet;
}

PacketBytes BuildPacket(int cmd, int seat, std::array<int, 4> values) {
  return BuildPacket(PacketFields{cmd, 0, seat, 0, values});
}

void PutBytes(PacketBytes& packet, size_t offset, std::span<const uint8_t> bytes) {
  for (size_t i = 0; i < bytes.size() && offset + i < kPacketSize; ++i)
    packet[offset + i] = bytes[i];
}

void PutText(PacketBytes& packet, size_t offset, std::string_view utf8) {
  std::string gb = Utf8ToGb2312(utf8);
  PutBytes(packet, offset, std::span(reinterpret_cast<const uint8_t*>(gb.data()), gb.size()));
}

void PutU32BE(PacketBytes& packet, size_t offset, uint32_t value) {
  const uint8_t bytes[] = {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                           static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
  PutBytes(packet, offset, bytes);
}

void PutU32LE(PacketBytes& packet, size_t offset, uint32_t value) {
  const uint8_t bytes[] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                           static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  PutBytes(packet, offset, bytes);
}

bool ParseHex(std::string_view hex, std::vector<uint8_t>& bytes) {
  bytes.clear();
  int high = -1;
  for (char c : hex) {
    if (c == ' ' || c == ',') continue;
    int digit = HexDigit(c);
    if (digit < 0) return false;
    if (high < 0) {
      high = digit;
    } else {
      bytes.push_back(static_cast<uint8_t>(high << 4 | digit));
      high = -1;
    }
  }
  return high < 0;
}

PacketFields ParseFields(const PacketBytes& packet) {
  PacketFields fields;
  fields.cmd = static_cast<uint16_t>(Word(packet, 2));
  fields.extra1 = packet[5];
  fields.seat = packet[6];
  fields.extra2 = packet[7];
  for (size_t i = 0; i < 4; ++i) fields.value[i] = Word(packet, 8 + 2 * i);
  return fields;
}

std::string TextAt(const PacketBytes& packet, size_t offset, size_t length) {
  if (offset >= kPacketSize) return {};
  auto begin = packet.begin() + offset;
  auto limit = begin + std::min(length, kPacketSize - offset);
  return Gb2312ToUtf8(std::string(begin, std::find(begin, limit, uint8_t{0})));
}

std::string DescribePacket(const PacketBytes& packet) {
  PacketFields f = ParseFields(packet);
  char line[160];
  std::snprintf(line, sizeof line,
                "cmd=%d extra1=%d seat=%d extra2=%d value=%d,%d,%d,%d echo=%d,%d", f.cmd, f.extra1,
                f.seat, f.extra2, f.value[0], f.value[1], f.value[2], f.value[3], packet[260],
                packet[261]);
  return line;
}

std::string HexDump(const PacketBytes& packet) {
  std::string out;
  char byte[4];
  for (size_t i = 0; i < kPacketSize; ++i) {
    std::snprintf(byte, sizeof byte, "%02x", packet[i]);
    out += byte;
    out += (i % 16 == 15) ? '\n' : ' ';
  }
  return out;
}

std::vector<uint8_t> Stream(std::initializer_list<PacketBytes> packets) {
  std::vector<uint8_t> bytes;
  for (const auto& packet : packets) bytes.insert(bytes.end(), packet.begin(), packet.end());
  return bytes;
}

}  // namespace slvn::test
