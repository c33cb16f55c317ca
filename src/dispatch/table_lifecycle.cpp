#include "dispatch/table_lifecycle.h"

#include <algorithm>
#include <array>
#include <climits>
#include <ctime>

#include "chat/chat_state.h"
#include "platform/text.h"
#include "plugin/prop_bridge.h"
#include "settlement/record_boards.h"
#include "shell/client.h"
#include "shell/general.h"
#include "shell/heartbeat.h"
#include "shell/leave_reset.h"
#include "shell/lobby_link.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"
#include "shell/resources/image_resource.h"
#include "table/seat_records.h"
#include "ui/table_reset.h"
#include "ui/wealth_badge.h"
#include "video/video_chat.h"

namespace slvn {

namespace {

constexpr size_t kReadyName = 16;  // command 23: the account name, single-byte characters
constexpr size_t kReadyNameLength = 16;

// The dealer caption by the dealer's seat bit index.
constexpr std::array<const char*, 4> kWindNames = {"北", "西", "南", "东"};

// Low byte of data word 1: the random reseat (seat freed), a seat mask (out of coins).
constexpr size_t kWordOneLow = 11;
constexpr size_t kWealthValue = 16;  // seat freed: 32-bit, least significant byte first
constexpr size_t kKickText = 16;     // forced exit: code page 936 text up to byte 215
constexpr size_t kKickTextEnd = 216;
constexpr const char* kWatchOver = "有用户退出，旁观结束！";

void HideSeatChangeWidgets(MainForm& f) {
  f.ImgShuffle.SetVisible(false);
  f.LblShuffle.SetVisible(false);
  f.WebBrowser2.SetVisible(false);
}

// One player fewer at the table; the count never goes below 0.
void CountOneLess(Data& d) {
  d.OtherPlayerCount = static_cast<int16_t>(std::max(0, d.OtherPlayerCount - 1));
}

// A wealth value that does not fit a signed 32-bit number counts as the
// largest that does, as in the user details.
int32_t ClampedWealth(uint32_t value) {
  return value > static_cast<uint32_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(value);
}

std::string ClockTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return std::to_string(local.tm_hour) + ":" + std::to_string(local.tm_min) + ":" +
         std::to_string(local.tm_sec);
}

// The countdown, the seat-change notice and the web pane below it, placed
// for the seat-change screen.
void PlaceSeatChangeWidgets(Client& client) {
  MainForm& f = client.main_form;
  const double sx = client.data.ScaleX, sy = client.data.ScaleY;
  f.Time_Img.Move(f.Imgwealth.Left(), f.Imgwealth.Top() + 200 * sy);
  f.Number.Move(f.Time_Img.Left() + 48 * sx, f.Time_Img.Top() + 5 * sy);
  f.ImgShuffle.Move(136 * sx, 520 * sy);
  f.LblShuffle.Move(f.ImgShuffle.Left(), f.ImgShuffle.Top() + 6 * sy);
}

void PlaceShufflePage(MainForm& f) {
  const ImageControl& notice = f.ImgShuffle;
  f.WebBrowser2.Move(notice.Left(), notice.Top() + notice.Height(), notice.Width(),
                     2 * notice.Height());
}

// The forced exit's text: a byte of 0x80 or more starts a two-byte
// character, which may take its second byte from just past the field.
std::string KickText(const GamePacket& msg) {
  std::string bytes;
  size_t i = kKickText;
  while (i < kKickTextEnd && msg.Byte(i) != 0) {
    const size_t step = msg.Byte(i) < 0x80 ? 1 : 2;
    for (size_t k = 0; k < step; ++k) bytes.push_back(static_cast<char>(msg.Byte(i + k)));
    i += step;
  }
  return Gb2312ToUtf8(bytes);
}

// The badge after the own seat ran out of coins: the smallest value left,
// in this message's own font sizes, in its place.
void ShowWealthLeft(Client& client) {
  MainForm& f = client.main_form;
  const int32_t value = MinPositiveOfFour(client.data);
  f.lbwealth.SetCaption(std::to_string(value));
  const bool full = client.data.ScaleX >= 1.0f;
  f.lbwealth.SetFontSize(value < 100 ? (full ? 16 : 15) : (full ? 12 : 11));
  f.Imgwealth.SetVisible(true);
  f.lbwealth.SetVisible(true);
}

// The own seat is out of coins: the connection and every other seat go.
void LeaveWithoutCoins(Client& client, const std::string& names) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  HeartbeatState& hb = client.heartbeat;
  PropState& prop = client.prop;
  d.GameOver = true;
  const bool other_room = (client.net.Msg.Byte(kWordOneLow) & client.custom[0].SeatWind) != 0;
  const std::string prefix = names.empty() ? "" : "玩家" + names;
  ShowExitNotice(client,
                 prefix + (other_room ? "您的金币不够，请更换房间或充值后继续游戏！"
                                      : "您的金币不够，请领取低保或充值后继续游戏！"),
                 NoticeArea::kMainWindow);
  if (prop.SheetHandOver == 1)
    prop.PluginShutdownPending = true;  // the sheet waits for the plug-in: it shuts it down then
  else if (prop.Prop_GameDllState > 0)
    ShutdownPropPlugin(client, 0);
  if (f.Tou.Exists(0)) f.Tou[0].SetVisible(true);
  hb.TickEnabled[kLoginSlot] = false;
  d.g_bCanRecon = false;
  hb.TickEnabled[kWatchdogSlot] = false;
  StopHeartbeat(client);
  client.Winsock1.Close();
  hb.TickEnabled[kReadyCountdown] = false;
  for (int i = 1; i <= 3; ++i) {
    CountOneLess(d);
    d.TableCleared = false;
    ClearVacatedSeat(client, i);
    d.TableMateNames[i - 1].clear();
    ClearUser(client, static_cast<int16_t>(i));
    if (d.WealthMultiplier != 0) {
      d.SeatWealth[i] = 0;
      ShowWealthLeft(client);
    } else {
      f.Imgwealth.SetVisible(false);
      f.lbwealth.SetVisible(false);
    }
    HideSeatVideo(client, i);
    d.LastFrame[i].clear();
  }
  LeaveTableAndStopVideo(client);
}

}  // namespace

void HandleGameStart(Client& client) {
  Net& net = client.net;
  Data& d = client.data;
  MainForm& f = client.main_form;
  net.info.seat &= 15;
  const uint8_t dealer = net.info.seat;
  f.Zhuang.SetCaption(kWindNames[BitIndex(dealer) & 3]);
  for (PlayerHand& seat : client.custom) {
    if (seat.SeatWind != dealer) continue;
    seat.Dealer = -1;
    break;
  }
  if (f.WindowState() != kNormal && !d.BossKey) {
    f.SetWindowState(kNormal);
    MinimizeLobbyWindow(client);
    f.Activate();
  }
  for (int i = 1; i <= 3; ++i) d.TableMateNames[i - 1] = client.custom[i].name;
  // Kept as the four bytes came: the reconnect packet returns them unchanged.
  net.ReconnectId = net.Msg.U32LE(packet_offset::kReconnectId);
  HideSeatChangeWidgets(f);
  d.TableGameOn = true;
}

void HandleSeatFreed(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  const GamePacket& msg = client.net.Msg;
  const bool show_now = client.net.info.value[2] == 1;
  if (d.TableGameOn) {
    d.TableGameOn = false;
    d.HandRunning = false;
    if (!d.WatchMode) {
      if (msg.Byte(kWordOneLow) == 1) d.ReseatRequested = true;
      PlaceSeatChangeWidgets(client);
      d.SeatChangePending = true;
      PlaceShufflePage(f);
      if (show_now) ShowSeatChangeScreen(client);
    }
  }
  if (show_now) return;
  if (d.WealthMultiplier == 0) {
    f.Imgwealth.SetVisible(false);
    f.lbwealth.SetVisible(false);
    return;
  }
  d.WealthMultiplier = ClampedWealth(msg.U32LE(kWealthValue));
  RefreshWealthBadge(client, d.WealthMultiplier);
}

void HandleQuit(Client& client) {
  Data& d = client.data;
  const uint8_t present = client.net.Msg.Byte(packet_offset::kSeat) & 15;
  if (present == 15) return;
  const uint8_t leavers = 15 - present;
  const uint8_t own = client.custom[0].SeatWind;
  client.heartbeat.TickEnabled[kReadyCountdown] = false;
  d.HandRunning = false;
  // The highest leaver's bit decides whether the own seat is the one going.
  if (RelativeSeat(own, leavers) == 0) {
    if (client.prop.Prop_GameDllState > 0) ShutdownPropPlugin(client, 0);
    EndProgramInOrder(client);
  }
  d.TableCleared = false;
  std::string names;
  for (uint8_t bit : {1, 2, 4, 8}) {
    if ((leavers & bit) == 0) continue;
    names += client.Detail[RelativeSeat(own, bit)].name + ",";
    CountOneLess(d);
  }
  for (int i = 1; i <= 3; ++i) ClearVacatedSeat(client, i);
  ClearSysmsgLine(client, 1);
  SetSysmsgLine(client, 0, names + "退出了游戏！ " + ClockTime());
  SetSysmsgLine(client, 1, names + "请退出重新开始游戏.");
  ShowHeroBoard(client);
  ShowExitNotice(client, "玩家" + names + "退出了游戏！游戏结束！", NoticeArea::kTable);
  client.Winsock1.Close();
  LeaveTableAndStopVideo(client);
  if (!d.WatchMode) return;
  client.forms.MsgBox(kWatchOver, "");
  EndProgramInOrder(client);
}

void HandleOutOfCoins(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  d.juNum = 0;
  d.HandRunning = false;
  f.LblShuffle.SetVisible(false);
  f.ImgShuffle.SetVisible(false);
  d.SeatChangePending = false;
  d.ShuffleShown = false;
  f.WebBrowser2.SetVisible(false);
  const uint8_t own = client.custom[0].SeatWind;
  const uint8_t out = ~client.net.Msg.Byte(packet_offset::kSeat) & 15;
  std::string names;
  for (uint8_t i = 0; i < 4; ++i) {
    const uint8_t bit = BitValue(i);
    if ((out & bit) != 0 && bit != own) names += client.Detail[RelativeSeat(own, bit)].name + "，";
  }
  if (!names.empty()) names.resize(names.size() - std::string_view("，").size());
  std::string own_name;
  if ((out & own) != 0) own_name = (names.empty() ? "" : "，") + client.custom[0].name;
  SetSysmsgLine(client, 0, "玩家" + names + own_name + "金币不够，退出游戏！");
  client.heartbeat.TickEnabled[kReadyCountdown] = false;
  ShowScoreBoard(client);
  if (!own_name.empty()) LeaveWithoutCoins(client, names);
  client.heartbeat.TickEnabled[kReadyCountdown] = false;
  d.HandRunning = false;
  d.TableCleared = false;
  if (!d.WatchMode) return;
  client.forms.MsgBox(kWatchOver, "");
  EndProgramInOrder(client);
}

void HandleForcedExit(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  HeartbeatState& hb = client.heartbeat;
  hb.TickEnabled[kWatchdogSlot] = false;
  hb.TickEnabled[kReadyCountdown] = false;
  d.HandRunning = false;
  SleepSeconds(client, 2);
  // Closed first, so leaving sends no leave packet.
  client.Winsock1.Close();
  const std::string text = KickText(client.net.Msg);
  for (int i = 0; i < kSeatCount; ++i)
    if (f.Tou.Exists(i)) f.Tou[i].SetPicture(nullptr);
  for (int i = 1; i <= 3; ++i) HideSeatVideo(client, i);
  ShowExitNotice(client, text, NoticeArea::kMainWindow);
  LeaveTableAndStopVideo(client);
  hb.TickEnabled[kReadyCountdown] = false;
  hb.TickEnabled[kWatchdogSlot] = false;
  hb.TickCount[kWatchdogSlot] = 0;
  d.HandRunning = false;
  d.GameOver = true;
  d.TableCleared = false;
}

void HandleReadyState(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  const std::string name = client.net.Msg.ByteString(kReadyName, kReadyNameLength);
  if (client.net.info.value[3] == 1) {
    for (int i = 0; i < kSeatCount; ++i) {
      if (client.custom[i].name != name || !f.Nid.Exists(i) || f.Nid[i].Caption().empty()) continue;
      if (!f.OK.Exists(i)) continue;
      f.OK[i].SetVisible(true);
      f.OK[i].ZOrder(0);
    }
  }
  for (int i = 1; i <= 3; ++i)
    if (!f.OK.Exists(i) || !f.OK[i].Visible()) return;
  if (d.HandsDealt <= 0) return;
  if (f.AnNiu.Exists(2)) LoadGifResource(client, client.images.ButtonPics[6], "GIF", f.AnNiu[2]);
  d.AnNiuState[2] = true;
  ClearTableForNextHand(client);
}

void ShowSeatChangeScreen(Client& client) {
  MainForm& f = client.main_form;
  f.ImgShuffle.SetVisible(true);
  f.ImgShuffle.ZOrder(0);
  f.LblShuffle.SetVisible(true);
  f.LblShuffle.ZOrder(0);
  f.LblShuffle.SetCaption(client.data.SeatWaitText[0]);
  f.TimerShuffle.SetInterval(300);
  f.TimerShuffle.SetEnabled(true);
  client.data.ShuffleShown = true;
  f.WebBrowser2.Navigate(client.data.ShufflePage);
  f.WebBrowser2.ZOrder(0);
  f.WebBrowser2.SetVisible(true);
}

void ClearVacatedSeat(Client& client, int i) {
  if (i < 1 || i >= kSeatCount) return;
  MainForm& f = client.main_form;
  if (f.OK.Exists(i)) f.OK[i].SetVisible(false);
  if (f.Tou.Exists(i)) f.Tou[i].SetPicture(nullptr);
  for (auto* labels : {&f.Nid, &f.Cash, &f.Level})
    if (labels->Exists(i)) (*labels)[i].SetCaption("");
  ClearSysmsgLine(client, 0);
  client.custom[i].name.clear();
  ClearTableFields(client.Detail[i]);
}

void ShowExitNotice(Client& client, const std::string& text, NoticeArea area) {
  OtherExitDialog& dialog = client.frmOtherExit;
  const MainForm& main = client.main_form;
  dialog.Load();
  dialog.Label1.SetCaption(text);
  dialog.SetTopmost(true);
  // Over the table it takes the table's size from the window's own corner.
  const bool table = area == NoticeArea::kTable;
  const double width = table ? main.Pic1.Width() : main.Width();
  const double height = table ? main.Pic1.Height() : main.Height();
  dialog.SetLeft(main.Left() + (width - dialog.Width()) / 2);
  dialog.SetTop(main.Top() + (height - dialog.Height()) / 2);
  dialog.Show();
}

}  // namespace slvn
