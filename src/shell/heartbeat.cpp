#include "shell/heartbeat.h"

#include "chat/chat_state.h"
#include "chat/talk.h"
#include "dispatch/deal_msg.h"
#include "plugin/prop_bridge.h"
#include "shell/client.h"
#include "shell/countdowns.h"
#include "shell/general.h"
#include "shell/item_poll.h"
#include "shell/leave_reset.h"
#include "shell/lobby_link.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"
#include "shell/resources/image_resource.h"
#include "ui/table_reset.h"
#include "video/video_chat.h"

namespace slvn {

namespace {

namespace off = packet_offset;

constexpr int kItemCommand = 45;
constexpr int kHeldKind129 = 129;
constexpr int kHeldKind386 = 386;
constexpr int kLostServerPasses = 5000;
constexpr double kUserLeftHoldSeconds = 30;
constexpr int kReceivePeriod = 2;
// A backlog above this many packets (a deal and its prompts stay well
// below) is taken more than one a tick, at most kMostPacketsATick.
constexpr int kBacklogPackets = 32;
constexpr int kMostPacketsATick = 8;
constexpr int kLoginPeriod = 4;
constexpr int kBlinkPeriod = 8;
constexpr int kWatchdogPeriod = 40;
constexpr int kBubblePeriod = 40;
constexpr int kOwnVideoRetryTicks = 4;
constexpr int kReconnectCommand = 28;

// A counted slot is due when its counter reached the period; a counter that
// reaches it while the slot is off starts over without running.
bool SlotDue(HeartbeatState& hb, HeartbeatSlot slot, int period) {
  if (hb.TickCount[slot] < period) return false;
  if (hb.TickEnabled[slot]) return true;
  hb.TickCount[slot] = 0;
  return false;
}

bool Connected(Client& client) {
  return client.Winsock1.State() == TcpSocket::kConnected;
}

uint8_t OwnSeatBit(const Client& client) {
  return client.custom[0].SeatWind;
}

// The server has been silent for a whole hand's worth of passes. The notice
// goes into the strip after the reset, which empties the strip: the player
// coming back to the window learns why the table was given up.
void GiveUpLostServer(Client& client) {
  if (!FindLobbyWindow(client)) EndProgram(client);
  if (client.prop.Prop_GameDllState > 0) ShutdownPropPlugin(client, 0);
  client.main_form.SetWindowState(kMinimized);
  ReturnToLobby(client);
  client.data.TableCleared = false;
  ResetClientState(client);
  ClearPlayerInfo(client);
  ResetTableView(client);
  SetSysmsgLine(client, 0, "已经与服务器断开连接，请重新入座！");
}

void SetTileVisible(Client& client, int16_t image, bool visible) {
  auto& tiles = client.main_form.MJ_Image;
  if (tiles.Exists(image)) tiles[image].SetVisible(visible);
}

void BlinkSlot(Client& client) {
  Data& d = client.data;
  if (d.BlinkCount > 0) {
    --d.BlinkCount;
    auto& tiles = client.main_form.MJ_Image;
    if (d.LastTileImage >= 0 && tiles.Exists(d.LastTileImage))
      SetTileVisible(client, d.LastTileImage, !tiles[d.LastTileImage].Visible());
    if (d.PrevBlinkImage >= 0 && d.PrevBlinkImage != d.LastTileImage)
      SetTileVisible(client, d.PrevBlinkImage, true);
    d.PrevBlinkImage = d.LastTileImage;
  } else if (d.LastTileImage >= 0) {
    // The blink is over: the tile stays shown (hidden, shown, hidden, shown).
    SetTileVisible(client, d.LastTileImage, true);
  }
  // The chat button blinks after another seat's chat line: hover on even steps.
  int entry = 2;
  if (d.ChatBlinkCount > 0) {
    --d.ChatBlinkCount;
    if (d.ChatBlinkCount % 2 == 0) entry = 3;
  }
  auto& buttons = client.main_form.AnNiu;
  if (buttons.Exists(1))
    LoadGifResource(client, client.images.ButtonPics[entry], "GIF", buttons[1]);
}

void BubbleSlot(Client& client) {
  HeartbeatState& hb = client.heartbeat;
  if (hb.TickCount[kBubbleCounter] < kBubblePeriod) return;
  hb.TickCount[kBubbleCounter] = 0;
  if (!client.data.ClaimBubbleShown) return;
  MainForm& f = client.main_form;
  if (f.Speak.Exists(client.data.ClaimBubbleIndex))
    f.Speak[client.data.ClaimBubbleIndex].SetVisible(false);
  f.Words.SetVisible(false);
}

// Dispatches the packet at the head of RecvRing, unless it is a user who
// left and must wait there; false when nothing was dispatched.
bool DispatchHead(Client& client) {
  HeartbeatState& hb = client.heartbeat;
  Data& d = client.data;
  GamePacket head;
  if (!client.net.RecvRing.PeekPacket(head)) return false;
  const double now = client.loop.Now();
  const bool user_left = head.Byte(off::kCommand + 1) == 21;
  if (user_left && d.HandEnding && hb.UserLeftHeldSince < 0) hb.UserLeftHeldSince = now;
  // A user who left waits at the head of the ring, and everything behind
  // it, until the sheet has ended the hand; at most 30 s, since the result
  // rows that bring the sheet may be among what waits behind it.
  if (user_left && d.HandEnding && now - hb.UserLeftHeldSince < kUserLeftHoldSeconds) {
    const uint8_t seat = head.Byte(off::kSeat) & 15;
    if (seat != OwnSeatBit(client) && !client.main_form.TimerKeepAlive.Enabled())
      client.main_form.TimerKeepAlive.SetEnabled(true);
    return false;
  }
  hb.UserLeftHeldSince = -1;
  ReadPacket(client);
  if (d.HandRunning) d.RecvIdleCount = 0;
  Deal_MSG(client);
  return true;
}

// Whole packets waiting: in the ring, and those the socket holds back.
int BacklogPackets(const Client& client) {
  const size_t bytes =
      static_cast<size_t>(client.net.RecvRing.Waiting()) + client.Winsock1.Pending();
  return static_cast<int>(bytes / GamePacket::kSize);
}

void OwnVideoRetrySlot(Client& client) {
  Data& d = client.data;
  if (!d.OwnVideoRetry) return;
  if (++d.OwnVideoRetryTicks < kOwnVideoRetryTicks) return;
  d.OwnVideoRetry = false;
  d.OwnVideoRetryTicks = 0;
  ShowOwnVideo(client, d.OwnCaptureOn, false);
}

// Once a second each, while logged in; the countdowns count their own seconds.
void CountdownSlots(Client& client) {
  if (!client.data.LoggedIn) return;
  if (client.data.PiaoCountdownOn) PiaoCountdown(client);
  if (client.heartbeat.TickEnabled[kTurnCountdown]) TurnCountdown(client);
  if (client.heartbeat.TickEnabled[kReadyCountdown]) ReadyCountdown(client);
}

}  // namespace

void SendSlot(Client& client) {
  HeartbeatState& hb = client.heartbeat;
  if (!hb.TickEnabled[kSendSlot]) return;
  PacketRing& ring = client.net.SendRing;
  GamePacket packet;
  if (!ring.PeekPacket(packet) || !Connected(client)) {
    hb.TickEnabled[kSendSlot] = false;  // what waits stays in the ring
    return;
  }
  if (hb.LoginOwed) return;  // stays on: the queue waits for the login or the acceptance
  ring.TakePacket(packet);
  const int command = packet.Byte(off::kCommand + 1);
  const uint16_t word0 = packet.U16BE(off::kValues);
  const int kind = word0 < 0x8000 ? word0 / 8 : -1;
  if (command == kItemCommand && kind == kHeldKind129 && hb.HoldItem129) {
    hb.HoldItem129 = false;
    hb.HeldItemPacket1 = packet.bytes();
  } else if (command == kItemCommand && kind == kHeldKind386 && !client.data.HandRunning &&
             hb.HoldItem386) {
    hb.HoldItem386 = false;
    hb.HeldItemPacket2 = packet.bytes();
  } else {
    client.Winsock1.SendData(packet.bytes());
  }
  hb.TickCount[kSendSlot] = 0;
}

void ReceiveSlot(Client& client) {
  HeartbeatState& hb = client.heartbeat;
  // What the socket held back while the ring was full arrives as room is
  // made, whoever made it.
  TakeWaitingBytes(client);
  if (!SlotDue(hb, kReceiveSlot, kReceivePeriod)) return;
  Data& d = client.data;
  if (d.HandRunning && ++d.RecvIdleCount >= kLostServerPasses) {
    d.RecvIdleCount = 0;
    GiveUpLostServer(client);
  }
  // One packet a tick, as the player follows the game; a backlog beyond a
  // deal's worth (a table mate's flood relayed faster than that) is worked
  // off a few packets a tick, so the client keeps up without ever stopping
  // the window's drawing for long.
  const int stops_before = client.shell.heartbeat_stops;
  for (int taken = 0; taken < kMostPacketsATick; ++taken) {
    if (!DispatchHead(client)) break;
    TakeWaitingBytes(client);
    // A packet that reset the table or left it stopped the heartbeat.
    if (client.shell.heartbeat_stops != stops_before) break;
    if (BacklogPackets(client) <= kBacklogPackets) break;
  }
  hb.TickCount[kReceiveSlot] = client.net.RecvRing.Waiting() >= 272 ? 1 : 0;
}

void LoginSlot(Client& client) {
  HeartbeatState& hb = client.heartbeat;
  if (!SlotDue(hb, kLoginSlot, kLoginPeriod)) return;
  hb.TickCount[kLoginSlot] = 0;
  PostToLobby(client, kLobbyConnect);
  // The wait pumps events; it ends when the connection stands, or when the
  // attempt failed, so that a refused connection cannot hold the tick for ever.
  const int stops_before = client.shell.heartbeat_stops;
  client.loop.WaitUntil([&] {
    int state = client.Winsock1.State();
    return state == TcpSocket::kConnected || state == TcpSocket::kError ||
           state == TcpSocket::kClosed;
  });
  // A reset or leave during the wait switched the slots off: that stands.
  if (client.shell.heartbeat_stops != stops_before) return;
  if (!Connected(client)) {
    // The watchdog takes over the connection that is down.
    hb.Disable(kLoginSlot);
    hb.Enable(kWatchdogSlot);
    return;
  }
  client.data.LoginPending = true;
  if (client.shell.LoginPacket.Byte(off::kCommand + 1) == kReconnectCommand)
    SleepSeconds(client, 0.01f);
  SendLoginPacket(client);
  hb.Enable(kWatchdogSlot);
  hb.Disable(kLoginSlot);
  if (client.prop.Prop_GameDllState > 0) rec_state(client, 3, true);
}

void SendLoginPacket(Client& client) {
  const GamePacket& packet = client.shell.LoginPacket;
  client.Winsock1.SendData(packet.bytes());
  client.heartbeat.LoginOwed = packet.Byte(off::kCommand + 1) == kReconnectCommand;
}

void WatchdogSlot(Client& client) {
  HeartbeatState& hb = client.heartbeat;
  if (!SlotDue(hb, kWatchdogSlot, kWatchdogPeriod)) return;
  hb.TickCount[kWatchdogSlot] = 0;
  if (Connected(client)) return;
  if (client.prop.Prop_GameDllState > 0) rec_state(client, 3, false);
  if (!FindLobbyWindow(client)) EndProgram(client);
  if (!client.data.g_bCanRecon) return;
  client.data.LoggedIn = false;
  hb.Disable(kWatchdogSlot);
  LoadReconnectForm(client);
}

void TimerBong_Timer(Client& client) {
  ShellState& shell = client.shell;
  if (shell.in_tick) return;
  shell.in_tick = true;
  const int stops_before = shell.heartbeat_stops;
  client.main_form.TimerBong.SetEnabled(false);
  HeartbeatState& hb = client.heartbeat;
  for (HeartbeatSlot slot : {kSendSlot, kReceiveSlot, kLoginSlot, kBlinkSlot, kWatchdogSlot})
    ++hb.TickCount[slot];
  ++hb.TickCount[kBubbleCounter];
  try {
    SendSlot(client);
    ReceiveSlot(client);
    LoginSlot(client);
    if (SlotDue(hb, kBlinkSlot, kBlinkPeriod)) {
      hb.TickCount[kBlinkSlot] = 0;
      BlinkSlot(client);
    }
    CountdownSlots(client);
    WatchdogSlot(client);
    BubbleSlot(client);
    // A shutdown that cut the box stage short still owes the hand's sheet,
    // and a hand handed over is shown even when the items are not ready.
    const bool poll =
        client.prop.PropItemsReady || client.prop.StageSheetOwed || client.prop.ScoreHandOver;
    const bool tick_goes_on = !poll || ItemPoll(client);
    if (tick_goes_on) OwnVideoRetrySlot(client);
  } catch (...) {
    shell.in_tick = false;
    throw;
  }
  shell.in_tick = false;
  // Lines the tick added to the history reach its window while it is shown.
  if (client.Talk.Visible()) SyncTalkList(client);
  // The next tick comes 50 ms after this one ended, unless a reset or a
  // leave inside this tick stopped the heartbeat.
  if (shell.heartbeat_stops == stops_before) client.main_form.TimerBong.SetEnabled(true);
}

void TimerKeepAlive_Timer(Client& client) {
  GameMessage keep_alive;
  keep_alive.cmd = Cmd_KeepAlive;
  keep_alive.seat = OwnSeatBit(client);
  Send_MSG(client, keep_alive);
}

void StopHeartbeat(Client& client) {
  client.main_form.TimerBong.SetEnabled(false);
  client.main_form.TimerKeepAlive.SetEnabled(false);
  ++client.shell.heartbeat_stops;
}

void ConnectHeartbeatTimers(Client& client) {
  client.main_form.TimerBong.SetHandler([&client] { TimerBong_Timer(client); });
  client.main_form.TimerKeepAlive.SetHandler([&client] { TimerKeepAlive_Timer(client); });
}

}  // namespace slvn
