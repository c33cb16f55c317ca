#include "table/claim_common.h"
#include "table/claims.h"

namespace slvn {

namespace claims {

void PlaceOtherMeldTile(Client& client, int rel, int slot) {
  const Data& d = client.data;
  const PlayerHand& hand = client.custom[rel];
  ImageControl* img = SlotImage(client, hand, slot);
  if (!img || rel < 1 || rel > 3) return;
  const double w = d.TileWidth[rel], h = d.TileHeight[rel];
  if (rel == 1) {
    img->Move(hand.HandX - 5 * slot * d.ScaleX, hand.HandY + slot * (h - 17 * d.ScaleY), w, h);
    img->ZOrder(0);
  } else if (rel == 2) {
    img->Move(hand.HandX - slot * w, hand.HandY, w, h);
  } else {
    img->Move(hand.HandX - 5 * slot * d.ScaleX - 10 * d.ScaleX,
              hand.HandY - slot * (h - 17 * d.ScaleY), w, h);
    img->ZOrder(1);
  }
}

bool MeldFits(const PlayerHand& hand, int need) {
  return hand.MeldEnd >= 2 && hand.MeldEnd < PlayerHand::kSlotCount && ConcealedInRange(hand) &&
         hand.ConcealedCount >= need;
}

}  // namespace claims

using namespace claims;

namespace {

// The claimer's last hidden tile stands apart, like a drawn tile.
void SetLastTileApart(Client& client, int rel) {
  const Data& d = client.data;
  const PlayerHand& hand = client.custom[rel];
  const int last = hand.FirstConcealed + hand.ConcealedCount - 1;
  ImageControl* img = SlotImage(client, hand, last);
  ImageControl* before = SlotImage(client, hand, last - 1);
  if (!img) return;
  if (rel == 2) {
    img->SetLeft(hand.HandX - (last + 1.3) * d.TileWidth[2]);
  } else if (before) {
    const double lift = d.TileWidth[rel] * 1.3 * 0.5;
    img->SetLeft(before->Left() - 5 * d.ScaleX);
    img->SetTop(before->Top() + (rel == 1 ? lift : -lift));
  }
}

}  // namespace

void ShowClaimedChowPung(Client& client, int16_t op, int rel,
                         const std::array<TileCode, 3>& tiles) {
  Data& d = client.data;
  PlayerHand& hand = client.custom[rel];
  if (rel == 0) {
    const bool done = op == kClaimChow
                          ? RearrangeAfterChi(client, d.ChiSlots[0], d.ChiSlots[1], tiles)
                          : RearrangeAfterPeng(client, tiles);
    if (!done) return;
    hand.ConcealedCount -= 2;
    hand.FirstConcealed += 3;
    hand.MeldEnd += 3;
    return;
  }
  const int m = hand.MeldEnd, f = hand.FirstConcealed, n = hand.ConcealedCount;
  // The third hidden tile moves to slot f + n, which must exist.
  if (!MeldFits(hand, 3) || f + n >= PlayerHand::kSlotCount) return;
  auto& slots = hand.Slots;
  slots[m - 2] = slots[f];
  slots[m - 1] = slots[f + 1];
  slots[m].ImageIndex = d.LastTileImage;
  if (op == kClaimPung)
    for (int k = 0; k < 3; ++k) slots[m - k] = {3, tiles[2 - k], slots[m - k].ImageIndex};
  slots[f + n] = slots[f + 2];
  hand.ConcealedCount -= 2;
  hand.FirstConcealed += 3;
  for (int k = 0; k < 3; ++k) {
    ShowTileImage(client, slots[m - 2 + k].ImageIndex, TilePicture(rel, tiles[k]));
    PlaceOtherMeldTile(client, rel, m - 2 + k);
  }
  hand.MeldEnd += 3;
  SetLastTileApart(client, rel);
}

}  // namespace slvn
