#pragma once

#include <cstdint>
#include <span>

#include "state/types.h"

namespace slvn {

struct Client;

// Puts the codes into display order: dots, characters, bamboo, honours, then
// codes of no suit, each by rising rank; only the low byte counts.
void SortTiles(std::span<TileCode> codes);
// Shows FaceUpTile face up on tile image `position`, lying one layer above
// the stack at the wall's tail end, in the view of that side of the wall.
void ShowWallTile(Client& client, int16_t position);

}  // namespace slvn
