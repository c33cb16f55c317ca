#include <algorithm>

#include "shell/client.h"
#include "shell/general.h"
#include "spectator/spectator.h"
#include "table/hand_order.h"
#include "table/tile_code.h"

namespace slvn {

namespace {

void SetStandingSizes(Client& client) {
  for (int v = 0; v < kSeatCount; ++v) SetHandTileSize(client, v);
}

// Places a hand tile of seat r in slot k; `step` is k, or k + 1 for the
// right seat's tiles from the head.
void PlaceHandTile(Client& client, int r, int k, int16_t image, int step) {
  Data& d = client.data;
  const PlayerHand& hand = client.custom[r];
  auto& tiles = client.main_form.MJ_Image;
  if (!tiles.Exists(image)) return;
  ImageControl& img = tiles[image];
  const double w = d.TileWidth[r], h = d.TileHeight[r];
  const double x = hand.HandX, y = hand.HandY;
  img.SetWidth(w);
  img.SetHeight(h);
  ShowTileImage(client, image, FaceDownPicture(r));
  switch (r) {
    case 0:
      img.Move(x + w * k, y);
      break;
    case 1:
      img.Move(x - 5 * d.ScaleX * k, y + 0.5 * w * k);
      img.ZOrder(0);
      break;
    case 2:
      img.Move(x - w * k, y);
      break;
    default:
      img.Move(x - 5 * d.ScaleX * step, y - 0.5 * w * step);
      img.ZOrder(1);
      break;
  }
}

// The wall's ends pass over positions a tile has left already; -1 when
// none is left.
int16_t TakeHead(Data& d) {
  for (int n = 0; n < kWallPositions; ++n) {
    const int16_t i = WallPosition(d.WallHead);
    d.WallHead = WallPosition(i + 1);
    if (!TestAndSetWallMark(d, i)) return i;
  }
  return -1;
}

int16_t TakeTail(Data& d) {
  for (int n = 0; n < kWallPositions; ++n) {
    const int16_t i = WallPosition(d.WallTail);
    d.WallTail = NextTailPosition(i);
    if (!TestAndSetWallMark(d, i)) return i;
  }
  return -1;
}

}  // namespace

void WatchDrawTiles(Client& client, uint8_t seatBit, uint8_t tileCount,
                    const std::array<int16_t, 4>& words) {
  Data& d = client.data;
  if (!IsSeatBit(seatBit)) return;
  const int r = RelativeSeat(client.custom[0].SeatWind, seatBit);
  PlayerHand& hand = client.custom[r];
  SetStandingSizes(client);
  const int first = hand.FirstConcealed + hand.ConcealedCount;
  // Only tiles that have a slot are taken off the wall.
  const int n =
      first < 0 ? 0 : std::clamp(PlayerHand::kSlotCount - first, 0, static_cast<int>(tileCount));
  auto& tiles = client.main_form.MJ_Image;
  auto keep = [&](int k, int16_t i, TileCode code) {
    hand.Slots[k].State = 1;
    hand.Slots[k].ImageIndex = i;
    if (r == 0) hand.Slots[k].Code = code;
    ++hand.ConcealedCount;
  };
  if (tileCount != 1 || (r != 0 && d.DrawFromHead)) {
    for (int t = 0; t < n; ++t) {
      const int k = first + t;
      const int16_t i = TakeHead(d);
      if (i < 0) break;
      PlaceHandTile(client, r, k, i, k + 1);
      keep(k, i, static_cast<TileCode>(words[t] & 0xFF));
    }
  } else if (n == 1 && r == 0) {
    const int k = first;
    const double w = d.TileWidth[0];
    // Once the wild tile is known the drawn tile stands apart: the gap the
    // previous one left is closed first.
    if (d.WildTile > 0)
      for (int j = std::max<int>(hand.FirstConcealed, 0); j < k; ++j)
        if (tiles.Exists(hand.Slots[j].ImageIndex))
          tiles[hand.Slots[j].ImageIndex].Move(hand.HandX + w * j, hand.HandY);
    const bool from_head = d.DrawFromHead;
    const int16_t i = from_head ? TakeHead(d) : TakeTail(d);
    if (i >= 0) {
      PlaceHandTile(client, 0, k, i, k);
      if (!from_head || d.WildTile > 0) tiles[i].SetLeft(tiles[i].Left() + w / 2);
      keep(k, i, static_cast<TileCode>(words[3] & 0xFF));
    }
  } else if (n == 1) {
    const int k = first;
    const int16_t i = TakeTail(d);
    if (i >= 0) {
      PlaceHandTile(client, r, k, i, k);
      keep(k, i, 0);
    }
  }
  if (r == 1) {
    const int w = std::clamp<int>(client.custom[0].WildKongCount, 0, 4);
    for (int c = 0; c < w; ++c)
      if (tiles.Exists(d.SetAsideImages[0][4 + c])) tiles[d.SetAsideImages[0][4 + c]].ZOrder(0);
  }
  d.DrawFromHead = true;
}

}  // namespace slvn
