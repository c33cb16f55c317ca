#include "dispatch/turn_commands.h"

#include <array>
#include <string>

#include "shell/client.h"
#include "shell/general.h"
#include "spectator/spectator.h"
#include "table/claims.h"
#include "table/deal_draw.h"
#include "table/discard_display.h"
#include "table/tile_code.h"
#include "ui/wall_dice.h"
#include "video/video_chat.h"

namespace slvn {

namespace {

constexpr int kSoundDiscard = 2;
constexpr int kSoundDraw = 3;
constexpr int kFullVolume = 3000;
constexpr uint32_t kGreen = 0xFF00;
constexpr size_t kKongDieByte = 16;
constexpr size_t kCountdownByte = 100;
enum ClaimButton : int { kChowButton, kPungButton, kKongButton, kWinButton, kPassButton };

void PlayTableSound(Client& client, int slot) {
  if (client.sound.SoundOn != -1) return;
  PlaySoundFile(client, client.sound.SoundBank[slot], false);
  SetSoundVolume(client, kFullVolume);
}

void DrawTiles(Client& client, uint8_t count) {
  const GameMessage& info = client.net.info;
  if (client.data.WatchMode)
    WatchDrawTiles(client, info.seat, count, info.value);
  else
    DrawFromWall(client, info.seat, count, info.value);
}

// The claim button that each bit of a turn prompt's mask offers, -1 none.
int ButtonOfClaimBit(int bit) {
  switch (bit) {
    case 0:
      return kPassButton;
    case 2:
      return kChowButton;
    case 3:
      return kPungButton;
    case 4:
    case 5:
    case 6:
      return kKongButton;
    case 7:
      return kWinButton;
    default:
      return -1;
  }
}

void OfferClaims(Client& client, int16_t mask_word) {
  Data& d = client.data;
  auto& buttons = client.main_form.Operation;
  const int mask = mask_word & 255;
  for (int bit = 0; bit < 8; ++bit) {
    const int i = ButtonOfClaimBit(bit);
    if (!(mask & (1 << bit)) || i < 0) continue;
    if (i == kKongButton) d.AllowedClaims = mask_word;
    d.OfferedClaims[i] = 2;
    if (!buttons.Exists(i)) continue;
    buttons[i].SetEnabled(true);
    LoadGifResource(client, client.images.ClaimButtonPics[3 * i + 1], "GIF", buttons[i]);
  }
  for (int i = 0; i <= 4; ++i)
    if (buttons.Exists(i)) {
      buttons[i].SetVisible(true);
      buttons[i].ZOrder(0);
    }
}

// The own turn: the claims offered (none to a spectator, who only watches)
// and the clock beside the wealth badge.
void PromptOwnSeat(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  d.TurnActed = false;
  d.ActionState = 0;
  d.OfferedClaims.fill(0);
  if (!d.WatchMode) {
    OfferClaims(client, client.net.info.value[0]);
    const int concealed = client.custom[0].ConcealedCount;
    if ((concealed - 2) % 3 == 0) d.TileClickExpected = true;
  }
  d.OwnTurnPrompt = !d.WatchMode;
  f.Time_Img.Move(f.Imgwealth.Left(), f.Imgwealth.Top() + 200 * d.ScaleY);
}

void PlaceClockAtSeat(Client& client, int s) {
  MainForm& f = client.main_form;
  const float sx = client.data.ScaleX, sy = client.data.ScaleY;
  client.data.OwnTurnPrompt = false;
  if (s == 1)
    f.Time_Img.Move(f.Host.Left(), f.Host.Top() + f.Host.Height() + 20 * sy);
  else if (s == 2 && f.Tou.Exists(2))
    f.Time_Img.Move(f.Tou[2].Left() - 20 * sx, f.Host.Top() - 40 * sy);
  else if (s == 3)
    f.Time_Img.Move(f.Jokra.Left(), f.Jokra.Top() + f.Jokra.Height());
}

void StartTurnCountdown(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  f.Number.Move(f.Time_Img.Left() + 48 * d.ScaleX, f.Time_Img.Top() + 5 * d.ScaleY);
  f.Number.SetCaption(std::to_string(d.Countdown));
  f.Number.SetForeColor(kGreen);
  f.Number.SetVisible(true);
  f.Time_Img.SetVisible(true);
  f.Time_Img.ZOrder(0);
  f.Number.ZOrder(0);
  client.heartbeat.Enable(kTurnCountdown);
}

bool IsKong(int operation) {
  return operation == kClaimKong || operation == kClaimConcealedKong ||
         operation == kClaimAddedKong;
}

}  // namespace

void CountSeen(Client& client, TileCode tile, int n) {
  if (!IsTileCode(tile)) return;
  client.data.SeenCnt[BitIndex(static_cast<uint8_t>(TileSuit(tile)))][TileRank(tile)] +=
      static_cast<int16_t>(n);
}

void HandleDeal(Client& client) {
  ConnectTableVideo(client);
  client.data.KongDrawPending = false;
  PlayTableSound(client, kSoundDraw);
  DrawTiles(client, 4);
}

void HandleDraw(Client& client) {
  DrawTiles(client, 1);
}

void HandleDiscard(Client& client) {
  const GameMessage& info = client.net.info;
  ConnectTableVideo(client);
  PlayTableSound(client, kSoundDiscard);
  if (client.data.WatchMode) return WatchShowDiscard(client, info.seat, info.value[3]);
  ShowDiscard(client, info.seat, info.value[3]);
  CountSeen(client, info.value[3], 1);
}

void HandleTurnPrompt(Client& client) {
  Data& d = client.data;
  const uint8_t seat_byte = client.net.Msg.Byte(packet_offset::kSeat) & 15;
  const bool own = seat_byte == (client.custom[0].SeatWind & 15);
  d.Countdown = d.BossKey ? 1 : client.net.Msg.Byte(kCountdownByte);
  if (own)
    PromptOwnSeat(client);
  else
    PlaceClockAtSeat(client, client.net.info.seat);
  StartTurnCountdown(client);
}

void HandleClaim(Client& client) {
  Data& d = client.data;
  const GameMessage& info = client.net.info;
  const int16_t operation = info.value[0];
  const std::array<TileCode, 3> tiles = {info.value[1], info.value[2], info.value[3]};
  if (IsKong(operation)) {
    d.KongDie = client.net.Msg.Byte(kKongDieByte);
    auto& images = client.main_form.MJ_Image;
    if (operation == kClaimKong && d.LastTileImage >= 0 && images.Exists(d.LastTileImage))
      images[d.LastTileImage].SetVisible(false);
    RollOneDie(client, d.KongDie);
  }
  if (d.WatchMode) return WatchApplyOperation(client, operation, info.seat, tiles);
  switch (operation) {
    case kClaimChow:
    case kClaimPung:
      CountSeen(client, tiles[0], 1);
      CountSeen(client, tiles[1], 1);
      break;
    case kClaimKong:
      CountSeen(client, tiles[2], 3);
      break;
    case kClaimAddedKong:
      CountSeen(client, tiles[2], 1);
      break;
    default:
      break;
  }
  ApplyOperation(client, operation, info.seat, tiles);
}

}  // namespace slvn
