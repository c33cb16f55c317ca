#pragma once

#include <array>
#include <cstdint>

namespace slvn {

// The heartbeat's slots: switches and counters by slot number.
enum HeartbeatSlot : int {
  kSendSlot = 0,
  kReceiveSlot = 1,
  kLoginSlot = 2,
  kBlinkSlot = 3,
  kWatchdogSlot = 5,
  kTurnCountdown = 6,
  kReadyCountdown = 7,
  kBubbleCounter = 9,  // counter only: the bubble slot's gate is ClaimBubbleShown
};

struct HeartbeatState {
  std::array<bool, 9> TickEnabled{};
  std::array<int16_t, 10> TickCount{};
  // Item packets parked by the send slot; empty while byte 3 is 0.
  std::array<uint8_t, 272> HeldItemPacket1{};
  std::array<uint8_t, 272> HeldItemPacket2{};
  bool HoldItem129 = false;
  bool HoldItem386 = false;
  // Since when a user-left message waits for the hand's sheet, -1 none.
  double UserLeftHeldSince = -1;
  // A connection is being made, or stands without its login or reconnect
  // packet yet, or its reconnect is not yet accepted (command 29): the server
  // must know who is talking before anything queued reaches it, so the send
  // slot keeps the queue until the login is out or the reconnect accepted.
  bool LoginOwed = false;

  // Starting a counted slot also restarts its count, so its first run comes
  // one whole period later.
  void Enable(HeartbeatSlot slot) {
    TickEnabled[slot] = true;
    TickCount[slot] = 0;
  }
  void Disable(HeartbeatSlot slot) {
    TickEnabled[slot] = false;
    TickCount[slot] = 0;
  }
};

}  // namespace slvn
