#pragma once

#include <cstdint>

namespace slvn {

struct Client;

// Puts slots FirstConcealed .. FirstConcealed + n - 1 of `seat` into hand
// order (wild tiles first, then dots, characters, bamboo, honours, each by
// rank) and redraws them; the own hand redraws only changed tiles while a
// wild tile is known.
void SortAndShowHand(Client& client, uint8_t seat, int16_t n);
// Whether the tile image shows one of the own concealed tiles.
bool IsTileInHand(const Client& client, int16_t image);
// The own concealed slot that the tile image shows, or -1.
int16_t HandSlotOfImage(const Client& client, int16_t image);
// Loads tile picture `picture` into tile image `image`; indexes out of range
// do nothing.
void ShowTileImage(Client& client, int16_t image, int16_t picture);

}  // namespace slvn
