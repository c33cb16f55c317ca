#include "table/claim_common.h"
#include "table/claims.h"

namespace slvn {

using namespace claims;

namespace {

// Another seat's concealed kong is kept so it can be turned face up once the
// hand has a winner; the list holds 16.
void RecordHiddenKong(Data& d, TileCode tile, int rel) {
  if (d.HiddenKongCount >= d.HiddenKongImages.size()) return;
  d.HiddenKongImages[d.HiddenKongCount] = d.LastTileImage;
  d.HiddenKongTiles[d.HiddenKongCount] = tile;
  d.HiddenKongSeats[d.HiddenKongCount] = static_cast<uint8_t>(rel);
  ++d.HiddenKongCount;
}

void SizeMeldImages(Client& client, int rel) {
  const Data& d = client.data;
  const PlayerHand& hand = client.custom[rel];
  for (int s = hand.MeldEnd - 2; s <= hand.MeldEnd; ++s)
    if (ImageControl* img = SlotImage(client, hand, s)) {
      img->SetHeight(d.TileHeight[rel]);
      img->SetWidth(d.TileWidth[rel]);
    }
}

void ShowOtherKong(Client& client, int16_t op, int rel, const std::array<TileCode, 3>& tiles) {
  Data& d = client.data;
  PlayerHand& hand = client.custom[rel];
  const int m = hand.MeldEnd;
  const bool concealed = op == kClaimConcealedKong;
  ImageControl* fourth = TileImage(client, d.LastTileImage);
  if (fourth) {
    fourth->SetHeight(d.TileHeight[rel]);
    fourth->SetWidth(d.TileWidth[rel]);
  }
  for (int k = 0; k < 3; ++k) {
    const int s = m - 2 + k;
    PlaceOtherMeldTile(client, rel, s);
    ShowTileImage(client, hand.Slots[s].ImageIndex,
                  concealed ? BackPicture(rel) : TilePicture(rel, tiles[k]));
  }
  if (fourth) {
    if (rel == 2) {
      fourth->Move(hand.HandX - (m - 1) * d.TileWidth[2], hand.HandY - 18 * d.ScaleY);
    } else if (ImageControl* middle = SlotImage(client, hand, m - 1)) {
      fourth->Move(middle->Left(), middle->Top() - 18 * d.ScaleY);
      fourth->ZOrder(0);
    }
  }
  ShowTileImage(client, d.LastTileImage, concealed ? BackPicture(rel) : TilePicture(rel, tiles[2]));
  if (concealed) hand.ConcealedCount -= 1;
  hand.MeldEnd += 3;
}

}  // namespace

void ShowClaimedKong(Client& client, int16_t op, int rel, const std::array<TileCode, 3>& tiles) {
  Data& d = client.data;
  PlayerHand& hand = client.custom[rel];
  d.DrawFromHead = false;
  d.KongDrawPending = true;
  const bool concealed = op == kClaimConcealedKong;
  if (!MeldFits(hand, concealed ? 4 : 3)) return;
  if (rel != 0) {
    const int m = hand.MeldEnd, f = hand.FirstConcealed;
    hand.Slots[m] = hand.Slots[f];
    hand.Slots[m - 1] = hand.Slots[f + 1];
    hand.Slots[m - 2] = hand.Slots[f + 2];
    if (concealed) {
      d.LastTileImage = hand.Slots[f + hand.ConcealedCount - 1].ImageIndex;
      RecordHiddenKong(d, tiles[2], rel);
    }
    if (ImageControl* fourth = TileImage(client, d.LastTileImage)) fourth->ZOrder(0);
    hand.ConcealedCount -= 3;
    hand.FirstConcealed += 3;
  }
  SizeMeldImages(client, rel);
  if (rel != 0) {
    ShowOtherKong(client, op, rel, tiles);
    return;
  }
  const bool done = concealed ? RearrangeAfterGang2(client, d.GangSlots[0], tiles)
                              : RearrangeAfterGang(client, d.GangSlots[0], tiles);
  if (!done) return;
  hand.ConcealedCount -= concealed ? 4 : 3;
  hand.FirstConcealed += 3;
  hand.MeldEnd += 3;
}

}  // namespace slvn
