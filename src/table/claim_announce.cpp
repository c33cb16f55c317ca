#include "settlement/record_boards.h"
#include "table/claim_common.h"
#include "table/claims.h"

namespace slvn {

using namespace claims;

namespace {

using Tiles = std::array<TileCode, 3>;

constexpr int kEffectSound = 2;  // the discard effect in the sound bank

struct Caption {
  int entry;
  const char* voice;
};

// The caption entry and voice of a claim; entry -1 for an unknown operation.
Caption CaptionOf(const Client& client, int16_t op, TileCode tile) {
  switch (op) {
    case kClaimChow:
      return {0, "01.wav"};
    case kClaimPung:
      return {1, "02.wav"};
    case kClaimKong:
      return {2, "03.wav"};
    case kClaimConcealedKong:
      return {3, "06.wav"};
    case kClaimAddedKong:
      return tile == client.data.WildTile ? Caption{5, "05.wav"} : Caption{6, "03.wav"};
    case kClaimWin:
      return {7, "09.wav"};
    default:
      return {-1, ""};
  }
}

void PlaceBubble(Client& client, int rel) {
  MainForm& f = client.main_form;
  const Data& d = client.data;
  if (!f.Speak.Exists(rel - 1)) return;
  ImageControl& bubble = f.Speak[rel - 1];
  if (rel == 2 && f.Tou.Exists(2)) {
    const ImageControl& tou = f.Tou[2];
    bubble.SetTop(tou.Top() + 0.8 * tou.Height() + 65 * d.ScaleY);
    bubble.SetLeft(tou.Left() + 0.8 * tou.Width() - 60 * d.ScaleY);
  } else if (rel != 2) {
    bubble.SetTop(280 * d.ScaleY + 50 * d.ScaleY);
    bubble.SetLeft((rel == 1 ? 8 : 936) * d.ScaleX);
  }
  f.Words.SetTop(bubble.Top() + 0.24 * bubble.Height());
  f.Words.SetLeft(bubble.Left() + 0.17 * bubble.Width());
  bubble.SetVisible(true);
  f.Words.SetVisible(true);
  bubble.ZOrder(0);
  f.Words.ZOrder(0);
}

void Announce(Client& client, int16_t op, int rel, TileCode tile) {
  MainForm& f = client.main_form;
  Data& d = client.data;
  if (op > 1) PlaceBubble(client, rel);
  if (client.sound.SoundOn == -1)
    PlaySoundFile(client, client.sound.SoundBank[kEffectSound], false);
  const Caption caption = CaptionOf(client, op, tile);
  if (caption.entry >= 0) {
    LoadGifResource(client, client.images.ClaimCaptionPics[caption.entry], "GIF", f.Words);
    PlayVoice(client, VoiceFile(client, rel, caption.voice));
  }
  d.ClaimBubbleShown = true;
  client.heartbeat.TickCount[kBubbleCounter] = 0;
  d.ClaimBubbleIndex = static_cast<int16_t>(rel - 1);
  for (int i = 1; i <= 3; ++i)
    if (i != rel && f.Speak.Exists(i - 1)) f.Speak[i - 1].SetVisible(false);
}

void ShowWin(Client& client, int rel) {
  Data& d = client.data;
  if (d.WinnerSeat >= 0) return;
  for (int i = 0; i < kSeatCount; ++i) SetScoreNameColor(client, i, 0xFF00);
  d.WinnerSeat = static_cast<int16_t>(rel);
  SetScoreNameColor(client, rel, 0xFF);
  if (rel != 0) return;
  SetStandingSize(client);
  const PlayerHand& hand = client.custom[0];
  if (HoldsDrawnTile(hand)) return;
  // The winning discard goes beside the last concealed tile; a hand with no
  // tile left has no place for it.
  ImageControl* last = SlotImage(client, hand, hand.FirstConcealed + hand.ConcealedCount - 1);
  ImageControl* won = TileImage(client, d.LastTileImage);
  if (hand.ConcealedCount <= 0 || !last || !won) return;
  won->Move(last->Left() + d.TileWidth[0], hand.HandY, d.TileWidth[0], d.TileHeight[0]);
  ShowTileImage(client, d.LastTileImage, TilePicture(0, d.LastDiscard));
}

// The side seats' hidden rows are stacked so that each tile covers the next.
void RestackHiddenRow(Client& client, int rel) {
  if (rel != 1 && rel != 3) return;
  const PlayerHand& hand = client.custom[rel];
  for (int s = hand.FirstConcealed; s < hand.FirstConcealed + hand.ConcealedCount; ++s)
    if (ImageControl* img = SlotImage(client, hand, s)) img->ZOrder(rel == 1 ? 0 : 1);
}

}  // namespace

void ApplyOperation(Client& client, int16_t op, uint8_t seat_bit, const Tiles& tiles) {
  const double sizes[4][2] = {{45, 60}, {45, 35}, {34, 40}, {45, 35}};
  for (int v = 0; v < 4; ++v) SetTileSize(client, v, sizes[v][0], sizes[v][1]);
  const int rel = RelativeSeat(client.custom[0].SeatWind, seat_bit);
  if (rel != 0) Announce(client, op, rel, tiles[2]);
  switch (op) {
    case kClaimChow:
    case kClaimPung:
      ShowClaimedChowPung(client, op, rel, tiles);
      break;
    case kClaimKong:
    case kClaimConcealedKong:
      ShowClaimedKong(client, op, rel, tiles);
      break;
    case kClaimAddedKong:
      ShowAddedKong(client, rel, tiles);
      break;
    case kClaimWin:
      ShowWin(client, rel);
      break;
    default:
      break;
  }
  RestackHiddenRow(client, rel);
  if (op == kClaimAddedKong) RepairSetAsideStacking(client, rel);
}

}  // namespace slvn
