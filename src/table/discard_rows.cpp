#include "table/discard_rows.h"

#include <algorithm>

#include "shell/client.h"
#include "shell/general.h"
#include "table/tile_code.h"

namespace slvn {

namespace {

constexpr int kRowLength = 8;

int16_t Nearest(double v) {
  return static_cast<int16_t>(RoundHalfEven(v));
}

// Whole rows or columns the cursor has come from its origin, -1 when the
// step is not positive (no layout yet).
int StepsFrom(int distance, int step) {
  return step > 0 ? distance / step : -1;
}

// Brings the right-hand seat's list entries from..to (downward) to the
// front, which restores that part of the column order.
void RaiseRightDiscards(Client& client, int from, int to) {
  const auto& list = client.RightDiscardImages;
  auto& tiles = client.main_form.MJ_Image;
  from = std::min(from, static_cast<int>(list.size()) - 1);
  for (int i = from; i >= std::max(to, 0); --i)
    if (tiles.Exists(list[i])) tiles[list[i]].ZOrder(0);
}

}  // namespace

void AdvanceDiscardCursor(Client& client, int v) {
  if (v < 0 || v >= kSeatCount) return;
  Data& d = client.data;
  PlayerHand& seat = client.custom[v];
  const float sx = d.ScaleX, sy = d.ScaleY;
  const int w = d.TileWidth[v], h = d.TileHeight[v];
  switch (v) {
    case 0:
      seat.DiscardX = static_cast<int16_t>(seat.DiscardX + w);
      if (StepsFrom(seat.DiscardX - seat.DiscardOriginX, w) == kRowLength) {
        seat.DiscardX = seat.DiscardOriginX;
        seat.DiscardY = Nearest(seat.DiscardY - h + 18 * sy);
      }
      break;
    case 1:
      seat.DiscardY = Nearest(seat.DiscardY + h - 17 * sy);
      seat.DiscardX = static_cast<int16_t>(seat.DiscardX - 5);
      if (StepsFrom(seat.DiscardY - seat.DiscardOriginY, Nearest(h - 17 * sy)) == kRowLength) {
        seat.DiscardY = seat.DiscardOriginY;
        seat.DiscardX = Nearest(seat.DiscardX + 40 + w - 5 * sx);
      }
      break;
    case 2:
      seat.DiscardX = static_cast<int16_t>(seat.DiscardX - w);
      if (StepsFrom(seat.DiscardOriginX - seat.DiscardX, w) == kRowLength) {
        seat.DiscardX = seat.DiscardOriginX;
        seat.DiscardY = Nearest(seat.DiscardY + h - 14 * sy);
      }
      break;
    default:
      seat.DiscardY = Nearest(seat.DiscardY - h + 17 * sy);
      seat.DiscardX = static_cast<int16_t>(seat.DiscardX - 5);
      if (StepsFrom(seat.DiscardOriginY - seat.DiscardY, Nearest(h - 17 * sy)) == kRowLength) {
        seat.DiscardY = seat.DiscardOriginY;
        seat.DiscardX = Nearest(seat.DiscardX + 40 - w + 5 * sx);
      }
      break;
  }
}

void AppendRightDiscard(Client& client, int16_t image) {
  auto& list = client.RightDiscardImages;
  int16_t& n = client.RightDiscardCount;
  if (n < 0 || n >= static_cast<int16_t>(list.size())) return;
  list[n++] = image;
  if (n <= 8) {
    RaiseRightDiscards(client, n - 1, 0);
  } else if (n <= 16) {
    RaiseRightDiscards(client, n - 1, 8);
  } else {
    RaiseRightDiscards(client, 15, 8);
    RaiseRightDiscards(client, n - 1, 16);
  }
}

void SettleLastDiscard(Client& client, uint8_t seatBit, uint8_t tileCount) {
  Data& d = client.data;
  if (d.KongDrawPending || d.LastTileImage <= -1) return;
  if (tileCount == 1) SleepSeconds(client, 0.4f);
  const int v = d.LastDiscardSeat;
  auto& tiles = client.main_form.MJ_Image;
  if (v >= kSeatCount || !tiles.Exists(d.LastTileImage)) return;
  if (v == 0 && seatBit != client.custom[3].SeatWind) return;
  SetLyingTileSize(client, v);
  const PlayerHand& seat = client.custom[v];
  ImageControl& tile = tiles[d.LastTileImage];
  tile.Move(seat.DiscardX, seat.DiscardY, d.TileWidth[v], d.TileHeight[v]);
  tile.ZOrder(v == 0 || v == 3 ? 1 : 0);
  AdvanceDiscardCursor(client, v);
  if (v == 3) AppendRightDiscard(client, d.LastTileImage);
  SetHandTileSize(client, v);
  d.BlinkCount = 3;
}

}  // namespace slvn
