#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "dispatch/deal_msg.h"
#include "dispatch/seating.h"
#include "plugin/test_prop_plugin.h"
#include "shell/client.h"
#include "shell/heartbeat_state.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"
#include "support/fake_video.h"
#include "support/packet_builder.h"
#include "support/table_layout.h"
#include "support/user_details_builder.h"

namespace slvn {
namespace {

// A seated table: me, bob (left, wealth 5), carol (top, wealth 7), dave (right).
struct SeatedTable {
  SeatedTable() {
    test::LayOutTable(client);
    client.video = test::MakeRecordingVideoControls(video);
    const char* accounts[] = {"me", "bob", "carol", "dave"};
    const uint8_t winds[] = {8, 4, 2, 1};
    for (int s = 0; s < 4; ++s) {
      client.custom[s].name = accounts[s];
      client.custom[s].SeatWind = winds[s];
      client.Detail[s].name = std::string("N") + accounts[s];
      client.Detail[s].ucoin = 100;
      f.Nid[s].SetCaption("label");
      f.Cash[s].SetCaption("100金币");
      f.OK[s].SetVisible(true);
    }
    client.data.OtherPlayerCount = 3;
    client.data.SeatWealth = {0, 5, 7, 0};
    client.data.WealthMultiplier = 7;
    client.data.TableMateNames = {"bob", "carol", "dave"};
    client.video.P2PSocket1->ConnectUser(2, "carol");
  }
  void Send(const test::PacketBytes& packet) {
    StoreArrivedBytes(client, packet);
    ReadPacket(client);
    Deal_MSG(client);
  }

  Client client{std::make_unique<ManualClock>()};
  MainForm& f = client.main_form;
  test::VideoCallLog video;
};

class UserLeftTest : public ::testing::Test, public SeatedTable {};

TEST_F(UserLeftTest, ALeaverEmptiesTheirSeatAndAGameRunningIsWoundUp) {
  struct Case {
    const char* name;
    test::PacketBytes packet;
    bool game_on, boss_key, wealth_on;
    int emptied;    // display seat, -1 none
    int countdown;  // 0: none started
    const char* badge;
  } cases[] = {
      {"carol leaves", test::BuildUserLeft("carol"), false, false, true, 2, 0, "5"},
      {"byte 8 shifts the first letter", test::BuildUserLeft("carol", true), false, false, true, 2,
       0, "5"},
      {"the badge hides without a wealth multiplier", test::BuildUserLeft("bob"), false, false,
       false, 1, 0, ""},
      {"a game running: 15 seconds", test::BuildUserLeft("dave"), true, false, true, 3, 15, "5"},
      {"byte 11: 10 seconds", test::BuildUserLeft("dave", false, true), true, false, true, 3, 10,
       "5"},
      {"the boss key: 1 second", test::BuildUserLeft("dave", false, true), true, true, true, 3, 1,
       "5"},
      // Nobody leaves: the badge keeps its caption.
      {"a name of one zero byte matches nobody", test::BuildUserLeft(""), true, false, true, -1, 15,
       "10"},
      {"a name nobody has", test::BuildUserLeft("eve"), false, false, true, -1, 0, "10"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SeatedTable table;
    Client& t = table.client;
    t.data.TableGameOn = c.game_on;
    t.data.BossKey = c.boss_key;
    if (!c.wealth_on) t.data.WealthMultiplier = 0;
    t.main_form.lbwealth.SetVisible(true);
    t.main_form.Number.SetForeColor(0x0000FF);  // as the turn countdown's last seconds left it
    StoreArrivedBytes(t, c.packet);
    ReadPacket(t);
    Deal_MSG(t);
    for (int s = 1; s <= 3; ++s) {
      const bool emptied = s == c.emptied;
      EXPECT_EQ(t.custom[s].name.empty(), emptied) << s;
      EXPECT_EQ(t.main_form.Nid[s].Caption().empty(), emptied) << s;
      EXPECT_EQ(t.main_form.OK[s].Visible(), !emptied) << s;
      EXPECT_EQ(t.Detail[s].ucoin == 0, emptied) << s;
      EXPECT_EQ(t.data.TableMateNames[s - 1].empty(), emptied) << s;
    }
    EXPECT_EQ(t.data.OtherPlayerCount, c.emptied > 0 ? 2 : 3);
    if (c.emptied > 0) {
      EXPECT_TRUE(t.chat.Sysmsg[0].value_or("").starts_with(std::string("N") +
                                                            (c.emptied == 1   ? "bob"
                                                             : c.emptied == 2 ? "carol"
                                                                              : "dave") +
                                                            "退出了游戏 "));
      EXPECT_NE(t.chat.Sysmsg[0].value_or("").find("退出了游戏 "), std::string::npos);
      EXPECT_EQ(t.chat.Sysmsg[1], std::nullopt);
    }
    EXPECT_EQ(t.main_form.lbwealth.Visible(), c.wealth_on);
    if (c.wealth_on) {
      EXPECT_EQ(t.main_form.lbwealth.Caption(), c.badge);
    }
    EXPECT_EQ(t.heartbeat.TickEnabled[kReadyCountdown], c.countdown > 0);
    if (c.countdown > 0) {
      EXPECT_EQ(t.data.Countdown, c.countdown);
      EXPECT_EQ(t.main_form.Number.Caption(), std::to_string(c.countdown));
      EXPECT_EQ(t.main_form.Number.ForeColor(), 0x0000FFu);  // the colour stays
      EXPECT_TRUE(t.main_form.Time_Img.Visible());
      EXPECT_FALSE(t.data.HandRunning);
    }
    EXPECT_TRUE(t.data.TableGameOn);
    EXPECT_TRUE(t.main_form.TimerKeepAlive.Enabled());
    for (const PlayerHand& seat : t.custom) EXPECT_EQ(seat.SeatWind, 0);
  }
}

TEST_F(UserLeftTest, AShiftedEmptyNameIsIgnoredWhole) {
  test::PacketBytes packet = test::BuildUserLeft("");
  packet[8] = 1;
  client.data.TableGameOn = true;
  Send(packet);
  EXPECT_TRUE(client.data.TableGameOn);
  EXPECT_FALSE(client.heartbeat.TickEnabled[kReadyCountdown]);
  EXPECT_FALSE(client.main_form.TimerKeepAlive.Enabled());
  EXPECT_EQ(client.custom[1].SeatWind, 4);
}

TEST_F(UserLeftTest, ThePlugInForgetsTheSeatTwiceAndStartsAgainOnceAfterANewHand) {
  test::TestPropPlugin& plugin = test::InstallInProcessPlugin(client);
  client.prop.Prop_GameDllState = 1;
  client.data.HandsDealt = 1;
  client.data.LeaveResetPending = true;
  Send(test::BuildUserLeft("carol"));
  EXPECT_EQ(plugin.cleared_seats, (std::vector<int16_t>{2, 2}));
  EXPECT_EQ(std::count(plugin.calls.begin(), plugin.calls.end(), "Ainit newcvp.xml"), 1);
  EXPECT_FALSE(client.data.LeaveResetPending);
  EXPECT_NE(std::find(video.calls.begin(), video.calls.end(), "DropUser 2"), video.calls.end());
  Send(test::BuildUserLeft("dave"));
  EXPECT_EQ(plugin.cleared_seats, (std::vector<int16_t>{2, 2, 3, 3}));
  EXPECT_EQ(std::count(plugin.calls.begin(), plugin.calls.end(), "Ainit newcvp.xml"), 1);
}

TEST_F(UserLeftTest, TheOwnNameEndsTheProgramInOrder) {
  test::TestPropPlugin& plugin = test::InstallInProcessPlugin(client);
  client.prop.Prop_GameDllState = 1;
  EXPECT_THROW(Send(test::BuildUserLeft("me")), ProgramEnded);
  EXPECT_EQ(plugin.exit_flag, 1);  // the plug-in was shut down for the end
  EXPECT_EQ(client.Winsock1.State(), TcpSocket::kClosed);
  EXPECT_EQ(f.Nid[1].Caption(), "label");  // before any seat changed
  EXPECT_FALSE(client.main_form.Loaded());
}

TEST_F(UserLeftTest, ASpectatorIsToldTheWatchIsOverAndEnds) {
  client.data.WatchMode = true;
  client.data.TableGameOn = true;
  EXPECT_THROW(Send(test::BuildUserLeft("carol")), ProgramEnded);
  EXPECT_TRUE(client.custom[2].name.empty());  // the seat was emptied first
  EXPECT_FALSE(client.heartbeat.TickEnabled[kReadyCountdown]);
  ASSERT_FALSE(client.forms.Shown().empty());
  EXPECT_EQ(client.forms.Shown().back().prompt, "有用户退出，旁观结束！");
}

}  // namespace
}  // namespace slvn
