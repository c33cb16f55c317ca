#include "dispatch/seating.h"

#include <algorithm>
#include <ctime>
#include <optional>
#include <string>

#include "chat/chat_state.h"
#include "dispatch/table_lifecycle.h"
#include "dispatch/user_detail.h"
#include "dispatch/user_detail_video.h"
#include "plugin/prop_bridge.h"
#include "shell/client.h"
#include "shell/countdowns.h"
#include "shell/general.h"
#include "shell/lobby_link.h"
#include "shell/program_end.h"
#include "shell/resources/image_resource.h"
#include "spectator/spectator.h"
#include "table/seat_records.h"
#include "ui/amount_text.h"
#include "ui/seat_draw.h"
#include "ui/table_reset.h"
#include "ui/wealth_badge.h"
#include "video/video_chat.h"

namespace slvn {

namespace {

namespace off = user_detail_offset;

constexpr uint8_t kOwnBeforeSeating = 15;
constexpr uint8_t kJoining = 0;
constexpr int kContinuePicture = 6;  // ButtonPics entry of "continue"
constexpr int kFullTable = 3;        // other players
constexpr int kAllDetails = 4;

// Where a user-details message goes.
struct DetailTarget {
  enum Kind { kOwnLogin, kSeated, kOwnSeat, kJoiner } kind;
  int seat = 0;
};

bool IsSeatBit(uint8_t seat) {
  return seat == 1 || seat == 2 || seat == 4 || seat == 8;
}

int FirstEmptySeat(const MainForm& f) {
  for (int i = 1; i <= 3; ++i)
    if (f.Nid.Exists(i) && f.Nid[i].Caption().empty()) return i;
  return -1;
}

// The display seat of the message; none for a message that would overwrite
// the own seat by mistake: an unknown seat byte, a joiner with no empty
// seat, or a seat bit that lands on seat 0 while the own seat is unknown.
std::optional<DetailTarget> TargetOf(Client& client, uint8_t seat) {
  const uint8_t own = client.custom[0].SeatWind;
  if (seat == kOwnBeforeSeating) return DetailTarget{DetailTarget::kOwnLogin, 0};
  if (seat == kJoining) {
    const int empty = FirstEmptySeat(client.main_form);
    if (empty < 0) return std::nullopt;
    return DetailTarget{DetailTarget::kJoiner, empty};
  }
  if (!IsSeatBit(seat)) return std::nullopt;
  if (seat == own) return DetailTarget{DetailTarget::kOwnSeat, 0};
  const int s = RelativeSeat(own, seat);
  if (s == 0) return std::nullopt;
  return DetailTarget{DetailTarget::kSeated, s};
}

void AllowOrLoadPlugin(Client& client) {
  PropState& prop = client.prop;
  if (client.net.Msg.Byte(off::kNoPlugin) != 0 || client.shell.launch.Prop_swicth != 1)
    prop.Prop_GameDllState = -1;
  else if (prop.Prop_GameDllState == 0)
    InitGameDll(client);
}

// A spectator keeps the first four messages; the fourth sets the table up
// and goes on as a seated player's. False: the handler ends here.
bool KeepWatchPacket(Client& client) {
  auto& slots = client.data.WatchPackets;
  auto free = std::find_if(slots.begin(), slots.end(), [](const auto& p) { return p[3] == 0; });
  if (free == slots.end()) return false;  // a fifth message: the table is set up already
  *free = client.net.Msg.bytes();
  if (free != slots.end() - 1) return false;
  SetupWatchTable(client);
  return true;
}

void TakeDownSeatChangeScreen(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  if (d.SeatChangePending || f.TimerShuffle.Enabled() || f.LblShuffle.Visible()) {
    f.TimerShuffle.SetEnabled(false);
    HideSeatChangeScreen(client);
    d.SeatChangePending = false;
    d.ShuffleShown = false;
  }
  f.WebBrowser2.SetVisible(false);
}

// The plug-in shows the player itself; a refusal shuts it down for the run.
bool TellPlugin(Client& client, int seat, uint8_t seat_bit) {
  const UserDetail& d = client.Detail[seat];
  const bool accepted =
      SetUserinfo(client, d.name, client.custom[seat].name, seat_bit, static_cast<int16_t>(seat),
                  d.credit != 0, d.sex, d.title, d.picture);
  if (!accepted) {
    ShutdownPropPlugin(client, 0);
    client.prop.Prop_GameDllState = -1;
  }
  return accepted && client.prop.Prop_GameDllState > 0;
}

void HideAvatar(Client& client, int seat) {
  ImageControl& avatar = client.main_form.Tou[seat];
  avatar.SetVisible(false);
  avatar.SetEnabled(false);
}

void ShowToPlugin(Client& client, int s) {
  if (client.Detail[s].ucoin <= 0 || !PropObject(client)) return;
  const uint8_t wind = client.custom[s].SeatWind;
  const bool shown_by_plugin =
      TellPlugin(client, s, wind != 0 ? wind : BitValue(static_cast<uint8_t>(s)));
  if (s > 0) HandOverVideoPanel(client, s);
  rec_state(client, 2, s == 0 ? !client.data.OwnCaptureOn : true, s);
  if (shown_by_plugin) HideAvatar(client, s);
}

bool OthersReady(const MainForm& f) {
  for (int i = 1; i <= 3; ++i)
    if (!f.OK.Exists(i) || !f.OK[i].Visible()) return false;
  return true;
}

void KeepWealth(Client& client, int s) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  d.WealthMultiplier = UserDetailWealth(client.net.Msg);
  f.lbfont[0].SetVisible(client.net.Msg.Byte(off::kLegend) != 0);
  if (d.WealthMultiplier != 0) {
    f.lbfont[1].SetVisible(true);
    f.lbfont[2].SetVisible(true);
    d.SeatWealth[s] = d.WealthMultiplier;
    RefreshWealthBadge(client);
  } else {
    f.Imgwealth.SetVisible(false);
    f.lbwealth.SetVisible(false);
  }
}

// The own seat bit again after seating: only the plug-in and the badge.
void UpdateOwnSeat(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  if (client.Detail[0].ucoin > 0 && PropObject(client) &&
      TellPlugin(client, 0, client.custom[0].SeatWind))
    HideAvatar(client, 0);
  d.WealthMultiplier = UserDetailWealth(client.net.Msg);
  const bool shown = d.WealthMultiplier != 0;
  if (shown) {
    d.SeatWealth[0] = d.WealthMultiplier;
    f.lbwealth.SetCaption(std::to_string(MinPositiveOfFour(d)));
  }
  f.lbwealth.SetVisible(shown);
  f.Imgwealth.SetVisible(shown);
}

// The four seated players known after the seat names: the wind draw, the
// compass and every seat's voice, once.
void CompleteSeating(Client& client) {
  Data& d = client.data;
  if (!d.SeatNamesSeen || d.SeatedDetailCount != kAllDetails) return;
  d.SeatNamesSeen = false;
  d.SeatedDetailCount = kAllDetails + 1;
  ShowSeatDraw(client, BitIndex(client.custom[0].SeatWind));
  ShowCompass(client);
  d.AnNiuState[5] = false;
  d.AnNiuState[6] = false;
  for (int i = 0; i < kSeatCount; ++i) {
    UserDetail& detail = client.Detail[i];
    if (detail.sex == 0 || detail.sex == 1) {
      detail.dialect = "00";
      detail.voice = "10";
    }
    d.SeatVoice[i] = detail.voice;
    detail.voiceKind = detail.sex == 0 ? 2 : 3;
  }
}

void SeatJoiner(Client& client, int s) {
  Data& d = client.data;
  client.custom[s].name = UserDetailAccount(client.net.Msg);
  PairJoiningPlayerVideo(client, s);
  ++d.OtherPlayerCount;
  if (d.OtherPlayerCount == kFullTable && d.HandsDealt == 0) {
    client.main_form.SetWindowState(kNormal);
    MinimizeLobbyWindow(client);
    client.main_form.Activate();
  }
}

// The leaver's name: one character per byte from byte 16 (always taken),
// the first one byte less when byte 8 says so.
std::optional<std::string> LeaverName(const GamePacket& msg) {
  const bool shifted = msg.Byte(8) == 1;
  const uint8_t first = msg.Byte(16);
  if (shifted && first == 0) return std::nullopt;
  std::string name(1, static_cast<char>(shifted ? first - 1 : first));
  return name + msg.ByteString(17, 15);
}

std::string LeaveLine(const std::string& name) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return name + "退出了游戏 " + std::to_string(local.tm_hour) + ":" + std::to_string(local.tm_min) +
         ":" + std::to_string(local.tm_sec);
}

void EmptySeat(Client& client, int i) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  d.OtherPlayerCount = static_cast<int16_t>(std::max(0, d.OtherPlayerCount - 1));
  d.TableCleared = false;
  const std::string line = LeaveLine(client.Detail[i].name);
  ClearVacatedSeat(client, i);
  SetSysmsgLine(client, 0, line);
  ClearSysmsgLine(client, 1);
  d.TableMateNames[i - 1].clear();
  HideSeatVideo(client, i);
  ClearUser(client, static_cast<int16_t>(i));
  if (d.WealthMultiplier != 0) {
    d.SeatWealth[i] = 0;
    RefreshWealthBadge(client);
  } else {
    f.Imgwealth.SetVisible(false);
    f.lbwealth.SetVisible(false);
  }
  HideSeatVideo(client, i);
  ClearUser(client, static_cast<int16_t>(i));
}

void WindUpTableGame(Client& client) {
  Data& d = client.data;
  d.TableGameOn = false;
  d.AnNiuState[2] = false;
  d.HandRunning = false;
  d.TableCleared = false;
  if (d.WatchMode) return;
  const bool ten = client.net.Msg.Byte(11) == 1;
  StartReadyCountdown(client, d.BossKey ? 1 : ten ? 10 : 15, NumberColour::kAsLeft);
}

}  // namespace

void ShowPlayer(Client& client, int s) {
  MainForm& f = client.main_form;
  const UserDetail& d = client.Detail[s];
  const int portrait = PortraitIndex(d.picture);
  LoadGifResource(client, client.images.AvatarPics[portrait], "GIF", f.Tou[s]);
  f.Nid[s].SetCaption("[" + d.title + "] " + d.name);
  f.Cash[s].SetCaption(FormatAmount(d.ucoin) + "金币");
  f.Level[s].SetCaption(d.grade);
  SetHeroSeat(client, s, d.name, portrait);
  client.data.ScoreNames[s] = {d.name, std::to_string(portrait)};
}

void HandleUserDetails(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  const GamePacket& msg = client.net.Msg;
  if (!TableLaidOut(f)) return;
  AllowOrLoadPlugin(client);
  client.net.info.seat &= 15;
  d.GameOver = false;
  if (d.WatchMode && !KeepWatchPacket(client)) return;
  TakeDownSeatChangeScreen(client);
  const std::optional<DetailTarget> target = TargetOf(client, client.net.info.seat);
  if (!target) return;
  if (d.SeatNamesSeen) ++d.SeatedDetailCount;
  const int s = target->seat;
  switch (target->kind) {
    case DetailTarget::kOwnLogin:
      d.AnNiuState[2] = false;
      break;
    case DetailTarget::kOwnSeat:
    case DetailTarget::kSeated:
      for (int i = 1; i <= 3; ++i) rec_state(client, 2, true, i);
      ResetPeerVideoPanels(client);
      if (target->kind == DetailTarget::kOwnSeat) {
        UpdateOwnSeat(client);
        return CompleteSeating(client);
      }
      break;
    case DetailTarget::kJoiner:
      SeatJoiner(client, s);
      break;
  }
  client.custom[s].name = UserDetailAccount(msg);
  if (s == 0) LoginOwnVideo(client);
  if (msg.Byte(off::kReady) == 1) {
    f.OK[s].SetVisible(true);
    f.OK[s].ZOrder(0);
  }
  ParseUserDetail(client.Detail[s], msg);
  ShowToPlugin(client, s);
  if (OthersReady(f) && d.HandsDealt != 0) {
    LoadGifResource(client, client.images.ButtonPics[kContinuePicture], "GIF", f.AnNiu[2]);
    d.AnNiuState[2] = true;
    ClearTableForNextHand(client);
  }
  ShowPlayer(client, s);
  if (d.OtherPlayerCount == kFullTable && !d.TableCleared) {
    ClearTableForNextHand(client);
    SetSysmsgLine(client, 0, "游戏将在15秒内开始");
  }
  KeepWealth(client, s);
  if (s == 0) EndUserDetailsVideo(client);
  CompleteSeating(client);
}

void HandleUserLeft(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  HideSeatChangeScreen(client);
  d.SeatChangePending = false;
  d.ShuffleShown = false;
  f.WebBrowser2.SetVisible(false);
  const std::optional<std::string> leaver = LeaverName(client.net.Msg);
  if (!leaver) return;
  const std::string& a = *leaver;
  if (a == client.custom[0].name) EndProgramInOrder(client);
  if (TableLaidOut(f))
    for (int i = 1; i <= 3; ++i)
      if (client.custom[i].name == a) EmptySeat(client, i);
  if (client.prop.Prop_GameDllState > 0 && d.HandsDealt != 0 && d.LeaveResetPending) {
    d.LeaveResetPending = false;
    for (int i = 1; i <= 3; ++i) {
      rec_state(client, 2, false, i);
      if (f.Tou.Exists(i)) f.Tou[i].SetVisible(true);
    }
    Ainit(client, "newcvp.xml");
  }
  for (PlayerHand& seat : client.custom) seat.SeatWind = 0;
  P2PSocket& link = *client.video.P2PSocket1;
  for (int k = 1; k <= 3; ++k)
    if (link.UserID(k) == a) link.DropUser(k);
  if (d.TableGameOn) WindUpTableGame(client);
  d.TableGameOn = true;
  if (!f.TimerKeepAlive.Enabled()) f.TimerKeepAlive.SetEnabled(true);
  if (d.WatchMode) {
    client.forms.MsgBox("有用户退出，旁观结束！", "");
    EndProgramInOrder(client);
  }
}

}  // namespace slvn
