#include "shell/countdowns.h"

#include <string>

#include "dispatch/table_lifecycle.h"
#include "plugin/prop_bridge.h"
#include "shell/client.h"
#include "shell/keys.h"
#include "shell/lobby_link.h"
#include "shell/net/packet_io.h"
#include "shell/resources/image_resource.h"
#include "shell/sound/sound.h"
#include "table/float_bet.h"
#include "table/seat_records.h"
#include "table/timeout_play.h"
#include "ui/table_reset.h"

namespace slvn {

namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;
constexpr int kWarningSeconds = 5;
constexpr int kPromptSound = 6;

// A second has passed since the mark (the clock is monotonic, so a mark in
// the future cannot happen; a negative difference still counts, as a wrap would).
bool CountSecond(Client& client, double& mark) {
  const double now = client.loop.Now();
  const double elapsed = now - mark;
  if (elapsed < 1 && elapsed >= 0) return false;
  mark = now;
  return true;
}

void ShowSecond(Client& client, bool with_sound) {
  Data& d = client.data;
  MainForm& f = client.main_form;
  --d.Countdown;
  f.Number.SetCaption(std::to_string(d.Countdown));
  if (d.Countdown <= kWarningSeconds) {
    f.Number.SetForeColor(kRed);
    if (with_sound && client.sound.SoundOn == -1) {
      PlaySoundFile(client, client.sound.SoundBank[kPromptSound], false);
      SetSoundVolume(client, 3000);
    }
  } else {
    f.Number.SetForeColor(kGreen);
  }
}

void HideCountdown(Client& client) {
  client.main_form.Time_Img.SetVisible(false);
  client.main_form.Number.SetVisible(false);
}

void EndTurnCountdown(Client& client) {
  HideCountdown(client);
  client.data.Countdown = client.data.CountdownStart;
  client.heartbeat.TickEnabled[kTurnCountdown] = false;
}

// Too many turns ran out in a row: the client hides as the boss key does.
void HideAfterTimeouts(Client& client) {
  Pic1_KeyDown(client, kKeyF1, 0);
  client.data.BossKey = true;
  client.frmExit.Hide();
  client.data.CountdownStart = 0;
  client.main_form.SetWindowState(kMinimized);
  MinimizeLobbyWindow(client);
}

}  // namespace

void PiaoCountdown(Client& client) {
  Data& d = client.data;
  if (!CountSecond(client, client.shell.CountdownMark)) return;
  if (d.Countdown > 0) return ShowSecond(client, true);
  // The player sees 0 for a whole second before no float is chosen for them.
  if (d.PiaoChoicePending) img_piaoOpt_Click(client, 0);
}

void TurnCountdown(Client& client) {
  Data& d = client.data;
  if (!CountSecond(client, client.shell.CountdownMark)) return;
  if (d.Countdown > 0) return ShowSecond(client, true);
  if (!d.OwnTurnPrompt) return EndTurnCountdown(client);
  if (d.ActionState >= 2) return;  // an own action runs, or the turn is locked already
  d.ActionState = 3;
  if (d.TimeoutLimit > 0) {
    uint8_t& count = client.shell.timeoutnum;
    if (count < 255) ++count;  // saturates instead of wrapping back to 0
    if (!d.BossKey && count >= d.TimeoutLimit) HideAfterTimeouts(client);
  }
  EndTurnCountdown(client);
  TimeoutPlay(client);
}

void ReadyCountdown(Client& client) {
  Data& d = client.data;
  if (!CountSecond(client, client.shell.ReadyMark)) return;
  if (d.Countdown > 0) return ShowSecond(client, false);
  HideCountdown(client);
  if (!d.TableCleared) {
    MainForm& f = client.main_form;
    if (f.AnNiu.Exists(2)) LoadGifResource(client, client.images.ButtonPics[6], "GIF", f.AnNiu[2]);
    d.AnNiuState[2] = true;
    ClearTableForNextHand(client);
  }
  SendReady(client);
  client.heartbeat.TickEnabled[kReadyCountdown] = false;
}

void SendReady(Client& client) {
  GameMessage ready;
  ready.cmd = Cmd_Ready;
  ready.seat = client.custom[0].SeatWind;
  ready.value = {0, 0, 0, 1};
  Send_MSG(client, ready);
  const Data& d = client.data;
  if (d.SeatChangePending && d.ReseatRequested) ShowSeatChangeOnReady(client);
}

void StartReadyCountdown(Client& client, int16_t seconds, NumberColour colour) {
  MainForm& f = client.main_form;
  // The three share `Countdown` and its label: a turn or float-bet countdown
  // still running when the hand ended would count the ready down twice as fast.
  client.heartbeat.TickEnabled[kTurnCountdown] = false;
  client.data.PiaoCountdownOn = false;
  client.heartbeat.TickEnabled[kReadyCountdown] = true;
  client.heartbeat.TickCount[kReadyCountdown] = 0;
  client.data.Countdown = seconds;
  f.Number.SetCaption(std::to_string(seconds));
  if (colour == NumberColour::kGreen) f.Number.SetForeColor(kGreen);
  f.Number.SetVisible(true);
  f.Time_Img.SetVisible(true);
  f.Time_Img.ZOrder(0);
  f.Number.ZOrder(0);
}

void ShowSeatChangeOnReady(Client& client) {
  // Everything sent until the seat names come again carries seat 0.
  for (PlayerHand& seat : client.custom) seat.SeatWind = 0;
  ShowSeatChangeScreen(client);
  client.data.SeatChangePending = false;
}

void HideSeatChangeScreen(Client& client) {
  client.main_form.LblShuffle.SetVisible(false);
  client.main_form.ImgShuffle.SetVisible(false);
}

}  // namespace slvn
