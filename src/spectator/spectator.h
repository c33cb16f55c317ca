#pragma once

#include <array>
#include <cstdint>

#include "state/types.h"

namespace slvn {

struct Client;

// The spectator's view of the table: every hand face down, turned so that
// the watched player sits at the bottom. Seat bytes other than 1, 2, 4 and 8
// are ignored by the twins.

// Turns the table to the watched player from the four stored user-details
// packets: seat winds, names, dealer, wall ends, labels and portraits.
void SetupWatchTable(Client& client);

// The deal (four tiles) or a draw (one) of a seat, face down.
void WatchDrawTiles(Client& client, uint8_t seatBit, uint8_t tileCount,
                    const std::array<int16_t, 4>& words);
// A seat's discard: spoken, shown enlarged for a second once the deal has
// been shown, then laid into the seat's rows.
void WatchShowDiscard(Client& client, uint8_t seatBit, TileCode tile);
// A claim: announced for another seat (bubble, word picture, voice, 2 s),
// then moved into the claimer's melds.
void WatchApplyOperation(Client& client, int16_t operation, uint8_t seatBit,
                         const std::array<TileCode, 3>& tiles);

// A joined hand's earlier discards, face down in each seat's rows.
void WatchDrawHiddenDiscards(Client& client);

// Whether a seat byte names one seat.
constexpr bool IsSeatBit(uint8_t seat) {
  return seat == 1 || seat == 2 || seat == 4 || seat == 8;
}

}  // namespace slvn
