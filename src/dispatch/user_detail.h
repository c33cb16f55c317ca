#pragma once

#include <cstdint>
#include <string>

namespace slvn {

// One seat's user details, by display seat. Only the nickname is read so far
// (the chat line shows the own one as "你"); the rest comes with the
// user-details message.
struct UserDetail {
  std::string name;
  double userid = 0;  // for a spectator, first the watched player's id from the launch line
  // The parts of the player's voice files: v<dialect><voice><sex><voiceKind>...wav
  uint8_t sex = 0;
  std::string dialect;
  std::string voice;
  uint8_t voiceKind = 0;
};

// What leaving the table clears of a seat's details; the user id (the
// spectator's watched player) stays.
inline void ClearTableFields(UserDetail& detail) {
  detail.name.clear();
}

}  // namespace slvn
