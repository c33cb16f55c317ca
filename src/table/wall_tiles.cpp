#include "table/wall_tiles.h"

#include <utility>

#include "shell/client.h"
#include "table/hand_order.h"
#include "table/tile_code.h"

namespace slvn {

void SortTiles(std::span<TileCode> codes) {
  for (size_t i = 0; i + 1 < codes.size(); ++i)
    for (size_t j = i + 1; j < codes.size(); ++j) {
      const int si = TileSuit(codes[i]), sj = TileSuit(codes[j]);
      if (si < sj || (si == sj && TileRank(codes[i]) > TileRank(codes[j])))
        std::swap(codes[i], codes[j]);
    }
}

void ShowWallTile(Client& client, int16_t position) {
  Data& d = client.data;
  auto& tiles = client.main_form.MJ_Image;
  if (position < 0 || position >= kWallPositions || d.WallTail < 0 ||
      d.WallTail >= kWallPositions || !tiles.Exists(position) || !tiles.Exists(d.WallTail))
    return;
  // The lift of the upper layer of a stack on each side, in plain pixels.
  constexpr int kLift[] = {22, 20, 16, 20};
  const int side = d.WallTail / 30;
  ImageControl& tile = tiles[position];
  const ImageControl& tail = tiles[d.WallTail];
  tile.SetWidth(kLyingTileWidth[side] * d.ScaleX);
  tile.SetHeight(kLyingTileHeight[side] * d.ScaleY);
  tile.Move(tail.Left(), tail.Top() - kLift[side]);
  ShowTileImage(client, position, PictureIndex(side, static_cast<TileCode>(d.FaceUpTile & 0xFF)));
  tile.ZOrder(0);
  tile.SetVisible(true);
}

}  // namespace slvn
