#include "shell/countdowns.h"

#include <gtest/gtest.h>

#include "shell/client.h"
#include "shell/heartbeat.h"
#include "shell/keys.h"
#include "support/drive.h"
#include "support/table_layout.h"

namespace slvn {
namespace {

class CountdownTest : public ::testing::Test {
 protected:
  CountdownTest() {
    SetStartValues(client.data);
    test::LayOutTable(client);
    client.data.LoggedIn = true;
    client.main_form.TimerBong.SetEnabled(true);
  }
  // Runs the heartbeat for whole seconds of the manual clock.
  void Seconds(double s) { client.loop.RunFor(s); }
  std::vector<int> SentReadies() {
    std::vector<int> seats;
    GamePacket p;
    while (client.net.SendRing.TakePacket(p))
      if (p.Byte(3) == 16 && p.U16BE(14) == 1) seats.push_back(p.Byte(6));
    return seats;
  }

  Client client{std::make_unique<ManualClock>()};
};

TEST_F(CountdownTest, FloatBetCountsDownInRedAndChoosesNoFloatASecondAfterZero) {
  client.data.PiaoCountdownOn = true;
  client.data.PiaoChoicePending = true;
  client.data.Countdown = 5;
  Seconds(1.01);
  EXPECT_EQ(client.main_form.Number.Caption(), "4");
  EXPECT_EQ(client.main_form.Number.ForeColor(), 0x0000FFu);
  EXPECT_TRUE(client.data.PiaoChoicePending);
  Seconds(4.5);  // each second is counted on the first tick after it has passed
  // The player sees 0 and may still choose for a whole second.
  EXPECT_EQ(client.data.Countdown, 0);
  EXPECT_EQ(client.main_form.Number.Caption(), "0");
  EXPECT_TRUE(client.data.PiaoChoicePending);
  EXPECT_EQ(client.net.SendRing.Waiting(), 0);
  Seconds(1);
  // No float bet was chosen for the player: command 8 with data word 3 = 0.
  EXPECT_FALSE(client.data.PiaoChoicePending);
  EXPECT_FALSE(client.data.PiaoCountdownOn);
  GamePacket p;
  ASSERT_TRUE(client.net.SendRing.TakePacket(p));
  EXPECT_EQ(p.Byte(3), 8);
  EXPECT_EQ(p.U16BE(14), 0);
  Seconds(3);
  EXPECT_FALSE(client.net.SendRing.TakePacket(p));  // once only
}

TEST_F(CountdownTest, NothingCountsWhileLoggedOut) {
  client.data.LoggedIn = false;
  client.heartbeat.TickEnabled[kTurnCountdown] = true;
  client.data.Countdown = 3;
  Seconds(5);
  EXPECT_EQ(client.data.Countdown, 3);
}

TEST_F(CountdownTest, AnotherSeatsTurnEndsQuietly) {
  client.heartbeat.TickEnabled[kTurnCountdown] = true;
  client.data.OwnTurnPrompt = false;
  client.data.Countdown = 2;
  client.data.CountdownStart = 8;
  client.main_form.Number.SetVisible(true);
  Seconds(3.1);
  EXPECT_FALSE(client.heartbeat.TickEnabled[kTurnCountdown]);
  EXPECT_FALSE(client.main_form.Number.Visible());
  EXPECT_EQ(client.data.Countdown, 8);
  EXPECT_EQ(client.net.SendRing.Waiting(), 0);  // nothing played
}

TEST_F(CountdownTest, TimedOutOwnTurnsArePlayedAndTooManyHideTheClient) {
  client.data.TimeoutLimit = 3;
  client.data.CountdownStart = 8;
  for (int turn = 1; turn <= 4; ++turn) {
    SCOPED_TRACE(turn);
    client.heartbeat.TickEnabled[kTurnCountdown] = true;
    client.data.OwnTurnPrompt = true;
    client.data.ActionState = 0;
    client.data.TurnActed = false;
    client.data.Countdown = 1;
    Seconds(2.1);
    EXPECT_EQ(client.data.ActionState, 3);
    EXPECT_TRUE(client.data.TurnActed);  // the computer passed for the player
    EXPECT_EQ(client.shell.timeoutnum, turn);
    EXPECT_EQ(client.data.BossKey, turn >= 3);
  }
  EXPECT_EQ(client.data.CountdownStart, 0);
  EXPECT_EQ(client.main_form.WindowState(), kMinimized);

  // An own action in progress is never interrupted; the count saturates.
  client.shell.timeoutnum = 255;
  client.heartbeat.TickEnabled[kTurnCountdown] = true;
  client.data.ActionState = 2;
  client.data.Countdown = 0;
  Seconds(2);
  EXPECT_EQ(client.data.ActionState, 2);
  client.data.ActionState = 0;
  Seconds(1.1);
  EXPECT_EQ(client.shell.timeoutnum, 255);
}

TEST_F(CountdownTest, ReadyCountdownClearsTheTableOnceAndDeclaresReady) {
  client.custom[0].SeatWind = 4;
  client.heartbeat.TickEnabled[kReadyCountdown] = true;
  client.data.Countdown = 15;
  Seconds(14.5);
  EXPECT_TRUE(SentReadies().empty());
  Seconds(2.5);
  EXPECT_EQ(SentReadies(), std::vector<int>{4});
  EXPECT_TRUE(client.data.TableCleared);
  EXPECT_TRUE(client.data.AnNiuState[2]);
  EXPECT_FALSE(client.heartbeat.TickEnabled[kReadyCountdown]);

  // Both seat-change flags: the screen shows and the own seat is forgotten.
  client.data.SeatChangePending = client.data.ReseatRequested = true;
  client.data.ShufflePage = "http://127.0.0.1:9/p.gamead";
  client.heartbeat.TickEnabled[kReadyCountdown] = true;
  client.data.Countdown = 1;
  Seconds(2.1);
  EXPECT_EQ(SentReadies(), std::vector<int>{4});
  EXPECT_TRUE(client.main_form.LblShuffle.Visible());
  EXPECT_EQ(client.main_form.LblShuffle.Caption(), "正在随机换座中..");
  EXPECT_TRUE(client.data.ShuffleShown);
  EXPECT_FALSE(client.data.SeatChangePending);
  EXPECT_EQ(client.custom[0].SeatWind, 0);
}

class KeysTest : public CountdownTest {};

TEST_F(KeysTest, BossKeyVariantsHideTheClient) {
  struct Case {
    const char* handler;
    void (*press)(Client&);
    bool turn_time_zero;
  } cases[] = {
      {"window", [](Client& c) { Form_KeyDown(c, kKeyF1, 0); }, false},
      {"chat", [](Client& c) { Chat_KeyDown(c, kKeyF1, 0); }, true},
      {"table", [](Client& c) { Pic1_KeyDown(c, kKeyF1, 0); }, true},
      // Through each strip line's own wiring, as a focused line gets the key.
      {"upper strip line", [](Client& c) { c.main_form.Sysmsg[0].KeyDown(kKeyF1, 0); }, true},
      {"lower strip line", [](Client& c) { c.main_form.Sysmsg[1].KeyDown(kKeyF1, 0); }, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.handler);
    client.data.BossKey = false;
    client.data.CountdownStart = 8;
    client.main_form.SetWindowState(kNormal);
    c.press(client);
    EXPECT_TRUE(client.data.BossKey);
    EXPECT_EQ(client.data.CountdownStart, c.turn_time_zero ? 0 : 8);
    EXPECT_EQ(client.main_form.WindowState(), kMinimized);
  }
}

TEST_F(KeysTest, EscTogglesTheExitDialogAndAltThenCOpensTheChatHistory) {
  Pic1_KeyDown(client, kKeyEsc, 0);
  EXPECT_TRUE(client.frmExit.Visible());
  Pic1_KeyDown(client, kKeyEsc, 0);
  EXPECT_FALSE(client.frmExit.Visible());

  for (int key : {int{kKeyAlt}, int{'X'}, int{kKeyC}}) Pic1_KeyDown(client, key, 0);
  EXPECT_FALSE(client.Talk.Visible());
  for (int key : {kKeyC, kKeyAlt}) Pic2_KeyDown(client, key, 0);
  EXPECT_TRUE(client.Talk.Visible());
  EXPECT_EQ(client.main_form.Focus(), &client.main_form.Chat);
}

TEST_F(KeysTest, TheCaptionStripDragsTheWindowWithTheLeftButtonOnly) {
  LbMove_MouseDown(client, kRightButton, 0, 5, 5);
  EXPECT_FALSE(client.main_form.Moving());
  LbMove_MouseDown(client, kLeftButton, 0, 5, 5);
  EXPECT_TRUE(client.main_form.Moving());
  EXPECT_EQ(client.main_form.LbMove.MousePointer(), kPointerSizeAll);
}

}  // namespace
}  // namespace slvn
