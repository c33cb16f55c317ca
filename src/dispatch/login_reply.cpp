#include "dispatch/login_reply.h"
#include "chat/chat_state.h"
#include "plugin/prop_bridge.h"
#include "shell/client.h"
#include "shell/lobby_link.h"
#include "shell/program_end.h"

namespace slvn {

namespace {

namespace off = packet_offset;

constexpr size_t kTimeoutLimitByte = 9;
constexpr size_t kWebPageLength = 100;
constexpr size_t kReconnectAcceptedByte = 15;

void ShowSysmsg(Client& client, const char* text) {
  ClearSysmsgLine(client, 1);
  SetSysmsgLine(client, 0, text);
}

// A refused login: the lobby hears of it, the reason stays in the strip.
void RefuseLogin(Client& client, const char* reason) {
  PostToLobby(client, kLobbyConnect);
  ShowSysmsg(client, reason);
  ReturnToLobby(client);
  EndProgram(client);
}

}  // namespace

void HandleLoginReply(Client& client) {
  Data& d = client.data;
  HeartbeatState& hb = client.heartbeat;
  hb.HoldItem129 = false;
  hb.HoldItem386 = false;
  d.LeaveResetPending = false;
  hb.HeldItemPacket1.fill(0);
  hb.HeldItemPacket2.fill(0);
  d.HandEnding = false;
  d.HandsDealt = 0;
  d.RunningTotals.fill(0);
  client.main_form.TimerKeepAlive.SetEnabled(true);
  client.frmOtherExit.Unload();
  d.LoginPending = false;
  d.juNum = 0;

  const int outcome = client.net.info.value[3];
  if (outcome == 2) return RefuseLogin(client, "启动游戏失败，请重新在大厅就座后进入游戏！");
  if (outcome != 1) return RefuseLogin(client, "验证错误，请重新登陆游戏！");

  const uint8_t limit = client.net.Msg.Byte(kTimeoutLimitByte);
  d.TimeoutLimit = limit == 0 ? 3 : limit;
  d.LoggedIn = true;
  SetSysmsgLine(client, 0, "连接服务器成功！");
  SetSysmsgLine(client, 1, "欢迎进入Selvarin ");
  PostToLobby(client, kLobbyGiveUpTable);
  d.CountdownStart = static_cast<int16_t>(client.net.info.value[1] & 15);
  if (d.AutoPlayOn) d.CountdownStart = 1;
  d.g_bCanRecon = true;
  d.WebPage1 = client.net.Msg.ByteString(off::kPayload, kWebPageLength);
  if (d.WebPage1.empty()) return;
  d.ShufflePage = d.WebPage1 + ".gamead";
  WebBrowser& pane = client.main_form.WebBrowser1;
  pane.Navigate(d.WebPage1);
  pane.ZOrder(0);
  pane.SetVisible(true);
}

void HandleReconnectReply(Client& client) {
  Data& d = client.data;
  if (client.net.Msg.Byte(kReconnectAcceptedByte) == 1) {
    ShowSysmsg(client, "正在重连服务器，请等待...！");
    d.LoggedIn = true;
    d.Reconnected = true;
    client.heartbeat.LoginOwed = false;  // what was queued meanwhile goes now
    client.heartbeat.TickEnabled[kSendSlot] = true;
    if (client.prop.Prop_GameDllState > 0) rec_state(client, 3, true);
    return;
  }
  if (client.prop.Prop_GameDllState > 0) ShutdownPropPlugin(client, 0);
  client.forms.MsgBox("重连服务器失败，退出后请重新入座！", "");
  ReturnToLobby(client);
  EndProgram(client);
}

}  // namespace slvn
