#include "table/discard_display.h"

#include "shell/client.h"
#include "shell/general.h"
#include "shell/sound/voice_path.h"
#include "table/hand_order.h"
#include "table/table_centre.h"
#include "table/tile_code.h"

namespace slvn {

std::string DiscardVoiceFile(const Client& client, int v, TileCode tile) {
  // The recordings number characters 8 and dots 4.
  int suit = TileSuit(tile);
  if (suit == 4)
    suit = 8;
  else if (suit == 8)
    suit = 4;
  return VoicePath(client, v, std::to_string(suit) + std::to_string(TileRank(tile)) + ".wav");
}

void ShowDiscard(Client& client, uint8_t seat, TileCode tile) {
  Data& d = client.data;
  d.LastDiscard = tile;
  const int v = RelativeSeat(client.custom[0].SeatWind, seat);
  if (const std::string voice = DiscardVoiceFile(client, v, tile);
      client.sound.SoundOn != 0 && !voice.empty())
    PlaySoundFile(client, voice, false);
  d.LastDiscardSeat = static_cast<uint8_t>(v);
  if (v == 0) return;
  SetLyingTileSize(client, v);
  PlayerHand& hand = client.custom[v];
  const int last = hand.FirstConcealed + hand.ConcealedCount - 1;
  auto& tiles = client.main_form.MJ_Image;
  // A seat with no tile in hand has nothing to lay down: no discard lies in
  // the middle then.
  if (hand.ConcealedCount <= 0 || last < 0 || last >= PlayerHand::kSlotCount ||
      !tiles.Exists(hand.Slots[last].ImageIndex)) {
    d.LastTileImage = -1;
    return;
  }
  d.LastTileImage = hand.Slots[last].ImageIndex;
  ShowTileImage(client, d.LastTileImage, PictureIndex(v, tile));
  ImageControl& image = tiles[d.LastTileImage];
  const TablePoint centre = Pic1Centre(client);
  image.Move(centre.X - image.Width() / 2, centre.Y - image.Height() / 2, d.TileWidth[v],
             d.TileHeight[v]);
  image.ZOrder(v == 3 ? 1 : 0);
  --hand.ConcealedCount;
}

}  // namespace slvn
