#pragma once

#include <cstdint>

namespace slvn {

// A tile: high nibble the suit bit (1 honours, 2 bamboo, 4 characters,
// 8 dots), low nibble the rank; honours 1 East .. 4 North, 5 Red, 6 Green, 7 White.
using TileCode = int16_t;

// An own discard is sent with this bit, a claimed tile with kClaimFlag.
constexpr int kDiscardFlag = 0x4000;
constexpr int kClaimFlag = 0x2000;
constexpr int kTileCodeMask = 0x0FFF;

// Claim bits of a turn prompt and of a claim packet (`OpCode`, `AllowedClaims`).
enum ClaimBit : int {
  kClaimPass = 1,
  kClaimChow = 4,
  kClaimPung = 8,
  kClaimKong = 16,
  kClaimConcealedKong = 32,
  kClaimAddedKong = 64,
  kClaimWin = 128,
};

// Display seats (`RelativeSeat`): 0 self at the bottom, 1 left, 2 top, 3 right.
constexpr int kSeatCount = 4;
constexpr int kWallPositions = 120;

}  // namespace slvn
