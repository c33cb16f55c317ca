#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "state/types.h"

namespace slvn {

struct Client;

// One tile place of a seat.
struct TileSlot {
  int16_t State = 0;  // 0 empty, 1 concealed, 2 chow, 3 pung, 4 kong of a discard,
                      // 5 concealed kong, 6 added kong
  TileCode Code = 0;
  int16_t ImageIndex = -1;  // tile image showing it, -1 none
};

// One seat as the local player sees it; `custom` holds four, by display seat.
struct PlayerHand {
  static constexpr int kSlotCount = 18;

  std::string name;      // account name, one byte per character
  int64_t sum = 0;       // the seat's hand total from its end-of-hand row
  uint8_t SeatWind = 0;  // seat bit 1 North, 2 West, 4 South, 8 East; 0 not yet known
  int16_t Dealer = 0;    // -1 while the seat deals
  int16_t DiscardX = 0, DiscardY = 0;
  int16_t DiscardOriginX = 0, DiscardOriginY = 0;
  int16_t HandX = 0, HandY = 0;
  std::array<TileSlot, kSlotCount> Slots{};
  int16_t MeldEnd = 0;
  int16_t FirstConcealed = 0;
  int16_t ConcealedCount = 0;
  int16_t WildCount = 0;
  int16_t RedDragonCount = 0;
  int16_t WildKongCount = 0;
};

// Per-hand reset of the four seats and the per-hand tables. Names, seat
// winds, screen origins and slot codes stay; no picture is touched.
void ClearPlayerInfo(Client& client);

}  // namespace slvn
