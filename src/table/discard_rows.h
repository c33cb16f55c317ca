#pragma once

#include <cstdint>

namespace slvn {

struct Client;

// At the next draw the discard lying in the middle of the table moves into
// its discarder's rows (eight a row or column) and blinks there. The own
// discard waits for the right-hand seat's draw; a kong's replacement draw
// leaves it where it is.
void SettleLastDiscard(Client& client, uint8_t seatBit, uint8_t tileCount);

}  // namespace slvn
