#include "support/user_details_builder.h"

#include <span>

namespace slvn::test {

namespace {

void PutRaw(PacketBytes& packet, size_t offset, const std::string& bytes, size_t length) {
  const std::string cut = bytes.substr(0, length);
  PutBytes(packet, offset, std::span(reinterpret_cast<const uint8_t*>(cut.data()), cut.size()));
}

void PutU64LE(PacketBytes& packet, size_t offset, uint64_t value) {
  for (size_t i = 0; i < 8; ++i) packet[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

PacketBytes BuildUserDetails(const UserDetailsFields& f) {
  PacketBytes packet = BuildPacket(20, f.seat);
  PutText(packet, 16, f.name);
  PutRaw(packet, 48, f.picture, 16);
  packet[64] = static_cast<uint8_t>(f.sex);
  PutText(packet, 72, f.area);
  PutU64LE(packet, 80, f.score);
  PutU64LE(packet, 88, f.credit);
  PutU64LE(packet, 96, f.coins);
  PutText(packet, 112, f.grade);
  for (size_t i = 0; i < 4; ++i) PutU32LE(packet, 152 + 4 * i, f.counters[i]);
  PutRaw(packet, 168, f.account, 16);
  PutText(packet, 184, f.title);
  packet[208] = f.ready ? 1 : 0;
  PutRaw(packet, 210, f.dialect, 8);
  PutRaw(packet, 218, f.voice, 8);
  PutU64LE(packet, 226, f.userid);
  PutU32LE(packet, 234, f.wealth);
  packet[238] = f.legend ? 1 : 0;
  packet[255] = f.no_plugin ? 1 : 0;
  return packet;
}

PacketBytes BuildUserLeft(const std::string& account, bool shifted, bool ten_seconds) {
  PacketBytes packet = BuildPacket(21, 0);
  PutRaw(packet, 16, account, 16);
  if (shifted) {
    packet[8] = 1;
    packet[16] = static_cast<uint8_t>(packet[16] + 1);
  }
  if (ten_seconds) packet[11] = 1;
  return packet;
}

}  // namespace slvn::test
