#include "shell/leave_reset.h"

#include <filesystem>

#include "chat/chat_state.h"
#include "plugin/prop_bridge.h"
#include "settlement/record_boards.h"
#include "shell/client.h"
#include "shell/countdowns.h"
#include "shell/general.h"
#include "shell/heartbeat.h"
#include "shell/startup.h"
#include "video/video_chat.h"

namespace slvn {

namespace {

constexpr float kLeavePause = 0.4f;
constexpr float kLeavePauseAfterReconnect = 0.8f;

// Command 16 with the own seat bit and every other byte 0, no echo token.
GamePacket LeavePacket(const Client& client) {
  GamePacket packet;
  packet.SetByte(packet_offset::kCommand + 1, Cmd_Ready);
  packet.SetByte(packet_offset::kSeat, client.custom[0].SeatWind);
  return packet;
}

void SwitchSlotsOff(Client& client) {
  HeartbeatState& hb = client.heartbeat;
  for (HeartbeatSlot slot : {kSendSlot, kReceiveSlot, kLoginSlot, kBlinkSlot, kWatchdogSlot,
                             kTurnCountdown, kReadyCountdown})
    hb.TickEnabled[slot] = false;
  hb.TickCount[kWatchdogSlot] = 0;
  client.data.ClaimBubbleShown = false;
  StopHeartbeat(client);
  ++client.shell.table_leaves;
}

void StopTableVideo(Client& client) {
  VideoControls& video = client.video;
  if (client.data.OwnCaptureOn) {
    video.vcap1->StopCapture();
    client.main_form.vcap1.SetVisible(false);
  }
  HideVideoPanels(client);
  for (int seat = 1; seat <= 3; ++seat) {
    video.P2PSocket1->DropUser(seat);
    client.custom[seat].name.clear();
    client.data.LastFrame[seat].clear();
  }
  UnloadVideoZoomWindows(client);
  video.P2PSocket1->LogoutServer();
}

void ClearSeats(Client& client) {
  MainForm& f = client.main_form;
  for (int seat = 0; seat < kSeatCount; ++seat) {
    if (f.Tou.Exists(seat)) f.Tou[seat].SetPicture(nullptr);
    for (auto* labels : {&f.Nid, &f.Cash, &f.Level})
      if (labels->Exists(seat)) (*labels)[seat].SetCaption("");
    client.custom[seat].name.clear();
    client.custom[seat].SeatWind = 0;
    ClearTableFields(client.Detail[seat]);
    if (f.OK.Exists(seat)) f.OK[seat].SetVisible(false);
  }
}

}  // namespace

void LeaveTableAndStopVideo(Client& client) {
  const GamePacket leave = LeavePacket(client);
  if (client.data.VideoSetting) StopTableVideo(client);
  if (client.Winsock1.State() == TcpSocket::kConnected) client.Winsock1.SendData(leave.bytes());
  SwitchSlotsOff(client);
  WaitSeconds(client, client.data.Reconnected ? kLeavePauseAfterReconnect : kLeavePause);
  Data& d = client.data;
  d.g_bCanRecon = false;
  HideSeatChangeScreen(client);
  client.main_form.TimerShuffle.SetEnabled(false);
  d.SeatChangePending = false;
  d.ShuffleShown = false;
  d.OwnCaptureOn = false;
  d.OwnVideoRetry = false;
  d.OwnVideoRetryTicks = 0;
  d.VideoBusy = {};
  client.main_form.WebBrowser2.SetVisible(false);
}

void ResetClientState(Client& client) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  d.HandRunning = false;
  d.AnNiuState[2] = true;  // the start button waits for the lobby's connect request
  SwitchSlotsOff(client);
  ClearSysmsgLine(client, 0);
  ClearSysmsgLine(client, 1);
  d.HandEnding = false;
  client.Winsock1.Close();
  d.LoginPending = false;
  client.loop.WaitUntil([&] { return client.Winsock1.State() != TcpSocket::kConnected; });
  ClearSeats(client);
  ClearRecordBoards(client);
  for (int i = 0; i < 3; ++i)
    if (f.Speak.Exists(i)) f.Speak[i].SetVisible(false);
  f.Words.SetVisible(false);
  client.chat.Text1.clear();
  client.chat.Text1TopIndex = 0;
  d.OtherPlayerCount = 0;
  f.CV_Image.SetVisible(false);
  std::error_code ignored;
  std::filesystem::remove(ProgramFolderOf(client) + "/info.cv", ignored);
  d.TableCleared = false;
  if (client.prop.Prop_GameDllState > 0) ShutdownPropPlugin(client, 0);
  // A late command 46 must not leave a hand-over for the next table.
  client.prop.ScoreHandOver = false;
  client.prop.PropScoreReady = false;
  f.Chat.SetText("");
  f.SetWindowState(kMinimized);
  f.lbwealth.SetCaption("0");
  f.lbwealth.SetVisible(false);
  f.Imgwealth.SetVisible(false);
  d.SeatWealth = {};
}

}  // namespace slvn
