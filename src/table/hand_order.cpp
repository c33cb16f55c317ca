#include "table/hand_order.h"

#include <algorithm>
#include <array>

#include "shell/client.h"
#include "shell/general.h"
#include "table/tile_code.h"

namespace slvn {

namespace {

constexpr int kTilePictures = 180;
constexpr int kOwnStandingView = 4;

int Suit(TileCode code) {
  return (code >> 4) & 0xF;
}
int Rank(TileCode code) {
  return code & 0xF;
}

}  // namespace

void SortAndShowHand(Client& client, uint8_t seat, int16_t n) {
  if (seat >= kSeatCount) return;
  PlayerHand& hand = client.custom[seat];
  const int first = hand.FirstConcealed;
  const int end = std::min<int>(first + std::max<int16_t>(n, 0), PlayerHand::kSlotCount);
  if (first < 0 || first >= end) {
    hand.WildCount = 0;
    return;
  }
  auto& slots = hand.Slots;
  std::array<TileCode, PlayerHand::kSlotCount> before{};
  for (int i = first; i < end; ++i) before[i] = slots[i].Code;
  // 0 and -1 both mean no wild tile: an empty slot is never wild.
  const TileCode wild = client.data.WildTile;
  auto is_wild = [wild](const TileSlot& s) { return wild > 0 && s.Code == wild; };
  hand.WildCount =
      static_cast<int16_t>(std::count_if(slots.begin() + first, slots.begin() + end, is_wild));
  for (int i = first; i < end - 1; ++i)
    for (int j = i + 1; j < end; ++j) {
      TileCode& a = slots[i].Code;
      TileCode& b = slots[j].Code;
      if (Suit(a) < Suit(b) || (Suit(a) == Suit(b) && Rank(a) > Rank(b))) std::swap(a, b);
    }
  auto first_wild = std::find_if(slots.begin() + first, slots.begin() + end, is_wild);
  if (first_wild != slots.begin() + end) {
    for (int m = static_cast<int>(first_wild - slots.begin()) - 1; m >= first; --m)
      slots[m + hand.WildCount].Code = slots[m].Code;
    for (int m = first; m < first + hand.WildCount; ++m) slots[m].Code = wild;
  }
  const bool only_changed = seat == 0 && wild > 0;
  const int view = seat == 0 ? kOwnStandingView : seat;
  for (int i = first; i < end; ++i) {
    if (only_changed && slots[i].Code == before[i]) continue;
    ShowTileImage(client, slots[i].ImageIndex, PictureIndex(view, slots[i].Code));
  }
}

int16_t HandSlotOfImage(const Client& client, int16_t image) {
  const PlayerHand& hand = client.custom[0];
  const int first = std::max<int>(hand.FirstConcealed, 0);
  const int end = std::min<int>(hand.FirstConcealed + hand.ConcealedCount, PlayerHand::kSlotCount);
  for (int i = first; i < end; ++i)
    if (hand.Slots[i].ImageIndex == image) return static_cast<int16_t>(i);
  return -1;
}

bool IsTileInHand(const Client& client, int16_t image) {
  return HandSlotOfImage(client, image) >= 0;
}

void ShowTileImage(Client& client, int16_t image, int16_t picture) {
  if (image < 0 || image >= kWallPositions || picture < 0 || picture >= kTilePictures) return;
  if (!client.main_form.MJ_Image.Exists(image)) return;
  ImageControl& tile = client.main_form.MJ_Image[image];
  tile.SetVisible(false);
  LoadGifResource(client, client.images.TilePics[picture], "GIF", tile);
  tile.SetVisible(true);
}

}  // namespace slvn
