#include "shell/reconnect.h"

#include "chat/chat_state.h"
#include "shell/client.h"
#include "shell/heartbeat_state.h"
#include "shell/lobby_link.h"
#include "shell/program_end.h"
#include "shell/proxy.h"

namespace slvn {

namespace {

namespace off = packet_offset;

constexpr int kCountdownMs = 1000;
constexpr int kAttemptMs = 3000;
constexpr int16_t kMaxAttempts = 21;
constexpr int kDialogAlpha = 200;
constexpr uint8_t kReconnectCommand = 28;

}  // namespace

ReconnectForm::ReconnectForm(Client& client)
    : Form(client.forms), TimerReconnect(client.loop), TimerCount(client.loop) {
  TimerReconnect.SetInterval(kCountdownMs);
  TimerCount.SetInterval(kAttemptMs);
  TimerReconnect.SetHandler([&client] { TimerReconnect_Timer(client); });
  TimerCount.SetHandler([&client] { TimerCount_Timer(client); });
  OnLoad = [&client] { frmReconnect_Form_Load(client); };
  OnUnload = [this] {
    TimerReconnect.SetEnabled(false);
    TimerCount.SetEnabled(false);
  };
}

void LoadReconnectForm(Client& client) {
  if (!client.frmReconnect) client.frmReconnect = std::make_unique<ReconnectForm>(client);
  client.frmReconnect->Load();
}

void frmReconnect_Form_Load(Client& client) {
  ReconnectForm& form = *client.frmReconnect;
  form.SetAlpha(kDialogAlpha);
  form.ReconnectAttempts = 0;
  form.ReconnectCountdown = 1;
  form.TimerReconnect.SetEnabled(true);
  form.TimerCount.SetEnabled(false);
}

void TimerReconnect_Timer(Client& client) {
  ReconnectForm& form = *client.frmReconnect;
  if (--form.ReconnectCountdown > 0) return;
  form.TimerReconnect.SetEnabled(false);
  form.ReconnectCountdown = 1;
  form.TimerCount.SetEnabled(true);
  form.Hide();
}

void TimerCount_Timer(Client& client) {
  ReconnectForm& form = *client.frmReconnect;
  if (client.Winsock1.State() == TcpSocket::kConnected) {
    form.TimerCount.SetEnabled(false);
    form.Unload();
    return;
  }
  if (form.ReconnectAttempts < kMaxAttempts) {
    ++form.ReconnectAttempts;
    Reconnect(client, client.shell.LoginPacket);
    return;
  }
  form.TimerCount.SetEnabled(false);
  client.forms.MsgBox("重连失败，请检查您的网络！", "");
  ReturnToLobby(client);
  EndProgram(client);
}

void Reconnect(Client& client, GamePacket& packet) {
  ClearSysmsgLine(client, 1);
  SetSysmsgLine(client, 0, "正在重新连接服务器...");
  packet.SetByte(off::kCommand + 1, kReconnectCommand);
  packet.SetByte(off::kEchoToken, client.net.EchoToken[0]);
  packet.SetByte(off::kEchoToken + 1, client.net.EchoToken[1]);
  packet.SetU32LE(off::kReconnectId, client.net.ReconnectId);
  client.net.ProxyReady = true;
  client.Winsock1.Close();
  client.heartbeat.LoginOwed = true;
  const LaunchLine& line = client.shell.launch;
  if (line.ProxyType == 0) {
    client.Winsock1.Connect(line.GameServerHost, line.GameServerPort);
    client.heartbeat.Enable(kLoginSlot);
  } else if (line.ProxyType == 5) {
    client.heartbeat.Disable(kLoginSlot);
    ConnectViaProxy(client);
  }
}

}  // namespace slvn
