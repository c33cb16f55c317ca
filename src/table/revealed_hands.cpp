#include "table/claim_common.h"
#include "table/claims.h"
#include "table/hand_order.h"

namespace slvn {

using namespace claims;

namespace {

constexpr int kShownMax = 14;  // ShownTiles entries 0..13 are used

int RevealedCount(const Data& d, int seat) {
  int k = 0;
  while (k < kShownMax && d.ShownTiles[seat - 1][k] != 0) ++k;
  return k;
}

void TurnOwnTilesUp(Client& client) {
  const Data& d = client.data;
  PlayerHand& hand = client.custom[0];
  if (!ConcealedInRange(hand)) return;
  if (d.WatchMode) SortAndShowHand(client, 0, hand.ConcealedCount);
  for (int s = hand.FirstConcealed; s < hand.FirstConcealed + hand.ConcealedCount; ++s) {
    if (d.WatchMode) {
      if (ImageControl* img = SlotImage(client, hand, s)) {
        img->SetWidth(d.TileWidth[0]);
        img->SetHeight(d.TileHeight[0]);
      }
    } else {
      ShowTileImage(client, hand.Slots[s].ImageIndex, TilePicture(0, hand.Slots[s].Code));
    }
  }
}

// The winning discard beside the winner's revealed hand.
void PlaceWinningDiscard(Client& client, int s, int last) {
  const Data& d = client.data;
  const PlayerHand& hand = client.custom[s];
  ImageControl* won = TileImage(client, d.LastTileImage);
  ImageControl* beside = SlotImage(client, hand, last);
  if (!won || !beside) return;
  ShowTileImage(client, d.LastTileImage, TilePicture(s, d.LastDiscard));
  const double w = d.TileWidth[s], h = d.TileHeight[s];
  const double left = beside->Left(), top = beside->Top();
  if (s == 1) {
    won->Move(left - 5 * d.ScaleX, top + h - 13 * d.ScaleY, w, h);
    won->ZOrder(0);
  } else if (s == 2) {
    won->Move(hand.HandX - w * (last + 1) - 5 * d.ScaleX, hand.HandY, w, h);
  } else {
    won->Move(left - 5 * d.ScaleX, top - h + 13 * d.ScaleY, w, h);
    won->ZOrder(1);
  }
}

void LayOpen(Client& client, int s) {
  const Data& d = client.data;
  PlayerHand& hand = client.custom[s];
  // Revealed tiles past the record's slots are not shown.
  const int n = std::min(RevealedCount(d, s), PlayerHand::kSlotCount - hand.FirstConcealed);
  if (hand.FirstConcealed < 0 || n <= 0) return;
  const int last = hand.FirstConcealed + n - 1;
  const bool winner = s == d.WinnerSeat;
  const bool complete = (n - 2) % 3 == 0;
  if (winner && complete) {
    ShowTileImage(client, hand.Slots[last].ImageIndex, TilePicture(s, hand.Slots[last].Code));
    SortAndShowHand(client, static_cast<uint8_t>(s), static_cast<int16_t>(n - 1));
  } else {
    SortAndShowHand(client, static_cast<uint8_t>(s), static_cast<int16_t>(n));
  }
  for (int slot = hand.FirstConcealed; slot <= last; ++slot)
    if (ImageControl* img = SlotImage(client, hand, slot)) {
      img->SetWidth(d.TileWidth[s]);
      img->SetHeight(d.TileHeight[s]);
    }
  if (winner && !complete) PlaceWinningDiscard(client, s, last);
}

}  // namespace

void ShowHandTiles(Client& client, uint8_t seat_bit, const std::array<TileCode, 4>& tiles) {
  Data& d = client.data;
  const int r = RelativeSeat(client.custom[0].SeatWind, seat_bit);
  const double sizes[4][2] = {{48, 60}, {45, 35}, {36, 39}, {45, 35}};
  for (int v = 0; v < 4; ++v) SetTileSize(client, v, sizes[v][0], sizes[v][1]);
  if (r == 0) return;
  PlayerHand& hand = client.custom[r];
  int k = RevealedCount(d, r);
  for (int i = 0; i < 4 && hand.ConcealedCount > 0; ++i) {
    const int slot = hand.FirstConcealed + k;
    if (k >= kShownMax || !ValidSlot(slot)) {
      hand.ConcealedCount = 0;  // no room for more: the seat counts as revealed
      break;
    }
    d.ShownTiles[r - 1][k] = tiles[3 - i];
    hand.Slots[slot].Code = tiles[3 - i];
    --hand.ConcealedCount;
    ++k;
  }
  for (int s = 1; s < kSeatCount; ++s)
    if (client.custom[s].ConcealedCount != 0) return;
  TurnOwnTilesUp(client);
  for (int s = 1; s < kSeatCount; ++s) LayOpen(client, s);
}

}  // namespace slvn
