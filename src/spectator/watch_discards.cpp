#include "dispatch/table_state.h"
#include "shell/client.h"
#include "shell/general.h"
#include "shell/sound/voice_path.h"
#include "spectator/spectator.h"
#include "table/discard_display.h"
#include "table/discard_rows.h"
#include "table/hand_order.h"
#include "table/table_centre.h"
#include "table/tile_code.h"

namespace slvn {

namespace {

// Seats 0 and 3 lie behind the tiles before them, seats 1 and 2 in front.
int RowOrder(int r) {
  return r == 0 || r == 3 ? 1 : 0;
}

// Lays image i at seat r's discard position and moves the position on.
void LayIntoRow(Client& client, int r, int16_t i) {
  Data& d = client.data;
  PlayerHand& hand = client.custom[r];
  ImageControl& img = client.main_form.MJ_Image[i];
  img.Move(hand.DiscardX, hand.DiscardY, d.TileWidth[r], d.TileHeight[r]);
  img.ZOrder(RowOrder(r));
  if (r == 3) AppendRightDiscard(client, i);
  d.SavedDiscardX = hand.DiscardX;
  d.SavedDiscardY = hand.DiscardY;
  AdvanceDiscardCursor(client, r);
}

}  // namespace

void WatchShowDiscard(Client& client, uint8_t seatBit, TileCode tile) {
  Data& d = client.data;
  if (!IsSeatBit(seatBit)) return;
  d.LastDiscard = tile;
  const int r = RelativeSeat(client.custom[0].SeatWind, seatBit);
  PlayVoice(client, DiscardVoiceFile(client, r, tile));
  d.LastDiscardSeat = static_cast<uint8_t>(r);
  PlayerHand& hand = client.custom[r];
  auto& tiles = client.main_form.MJ_Image;
  const int last = hand.FirstConcealed + hand.ConcealedCount - 1;
  // A seat with no concealed tile recorded has nothing to lay down.
  if (hand.ConcealedCount <= 0 || last < 0 || last >= PlayerHand::kSlotCount ||
      !tiles.Exists(hand.Slots[last].ImageIndex)) {
    d.LastTileImage = -1;
    return;
  }
  SetLyingTileSize(client, r);
  const int16_t i = hand.Slots[last].ImageIndex;
  d.LastTileImage = i;
  ShowTileImage(client, i, PictureIndex(r, tile));
  ImageControl& img = tiles[i];
  if (d.DealShown) {
    const double w = 1.2 * d.TileWidth[r], h = 1.2 * d.TileHeight[r];
    const TablePoint centre = Pic1Centre(client);
    img.Move(centre.X - w / 2, centre.Y - h / 2, w, h);
    img.ZOrder(RowOrder(r));
    SleepSeconds(client, 1.0f);
  }
  LayIntoRow(client, r, i);
  SetHandTileSize(client, r);
  --hand.ConcealedCount;
}

void WatchDrawHiddenDiscards(Client& client) {
  Data& d = client.data;
  for (int v = 0; v < kSeatCount; ++v) SetLyingTileSize(client, v);
  int laid = -1;
  for (int r = 0; r < kSeatCount; ++r)
    for (int n = 0; n < d.DiscardCounts[r]; ++n) {
      // The earlier discards come out of the tiles the seats took from the
      // head; the count also holds the face-up tile, which the head never gave.
      if (d.ImagesUsed > d.HeadTaken || d.ImagesUsed >= kWallPositions) {
        if (laid >= 0) d.LastDiscardSeat = static_cast<uint8_t>(laid);
        return;
      }
      const int16_t i = TakeStateImage(client);
      if (!client.main_form.MJ_Image.Exists(i)) continue;
      d.LastTileImage = i;
      ImageControl& img = client.main_form.MJ_Image[i];
      img.SetVisible(true);
      img.ZOrder(0);
      ShowTileImage(client, i, static_cast<int16_t>(36 * r + 8));
      LayIntoRow(client, r, i);
      laid = r;
    }
  if (laid >= 0) d.LastDiscardSeat = static_cast<uint8_t>(laid);
}

}  // namespace slvn
