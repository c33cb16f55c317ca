#pragma once

#include <array>
#include <cstdint>

namespace slvn {

struct Client;

// Gives the seat of `seatBit` `tileCount` tiles off the wall: four in the
// deal, one in a draw (from the kong replacement position after a kong).
// The own tiles show the codes of `words` (all four in the deal, word 3 in a
// draw); other seats' tiles stand face down. The last discard settles into
// its rows first, and the own hand is shown sorted once it is complete.
void DrawFromWall(Client& client, uint8_t seatBit, uint8_t tileCount,
                  const std::array<int16_t, 4>& words);

// The wall position of a kong's replacement tile, marked taken, with both
// ends moved past taken positions; -1 when the whole wall is taken.
int16_t TakeReplacementPosition(Client& client);
// Takes the head's tile: its position is marked and the head moves on (after
// a single draw past positions already taken). Returns the position taken.
int16_t TakeFromHead(Client& client, bool single_draw);

}  // namespace slvn
