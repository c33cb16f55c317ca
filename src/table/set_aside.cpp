#include "table/claim_common.h"
#include "table/claims.h"

namespace slvn {

using namespace claims;

namespace {

constexpr TileCode kRedDragon = 0x15;

void PlaceOwnAddedTile(Client& client, const std::array<TileCode, 3>& tiles) {
  Data& d = client.data;
  PlayerHand& hand = client.custom[0];
  const int16_t image = hand.Slots[hand.MeldEnd - 2].ImageIndex;
  ImageControl* img = TileImage(client, image);
  if (tiles[2] == d.WildTile) {
    if (img)
      img->Move(hand.HandX + d.TileWidth[0] - 5 * d.ScaleX,
                hand.HandY - 18 * hand.WildKongCount * d.ScaleY);
    RecordWildKong(client, 0, image);
    ShowTileImage(client, image, TilePicture(0, tiles[2]));
    return;
  }
  const int pung = PungOf(hand, 1, tiles[2]);
  ImageControl* middle = pung >= 0 ? SlotImage(client, hand, pung + 1) : nullptr;
  if (!middle) return;
  if (img) img->Move(middle->Left(), hand.HandY - 18 * d.ScaleY);
  ShowTileImage(client, image, TilePicture(0, tiles[2]));
}

void PlaceOtherAddedTile(Client& client, int rel, const std::array<TileCode, 3>& tiles) {
  const Data& d = client.data;
  PlayerHand& hand = client.custom[rel];
  const int16_t image = hand.Slots[hand.MeldEnd - 2].ImageIndex;
  ImageControl* img = TileImage(client, image);
  const double sy = d.ScaleY, sx = d.ScaleX;
  const double w = d.TileWidth[rel], h = d.TileHeight[rel];
  if (tiles[2] == d.WildTile) {
    const double pile = 18 * hand.WildKongCount * sy;
    if (img) {
      if (rel == 1) img->Move(hand.HandX - 5 * sx, hand.HandY + h - 17 * sy - pile);
      if (rel == 2) img->Move(hand.HandX - w, hand.HandY - pile);
      if (rel == 3) img->Move(hand.HandX - 15 * sx, hand.HandY - (h - 17 * sy) - pile);
    }
    RecordWildKong(client, rel, image);
    ShowTileImage(client, image, TilePicture(rel, tiles[2]));
    if (img && rel != 2) img->ZOrder(rel == 1 ? 1 : 0);
  } else if (const int i = PungOf(hand, 2, tiles[2]); i >= 0) {
    const int k = i + 1;
    if (img) {
      if (rel == 1) img->Move(hand.HandX - 5 * k * sx, hand.HandY + k * (h - 17 * sy) - 17 * sy);
      if (rel == 2) img->Move(hand.HandX - k * w, hand.HandY - 18 * sy);
      if (ImageControl* middle = SlotImage(client, hand, k); rel == 3 && middle)
        img->Move(middle->Left(), hand.HandY - k * (h - 17 * sy) - 17 * sy);
    }
    ShowTileImage(client, image, TilePicture(rel, tiles[2]));
  }
  if (img) img->SetVisible(true);
}

}  // namespace

namespace claims {

int PungOf(const PlayerHand& hand, int start, TileCode tile) {
  for (int i = start; i <= hand.MeldEnd - 5 && i + 1 < PlayerHand::kSlotCount; i += 3)
    if (hand.Slots[i].Code == tile && hand.Slots[i].State == 3) return i;
  return -1;
}

void RecordWildKong(Client& client, int rel, int16_t image) {
  if (rel < 0 || rel >= kSeatCount) return;
  PlayerHand& hand = client.custom[rel];
  if (rel != 2 && hand.WildKongCount >= 0 && hand.WildKongCount < kWildEntries)
    client.data.SetAsideImages[rel][4 + hand.WildKongCount] = image;
  ++hand.WildKongCount;
}

}  // namespace claims

void ShowAddedKong(Client& client, int rel, const std::array<TileCode, 3>& tiles) {
  Data& d = client.data;
  PlayerHand& hand = client.custom[rel];
  d.DrawFromHead = false;
  d.KongDrawPending = true;
  if (!MeldFits(hand, 1)) return;
  const int m = hand.MeldEnd, f = hand.FirstConcealed, c = hand.ConcealedCount;
  if (rel != 0) {
    hand.Slots[m - 2] = hand.Slots[f + c - 1];
    if (ImageControl* img = SlotImage(client, hand, m - 2)) img->SetVisible(false);
    d.LastTileImage = hand.Slots[m - 2].ImageIndex;
    d.LastDiscard = tiles[2];
    hand.ConcealedCount -= 1;
  }
  if (ImageControl* img = SlotImage(client, hand, m - 2)) {
    img->ZOrder(0);
    img->SetHeight(d.TileHeight[rel]);
    img->SetWidth(d.TileWidth[rel]);
  }
  if (tiles[2] == kRedDragon && hand.RedDragonCount == 0) hand.Slots[0] = hand.Slots[m - 2];
  if (rel != 0) {
    PlaceOtherAddedTile(client, rel, tiles);
    return;
  }
  if (!RearrangeAfterAddGang(client, d.GangSlots[0], tiles[2])) return;
  hand.ConcealedCount -= 1;
  PlaceOwnAddedTile(client, tiles);
}

void RepairSetAsideStacking(Client& client, int rel) {
  const PlayerHand& hand = client.custom[rel == 1 || rel == 3 ? rel : 0];
  const auto& pile = client.data.SetAsideImages[rel == 3 ? 3 : 1];
  auto zorder = [&](int entry, int position) {
    if (entry >= 0 && entry < static_cast<int>(pile.size()))
      if (ImageControl* img = TileImage(client, pile[entry])) img->ZOrder(position);
  };
  const int wild = std::min<int>(hand.WildKongCount, kWildEntries);
  const int red = std::min<int>(hand.RedDragonCount, 4);
  if (rel == 1) {
    if (ImageControl* img = SlotImage(client, hand, 1)) img->ZOrder(1);
    for (int i = 1; i < wild; ++i) zorder(4 + i, 0);
    if (hand.Slots[0].ImageIndex >= 0) {
      for (int i = 0; i < red; ++i) zorder(i, 1);
      for (int i = wild; i < red; ++i) zorder(i, 0);
    }
  } else if (rel == 3) {
    for (int i = 0; i < wild; ++i) zorder(4 + i, 0);
    for (int i = 0; i < red; ++i) zorder(i, 0);
  }
}

}  // namespace slvn
