#include "shell/startup.h"

#include <unistd.h>

#include "chat/chat_state.h"
#include "platform/program_folder.h"
#include "platform/screen.h"
#include "platform/text.h"
#include "plugin/prop_bridge.h"
#include "shell/client.h"
#include "shell/heartbeat.h"
#include "shell/lobby_link.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"
#include "shell/proxy.h"
#include "shell/resources/image_resource.h"
#include "shell/sound/sound.h"
#include "ui/layout_table.h"
#include "ui/main_form.h"
#include "ui/settings_dialog.h"
#include "video/video_chat.h"

namespace slvn {

namespace {

constexpr double kTwipsPerPixel = 15;
constexpr double kLargeWindowWidth = 15600;  // twips, with the painted frame
constexpr double kLargeWindowHeight = 11940;
constexpr int kLargeScreenWidth = 1024;  // pixels
constexpr int kLargeScreenHeight = 768;
constexpr float kSmallScaleX = 800.0f / 1024.0f;
constexpr float kSmallScaleY = 600.0f / 768.0f;
constexpr int kVideoPort = 8888;
constexpr int kVideoUsers = 3;
// The reserved bus name that only one running client can hold.
constexpr const char* kInstanceTitle = "slvn-client-instance";

void SizeWindowToScreen(Client& client) {
  const ScreenSize screen = ScreenSizePixels();
  MainForm& form = client.main_form;
  const bool tall = screen.height > kLargeScreenHeight;
  const bool wide = screen.width > kLargeScreenWidth;
  form.SetTop(0);
  form.SetLeft(0);
  form.SetHeight(tall ? kLargeWindowHeight : screen.height * kTwipsPerPixel);
  form.SetWidth(wide ? kLargeWindowWidth : screen.width * kTwipsPerPixel);
  if (tall || wide) PaintWindowSkin(client);
  PlaceTableArea(client, tall, wide);
  const bool large = screen.height >= kLargeScreenHeight && screen.width >= kLargeScreenWidth;
  client.data.ScaleX = large ? 1.0f : kSmallScaleX;
  client.data.ScaleY = large ? 1.0f : kSmallScaleY;
  if (large)
    PrepareFullLayout(client);
  else
    PrepareSmallLayout(client);
}

void ResetStartState(Client& client) {
  Data& d = client.data;
  SetStartValues(d);
  d.AutoPlayOn = false;
  d.HandEnding = false;
  d.WebPageFailed = false;
  HeartbeatState& hb = client.heartbeat;
  for (HeartbeatSlot slot : {kSendSlot, kReceiveSlot, kLoginSlot, kBlinkSlot, kWatchdogSlot,
                             kTurnCountdown, kReadyCountdown})
    hb.TickEnabled[slot] = false;
  hb.TickEnabled[8] = false;
  hb.TickCount[kWatchdogSlot] = 0;
  hb.TickCount[8] = 0;
  d.ClaimBubbleShown = false;
  d.LoginPending = false;
  client.sound.MusicOn = -1;
  client.sound.SoundOn = -1;
}

void StartSound(Client& client) {
  InitSoundFiles(client);
  if (client.sound.SoundOn != -1) return;
  InitSound(client);
  StopSound(client);
  PlaySoundFile(client, client.sound.SoundBank[1], /*looping=*/true);
  SetSoundVolume(client, 3000);
}

// A message box and the end, for a launch line start-up cannot use.
[[noreturn]] void RefuseToStart(Client& client, const std::string& text) {
  client.forms.MsgBox(text, "警告");
  EndProgram(client);
}

// The room caption: 10 points on the small layout, else its design 12;
// a caption longer than 10 characters 2 points smaller.
void ShowRoomCaption(Client& client, const std::string& caption) {
  Label& location = client.main_form.Location;
  double size = client.data.ScaleX < 1 ? 10 : 12;
  if (CharLength(caption) > 10) size -= 2;
  location.SetFontSize(size);
  location.SetCaption(caption);
}

void ReadLaunchLine(Client& client, const std::string& text) {
  if (text.empty()) RefuseToStart(client, "本游戏需从游戏大厅中启动！");
  LaunchLineResult parsed = ParseLaunchLine(text);
  if (!parsed.line) RefuseToStart(client, "启动参数错误：" + parsed.error);
  LaunchLine& line = *parsed.line;
  client.shell.launch = line;
  client.data.WatchMode = line.WatchMode;
  client.custom[0].name = line.LoginName;
  if (line.WatchMode) client.Detail[0].userid = line.WatchUserID;
  ShowRoomCaption(client, line.RoomCaption);
}

void ReadVideoSetting(Client& client) {
  const std::string folder = ProgramFolderOf(client);
  client.IniFile.INIFileName(folder + "/vidiosetting.ini");
  bool on = true;
  if (Is_File_Exist(folder, "vidiosetting.ini")) {
    const std::string value = client.IniFile.GetIniKey("vidiosetting", "vidiovalue");
    on = std::atoi(value.c_str()) != 0;
  } else {
    client.IniFile.WriteIniKey("vidiosetting", "vidiovalue", "1");
  }
  client.data.VideoSetting = on;
  client.data.VideoServerSet = on;
  if (!on) return;
  P2PSocket& link = *client.video.P2PSocket1;
  link.ServerAddress = client.shell.launch.GameServerHost;
  link.ServerPort = kVideoPort;
  link.UserCount = kVideoUsers;
}

void Connect(Client& client) {
  const LaunchLine& line = client.shell.launch;
  HeartbeatState& hb = client.heartbeat;
  hb.LoginOwed = true;
  switch (line.ProxyType) {
    case 0:
      client.Winsock1.Connect(line.GameServerHost, line.GameServerPort);
      client.main_form.TimerBong.SetEnabled(true);
      hb.Enable(kLoginSlot);
      break;
    case 5:
      hb.Disable(kLoginSlot);
      ConnectViaProxy(client);
      break;
    default:
      break;  // no connection is made
  }
}

void SetCaptions(Client& client) {
  const LaunchLine& line = client.shell.launch;
  if (line.UseLobbyCaption) {
    client.main_form.SetCaption(line.WindowCaption);
    client.data.CountdownStart = 15;
    client.data.LobbyTitle = line.LobbyTitle;
  } else {
    client.data.LobbyTitle = "Corvald山庄";
  }
}

// Our main window takes the lobby's messages from here on.
void HookLobbyMessages(Client& client) {
  client.shell.main_window_bus = std::make_unique<BusWindow>(
      client.loop, client.bus, ClientWindowTitle(getpid()),
      [&client](const WindowMessage& m) { return LobbyWndProc(client, m); });
  StartLobbyWatch(client);
}

}  // namespace

std::string ProgramFolderOf(Client& client) {
  std::string& folder = client.sound.program_folder;
  if (folder.empty()) folder = ProgramFolder();
  return folder;
}

void Form_Load(Client& client, const std::string& launch_line) {
  ResetNetRings(client);
  client.shell.instance_lock =
      std::make_unique<BusWindow>(client.loop, client.bus, kInstanceTitle, nullptr);
  if (!client.shell.instance_lock->Listening()) {
    client.forms.MsgBox("Tumbra(一赖到底)游戏已经运行！", "警告");
    ReturnToLobby(client);
    EndProgram(client);
  }
  ResetStartState(client);
  client.main_form.OnResize = [&client] { Form_Resize(client); };
  client.main_form.OnClose = [&client] { Form_Unload(client); };
  LoadMainFormDesign(client);
  SizeWindowToScreen(client);
  StartSound(client);
  InitImageTables(client);
  LayoutTable(client);
  ReadLaunchLine(client, launch_line);
  ReadVideoSetting(client);
  SetSysmsgLine(client, 0, "正在连接服务器...");
  client.main_form.TimerBong.SetEnabled(false);
  client.net.ProxyReady = true;
  client.shell.LoginPacket =
      GamePacket(BuildLoginPacket(client.shell.launch.LoginName, client.shell.launch.LoginString2));
  Connect(client);
  SetCaptions(client);
  ReturnToLobby(client);
  client.main_form.Show();
  LayoutTableWidgets(client);
  client.custom[0].SeatWind = 0;
  client.data.Reconnected = false;
  client.data.GameOver = false;
  HookLobbyMessages(client);
}

void Form_Resize(Client& client) {
  MainForm& form = client.main_form;
  if (form.WindowState() == kMinimized) return;
  client.shell.timeoutnum = 0;
  form.SetTopmost(true);
  form.SetTopmost(false);
  client.data.CountdownStart = 8;
  client.data.BossKey = false;
  client.main_form.SetFocus(&client.main_form.Chat);
  MinimizeLobbyWindow(client);
  if (client.prop.Prop_GameDllState > 0) FixBuffPos(client);
}

void Form_Unload(Client& client) {
  client.shell.main_window_bus.reset();
  if (client.sound.MusicOn) StopMusic(client);
  if (client.sound.SoundOn) StopSound(client);
  client.video.P2PSocket1->LogoutServer();
  client.data.VideoLoggedIn = false;
  if (client.data.OwnCaptureOn) {
    client.video.vcap1->StopCapture();
    client.video.vcap1->CloseDevice();
  }
  UnloadVideoZoomWindows(client);
  if (client.prop.Prop_GameDllState > 0) ShutdownPropPlugin(client, 1);
  for (Form* form : std::vector<Form*>(client.forms.LoadedForms())) form->Unload();
  EndProgram(client);
}

}  // namespace slvn
