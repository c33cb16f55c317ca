#pragma once

#include <cstddef>
#include <cstdint>

namespace slvn {

struct Client;
class GamePacket;

// Command 9: a seat's end-of-hand row (info.seat is its display seat). The
// fourth row of a hand where nobody won writes the drawn-hand sheet, or
// hands the hand to the item plug-in.
void HandleHandEndRow(Client& client);
// Command 15: a seat's revealed tiles; the first of a hand also keeps the
// tiles left in the wall.
void HandleShownHand(Client& client);
// Command 17: a seat's result row (info.seat is its display seat); the
// fourth shows the score sheet or hands the hand to the plug-in.
void HandleResultRow(Client& client);

// The signed 64-bit little-endian number at `offset` (two's complement).
int64_t ReadSigned64(const GamePacket& packet, size_t offset);
// -value, the largest number where that does not exist.
int64_t NegateSaturated(int64_t value);

}  // namespace slvn
