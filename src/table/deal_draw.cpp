#include "table/deal_draw.h"

#include <algorithm>

#include "shell/client.h"
#include "shell/general.h"
#include "table/discard_rows.h"
#include "table/hand_order.h"
#include "table/tile_code.h"

namespace slvn {

namespace {

struct Place {
  double left, top;
};

// Where slot s of view v stands; `gap` sets a drawn tile apart.
Place SlotPlace(const Client& client, int v, int s, bool gap) {
  const Data& d = client.data;
  const PlayerHand& seat = client.custom[v];
  const double w = d.TileWidth[v];
  switch (v) {
    case 0:
      return {seat.HandX + s * w + (gap ? w / 2 : 0), static_cast<double>(seat.HandY)};
    case 1:
      return {seat.HandX - 5.0 * d.ScaleX * s,
              seat.HandY + s * w / 2 + (gap ? 10.0 * d.ScaleY : 0)};
    case 2:
      return {seat.HandX - s * w - (gap ? 10.0 * d.ScaleX : 0), static_cast<double>(seat.HandY)};
    default:
      return {seat.HandX - 5.0 * d.ScaleX * (s + 1),
              seat.HandY - (s + 1) * w / 2 - (gap ? 10.0 * d.ScaleY : 0)};
  }
}

void MoveTile(Client& client, int16_t image, int v, Place place) {
  auto& tiles = client.main_form.MJ_Image;
  if (image < 0 || !tiles.Exists(image)) return;
  tiles[image].Move(place.left, place.top, client.data.TileWidth[v], client.data.TileHeight[v]);
}

void StackTile(Client& client, int16_t image, int v) {
  auto& tiles = client.main_form.MJ_Image;
  if (image < 0 || !tiles.Exists(image)) return;
  if (v == 1) tiles[image].ZOrder(0);
  if (v == 3) tiles[image].ZOrder(1);
}

// Another seat's tile stands face down in slot s.
void PlaceFaceDown(Client& client, int v, int s, int16_t image, bool gap) {
  MoveTile(client, image, v, SlotPlace(client, v, s, gap));
  ShowTileImage(client, image, FaceDownPicture(v));
  StackTile(client, image, v);
  TileSlot& slot = client.custom[v].Slots[s];
  slot.State = 1;
  slot.ImageIndex = image;
}

void PlaceOwn(Client& client, int s, int16_t image, TileCode code, bool gap) {
  TileSlot& slot = client.custom[0].Slots[s];
  slot.State = 1;
  slot.Code = code;
  slot.ImageIndex = image;
  ShowTileImage(client, image, PictureIndex(4, code));
  MoveTile(client, image, 0, SlotPlace(client, 0, s, gap));
}

// The own hand is complete before a wild tile is known: shown face down for
// a second, then sorted.
void CloseOwnDeal(Client& client) {
  PlayerHand& own = client.custom[0];
  const int end = std::min<int>(own.FirstConcealed + own.ConcealedCount, PlayerHand::kSlotCount);
  for (int i = std::max<int>(own.FirstConcealed, 0); i < end; ++i)
    ShowTileImage(client, own.Slots[i].ImageIndex, FaceDownPicture(0));
  SleepSeconds(client, 1.0f);
  SortAndShowHand(client, 0, own.ConcealedCount);
}

void DrawOwnSingle(Client& client, int s, int16_t replacement,
                   const std::array<int16_t, 4>& words) {
  Data& d = client.data;
  PlayerHand& own = client.custom[0];
  const bool from_head = d.DrawFromHead;
  if (d.WildTile > 0) {
    // A tile lifted under the pointer drops back into the row.
    auto& tiles = client.main_form.MJ_Image;
    for (int i = std::max<int>(own.FirstConcealed, 0); i < s; ++i) {
      const int16_t image = own.Slots[i].ImageIndex;
      if (image >= 0 && tiles.Exists(image))
        tiles[image].Move(own.HandX + i * d.TileWidth[0], own.HandY);
    }
    if (!from_head) SortAndShowHand(client, 0, static_cast<int16_t>(own.ConcealedCount - 1));
  }
  const TileCode code = static_cast<TileCode>(words[3]);
  if (from_head) {
    const int16_t image = d.WallHead;
    PlaceOwn(client, s, image, code, d.WildTile > 0);
    TakeFromHead(client, true);
  } else {
    PlaceOwn(client, s, replacement, code, true);
  }
  if (d.WildTile < 0 && (own.ConcealedCount == 14 || (own.ConcealedCount == 13 && own.Dealer == 0)))
    CloseOwnDeal(client);
}

void DrawOther(Client& client, int v, int s, int count, int16_t replacement) {
  Data& d = client.data;
  if (count == 1 && !d.DrawFromHead) {
    PlaceFaceDown(client, v, s, replacement, true);
    return;
  }
  for (int k = 0; k < count; ++k) {
    const bool gap = count == 1 && (d.WildTile > 0 || client.custom[v].ConcealedCount == 14);
    PlaceFaceDown(client, v, s + k, d.WallHead, gap);
    TakeFromHead(client, count == 1);
  }
}

}  // namespace

int16_t TakeFromHead(Client& client, bool single_draw) {
  Data& d = client.data;
  const int16_t taken = WallPosition(d.WallHead);
  TestAndSetWallMark(d, taken);
  if (taken == d.WallTail && d.WallTail % 2 == 0) d.WallTail = WallPosition(d.WallTail + 1);
  d.WallHead = WallPosition(taken + 1);
  if (!single_draw) return taken;
  for (int step = 0; step < kWallPositions && IsWallMarked(d, d.WallHead); ++step) {
    const int16_t stop = WallPosition(d.WallTail + (d.WallTail % 2 == 0 ? 2 : 1));
    const bool last = d.WallHead == stop;
    d.WallHead = WallPosition(d.WallHead + 1);
    if (last) break;
  }
  return taken;
}

int16_t TakeReplacementPosition(Client& client) {
  Data& d = client.data;
  // The die is one face of 1..6; anything else would point off the wall's end.
  const int die = std::clamp<int>(d.KongDie, 1, 6);
  const int16_t t = WallPosition(d.WallTail);
  int16_t p = WallPosition(t % 2 == 0 ? t - 2 * (die - 1) : t - 2 * die + 1);
  int step = 0;
  while (TestAndSetWallMark(d, p)) {
    if (++step >= kWallPositions) return -1;
    p = NextTailPosition(p);
  }
  if (p == d.WallHead)
    for (int i = 0; i < kWallPositions && IsWallMarked(d, d.WallHead); ++i) {
      if (d.WallHead == d.WallTail && d.WallTail % 2 != 0) break;
      d.WallHead = WallPosition(d.WallHead + 1);
    }
  if (IsWallMarked(d, d.WallTail))
    for (int i = 0; i < kWallPositions && IsWallMarked(d, d.WallTail); ++i) {
      d.WallTail = NextTailPosition(d.WallTail);
      if (d.WallTail == d.WallHead) break;
    }
  return p;
}

void DrawFromWall(Client& client, uint8_t seatBit, uint8_t tileCount,
                  const std::array<int16_t, 4>& words) {
  Data& d = client.data;
  int16_t replacement = -1;
  if (!d.DrawFromHead) replacement = TakeReplacementPosition(client);
  SettleLastDiscard(client, seatBit, tileCount);
  d.KongDrawPending = false;
  const int v = RelativeSeat(client.custom[0].SeatWind, seatBit);
  for (int view = 0; view < kSeatCount; ++view) SetHandTileSize(client, view);
  PlayerHand& seat = client.custom[v];
  const int s = seat.FirstConcealed + seat.ConcealedCount;
  // Only the tiles that fit the eighteen slots are placed and counted.
  const int count = std::clamp(PlayerHand::kSlotCount - s, 0, static_cast<int>(tileCount));
  if (s < 0 || count == 0 || (tileCount == 1 && !d.DrawFromHead && replacement < 0)) {
    d.DrawFromHead = true;
    return;
  }
  seat.ConcealedCount = static_cast<int16_t>(seat.ConcealedCount + count);
  if (v == 0 && tileCount == 4) {
    for (int k = 0; k < count; ++k) {
      PlaceOwn(client, s + k, d.WallHead, static_cast<TileCode>(words[k]), false);
      TakeFromHead(client, false);
    }
  } else if (v == 0) {
    DrawOwnSingle(client, s, replacement, words);
  } else {
    DrawOther(client, v, s, count, replacement);
  }
  if (v == 1) {
    const int kongs = std::clamp<int>(client.custom[0].WildKongCount, 0, 4);
    auto& tiles = client.main_form.MJ_Image;
    for (int i = 0; i < kongs; ++i)
      if (tiles.Exists(d.SetAsideImages[0][4 + i])) tiles[d.SetAsideImages[0][4 + i]].ZOrder(0);
  }
  d.DrawFromHead = true;
}

}  // namespace slvn
