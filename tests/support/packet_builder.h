#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Builds and reads 272-byte game packets from outside the client, with no
// code of the client's own packet layer: tests compare the client against it
// and the table server speaks through it.
namespace slvn::test {

constexpr size_t kPacketSize = 272;
using PacketBytes = std::array<uint8_t, kPacketSize>;

// The header as a sender writes it; the words are signed 16-bit.
struct PacketFields {
  int cmd = 0;  // bytes 2-3
  int extra1 = 0;
  int seat = 0;  // byte 6, all eight bits
  int extra2 = 0;
  std::array<int, 4> value{};
};

PacketBytes BuildPacket(const PacketFields& fields);
PacketBytes BuildPacket(int cmd, int seat, std::array<int, 4> values = {});
// Writes clipped at the end of the packet.
void PutBytes(PacketBytes& packet, size_t offset, std::span<const uint8_t> bytes);
// UTF-8 text written as GB2312 (no terminator; the packet is zero already).
void PutText(PacketBytes& packet, size_t offset, std::string_view utf8);
void PutU32BE(PacketBytes& packet, size_t offset, uint32_t value);
void PutU32LE(PacketBytes& packet, size_t offset, uint32_t value);
// "0a ff 10" or "0aff10" to bytes; false on anything else.
bool ParseHex(std::string_view hex, std::vector<uint8_t>& bytes);

PacketFields ParseFields(const PacketBytes& packet);
// GB2312 text from `offset` to the first zero (at most `length` bytes), as UTF-8.
std::string TextAt(const PacketBytes& packet, size_t offset, size_t length = kPacketSize);
// "cmd=19 extra1=0 seat=8 extra2=0 value=1,0,0,3 echo=12,34"
std::string DescribePacket(const PacketBytes& packet);
std::string HexDump(const PacketBytes& packet);

// Packets back to back, as they travel.
std::vector<uint8_t> Stream(std::initializer_list<PacketBytes> packets);

}  // namespace slvn::test
