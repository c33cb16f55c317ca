#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/packet_builder.h"

namespace slvn::table_server {

// One field condition or setting of a send or expect line.
struct Field {
  enum Kind { kSeat, kExtra1, kExtra2, kValue, kEcho, kHex, kText, kU32BE, kU32LE };
  Kind kind;
  size_t index = 0;  // the word of kValue, the offset of the @ kinds
  int64_t number = 0;
  std::vector<uint8_t> bytes;  // kHex, kEcho
  std::string text;            // kText
};

struct Step {
  enum Verb { kSend, kExpect, kWait, kClose, kDrop, kAccept };
  int line = 0;
  Verb verb = kWait;
  int cmd = 0;
  std::vector<Field> fields;
  std::vector<size_t> split;  // send: chunk sizes
  int milliseconds = 0;       // wait; expect: time-out
  bool skip_others = false;   // expect: a packet of the command that differs is skipped
};

// Parses a whole script; on a bad line returns false with `error` saying where.
bool ParseScript(const std::string& text, std::vector<Step>& steps, std::string& error);

test::PacketBytes BuildSendPacket(const Step& step);
// Empty when the packet matches the expect line, else what differs.
std::string Mismatch(const Step& step, const test::PacketBytes& packet);

}  // namespace slvn::table_server
