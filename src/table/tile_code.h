#pragma once

#include <cstdint>

#include "state/types.h"

namespace slvn {

// Suit nibble (1 honours, 2 bamboo, 4 characters, 8 dots) and rank of a code's low byte.
constexpr int TileSuit(TileCode code) {
  return (code >> 4) & 0xF;
}
constexpr int TileRank(TileCode code) {
  return code & 0xF;
}
// A code names a tile when its suit nibble is one suit bit and its rank 1..9.
constexpr bool IsTileCode(TileCode code) {
  const int suit = TileSuit(code);
  return code >= 0 && code <= 0xFF && (suit == 1 || suit == 2 || suit == 4 || suit == 8) &&
         TileRank(code) >= 1 && TileRank(code) <= 9;
}
// The picture of a tile in a view (0-3 lying, 4 the own standing tile):
// 36 per view, 9 per suit; -1 for a code that names no tile.
int16_t PictureIndex(int view, TileCode code);
// The standing back of a view's hand tile.
constexpr int16_t FaceDownPicture(int view) {
  return static_cast<int16_t>(36 * view + 7);
}

// Tile sizes per view, design pixels: the hand tile and the lying tile.
constexpr int kHandTileWidth[] = {48, 35, 36, 35};
constexpr int kHandTileHeight[] = {78, 66, 50, 66};
constexpr int kLyingTileWidth[] = {36, 48, 30, 48};
constexpr int kLyingTileHeight[] = {50, 35, 36, 35};

struct Client;
// Sets TileWidth/TileHeight of view v to a size of the tables above, scaled
// and rounded halves to even.
void SetHandTileSize(Client& client, int v);
void SetLyingTileSize(Client& client, int v);

// A wall position taken modulo 120, never negative.
constexpr int16_t WallPosition(int p) {
  return static_cast<int16_t>(((p % 120) + 120) % 120);
}
// The tail end's order: an upper tile goes to its lower one, a lower tile
// to the upper tile of the stack before.
constexpr int16_t NextTailPosition(int16_t p) {
  return static_cast<int16_t>(p % 2 == 0 ? (p + 1) % 120 : (p + 117) % 120);
}

}  // namespace slvn
