#include "table/tile_code.h"

#include "shell/client.h"
#include "shell/general.h"

namespace slvn {

int16_t PictureIndex(int view, TileCode code) {
  if (!IsTileCode(code) || view < 0 || view > 4) return -1;
  return static_cast<int16_t>(36 * view + 9 * BitIndex(static_cast<uint8_t>(TileSuit(code))) +
                              TileRank(code) - 1);
}

namespace {
void SetTileSize(Client& client, int v, const int* width, const int* height) {
  if (v < 0 || v >= kSeatCount) return;
  Data& d = client.data;
  d.TileWidth[v] = static_cast<int16_t>(RoundHalfEven(width[v] * d.ScaleX));
  d.TileHeight[v] = static_cast<int16_t>(RoundHalfEven(height[v] * d.ScaleY));
}
}  // namespace

void SetHandTileSize(Client& client, int v) {
  SetTileSize(client, v, kHandTileWidth, kHandTileHeight);
}
void SetLyingTileSize(Client& client, int v) {
  SetTileSize(client, v, kLyingTileWidth, kLyingTileHeight);
}

}  // namespace slvn
