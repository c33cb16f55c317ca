#include "shell/lobby_link.h"

#include "shell/client.h"
#include "shell/heartbeat_state.h"
#include "shell/leave_reset.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"
#include "shell/proxy.h"
#include "shell/resources/image_resource.h"
#include "ui/table_reset.h"

namespace slvn {

namespace {

bool IsBlank(const std::string& s) {
  return s.find_first_not_of(" \t") == std::string::npos;
}

// Restore or minimise. Whether the lobby window exists the bus knows at
// once; the command needs no answer, so a busy lobby is not taken for a gone
// one and nothing waits for it.
void SendSysCommand(Client& client, int64_t command) {
  if (IsBlank(client.data.LobbyTitle)) return;
  WindowHandle lobby = FindLobbyWindow(client);
  if (!lobby || !client.bus.PostMessage(lobby, {kWmSysCommand, command, 0})) EndProgram(client);
}

// Leaving the table on the lobby's request (0x303 and 0x400). The leave
// pauses; the caller marks the path so that a connect request arriving
// meanwhile runs once the answer is posted.
void LeaveAndReset(Client& client, bool clear_view) {
  if (client.Winsock1.State() == TcpSocket::kConnected) {
    client.heartbeat.Disable(kWatchdogSlot);
    LeaveTableAndStopVideo(client);
  }
  ResetClientState(client);
  if (clear_view) ResetTableView(client);
}

}  // namespace

void ConnectAndLogIn(Client& client) {
  client.net.ProxyReady = true;
  client.data.LoginPending = true;
  // A packet that a reconnect turned into command 28 is a login again.
  client.shell.LoginPacket.SetByte(packet_offset::kCommand + 1, 18);
  client.heartbeat.LoginOwed = true;
  const LaunchLine& line = client.shell.launch;
  if (line.ProxyType == 0) {
    ResetNetRings(client);
    if (client.Winsock1.State() != TcpSocket::kClosed) client.Winsock1.Close();
    client.Winsock1.Connect(line.GameServerHost, line.GameServerPort);
    client.main_form.TimerBong.SetEnabled(true);
    client.heartbeat.Enable(kLoginSlot);
  } else if (line.ProxyType == 5) {
    client.heartbeat.Disable(kLoginSlot);
    ConnectViaProxy(client);
  }
  // The start/continue button works again, showing "start"; no countdown.
  MainForm& f = client.main_form;
  client.data.AnNiuState[2] = false;
  if (f.AnNiu.Exists(2)) LoadGifResource(client, client.images.ButtonPics[4], "GIF", f.AnNiu[2]);
  f.Time_Img.SetVisible(false);
  f.Number.SetVisible(false);
}

void LeavePathStarted(Client& client) {
  ++client.shell.leave_depth;
}

void LeavePathFinished(Client& client) {
  if (client.shell.leave_depth > 0) --client.shell.leave_depth;
  if (client.shell.leave_depth == 0 && client.shell.connect_after_leave) {
    client.shell.connect_after_leave = false;
    ConnectAndLogIn(client);
  }
}

WindowHandle FindLobbyWindow(Client& client) {
  client.data.LobbyWindow = client.bus.FindWindow(client.data.LobbyTitle);
  return client.data.LobbyWindow;
}

void ReturnToLobby(Client& client) {
  SendSysCommand(client, kScRestore);
}

void MinimizeLobbyWindow(Client& client) {
  SendSysCommand(client, kScMinimize);
}

void PostToLobby(Client& client, uint32_t message) {
  if (WindowHandle lobby = FindLobbyWindow(client)) client.bus.PostMessage(lobby, {message, 0, 0});
}

void StartLobbyWatch(Client& client) {
  auto& watch = client.shell.lobby_watch;
  watch = std::make_unique<Timer>(client.loop, [&client] { LobbyWatch_Timer(client); });
  watch->SetInterval(2000);
  watch->SetEnabled(true);
}

void LobbyWatch_Timer(Client& client) {
  if (client.main_form.TimerBong.Enabled() || client.shell.in_tick) return;
  if (IsBlank(client.data.LobbyTitle)) return;  // no lobby to look for
  if (!FindLobbyWindow(client)) EndProgram(client);
}

int64_t LobbyWndProc(Client& client, const WindowMessage& message) {
  switch (message.msg) {
    case kLobbyHandRunning: {
      WindowHandle lobby = FindLobbyWindow(client);
      if (lobby)
        client.bus.PostMessage(lobby,
                               {client.data.HandRunning ? kLobbyHandRunning : kLobbyIdle, 0, 0});
      return 0;
    }
    case kLobbyGiveUpTable: {
      WindowHandle lobby = FindLobbyWindow(client);
      if (!lobby) return 0;
      if (client.data.LoginPending) {
        client.bus.PostMessage(lobby, {kLobbyLoginPending, 0, 0});
      } else if (client.data.HandRunning) {
        client.bus.PostMessage(lobby, {kLobbyHandRunning, 0, 0});
      } else {
        LeavePathStarted(client);
        LeaveAndReset(client, /*clear_view=*/true);
        client.bus.PostMessage(lobby, {kLobbyIdle, 0, 0});
        LeavePathFinished(client);
      }
      return 0;
    }
    case kLobbyIdle:
      LeavePathStarted(client);
      LeaveAndReset(client, /*clear_view=*/false);
      // The lobby gets the same answer as after 0x303, so it knows we left.
      PostToLobby(client, kLobbyIdle);
      LeavePathFinished(client);
      return 0;
    case kWmSysCommand:
      // As the window itself takes it: the lobby restores or minimises us.
      if (message.wparam == kScRestore) client.main_form.SetWindowState(kNormal);
      if (message.wparam == kScMinimize) client.main_form.SetWindowState(kMinimized);
      return 0;
    case kLobbyConnect:
      // A leave path that is pausing finishes first; otherwise its reset
      // would close the connection made here.
      if (client.shell.leave_depth > 0)
        client.shell.connect_after_leave = true;
      else
        ConnectAndLogIn(client);
      return 0;
    default:
      return 0;
  }
}

}  // namespace slvn
