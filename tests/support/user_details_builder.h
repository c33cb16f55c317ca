#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "support/packet_builder.h"

namespace slvn::test {

// One player's user-details message (command 20) as the server writes it.
// Texts the player reads are UTF-8 here and GB2312 in the packet; the codes
// and the account are written byte for byte.
struct UserDetailsFields {
  int seat = 0;  // 15 the own player at login, 0 a joiner, else a seat bit
  std::string name;
  std::string picture;
  int sex = 1;
  std::string area;
  uint64_t score = 0;
  uint64_t credit = 0;
  uint64_t coins = 0;
  std::string grade;
  std::array<uint32_t, 4> counters{};  // logins, drops, wins, losses
  std::string account;
  std::string title;
  bool ready = false;
  std::string dialect;
  std::string voice;
  uint64_t userid = 0;
  uint32_t wealth = 0;
  bool legend = false;     // byte 238
  bool no_plugin = false;  // byte 255
};

PacketBytes BuildUserDetails(const UserDetailsFields& fields);

// A user left (command 21): the account from byte 16; `shifted` writes the
// first byte one higher and sets byte 8; `ten_seconds` sets byte 11.
PacketBytes BuildUserLeft(const std::string& account, bool shifted = false,
                          bool ten_seconds = false);

}  // namespace slvn::test
