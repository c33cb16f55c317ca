#include <algorithm>

#include "shell/net/packet_io.h"
#include "table/claim_common.h"
#include "table/claims.h"
#include "table/hand_order.h"
#include "table/table_centre.h"
#include "table/tile_code.h"

namespace slvn {

using namespace claims;

namespace {

constexpr double kLift = 10;  // a lifted tile stands 10 pixels higher, on every scale
constexpr TileCode kRedDragon = 0x15;

bool Shown(Client& client, int button) {
  return client.main_form.Operation.Exists(button) && client.main_form.Operation[button].Visible();
}

void HideButtons(Client& client, std::initializer_list<int> buttons) {
  for (int i : buttons)
    if (client.main_form.Operation.Exists(i)) client.main_form.Operation[i].SetVisible(false);
}

void IdleButton(Client& client, int i) {
  MainForm& f = client.main_form;
  if (!f.Operation.Exists(i)) return;
  LoadGifResource(client, client.images.ClaimButtonPics[3 * i], "GIF", f.Operation[i]);
  f.Operation[i].SetEnabled(false);
}

void ResetClaimButtons(Client& client) {
  for (int i = 0; i < 5; ++i) IdleButton(client, i);
}

// Stops the turn countdown; `reset` also restores its start value and hides it.
void StopTurnCountdown(Client& client, bool reset = true) {
  client.heartbeat.TickEnabled[kTurnCountdown] = false;
  if (!reset) return;
  client.data.Countdown = client.data.CountdownStart;
  client.main_form.Time_Img.SetVisible(false);
  client.main_form.Number.SetVisible(false);
}

void SpeakOwnClaim(Client& client, const char* code) {
  PlayVoice(client, VoiceFile(client, 0, code));
}

// A pass answers the offer; on the own draw the countdown runs on for the discard.
void Pass(Client& client) {
  if (!HoldsDrawnTile(client.custom[0])) StopTurnCountdown(client);
  if (!client.data.TurnActed) SendPass(client);
}

void Discard(Client& client, int index) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  PlayerHand& hand = client.custom[0];
  d.ActionState = 2;
  d.TileClickExpected = false;
  StopTurnCountdown(client);
  if (!d.TurnActed) SendPass(client);
  for (int i = 0; i < 5; ++i)
    if (f.Operation.Exists(i)) {
      f.Operation[i].SetEnabled(false);
      f.Operation[i].SetVisible(false);
      IdleButton(client, i);
    }
  const int slot = HandSlotOfImage(client, static_cast<int16_t>(index));
  const TileCode tile = hand.Slots[slot].Code;
  const int count = hand.ConcealedCount;
  SetTileSize(client, 0, 36, 50);
  ShowTileImage(client, static_cast<int16_t>(index), TilePicture(0, tile));
  if (HoldsDrawnTile(hand)) {
    GameMessage m;
    m.cmd = 2;
    m.seat = hand.SeatWind;
    m.value = {0, 0, 0, static_cast<int16_t>((tile & kTileCodeMask) | kDiscardFlag)};
    Send_MSG(client, m);
    d.TileClickExpected = false;
  }
  d.LastTileImage = static_cast<int16_t>(index);
  d.LastDiscardSeat = 0;
  ImageControl& img = f.MJ_Image[index];
  const TablePoint centre = Pic1Centre(client);
  img.Move(centre.X - img.Width() / 2, centre.Y - img.Height() / 2, d.TileWidth[0],
           d.TileHeight[0]);
  img.ZOrder(1);
  SetStandingSize(client);
  const int last = std::min(hand.FirstConcealed + count, PlayerHand::kSlotCount) - 1;
  for (int k = slot; k < last; ++k) {
    hand.Slots[k] = hand.Slots[k + 1];
    if (ImageControl* moved = SlotImage(client, hand, k))
      moved->Move(hand.HandX + k * d.TileWidth[0], hand.HandY);
  }
  SortAndShowHand(client, 0, static_cast<int16_t>(count - 1));
  hand.ConcealedCount = static_cast<int16_t>(count - 1);
}

bool RevealHiddenKong(Client& client, int index) {
  Data& d = client.data;
  for (int i = 0; i < std::min<int>(d.HiddenKongCount, d.HiddenKongImages.size()); ++i)
    if (d.HiddenKongImages[i] == index) {
      ShowTileImage(client, static_cast<int16_t>(index),
                    PictureIndex(d.HiddenKongSeats[i], d.HiddenKongTiles[i]));
      d.HiddenKongImages[i] = -1;
      return true;
    }
  return false;
}

// The upper tile of the clicked lower tile's stack drops into its place.
void DropUpperTile(Client& client, int index, int i) {
  const Data& d = client.data;
  int upper = -1, side_position = index;
  if (index % 2 == 1 && i >= 2 && index != d.WallHead && d.NextWallImages[i - 1] != -1)
    upper = (index + kWallPositions - 1) % kWallPositions;
  else if (index % 2 == 1 && i < 2 && d.WallTail % 2 == 0 && d.NextWallImages[0] != -1)
    upper = side_position = d.WallTail;
  ImageControl* from = TileImage(client, upper);
  ImageControl* to = TileImage(client, index);
  if (!from || !to) return;
  from->Move(to->Left(), to->Top());
  // On the top side the nearer stack lies below; the dropped tile goes behind it.
  if (side_position / 30 == 2) from->ZOrder(1);
}

void RevealWallTile(Client& client, int index) {
  Data& d = client.data;
  // Every place is looked at; a place without a tile turns nothing up.
  const int count = static_cast<int>(d.NextWallImages.size());
  int i = 0;
  while (i < count && (d.NextWallTiles[i] == 0 || d.NextWallImages[i] != index)) ++i;
  if (i == count) return;
  DropUpperTile(client, index, i);
  ShowTileImage(client, static_cast<int16_t>(index), TilePicture(0, d.NextWallTiles[i]));
  if (ImageControl* img = TileImage(client, index))
    img->Move((400 + 45 * i) * d.ScaleX, 340 * d.ScaleY, 45 * d.ScaleX, 60 * d.ScaleY);
  d.NextWallImages[i] = -1;
}

void SendAddedKong(Client& client, int16_t s) {
  client.data.GangSlots[0] = s;
  SendGangAdd(client, s);
}

}  // namespace

void MJ_Image_MouseMove(Client& client, int index, int, int, double, double) {
  const Data& d = client.data;
  PlayerHand& hand = client.custom[0];
  ImageControl* img = TileImage(client, index);
  if (!img) return;
  const bool applies = img->Top() >= hand.HandY - kLift && !d.WatchMode && d.AnNiuState[2];
  if (!applies || !IsTileInHand(client, static_cast<int16_t>(index))) {
    if (img->MousePointer() != kPointerDefault) img->SetMousePointer(kPointerDefault);
    return;
  }
  if (img->MousePointer() != kPointerCustom) img->SetMousePointer(kPointerCustom);
  if (img->Top() != hand.HandY) return;
  for (int s = hand.FirstConcealed; s < hand.FirstConcealed + hand.ConcealedCount; ++s)
    if (ImageControl* other = SlotImage(client, hand, s);
        other && other->Top() == hand.HandY - kLift)
      other->SetTop(hand.HandY);
  img->SetTop(hand.HandY - kLift);
}

void MJ_Image_MouseDown(Client& client, int index, int button, int, double, double) {
  Data& d = client.data;
  if (d.ActionState == 3 || !d.LoggedIn || !TileImage(client, index)) return;
  const bool own = IsTileInHand(client, static_cast<int16_t>(index));
  if (own && d.TileClickExpected) {
    Discard(client, index);
  } else if (Shown(client, 4) && button == 2 && !own) {
    HideButtons(client, {0, 1, 2, 3, 4});
    Pass(client);
    ResetClaimButtons(client);
  }
  if (d.WinnerSeat < 0 || d.WinnerSeat > 3) return;
  if (!RevealHiddenKong(client, index)) RevealWallTile(client, index);
}

void Operation_Click(Client& client, int index) {
  Data& d = client.data;
  if (index < 0 || index > 4 || d.OfferedClaims[index] < 2 || !d.LoggedIn || d.ActionState > 0)
    return;
  d.ActionState = 2;
  d.OfferedClaims.fill(0);
  IdleButton(client, index);
  if (index <= 3) StopTurnCountdown(client);
  SetStandingSize(client);
  client.shell.timeoutnum = 0;
  switch (index) {
    case 0:
      d.TileClickExpected = false;
      HideButtons(client, {1, 2, 3, 4});
      SpeakOwnClaim(client, "01.wav");
      OfferChi(client, d.LastDiscard);
      break;
    case 1:
      d.TileClickExpected = false;
      HideButtons(client, {0, 1, 2, 3, 4});
      SpeakOwnClaim(client, "02.wav");
      SendPeng(client, d.LastDiscard);
      break;
    case 2:
      d.TileClickExpected = false;
      HideButtons(client, {0, 1, 3, 4});
      if (d.AllowedClaims & kClaimConcealedKong)
        SortAndShowHand(client, 0, client.custom[0].ConcealedCount);
      OfferGang(client);
      break;
    case 3:
      d.TileClickExpected = false;
      SendHu(client);
      SpeakOwnClaim(client, "09.wav");
      HideButtons(client, {0, 1, 2, 3, 4});
      break;
    default:
      HideButtons(client, {0, 1, 2, 3, 4});
      Pass(client);
      break;
  }
  if (index != 3) d.ActionState = 1;
  ResetClaimButtons(client);
}

void Chi_Click(Client& client, int index) {
  Data& d = client.data;
  if (index < 0 || index > 5 || d.ActionState == 3 || !d.LoggedIn) return;
  client.heartbeat.TickEnabled[kTurnCountdown] = false;
  const int k = index / 2;
  d.ChiSlots[0] = d.ChiSlots[2 * k];
  d.ChiSlots[1] = d.ChiSlots[2 * k + 1];
  SendChi(client, d.ChiSlots[0], d.ChiSlots[1]);
  MainForm& f = client.main_form;
  for (int i = 0; i < 6 && f.Chi.Exists(i); ++i) {
    f.Chi[i].SetEnabled(false);
    f.Chi[i].SetVisible(false);
  }
  HideButtons(client, {0});
}

void Gang_Click(Client& client, int index) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  if (index < 0 || index > 4 || d.ActionState == 3 || !d.LoggedIn) return;
  client.heartbeat.TickEnabled[kTurnCountdown] = false;
  for (int i = 0; i < 5; ++i)
    if (f.Gang.Exists(i)) {
      f.Gang[i].SetEnabled(false);
      f.Gang[i].SetVisible(false);
    }
  HideButtons(client, {0, 1, 2, 3, 4});
  const PlayerHand& hand = client.custom[0];
  const int16_t s = d.GangSlots[index];
  if (!ValidSlot(s)) return;
  const TileCode t = hand.Slots[s].Code;
  const int end = hand.FirstConcealed + hand.ConcealedCount;
  auto holds = [&](int slot) {
    return ValidSlot(slot) && slot < end && hand.Slots[slot].Code == t;
  };
  if (d.AllowedClaims & kClaimAddedKong) {
    if (t == kRedDragon || t == d.WildTile) {
      SpeakOwnClaim(client, t == kRedDragon ? "04.wav" : "05.wav");
      SendAddedKong(client, s);
      return;
    }
    SpeakOwnClaim(client, "03.wav");
    // An equal neighbour means the tile belongs to a concealed group.
    if (!holds(s + 1 < end ? s + 1 : s - 1)) {
      SendAddedKong(client, s);
      return;
    }
  }
  if ((d.AllowedClaims & kClaimConcealedKong) && holds(s + 3)) {
    SpeakOwnClaim(client, "06.wav");
    d.GangSlots[0] = s;
    SendGangHand(client, s);
  } else if ((d.AllowedClaims & kClaimKong) && holds(s + 2)) {
    SpeakOwnClaim(client, "03.wav");
    d.GangSlots[0] = s;
    SendGangDiscard(client, s);
  }
}

void Pic1_MouseUp(Client& client, int button, int, double, double) {
  Data& d = client.data;
  if (!d.LoggedIn || button != 2 || !Shown(client, 4) || d.ActionState > 0) return;
  d.ActionState = 2;
  HideButtons(client, {0, 1, 2, 3, 4});
  Pass(client);
  ResetClaimButtons(client);
  d.ActionState = 1;
}

void Pic2_MouseUp(Client& client, int button, int shift, double x, double y) {
  Pic1_MouseUp(client, button, shift, x, y);
}

void PutBackLiftedTile(Client& client, double x, double y) {
  const Data& d = client.data;
  if (!d.AnNiuState[2] || d.WatchMode) return;
  PlayerHand& hand = client.custom[0];
  const int f = hand.FirstConcealed;
  if (f < 0 || f >= PlayerHand::kSlotCount) return;
  if (f + hand.ConcealedCount - 1 > PlayerHand::kSlotCount - 1)
    hand.ConcealedCount = static_cast<int16_t>(PlayerHand::kSlotCount - f);
  for (int s = f; s < f + hand.ConcealedCount; ++s) {
    ImageControl* img = SlotImage(client, hand, s);
    if (!img || img->Top() != hand.HandY - kLift) continue;
    const double l = img->Left(), w = img->Width(), t = img->Top(), h = img->Height();
    if (x <= l || x >= l + w || y <= t || y >= t + h + kLift) {
      img->Move(l, hand.HandY, w, h);
      return;
    }
  }
}

void WireLocalMoves(Client& client) {
  MainForm& f = client.main_form;
  Client* c = &client;
  f.MJ_Image.MouseMove = [c](int i, int b, int s, double x, double y) {
    MJ_Image_MouseMove(*c, i, b, s, x, y);
  };
  f.MJ_Image.MouseDown = [c](int i, int b, int s, double x, double y) {
    MJ_Image_MouseDown(*c, i, b, s, x, y);
  };
  f.Operation.Click = [c](int i) { Operation_Click(*c, i); };
  f.Chi.Click = [c](int i) { Chi_Click(*c, i); };
  f.Gang.Click = [c](int i) { Gang_Click(*c, i); };
  f.Pic1.MouseUp = [c](int b, int s, double x, double y) { Pic1_MouseUp(*c, b, s, x, y); };
  f.Pic2.MouseUp = [c](int b, int s, double x, double y) { Pic2_MouseUp(*c, b, s, x, y); };
}

}  // namespace slvn
