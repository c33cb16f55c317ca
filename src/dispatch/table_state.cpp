#include "dispatch/table_state.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "shell/client.h"
#include "shell/general.h"
#include "spectator/spectator.h"
#include "table/hand_order.h"
#include "table/seat_records.h"
#include "table/tile_code.h"
#include "table/wall_tiles.h"
#include "ui/table_reset.h"

namespace slvn {

namespace {

constexpr TileCode kRedDragon = 0x15;
constexpr int kPairCount = 24;
constexpr int kConcealedMax = 14;
constexpr int kPileMax = 4;
constexpr size_t kPairsOffset = 16;
constexpr size_t kDiscardCountByte = 7;
constexpr int kLastPosition = kWallPositions - 1;

// The working tile sizes of all four views, design values scaled.
void SetSizes(Client& client, const int (&width)[4], const int (&height)[4]) {
  Data& d = client.data;
  for (int v = 0; v < kSeatCount; ++v) {
    d.TileWidth[v] = static_cast<int16_t>(RoundHalfEven(width[v] * d.ScaleX));
    d.TileHeight[v] = static_cast<int16_t>(RoundHalfEven(height[v] * d.ScaleY));
  }
}

ImageControl* Image(Client& client, int16_t index) {
  auto& tiles = client.main_form.MJ_Image;
  return index >= 0 && index < kWallPositions && tiles.Exists(index) ? &tiles[index] : nullptr;
}

void CountBatch(Client& client) {
  Data& d = client.data;
  const GameMessage& info = client.net.info;
  const int16_t head = static_cast<int16_t>(std::min(info.value[1] & 0xFF, kLastPosition));
  const int16_t tail = static_cast<int16_t>(std::min(info.value[3] & 0xFF, kLastPosition));
  if (++d.SeatTilesCount == 1) {
    d.HeadTaken = head;
    d.TailMark = tail;
  }
  d.HeadTaken = std::max(d.HeadTaken, head);
  d.TailMark = std::min(d.TailMark, tail);
}

// A put-aside red dragon or wild tile; a fifth of a kind has no entry.
void PlacePileTile(Client& client, int s, TileCode tile, bool red) {
  Data& d = client.data;
  PlayerHand& hand = client.custom[s];
  int16_t& count = red ? hand.RedDragonCount : hand.WildKongCount;
  const int c = count;
  if (c < 0 || c >= kPileMax) return;
  const int16_t w = TakeStateImage(client);
  ImageControl* img = Image(client, w);
  if (!img) return;
  const double tw = d.TileWidth[s], th = d.TileHeight[s];
  const double x = hand.HandX, y = hand.HandY - 18 * c;
  img->SetWidth(tw);
  img->SetHeight(th);
  switch (s) {
    case 0:
      img->Move(red ? x : x + tw - 2, y);
      break;
    case 1:
      img->Move(red ? x : x - 5, red ? y : y + th - 17);
      break;
    case 2:
      img->Move(red ? x : x - tw, y);
      break;
    default:
      img->Move(red ? x - 10 : x - 15, red ? y : y - (th - 17));
      break;
  }
  d.SetAsideImages[s][(red ? 0 : kPileMax) + c] = w;
  count = static_cast<int16_t>(c + 1);
  ShowTileImage(client, w, red ? static_cast<int16_t>(36 * s + 4) : PictureIndex(s, tile));
  if (s == 1)
    img->ZOrder(red && count > 1 ? 0 : 1);
  else
    img->ZOrder(0);
}

// A concealed tile's place in slot k, for standing tiles tw wide.
void MoveConcealedImage(const PlayerHand& hand, int s, int k, double tw, ImageControl& img) {
  const double x = hand.HandX, y = hand.HandY;
  switch (s) {
    case 0:
      img.Move(x + k * tw, y);
      break;
    case 1:
      img.Move(x - 5 * k, y + k * tw / 2);
      break;
    case 2:
      img.Move(x - k * tw, y);
      break;
    default:
      img.Move(x - 5 * (k + 1), y - (k + 1) * tw / 2);
      break;
  }
}

// A seat's second message: its meld tiles come behind the first one's, so
// the concealed tiles already laid move up by as many slots as the new
// shown tiles take (a kong counting four). Shown tiles the slots left cannot
// hold are dropped.
void MakeRoomForMelds(Client& client, int s, std::vector<TileCode>& shown) {
  PlayerHand& hand = client.custom[s];
  const int first = hand.FirstConcealed, count = hand.ConcealedCount;
  if (count <= 0 || first < 0) return;
  const int room = std::max(0, PlayerHand::kSlotCount - first - count);
  if (shown.size() > static_cast<size_t>(room)) shown.resize(static_cast<size_t>(room));
  const int n = static_cast<int>(shown.size());
  if (n == 0) return;
  for (int k = first + count - 1; k >= first; --k) {
    TileSlot& to = hand.Slots[k + n];
    to = std::exchange(hand.Slots[k], TileSlot{});
    if (ImageControl* img = Image(client, to.ImageIndex))
      MoveConcealedImage(hand, s, k + n, img->Width(), *img);
  }
}

// The shown tiles other than the piles, sorted; equal triples are pungs
// (state 3) and a tile equal to the one three before is a kong's fourth,
// laid over the middle of the three and kept in no slot.
void PlaceMeldTiles(Client& client, int s, std::vector<TileCode>& shown) {
  Data& d = client.data;
  PlayerHand& hand = client.custom[s];
  SortTiles(shown);
  MakeRoomForMelds(client, s, shown);
  if (shown.empty()) return;
  hand.FirstConcealed = static_cast<int16_t>(
      std::min<size_t>(hand.FirstConcealed + shown.size(), PlayerHand::kSlotCount));
  const int n = static_cast<int>(shown.size());
  std::vector<bool> pung(shown.size(), false);
  for (int t = 0; t + 2 < n; ++t)
    if (shown[t] == shown[t + 1] && shown[t] == shown[t + 2])
      pung[t] = pung[t + 1] = pung[t + 2] = true;
  const double tw = d.TileWidth[s], th = d.TileHeight[s];
  const double x = hand.HandX, y = hand.HandY;
  for (int t = 0; t < n; ++t) {
    const int p = hand.MeldEnd;
    const bool fourth = t >= 3 && shown[t] == shown[t - 3];
    // The meld tiles lie where a claimed meld of the same slot would (the
    // slot two before the meld end), so later claims continue the record;
    // the bottom row keeps its first two places for the red and wild piles.
    const int slot = p - 2;
    if (!fourth && (slot < 0 || slot >= PlayerHand::kSlotCount)) continue;
    const int16_t w = TakeStateImage(client);
    ImageControl* img = Image(client, w);
    if (!img) continue;
    img->SetHeight(th);
    img->SetWidth(tw);
    switch (s) {
      case 0:
        img->Move(x + (slot + 1) * (tw - 2), y);
        break;
      case 1:
        img->Move(x - 5 * p + 10, y + (p - 2) * (th - 17));
        break;
      case 2:
        img->Move(x - (p - 2) * tw, y);
        break;
      default:
        img->Move(x - 5 * p, y - (p - 2) * (th - 17));
        break;
    }
    ShowTileImage(client, w, PictureIndex(s, shown[t]));
    if (s == 0 || s == 1) img->ZOrder(0);
    if (s == 3) img->ZOrder(1);
    if (fourth) {
      if (ImageControl* middle = Image(client, WallPosition(w - 2))) {
        img->SetLeft(middle->Left());
        img->SetTop(middle->Top() - 17);
      }
      img->ZOrder(0);
      continue;
    }
    hand.Slots[slot] = {static_cast<int16_t>(pung[t] ? 3 : hand.Slots[slot].State), shown[t], w};
    hand.MeldEnd = static_cast<int16_t>(p + 1);
  }
}

void PlaceConcealedTiles(Client& client, int s, const std::vector<TileCode>& concealed) {
  Data& d = client.data;
  PlayerHand& hand = client.custom[s];
  if (!concealed.empty())
    for (int v = 0; v < kSeatCount; ++v) SetHandTileSize(client, v);
  const double tw = d.TileWidth[s], th = d.TileHeight[s];
  for (TileCode tile : concealed) {
    const int k = hand.FirstConcealed + hand.ConcealedCount;
    if (k < 0 || k >= PlayerHand::kSlotCount) return;
    const int16_t w = TakeStateImage(client);
    ImageControl* img = Image(client, w);
    if (!img) return;
    ++hand.ConcealedCount;
    hand.Slots[k] = {1, tile, w};
    img->SetWidth(tw);
    img->SetHeight(th);
    MoveConcealedImage(hand, s, k, tw, *img);
    ShowTileImage(client, w, FaceDownPicture(s));
    if (s == 1) img->ZOrder(0);
    if (s == 3) img->ZOrder(1);
  }
}

void RepairSideStacking(Client& client, int s) {
  const Data& d = client.data;
  const PlayerHand& hand = client.custom[s];
  auto order = [&](int16_t image, int position) {
    if (ImageControl* img = Image(client, image)) img->ZOrder(position);
  };
  const int first = std::max<int>(hand.FirstConcealed, 0);
  const int end = std::min<int>(hand.FirstConcealed + hand.ConcealedCount, PlayerHand::kSlotCount);
  const int wild = std::clamp<int>(hand.WildKongCount, 0, kPileMax);
  const int red = std::clamp<int>(hand.RedDragonCount, 0, kPileMax);
  const auto& pile = d.SetAsideImages[s];
  if (s == 1) {
    for (int k = first; k < end; ++k) order(hand.Slots[k].ImageIndex, 0);
    order(hand.Slots[1].ImageIndex, 1);
    for (int c = 1; c < wild; ++c) order(pile[kPileMax + c], 0);
    if (hand.Slots[0].ImageIndex >= 0) {
      for (int c = 0; c < red; ++c) order(pile[c], 1);
      for (int c = wild; c < red; ++c) order(pile[c], 0);
    }
  } else if (s == 3) {
    for (int k = first; k < end; ++k) order(hand.Slots[k].ImageIndex, 1);
    for (int c = 0; c < wild; ++c) order(pile[kPileMax + c], 0);
    for (int c = 0; c < red; ++c) order(pile[c], 0);
  }
}

// A wall position no tile has taken shows the back of its side.
void ShowLyingBack(Client& client, int p) {
  if (IsWallMarked(client.data, static_cast<int16_t>(p))) return;
  ShowTileImage(client, static_cast<int16_t>(p), static_cast<int16_t>(36 * (p / 30) + 8));
}

// After the fourth message: the wild tile, the face-up tile, the earlier
// discards, then the wall that is left, which starts after the last image
// the table state took.
void CompleteTableState(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  d.SeatTilesCount = 0;
  if (IsTileCode(d.WildTile)) {
    f.CV_Image.SetVisible(true);
    LoadGifResource(client, client.images.TilePics[PictureIndex(4, d.WildTile)], "GIF", f.CV_Image);
  }
  const int odd = (kLastPosition - d.TailMark) % 2;
  d.WallTail = WallPosition(d.WallTail + d.TailMark + (odd == 0 ? 1 : 3));
  const int16_t q = TakeStateImage(client);
  if (q >= 0) {
    ShowWallTile(client, q);
    d.WallFaceUpPos = q;
  }
  WatchDrawHiddenDiscards(client);
  const int taken = std::min<int>(std::max(d.HeadTaken, d.ImagesUsed), kWallPositions);
  const int h = WallPosition(d.WallHead + taken);
  const int length = std::min(WallPosition(d.WallTail - h) + 1, kWallPositions - taken);
  for (int i = 0; i < length; ++i) ShowLyingBack(client, WallPosition(h + i));
  if (odd == 1) {
    const int p = WallPosition(d.WallTail + 119);
    if (ImageControl* img = Image(client, static_cast<int16_t>(p));
        img && !IsWallMarked(d, static_cast<int16_t>(p)))
      img->SetVisible(false);
  } else {
    ShowLyingBack(client, WallPosition(d.WallTail + 1));
  }
  d.DealShown = true;
  d.WallHead = static_cast<int16_t>(h);
}

}  // namespace

int16_t TakeStateImage(Client& client) {
  Data& d = client.data;
  // A position another tile already holds is passed over.
  while (d.ImagesUsed >= 0 && d.ImagesUsed < kWallPositions) {
    const int16_t w = WallPosition(d.WallHead + d.ImagesUsed);
    ++d.ImagesUsed;
    if (!TestAndSetWallMark(d, w)) return w;
  }
  return -1;
}

void HandleTableSummary(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  GameMessage& info = client.net.info;
  d.AnNiuState[2] = true;
  ClearTableForNextHand(client);
  info.seat &= 15;
  for (int i = 0; i <= 2; ++i) {
    if (!f.AnNiu.Exists(i)) continue;
    f.AnNiu[i].SetEnabled(false);
    LoadGifResource(client, client.images.ButtonPics[2 * i + 1], "GIF", f.AnNiu[i]);
  }
  static constexpr const char* kWinds[] = {"北", "西", "南", "东"};
  f.Zhuang.SetCaption(kWinds[BitIndex(info.seat) & 3]);
  f.Host.SetVisible(true);
  f.Zhuang.SetVisible(true);
  f.Zhuang.ZOrder(0);
  d.WatchedSeat = info.seat;
  d.WildTile = static_cast<TileCode>(info.value[2] & 0xFF);
  d.FaceUpTile = static_cast<TileCode>(info.value[3] & 0xFF);
  d.DiceValues = {static_cast<int16_t>(info.value[0] & 0xFF),
                  static_cast<int16_t>(info.value[1] & 0xFF)};
  d.ImagesUsed = 0;
  d.SeatTilesCount = 0;
  d.WallState.fill(0);
}

void HandleSeatTiles(Client& client) {
  constexpr int kLyingWidth[] = {45, 45, 34, 45};
  constexpr int kLyingHeight[] = {56, 35, 40, 35};
  Data& d = client.data;
  const GamePacket& msg = client.net.Msg;
  const int s = client.net.info.seat & 3;
  d.DiscardCounts[s] = msg.Byte(kDiscardCountByte);
  CountBatch(client);
  std::vector<TileCode> shown, concealed;
  for (int i = 0; i < kPairCount; ++i) {
    const int kind = msg.Byte(kPairsOffset + 2 * i) >> 4;
    const TileCode tile = msg.Byte(kPairsOffset + 2 * i + 1);
    // A shown byte must name a tile to have a face; a concealed one shows a back.
    if (kind == 2 && IsTileCode(tile)) shown.push_back(tile);
    if (kind == 1 && concealed.size() < kConcealedMax) concealed.push_back(tile);
  }
  SetSizes(client, kLyingWidth, kLyingHeight);
  for (size_t t = 0; t < shown.size();) {
    const bool red = shown[t] == kRedDragon;
    if (!red && shown[t] != d.WildTile) {
      ++t;
      continue;
    }
    PlacePileTile(client, s, shown[t], red);
    shown.erase(shown.begin() + static_cast<std::ptrdiff_t>(t));
  }
  PlaceMeldTiles(client, s, shown);
  PlaceConcealedTiles(client, s, concealed);
  RepairSideStacking(client, s);
  if (d.SeatTilesCount >= 4) CompleteTableState(client);
}

}  // namespace slvn
