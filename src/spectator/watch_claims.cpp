#include <algorithm>

#include "dispatch/hand_start.h"
#include "shell/client.h"
#include "shell/general.h"
#include "shell/sound/sound.h"
#include "spectator/spectator.h"
#include "table/claim_common.h"
#include "table/claims.h"
#include "table/tile_code.h"

namespace slvn {

using namespace claims;

namespace {

using Tiles = std::array<TileCode, 3>;

constexpr int kPileMax = 4;

bool IsRedDragon(TileCode tile) {
  return Rank(tile) == 5 && Suit(tile) == 1;
}

struct Announcement {
  int caption;  // ClaimCaptionPics entry
  const char* voice;
};

// The six claims have a word picture and a voice; nothing else is announced.
bool AnnouncementOf(const Client& client, int16_t op, TileCode tile, Announcement& out) {
  switch (op) {
    case kClaimChow:
      out = {0, "01.wav"};
      return true;
    case kClaimPung:
      out = {1, "02.wav"};
      return true;
    case kClaimKong:
      out = {2, "03.wav"};
      return true;
    case kClaimConcealedKong:
      out = {3, "06.wav"};
      return true;
    case kClaimAddedKong:
      if (IsRedDragon(tile))
        out = {4, "04.wav"};
      else if (tile == client.data.WildTile)
        out = {5, "05.wav"};
      else
        out = {6, "03.wav"};
      return true;
    case kClaimWin:
      out = {7, "09.wav"};
      return true;
    default:
      return false;
  }
}

// A claim of another seat: its bubble, word picture and voice for 2 s. Any
// other operation, a pass included, shows nothing, yet silences the voice
// still playing and takes the pause.
void Announce(Client& client, int16_t op, int s, TileCode tile) {
  MainForm& f = client.main_form;
  if (s < 1 || s >= kSeatCount || !f.Speak.Exists(s - 1)) return;
  Announcement a;
  if (!AnnouncementOf(client, op, tile, a)) {
    if (client.sound.SoundOn != 0) StopSound(client);
  } else {
    PlaceSeatBubble(client, s);
    ImageControl& bubble = f.Speak[s - 1];
    bubble.SetVisible(true);
    f.Words.SetVisible(true);
    bubble.ZOrder(0);
    f.Words.ZOrder(0);
    LoadGifResource(client, client.images.ClaimCaptionPics[a.caption], "GIF", f.Words);
    PlayVoice(client, VoiceFile(client, s, a.voice));
  }
  SleepSeconds(client, 2.0f);
  f.Speak[s - 1].SetVisible(false);
  f.Words.SetVisible(false);
}

// The claimed discard's place in its discarder's rows is free again.
void GiveDiscardPlaceBack(Client& client) {
  Data& d = client.data;
  if (d.LastTileImage < 0 || d.LastDiscardSeat >= kSeatCount) return;
  PlayerHand& discarder = client.custom[d.LastDiscardSeat];
  discarder.DiscardX = d.SavedDiscardX;
  discarder.DiscardY = d.SavedDiscardY;
  if (d.LastDiscardSeat == 3 && client.RightDiscardCount > 0) --client.RightDiscardCount;
}

// The watched seat's meld tile in slot k; other seats share the hand model's.
// Slot k lies one place on, as in a seated player's row: the red and wild
// piles keep the first two places.
void PlaceMeldTile(Client& client, int s, int k, int order) {
  const Data& d = client.data;
  const PlayerHand& hand = client.custom[s];
  if (s != 0) return PlaceOtherMeldTile(client, s, k);
  ImageControl* img = SlotImage(client, hand, k);
  if (!img) return;
  img->Move(hand.HandX + (k + 1) * (d.TileWidth[0] - 2 * d.ScaleX), hand.HandY, d.TileWidth[0],
            d.TileHeight[0]);
  if (order >= 0) img->ZOrder(order);
}

void LayOutChowPung(Client& client, int s, const Tiles& tiles) {
  const Data& d = client.data;
  const PlayerHand& hand = client.custom[s];
  const int m = hand.MeldEnd;
  for (int j = 2; j >= 0; --j) {
    ShowTileImage(client, hand.Slots[m - j].ImageIndex, PictureIndex(s, tiles[2 - j]));
    PlaceMeldTile(client, s, m - j, 0);
  }
  const int k = hand.FirstConcealed + hand.ConcealedCount - 1;
  ImageControl* moved = SlotImage(client, hand, k);
  if (!moved) return;
  if (s == 1) moved->SetTop(hand.HandY + k * d.TileWidth[1]);
  if (s == 2) moved->SetLeft(hand.HandX - k * d.TileWidth[2]);
  if (s == 3) moved->SetTop(hand.HandY - k * d.TileWidth[3]);
}

void LayOutKong(Client& client, int16_t op, int s, const Tiles& tiles) {
  const Data& d = client.data;
  const PlayerHand& hand = client.custom[s];
  const int m = hand.MeldEnd;
  const bool concealed = op == kClaimConcealedKong;
  for (int j = 2; j >= 0; --j) {
    PlaceMeldTile(client, s, m - j, -1);
    ShowTileImage(client, hand.Slots[m - j].ImageIndex,
                  concealed ? BackPicture(s) : PictureIndex(s, tiles[2 - j]));
  }
  ImageControl* fourth = TileImage(client, d.LastTileImage);
  if (!fourth) return;
  fourth->SetWidth(d.TileWidth[s]);
  fourth->SetHeight(d.TileHeight[s]);
  ShowTileImage(client, d.LastTileImage,
                concealed && s != 0 ? BackPicture(s) : PictureIndex(s, tiles[2]));
  if (s == 2) {
    fourth->Move(hand.HandX - (m - 1) * d.TileWidth[2], hand.HandY - 18 * d.ScaleY);
  } else if (ImageControl* middle = SlotImage(client, hand, m - 1)) {
    fourth->Move(middle->Left(),
                 s == 0 ? hand.HandY - 18 * d.ScaleY : middle->Top() - 18 * d.ScaleY);
    if (s != 0) fourth->ZOrder(0);
  }
}

void LayOutAddedTile(Client& client, int s, const Tiles& tiles) {
  Data& d = client.data;
  PlayerHand& hand = client.custom[s];
  const int16_t image = hand.Slots[hand.MeldEnd - 2].ImageIndex;
  ImageControl* p = TileImage(client, image);
  const double sx = d.ScaleX, sy = d.ScaleY;
  const double tw = d.TileWidth[s], th = d.TileHeight[s];
  const double x = hand.HandX, y = hand.HandY;
  if (IsRedDragon(tiles[2])) {
    const int c = hand.RedDragonCount;
    if (p) {
      p->Move(s == 3 ? x - 10 * sx : x, y - 18 * c * sy);
      if (s == 1) p->ZOrder(1);
      if (s == 3) p->ZOrder(0);
    }
    if (s != 2 && c >= 0 && c < kPileMax) d.SetAsideImages[s][c] = image;
    ++hand.RedDragonCount;
  } else if (tiles[2] == d.WildTile) {
    const double pile = 18 * hand.WildKongCount * sy;
    if (p) {
      if (s == 0) p->Move(x + tw - 2, y - pile);
      if (s == 1) p->Move(x - 5 * sx, y + (th - 17 * sy) - pile);
      if (s == 2) p->Move(x - tw, y - pile);
      if (s == 3) p->Move(x - 15 * sx, y - (th - 17) - pile);
      if (s == 1) p->ZOrder(1);
      if (s == 3) p->ZOrder(0);
    }
    RecordWildKong(client, s, image);
  } else {
    // Melds start at slot 1 for the watched seat and at 2 for the others.
    const int i = PungOf(hand, s == 0 ? 1 : 2, tiles[2]);
    if (i < 0) return;
    const int k = i + 1;
    if (p) {
      if (s == 0) p->Move(x + (k + 1) * (tw - 2 * sx), y - 18 * sy);
      if (s == 1) p->Move(x - 5 * sx * k, y + k * (th - 17 * sy) - 17 * sy);
      if (s == 2) p->Move(x - k * tw, y - 18 * sy);
      if (ImageControl* middle = SlotImage(client, hand, k); s == 3 && middle)
        p->Move(middle->Left(), y - k * (th - 17 * sy) - 17 * sy);
    }
  }
  ShowTileImage(client, image, PictureIndex(s, tiles[2]));
}

void ChowOrPung(Client& client, int16_t op, int s, const Tiles& tiles) {
  Data& d = client.data;
  PlayerHand& hand = client.custom[s];
  const int m = hand.MeldEnd, f = hand.FirstConcealed, n = hand.ConcealedCount;
  if (!MeldFits(hand, 3) || f + n >= PlayerHand::kSlotCount) return;
  GiveDiscardPlaceBack(client);
  auto& slots = hand.Slots;
  slots[m - 2] = slots[f];
  slots[m - 1] = slots[f + 1];
  slots[m].ImageIndex = d.LastTileImage;
  if (op == kClaimPung)
    for (int k = 0; k < 3; ++k) slots[m - 2 + k] = {3, tiles[k], slots[m - 2 + k].ImageIndex};
  slots[f + n] = slots[f + 2];
  hand.ConcealedCount = static_cast<int16_t>(n - 2);
  hand.FirstConcealed = static_cast<int16_t>(f + 3);
  LayOutChowPung(client, s, tiles);
  hand.MeldEnd = static_cast<int16_t>(m + 3);
}

void Kong(Client& client, int16_t op, int s, const Tiles& tiles) {
  Data& d = client.data;
  PlayerHand& hand = client.custom[s];
  const bool concealed = op == kClaimConcealedKong;
  d.DrawFromHead = false;
  if (!MeldFits(hand, concealed ? 4 : 3)) return;
  if (!concealed) GiveDiscardPlaceBack(client);
  const int m = hand.MeldEnd, f = hand.FirstConcealed;
  auto& slots = hand.Slots;
  slots[m] = slots[f];
  slots[m - 1] = slots[f + 1];
  slots[m - 2] = slots[f + 2];
  if (concealed) d.LastTileImage = slots[f + hand.ConcealedCount - 1].ImageIndex;
  if (ImageControl* fourth = TileImage(client, d.LastTileImage)) fourth->ZOrder(0);
  hand.ConcealedCount = static_cast<int16_t>(hand.ConcealedCount - 3);
  hand.FirstConcealed = static_cast<int16_t>(f + 3);
  LayOutKong(client, op, s, tiles);
  if (concealed) --hand.ConcealedCount;
  hand.MeldEnd = static_cast<int16_t>(m + 3);
}

void AddedKong(Client& client, int s, const Tiles& tiles) {
  Data& d = client.data;
  PlayerHand& hand = client.custom[s];
  d.DrawFromHead = false;
  if (!MeldFits(hand, 1)) return;
  const int m = hand.MeldEnd;
  hand.Slots[m - 2] = hand.Slots[hand.FirstConcealed + hand.ConcealedCount - 1];
  if (ImageControl* img = SlotImage(client, hand, m - 2)) {
    img->ZOrder(0);
    img->SetWidth(d.TileWidth[s]);
    img->SetHeight(d.TileHeight[s]);
  }
  --hand.ConcealedCount;
  if (tiles[2] == 0x15 && hand.RedDragonCount == 0) hand.Slots[0] = hand.Slots[m - 2];
  LayOutAddedTile(client, s, tiles);
}

void Win(Client& client, int s) {
  Data& d = client.data;
  if (d.WinnerSeat >= 0) return;
  for (int i = 0; i < kSeatCount; ++i) SetScoreNameColor(client, i, 0xFF00);
  d.WinnerSeat = static_cast<int16_t>(s);
  SetScoreNameColor(client, s, 0xFF);
}

// Each later hidden tile of the left seat covers the one before; the right
// seat's the other way round.
void Restack(Client& client, int16_t op, int s) {
  if (s != 1 && s != 3) return;
  const PlayerHand& hand = client.custom[s];
  const int first = std::max<int>(hand.FirstConcealed, 0);
  const int end = std::min<int>(hand.FirstConcealed + hand.ConcealedCount, PlayerHand::kSlotCount);
  for (int k = first; k < end; ++k)
    if (ImageControl* img = SlotImage(client, hand, k)) img->SetVisible(false);
  for (int k = first; k < end; ++k)
    if (ImageControl* img = SlotImage(client, hand, k)) {
      img->SetVisible(true);
      img->ZOrder(s == 1 ? 0 : 1);
    }
  if (op == kClaimAddedKong) RepairSetAsideStacking(client, s);
}

}  // namespace

void WatchApplyOperation(Client& client, int16_t operation, uint8_t seatBit, const Tiles& tiles) {
  Data& d = client.data;
  if (!IsSeatBit(seatBit)) return;
  const double sizes[4][2] = {{45, 56}, {45, 35}, {34, 40}, {45, 35}};
  for (int v = 0; v < kSeatCount; ++v) SetTileSize(client, v, sizes[v][0], sizes[v][1]);
  const int s = RelativeSeat(client.custom[0].SeatWind, seatBit);
  if (s != 0 && d.DealShown) Announce(client, operation, s, tiles[2]);
  switch (operation) {
    case kClaimChow:
    case kClaimPung:
      ChowOrPung(client, operation, s, tiles);
      break;
    case kClaimKong:
    case kClaimConcealedKong:
      Kong(client, operation, s, tiles);
      break;
    case kClaimAddedKong:
      AddedKong(client, s, tiles);
      break;
    case kClaimWin:
      Win(client, s);
      break;
    default:
      break;
  }
  Restack(client, operation, s);
}

}  // namespace slvn
