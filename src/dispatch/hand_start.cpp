#include "dispatch/hand_start.h"

#include <algorithm>
#include <array>
#include <string>

#include "plugin/item_bar.h"
#include "shell/client.h"
#include "shell/general.h"
#include "shell/lobby_link.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"
#include "table/float_bet.h"
#include "table/seat_records.h"
#include "table/tile_code.h"
#include "ui/table_reset.h"
#include "ui/wall_dice.h"
#include "video/video_chat.h"

namespace slvn {

namespace {

constexpr uint32_t kGreen = 0xFF00;
constexpr size_t kDiceDoublingByte = 16;

// An item packet parked at the end of the last hand goes out now, unless
// the hold is armed again.
void SendParkedItemPacket(Client& client, std::array<uint8_t, 272>& parked, bool hold) {
  if (parked[3] == 0 || hold) return;
  parked[6] = client.custom[0].SeatWind;
  GamePacket packet(parked);
  QueuePacket(client, packet);
  parked[3] = 0;
}

void ShowDiceBadges(Client& client, int16_t d1, int16_t d2) {
  MainForm& f = client.main_form;
  client.data.DiceDoubling = client.net.Msg.Byte(kDiceDoublingByte);
  const bool doubling = client.data.DiceDoubling != 0;
  for (int i = 0; i <= 2; ++i) {
    f.lbfont[i].SetVisible(false);
    if (!doubling) f.lbfont[i].ZOrder(0);
  }
  f.lblDifen.SetVisible(doubling);
  f.imgBeishu.SetVisible(doubling);
  f.imgsezi[0].SetVisible(doubling);
  f.imgsezi[1].SetVisible(doubling);
  if (!doubling) return;
  f.lblDifen.SetCaption(std::to_string(d1 + d2));
  LoadGifResource(client, client.images.SmallDicePics[d1 - 1], "GIF", f.imgsezi[0]);
  LoadGifResource(client, client.images.SmallDicePics[d2 - 1], "GIF", f.imgsezi[1]);
}

void ShowWealthBadge(Client& client) {
  MainForm& f = client.main_form;
  const bool wealth = client.data.WealthMultiplier != 0;
  if (wealth) client.data.WealthCaption = f.lbwealth.Caption();
  f.Imgwealth.SetVisible(wealth);
  f.lbwealth.SetVisible(wealth);
}

void ResetClaimButtons(Client& client) {
  auto& buttons = client.main_form.Operation;
  for (int i = 0; i <= 4; ++i) {
    if (!buttons.Exists(i)) continue;
    buttons[i].SetVisible(false);
    buttons[i].SetEnabled(false);
    LoadGifResource(client, client.images.ClaimButtonPics[3 * i], "GIF", buttons[i]);
  }
}

// Another seat's float bet in its speech bubble, for a second.
void ShowBetBubble(Client& client, int s, int16_t bet) {
  MainForm& f = client.main_form;
  if (!PlaceSeatBubble(client, s)) return;
  ImageControl& bubble = f.Speak[s - 1];
  // Only the four bets have a caption; another value shows an empty bubble.
  if (LoadGifResource(client, 420 + bet, "GIF", f.Words) == 0) f.Words.SetPicture(Picture{});
  bubble.SetVisible(true);
  bubble.ZOrder(0);
  f.Words.SetVisible(true);
  f.Words.ZOrder(0);
  WaitSeconds(client, 1.0f);
  bubble.SetVisible(false);
  f.Words.SetVisible(false);
}

void OpenFloatBets(Client& client) {
  MainForm& f = client.main_form;
  Data& d = client.data;
  f.img_piaoKuang.SetVisible(true);
  f.img_piaoKuang.ZOrder(0);
  for (int i = 0; i <= 3; ++i) {
    Label& name = f.lbl_playerName[i];
    name.SetCaption(client.Detail[i].name);
    name.ZOrder(0);
    name.SetVisible(true);
  }
  d.PiaoCountdownOn = true;
  ShowPiaoOptions(client);
  d.PiaoChoicePending = true;
  d.Countdown = d.BossKey ? 1 : 5;
  f.Number.SetCaption(std::to_string(d.Countdown));
  f.Number.SetForeColor(kGreen);
  f.Number.SetVisible(true);
  f.Time_Img.SetVisible(true);
  f.Time_Img.ZOrder(0);
  f.Number.ZOrder(0);
}

}  // namespace

bool PlaceSeatBubble(Client& client, int s) {
  MainForm& f = client.main_form;
  const float sx = client.data.ScaleX, sy = client.data.ScaleY;
  if (s < 1 || s > 3 || !f.Speak.Exists(s - 1)) return false;
  ImageControl& bubble = f.Speak[s - 1];
  if (s == 1) {
    bubble.Move(8 * sx, 280 * sy);
  } else if (s == 2 && f.Tou.Exists(2)) {
    bubble.Move(f.Tou[2].Left() + 0.8 * f.Tou[2].Width(), 140);
  } else if (s == 3) {
    bubble.Move(936 * sx, 280 * sy);
  }
  f.Words.Move(bubble.Left() + 0.17 * bubble.Width(), bubble.Top() + 0.24 * bubble.Height());
  return true;
}

int16_t WallHeadFromDice(int16_t d1, int16_t d2, int dealer_seat) {
  const int m = (d1 + d2 - 1) % 4;
  int h = WallPosition(2 * (std::max(d1, d2) + 15 * m));
  constexpr int kSideShift[] = {0, 30, 60, -30};
  if (dealer_seat >= 0 && dealer_seat < kSeatCount) h = WallPosition(h + kSideShift[dealer_seat]);
  return static_cast<int16_t>(h);
}

void HandleNewHand(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  HeartbeatState& hb = client.heartbeat;
  LoginVideoServer(client);
  StartLocalVideo(client);
  SendParkedItemPacket(client, hb.HeldItemPacket1, hb.HoldItem129);
  SendParkedItemPacket(client, hb.HeldItemPacket2, hb.HoldItem386);
  hb.HoldItem129 = false;
  d.HandEnding = false;
  d.HandsDealt = 1;
  d.ReseatRequested = false;
  d.LeaveResetPending = true;
  if (client.frmExit.Visible()) client.frmExit.Unload();
  d.GameOver = false;
  if (d.WatchMode) ClearTableForNextHand(client);
  hb.Enable(kBlinkSlot);
  d.HandRecordPending = true;
  d.HandRunning = true;
  for (int i = 0; i <= 3; ++i)
    if (f.OK.Exists(i)) f.OK[i].SetVisible(false);
  ++d.juNum;
  ResetTableView(client);
  const int leaves = client.shell.table_leaves;
  BuildWall(client);
  // The lobby may have taken us off the table during the animation: the
  // seats are gone and the lobby's next connect request starts afresh.
  if (client.shell.table_leaves != leaves) return;
  const uint8_t dealer_bit = client.net.info.seat;
  int dealer = -1;
  for (int i = 0; i < kSeatCount && dealer < 0; ++i)
    if (client.custom[i].SeatWind == dealer_bit) dealer = i;
  if (dealer < 0) {
    client.forms.MsgBox("有玩家退出，游戏结束！", "");
    ReturnToLobby(client);
    EndProgram(client);
  }
  client.custom[dealer].Dealer = -1;
  std::array<int16_t, 4> dice = client.net.info.value;
  RollTwoDice(client, dice);
  if (client.shell.table_leaves != leaves) return;
  d.WallHead = WallHeadFromDice(dice[0], dice[1], dealer);
  d.WallTail = WallPosition(d.WallHead + 118);
  ShowDiceBadges(client, dice[0], dice[1]);
  ShowWealthBadge(client);
  f.ZhiNan.SetVisible(true);
  f.Host.SetVisible(true);
  f.Zhuang.SetVisible(true);
  f.Zhuang.ZOrder(0);
  for (auto& suit : d.SeenCnt) suit.fill(0);
  ResetClaimButtons(client);
}

void HandlePiao(Client& client) {
  const GameMessage& info = client.net.info;
  if (client.custom[0].ConcealedCount == 0 && client.prop.Prop_GameDllState > 0)
    ClearItemBar(client);
  const int s = info.seat & 3;
  if (info.value[1] == 1) return OpenFloatBets(client);
  if (info.value[1] != 2) return;
  Label& bet = client.main_form.lbl_piaoNum[s];
  bet.SetCaption(std::to_string(info.value[3]));
  bet.SetVisible(true);
  bet.ZOrder(0);
  if (s != 0) ShowBetBubble(client, s, info.value[3]);
}

void HandleFaceUpTile(Client& client) {
  client.data.FaceUpTile = client.net.info.value[3];
  client.data.WildTile = 255;
}

}  // namespace slvn
