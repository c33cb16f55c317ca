#pragma once

#include <cstdint>

namespace slvn {

struct Client;

// At the next draw the discard lying in the middle of the table moves into
// its discarder's rows (eight a row or column) and blinks there. The own
// discard waits for the right-hand seat's draw; a kong's replacement draw
// leaves it where it is.
void SettleLastDiscard(Client& client, uint8_t seatBit, uint8_t tileCount);

// Moves display seat v's discard position on by one tile of the working
// size, to the start of the next row or column after every eighth.
void AdvanceDiscardCursor(Client& client, int v);
// The right-hand seat's column overlaps upward: the lowest tile in front,
// each new one behind those below it. The list holds 24; later tiles are
// not kept.
void AppendRightDiscard(Client& client, int16_t image);

}  // namespace slvn
