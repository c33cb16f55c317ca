#include <algorithm>
#include <vector>

#include "table/claim_common.h"
#include "table/claims.h"

namespace slvn {

using namespace claims;

namespace {

using Tiles = std::array<TileCode, 3>;

bool InConcealed(const PlayerHand& hand, int slot) {
  return slot >= hand.FirstConcealed && slot < hand.FirstConcealed + hand.ConcealedCount;
}

// Whether slots `at`, `at` + 1, ... are concealed and hold `codes`.
bool HoldsRun(const PlayerHand& hand, int at, const std::vector<TileCode>& codes) {
  for (size_t k = 0; k < codes.size(); ++k) {
    const int s = at + static_cast<int>(k);
    if (!InConcealed(hand, s) || hand.Slots[s].Code != codes[k]) return false;
  }
  return true;
}

// The concealed slots of a confirmed claim: those sent when they still hold
// the codes, else the first run of them side by side, else any concealed
// slots holding them. Empty when the hand does not hold them.
std::vector<int> ClaimedSlots(const PlayerHand& hand, int sent,
                              const std::vector<TileCode>& codes) {
  const int end = hand.FirstConcealed + hand.ConcealedCount;
  int at = HoldsRun(hand, sent, codes) ? sent : -1;
  for (int i = hand.FirstConcealed; at < 0 && i < end; ++i)
    if (HoldsRun(hand, i, codes)) at = i;
  std::vector<int> slots;
  for (size_t k = 0; k < codes.size(); ++k) {
    if (at >= 0) {
      slots.push_back(at + static_cast<int>(k));
      continue;
    }
    int s = hand.FirstConcealed;
    while (s < end && (hand.Slots[s].Code != codes[k] ||
                       std::find(slots.begin(), slots.end(), s) != slots.end()))
      ++s;
    if (s == end) return {};
    slots.push_back(s);
  }
  std::sort(slots.begin(), slots.end());
  return slots;
}

// Takes `removed` out of the concealed run: the other concealed tiles keep
// their order and fill slots `new_first` onward. Each moved image shifts by
// the slots it moved, or with `place` stands afresh at its standing position.
void CloseGaps(Client& client, PlayerHand& hand, const std::vector<int>& removed, int new_first,
               bool place = false) {
  const Data& d = client.data;
  const int w = d.TileWidth[0];
  std::vector<TileSlot> kept;
  std::vector<int> from;
  const int end = hand.FirstConcealed + hand.ConcealedCount;
  for (int i = hand.FirstConcealed; i < end; ++i)
    if (std::find(removed.begin(), removed.end(), i) == removed.end()) {
      kept.push_back(hand.Slots[i]);
      from.push_back(i);
    }
  for (size_t k = 0; k < kept.size(); ++k) {
    const int j = new_first + static_cast<int>(k);
    hand.Slots[j] = kept[k];
    ImageControl* img = TileImage(client, kept[k].ImageIndex);
    if (!img) continue;
    if (place)
      img->Move(hand.HandX + j * w, hand.HandY, w, d.TileHeight[0]);
    else if (j != from[k])
      img->SetLeft(img->Left() + (j - from[k]) * w);
  }
}

// Places the three images of the meld position in the own meld row.
void PlaceMeldRow(Client& client, PlayerHand& hand, const Tiles& faces, bool resize, bool face_up,
                  bool to_front) {
  const Data& d = client.data;
  for (int k = 0; k < 3; ++k) {
    const int slot = hand.MeldEnd - 2 + k;
    ImageControl* img = SlotImage(client, hand, slot);
    if (!img) continue;
    const double left = hand.HandX + (slot + 1) * (d.TileWidth[0] - 2 * d.ScaleX);
    if (resize)
      img->Move(left, hand.HandY, d.TileWidth[0], d.TileHeight[0]);
    else
      img->Move(left, hand.HandY);
    ShowTileImage(client, hand.Slots[slot].ImageIndex,
                  face_up ? TilePicture(0, faces[k]) : BackPicture(0));
    if (to_front) img->ZOrder(0);
  }
}

// The fourth tile of a kong, over the middle tile of the meld.
void PlaceFourthTile(Client& client, PlayerHand& hand, int image) {
  const Data& d = client.data;
  ImageControl* tile = TileImage(client, image);
  ImageControl* middle = SlotImage(client, hand, hand.MeldEnd - 1);
  if (!tile || !middle) return;
  tile->Move(middle->Left(), hand.HandY - 18 * d.ScaleY, d.TileWidth[0], d.TileHeight[0]);
}

// The meld position and the rearranged run must fit the record.
bool Fits(const PlayerHand& hand, int need, int new_first, int kept) {
  return ConcealedInRange(hand) && hand.ConcealedCount >= need && hand.MeldEnd >= 3 &&
         hand.MeldEnd < PlayerHand::kSlotCount && new_first + kept <= PlayerHand::kSlotCount;
}

void CopyIntoMeld(PlayerHand& hand, const std::vector<int>& slots, int16_t state) {
  for (size_t k = 0; k < slots.size() && k < 3; ++k) {
    hand.Slots[hand.MeldEnd - 2 + k] = hand.Slots[slots[k]];
    hand.Slots[hand.MeldEnd - 2 + k].State = state;
  }
}

}  // namespace

bool RearrangeAfterChi(Client& client, int16_t first, int16_t second, const Tiles& tiles) {
  PlayerHand& hand = client.custom[0];
  const int f = hand.FirstConcealed, n = hand.ConcealedCount;
  if (!Fits(hand, 2, f + 3, n - 2)) return false;
  // The server may order the run differently: the two hand tiles are the
  // confirmed tiles less the discard, in any order.
  std::vector<TileCode> hand_codes(tiles.begin(), tiles.end());
  auto discard = std::find(hand_codes.begin(), hand_codes.end(), hand.Slots[hand.MeldEnd].Code);
  hand_codes.erase(discard != hand_codes.end() ? discard : hand_codes.end() - 1);
  std::vector<int> slots;
  const int a = std::min(first, second), b = std::max(first, second);
  if (InConcealed(hand, a) && InConcealed(hand, b) && a != b &&
      std::is_permutation(hand_codes.begin(), hand_codes.end(),
                          std::vector<TileCode>{hand.Slots[a].Code, hand.Slots[b].Code}.begin())) {
    slots = {a, b};
  } else {
    slots = ClaimedSlots(hand, -1, hand_codes);
    if (slots.size() != 2) return false;
    CopyIntoMeld(hand, slots, 2);
  }
  SetMeldSize(client);
  PlaceMeldRow(client, hand, tiles, true, true, true);
  SetStandingSize(client);
  CloseGaps(client, hand, slots, f + 3);
  return true;
}

bool RearrangeAfterPeng(Client& client, const Tiles& tiles) {
  PlayerHand& hand = client.custom[0];
  const int f = hand.FirstConcealed, n = hand.ConcealedCount;
  if (!Fits(hand, 2, f + 3, n - 2)) return false;
  const std::vector<int> pair = ClaimedSlots(hand, -1, {tiles[0], tiles[0]});
  if (pair.size() != 2) return false;
  CopyIntoMeld(hand, pair, 3);
  SetMeldSize(client);
  PlaceMeldRow(client, hand, tiles, true, true, true);
  SetStandingSize(client);
  CloseGaps(client, hand, pair, f + 3);
  return true;
}

bool RearrangeAfterGang(Client& client, int16_t slot, const Tiles& tiles) {
  Data& d = client.data;
  PlayerHand& hand = client.custom[0];
  const int f = hand.FirstConcealed, n = hand.ConcealedCount;
  if (!Fits(hand, 3, f + 3, n - 3)) return false;
  const std::vector<int> slots = ClaimedSlots(hand, slot, {tiles[2], tiles[2], tiles[2]});
  if (slots.size() != 3) return false;
  CopyIntoMeld(hand, slots, 4);
  SetMeldSize(client);
  PlaceMeldRow(client, hand, {tiles[2], tiles[2], tiles[2]}, false, true, false);
  PlaceFourthTile(client, hand, d.LastTileImage);
  ShowTileImage(client, d.LastTileImage, TilePicture(0, tiles[2]));
  if (ImageControl* fourth = TileImage(client, d.LastTileImage)) fourth->ZOrder(0);
  SetStandingSize(client);
  CloseGaps(client, hand, slots, f + 3);
  return true;
}

bool RearrangeAfterGang2(Client& client, int16_t slot, const Tiles& tiles) {
  Data& d = client.data;
  PlayerHand& hand = client.custom[0];
  const int f = hand.FirstConcealed, n = hand.ConcealedCount;
  if (!Fits(hand, 4, f + 3, n - 4)) return false;
  const std::vector<int> slots = ClaimedSlots(hand, slot, {tiles[2], tiles[2], tiles[2], tiles[2]});
  if (slots.size() != 4) return false;
  CopyIntoMeld(hand, slots, 5);
  SetMeldSize(client);
  PlaceMeldRow(client, hand, tiles, true, false, false);
  d.LastTileImage = hand.Slots[slots[3]].ImageIndex;
  PlaceFourthTile(client, hand, d.LastTileImage);
  if (ImageControl* fourth = TileImage(client, d.LastTileImage)) fourth->ZOrder(0);
  ShowTileImage(client, d.LastTileImage, TilePicture(0, tiles[2]));
  SetStandingSize(client);
  CloseGaps(client, hand, slots, f + 3, true);
  return true;
}

bool RearrangeAfterAddGang(Client& client, int16_t slot, TileCode tile) {
  Data& d = client.data;
  PlayerHand& hand = client.custom[0];
  const int f = hand.FirstConcealed, n = hand.ConcealedCount;
  if (!Fits(hand, 1, f, n - 1)) return false;
  const std::vector<int> slots = ClaimedSlots(hand, slot, {tile});
  if (slots.size() != 1) return false;
  CopyIntoMeld(hand, slots, 6);
  SetStandingSize(client);
  d.LastTileImage = hand.Slots[hand.MeldEnd - 2].ImageIndex;
  d.LastDiscard = hand.Slots[slots[0]].Code;
  CloseGaps(client, hand, slots, f);
  return true;
}

}  // namespace slvn
