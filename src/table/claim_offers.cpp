#include <algorithm>
#include <string>

#include "shell/net/packet_io.h"
#include "table/claim_common.h"
#include "table/claims.h"
#include "table/hand_order.h"

namespace slvn {

using namespace claims;

namespace {

constexpr int kOwnStandingView = 4;
constexpr int kChoicePictures = 5;  // `Gang` has five pictures
constexpr TileCode kRedDragon = 0x15;

int16_t ClaimWord(TileCode tile) {
  return static_cast<int16_t>((tile & kTileCodeMask) | kClaimFlag);
}

void SendClaim(Client& client, int16_t op, int16_t w1, int16_t w2, int16_t w3) {
  GameMessage m;
  m.cmd = 7;
  m.seat = client.custom[0].SeatWind;
  m.value = {op, w1, w2, w3};
  Send_MSG(client, m);
}

// The next meld position p0..p2 of the own seat, or false when the record has
// no room for another meld.
bool MeldPosition(const PlayerHand& hand, int& p0) {
  p0 = hand.MeldEnd - 2;
  return p0 >= 1 && hand.MeldEnd < PlayerHand::kSlotCount;
}

TileCode SlotCode(const PlayerHand& hand, int slot) {
  return ValidSlot(slot) ? hand.Slots[slot].Code : 0;
}

// Writes whole slots into the meld position with the meld state.
void WriteMeld(PlayerHand& hand, int p0, std::initializer_list<int> sources, int16_t state) {
  int p = p0;
  for (int s : sources) {
    if (ValidSlot(s)) hand.Slots[p] = hand.Slots[s];
    hand.Slots[p++].State = state;
  }
}

void LoadChoicePicture(Client& client, ImageControl& pic, TileCode code) {
  const int16_t picture = TilePicture(kOwnStandingView, code);
  if (picture >= 0 && picture < static_cast<int>(client.images.TilePics.size()))
    LoadGifResource(client, client.images.TilePics[picture], "GIF", pic);
}

void PlaceChoice(Client& client, ImageControl& pic, double top, double left) {
  const Data& d = client.data;
  pic.SetHeight(0.8 * d.TileHeight[0]);
  pic.SetWidth(0.8 * d.TileWidth[0]);
  pic.SetTop(top);
  pic.SetLeft(left);
  pic.SetVisible(true);
  pic.ZOrder(0);
  pic.SetEnabled(true);
}

// The turn countdown starts again with half the time while choices are shown.
void HalfTimeCountdown(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  d.Countdown = static_cast<int16_t>(d.CountdownStart / 2);
  client.heartbeat.Enable(kTurnCountdown);
  f.Number.SetCaption(std::to_string(d.Countdown));
  f.Number.SetForeColor(0xFF);
  f.Number.SetVisible(true);
  f.Time_Img.SetVisible(true);
  f.Time_Img.ZOrder(0);
  f.Number.ZOrder(0);
}

void HideButton(Client& client, int i) {
  if (client.main_form.Operation.Exists(i)) client.main_form.Operation[i].SetVisible(false);
}

double ButtonTop(Client& client, int i) {
  return client.main_form.Operation.Exists(i) ? client.main_form.Operation[i].Top() : 0;
}
double ButtonLeft(Client& client, int i) {
  return client.main_form.Operation.Exists(i) ? client.main_form.Operation[i].Left() : 0;
}

}  // namespace

void OfferChi(Client& client, TileCode discard) {
  Data& d = client.data;
  const double sizes[4][2] = {{48, 78}, {35, 66}, {37, 50}, {35, 66}};
  for (int v = 0; v < 4; ++v) SetTileSize(client, v, sizes[v][0], sizes[v][1]);
  PlayerHand& hand = client.custom[0];
  SortAndShowHand(client, 0, hand.ConcealedCount);
  if (!ConcealedInRange(hand)) return;
  const int end = hand.FirstConcealed + hand.ConcealedCount;
  // Wild tiles stand first and never take part in a chow.
  int s1 = hand.FirstConcealed;
  while (s1 < end && d.WildTile > 0 && hand.Slots[s1].Code == d.WildTile) ++s1;
  while (s1 < end && Suit(hand.Slots[s1].Code) != Suit(discard)) ++s1;
  if (s1 >= end) return;
  int s2 = s1;
  while (s2 + 1 < end && Suit(hand.Slots[s2 + 1].Code) == Suit(discard)) ++s2;
  std::array<int, 10> count{};
  for (int s = s1; s <= s2; ++s) {
    const int rank = Rank(hand.Slots[s].Code);
    if (rank >= 1 && rank <= 9) ++count[rank];
  }
  auto last = [&](int k) {
    int n = 0;
    for (int r = 1; r <= k; ++r) n += count[r];
    return static_cast<int16_t>(s1 + n - 1);
  };
  const int r = Rank(discard);
  if (r < 1 || r > 9) return;  // no rank to complete
  const int partners[3][2] = {{r - 2, r - 1}, {r - 1, r + 1}, {r + 1, r + 2}};
  const bool allowed[3] = {r > 2, r > 1 && r < 9, r < 8};
  int runs = 0;
  for (int k = 0; k < 3; ++k) {
    if (!allowed[k] || count[partners[k][0]] == 0 || count[partners[k][1]] == 0) continue;
    d.ChiSlots[2 * runs] = last(partners[k][0]);
    d.ChiSlots[2 * runs + 1] = last(partners[k][1]);
    ++runs;
  }
  if (runs == 0) return;
  MainForm& f = client.main_form;
  if (runs == 1) {
    HideButton(client, 0);
    SendChi(client, d.ChiSlots[0], d.ChiSlots[1]);
    return;
  }
  for (int i = 1; i <= 4; ++i) {
    HideButton(client, i);
    if (f.Operation.Exists(i)) f.Operation[i].SetEnabled(false);
  }
  for (int i = 0; i < 2 * runs && f.Chi.Exists(i); ++i) {
    LoadChoicePicture(client, f.Chi[i], SlotCode(hand, d.ChiSlots[i]));
    const double height = 0.8 * d.TileHeight[0];
    const double width = 0.8 * d.TileWidth[0];
    PlaceChoice(client, f.Chi[i], ButtonTop(client, 0) - 0.8 * height * (i / 2),
                ButtonLeft(client, 1) + width * (i % 2));
  }
  HalfTimeCountdown(client);
}

void OfferGang(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  PlayerHand& hand = client.custom[0];
  if (!ConcealedInRange(hand)) return;
  const int first = hand.FirstConcealed;
  const int end = first + hand.ConcealedCount;
  const int allowed = d.AllowedClaims & 0xFF;
  int listed = 0;
  int first_kind = 0;
  // More candidates than pictures cannot be chosen from: the list stops there.
  auto add = [&](int slot, int kind) {
    if (listed >= kChoicePictures) return;
    if (listed == 0) first_kind = kind;
    d.GangSlots[listed] = static_cast<int16_t>(slot);
    if (f.Gang.Exists(listed)) LoadChoicePicture(client, f.Gang[listed], hand.Slots[slot].Code);
    ++listed;
  };
  auto first_holding = [&](TileCode code) {
    for (int i = first; i < end; ++i)
      if (hand.Slots[i].Code == code) return i;
    return -1;
  };
  if (allowed & kClaimAddedKong) {
    if (int s = first_holding(kRedDragon); s >= 0) add(s, 1);
    for (int i = 1; i + 5 <= hand.MeldEnd; i += 3)
      if (hand.Slots[i].State == 3)
        if (int s = first_holding(hand.Slots[i].Code); s >= 0) add(s, 2);
  }
  if (allowed & kClaimKong)
    for (int i = first; i + 2 < end; ++i)
      if (hand.Slots[i].Code == d.LastDiscard && hand.Slots[i + 2].Code == d.LastDiscard) {
        add(i, 3);
        break;
      }
  if (allowed & kClaimConcealedKong)
    for (int i = first; i + 3 < end; ++i)
      if (hand.Slots[i].Code == hand.Slots[i + 3].Code) add(i, 4);
  if ((allowed & kClaimAddedKong) && d.WildTile > 0)
    if (int s = first_holding(d.WildTile); s >= 0) add(s, 5);

  if (listed == 1) {
    HideButton(client, 2);
    if (first_kind == 3)
      SendGangDiscard(client, d.GangSlots[0]);
    else if (first_kind == 4)
      SendGangHand(client, d.GangSlots[0]);
    else
      SendGangAdd(client, d.GangSlots[0]);
    return;
  }
  for (int i : {0, 1, 3, 4}) HideButton(client, i);
  for (int i = 0; i < listed && f.Gang.Exists(i); ++i) {
    const double height = 0.8 * d.TileHeight[0];
    PlaceChoice(client, f.Gang[i], ButtonTop(client, 0) - 0.8 * height * i, ButtonLeft(client, 3));
  }
  HalfTimeCountdown(client);
}

void SendChi(Client& client, int16_t first, int16_t second) {
  Data& d = client.data;
  PlayerHand& hand = client.custom[0];
  int p0 = 0;
  if (MeldPosition(hand, p0) && ValidSlot(first) && ValidSlot(second)) {
    WriteMeld(hand, p0, {first, second}, 2);
    hand.Slots[p0 + 2] = {2, d.LastDiscard, d.LastTileImage};
  }
  SendClaim(client, kClaimChow, ClaimWord(SlotCode(hand, first)), ClaimWord(SlotCode(hand, second)),
            ClaimWord(d.LastDiscard));
  d.TurnActed = true;
}

void SendPeng(Client& client, TileCode tile) {
  Data& d = client.data;
  PlayerHand& hand = client.custom[0];
  int p0 = 0;
  if (MeldPosition(hand, p0) && ConcealedInRange(hand)) {
    const int end = hand.FirstConcealed + hand.ConcealedCount;
    int k = -1;
    for (int i = hand.FirstConcealed; i + 1 < end && k < 0; ++i)
      if (hand.Slots[i].Code == tile && hand.Slots[i + 1].Code == tile) k = i;
    if (k >= 0) {
      WriteMeld(hand, p0, {k, k + 1}, 3);
    } else {
      // The pair is not side by side: the confirmation finds it by code.
      hand.Slots[p0] = hand.Slots[p0 + 1] = {3, tile, -1};
    }
    hand.Slots[p0 + 2] = {3, tile, d.LastTileImage};
  }
  const int16_t word = ClaimWord(tile);
  SendClaim(client, kClaimPung, word, word, word);
  d.TurnActed = true;
}

namespace {

// A kong of three tiles from `slot` on: of a discard (state 4) or concealed (5).
void SendKongOfThree(Client& client, int16_t slot, int16_t op, int16_t state) {
  PlayerHand& hand = client.custom[0];
  int p0 = 0;
  if (MeldPosition(hand, p0)) WriteMeld(hand, p0, {slot, slot + 1, slot + 2}, state);
  const int16_t word = ClaimWord(SlotCode(hand, slot));
  SendClaim(client, op, word, word, word);
  client.data.TurnActed = true;
}

}  // namespace

void SendGangDiscard(Client& client, int16_t slot) {
  SendKongOfThree(client, slot, kClaimKong, 4);
}

void SendGangHand(Client& client, int16_t slot) {
  SendKongOfThree(client, slot, kClaimConcealedKong, 5);
}

void SendGangAdd(Client& client, int16_t slot) {
  PlayerHand& hand = client.custom[0];
  int p0 = 0;
  if (MeldPosition(hand, p0)) WriteMeld(hand, p0, {slot}, 6);
  SendClaim(client, kClaimAddedKong, 0, 0, ClaimWord(SlotCode(hand, slot)));
  client.data.TurnActed = true;
}

void SendHu(Client& client) {
  SendClaim(client, kClaimWin, 0, 0, 0);
}

void SendPass(Client& client) {
  SendClaim(client, kClaimPass, 0, 0, 0);
  client.data.TurnActed = true;
}

}  // namespace slvn
