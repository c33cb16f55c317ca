#include "dispatch/table_lifecycle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dispatch/deal_msg.h"
#include "plugin/test_prop_plugin.h"
#include "shell/client.h"
#include "shell/countdowns.h"
#include "shell/heartbeat.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"
#include "shell/reconnect.h"
#include "support/drive.h"
#include "support/lobby_fixture.h"
#include "support/packet_builder.h"
#include "support/screen_shot.h"
#include "support/table_layout.h"
#include "ui/table_reset.h"

namespace slvn {
namespace {

// The own seat is East (8); South (4) sits left, West (2) across, North (1) right.
constexpr int kOwn = 8, kLeft = 4, kTop = 2, kRight = 1;
constexpr uint8_t kWinds[] = {kOwn, kLeft, kTop, kRight};
const char* const kAccounts[] = {"me", "south", "west", "north"};
const char* const kNames[] = {"我", "南家", "西家", "北家"};

// A seated table at East with the lobby's window on the bus.
class LifecycleTest : public test::LobbyFixture {
 protected:
  explicit LifecycleTest(float scale = 1.0f) {
    SetStartValues(client.data);
    client.data.LobbyTitle = test::kLobbyTitle;
    test::LayOutTable(client, scale);
    for (int i = 0; i < 4; ++i) {
      client.custom[i].SeatWind = kWinds[i];
      client.custom[i].name = kAccounts[i];
      client.Detail[i].name = kNames[i];
      f.Nid[i].SetCaption(kNames[i]);
    }
    d.LoggedIn = true;
  }
  void Send(const test::PacketBytes& packet) {
    StoreArrivedBytes(client, packet);
    ReadPacket(client);
    Deal_MSG(client);
  }
  void Ready(const std::string& account, int word3 = 1) {
    test::PacketBytes packet = test::BuildPacket(23, 0, {0, 0, 0, word3});
    test::PutText(packet, 16, account);
    Send(packet);
  }
  Data& d = client.data;
  MainForm& f = client.main_form;
};

TEST_F(LifecycleTest, GameStartNamesTheDealerAndArmsTheTable) {
  struct Case {
    int seat;
    const char* caption;
    int dealer;  // display seat marked, -1 none
  } cases[] = {{1, "北", 3},    {2, "西", 2},  {4, "南", 1}, {8, "东", 0},
               {0xF4, "南", 1}, {5, "南", -1}, {0, "北", -1}};
  for (const Case& c : cases) {
    for (PlayerHand& seat : client.custom) seat.Dealer = 0;
    d.TableGameOn = false;
    f.ImgShuffle.SetVisible(true);
    f.LblShuffle.SetVisible(true);
    f.WebBrowser2.SetVisible(true);
    Send(test::BuildPacket(16, c.seat, {0, 0, 0, 2}));
    EXPECT_EQ(f.Zhuang.Caption(), c.caption) << c.seat;
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(client.custom[i].Dealer, i == c.dealer ? -1 : 0) << c.seat;
    EXPECT_TRUE(d.TableGameOn);
    EXPECT_FALSE(f.ImgShuffle.Visible() || f.LblShuffle.Visible() || f.WebBrowser2.Visible());
  }
  EXPECT_EQ(d.TableMateNames, (std::array<std::string, 3>{"south", "west", "north"}));
}

TEST_F(LifecycleTest, GameStartRestoresTheWindowOnlyWithoutTheBossKey) {
  for (bool boss : {true, false}) {
    f.SetWindowState(kMinimized);
    d.BossKey = boss;
    Send(test::BuildPacket(16, kOwn, {0, 0, 0, 2}));
    EXPECT_EQ(f.WindowState(), boss ? kMinimized : kNormal) << boss;
    EXPECT_EQ(f.ActivationPending(), !boss) << boss;
    // The message is posted: the lobby's thread may take it a moment later.
    if (!boss) lobby->WaitForMessages(1);
    EXPECT_EQ(LobbyGot(kWmSysCommand, kScMinimize), !boss) << boss;
  }
}

TEST_F(LifecycleTest, TheReconnectIdGoesBackAsItCame) {
  test::PacketBytes start = test::BuildPacket(16, kOwn, {0, 0, 0, 2});
  const uint8_t id[] = {0x80, 0x01, 0x02, 0xFF};
  test::PutBytes(start, 268, id);
  Send(start);
  client.shell.launch.ProxyType = 9;  // no connection: only the packet is of interest
  GamePacket reconnect;
  Reconnect(client, reconnect);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(reconnect.Byte(268 + i), id[i]) << i;
}

TEST_F(LifecycleTest, ReadyMarksGoByAccountNameAndTheThirdClearsTheTableAfterAHand) {
  // Before any hand the marks appear but nothing is cleared.
  d.HandsDealt = 0;
  for (const char* account : {"south", "west", "north"}) Ready(account);
  for (int i = 1; i <= 3; ++i) EXPECT_TRUE(f.OK[i].Visible()) << i;
  EXPECT_FALSE(d.TableCleared);

  struct Case {
    const char* account;
    int word3;
    std::array<bool, 4> marks;
    bool cleared;
  } cases[] = {
      {"nobody", 1, {false, false, false, false}, false},
      {"west", 0, {false, false, false, false}, false},
      {"south", 1, {false, true, false, false}, false},
      {"me", 1, {true, true, false, false}, false},
      {"west", 1, {true, true, true, false}, false},
      {"north", 1, {true, true, true, true}, true},
      // With all three marks shown, any ready message clears the table again.
      {"nobody", 0, {true, true, true, true}, true},
  };
  d.HandsDealt = 1;
  for (int i = 0; i < 4; ++i) f.OK[i].SetVisible(false);
  for (const Case& c : cases) {
    d.TableCleared = false;
    d.AnNiuState[2] = false;
    Ready(c.account, c.word3);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(f.OK[i].Visible(), c.marks[i]) << c.account << i;
    EXPECT_EQ(d.TableCleared, c.cleared) << c.account;
    EXPECT_EQ(d.AnNiuState[2], c.cleared) << c.account;
  }
  EXPECT_EQ(f.AnNiu[2].Picture(),
            LoadResourcePicture(client, std::stoi(client.images.ButtonPics[6])));
}

TEST_F(LifecycleTest, ASeatWithoutACaptionGetsNoReadyMark) {
  f.Nid[2].SetCaption("");
  Ready("west");
  EXPECT_FALSE(f.OK[2].Visible());
}

TEST_F(LifecycleTest, AVacatedSeatLosesWhatTheTableShowsOfIt) {
  f.OK[2].SetVisible(true);
  f.Tou[2].SetPicture(f.Tou[0].Picture());
  f.Cash[2].SetCaption("100");
  f.Level[2].SetCaption("新手");
  SetSysmsgLine(client, 0, "line");
  client.Detail[2].userid = 42;
  ClearVacatedSeat(client, 2);
  EXPECT_FALSE(f.OK[2].Visible());
  EXPECT_FALSE(f.Tou[2].Picture());
  for (auto* labels : {&f.Nid, &f.Cash, &f.Level}) EXPECT_EQ((*labels)[2].Caption(), "");
  EXPECT_EQ(client.chat.Sysmsg[0], std::nullopt);
  EXPECT_EQ(client.custom[2].name, "");
  EXPECT_EQ(client.Detail[2].name, "");
  EXPECT_EQ(client.Detail[2].userid, 42);
  EXPECT_EQ(client.custom[1].name, "south");  // the others stay
  for (int outside : {0, 4, -1}) ClearVacatedSeat(client, outside);
  EXPECT_EQ(client.custom[0].name, "me");
}

// Over the table, the notice is centred on the table's size measured from the
// window's corner, not from the table's own place in the window.
// The notice (4785 x 2700) is centred over the large window (15600 x 11940)
// or its table (15360 x 11520), both counted from the window's corner.
TEST_F(LifecycleTest, TheExitNoticeIsCentredOverTheWindowOrTheTable) {
  f.Move(300, 600, 15600, 11940);
  ASSERT_DOUBLE_EQ(f.Pic1.Width(), 15360);
  ASSERT_DOUBLE_EQ(f.Pic1.Height(), 11520);
  const struct {
    NoticeArea area;
    double left, top;
  } cases[] = {{NoticeArea::kMainWindow, 5707.5, 5220}, {NoticeArea::kTable, 5587.5, 5010}};
  for (const auto& c : cases) {
    ShowExitNotice(client, "玩家退出了游戏！", c.area);
    const OtherExitDialog& notice = client.frmOtherExit;
    EXPECT_DOUBLE_EQ(notice.Left(), c.left);
    EXPECT_DOUBLE_EQ(notice.Top(), c.top);
    EXPECT_TRUE(notice.Visible() && notice.Topmost());
    EXPECT_EQ(notice.Label1.Caption(), "玩家退出了游戏！");
  }
}

TEST_F(LifecycleTest, AFreedSeatArmsTheSeatChangeScreenOnceForASeatedPlayer) {
  struct Case {
    int word2, byte11;
    bool game_on, spectator;
    bool broken_up, reseat, shown;
  } cases[] = {
      {1, 1, true, false, true, true, true},     {1, 0, true, false, true, false, true},
      {0, 1, true, false, true, true, false},    {0, 0, true, false, true, false, false},
      {1, 1, false, false, false, false, false}, {1, 1, true, true, false, false, false},
      {0, 1, true, true, false, false, false},
  };
  d.ShufflePage = "http://127.0.0.1:9/p.gamead";
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.word2 << c.byte11 << c.game_on << c.spectator);
    d.TableGameOn = c.game_on;
    d.WatchMode = c.spectator;
    d.HandRunning = true;
    d.SeatChangePending = d.ReseatRequested = d.ShuffleShown = false;
    f.ImgShuffle.SetVisible(false);
    f.ImgShuffle.Move(0, 0);
    f.WebBrowser2.SetVisible(false);
    test::PacketBytes freed = test::BuildPacket(16, 0x0B, {0, 0, c.word2, 0});
    freed[11] = static_cast<uint8_t>(c.byte11);
    Send(freed);
    EXPECT_FALSE(d.TableGameOn);
    EXPECT_EQ(d.HandRunning, !c.game_on);
    EXPECT_EQ(d.SeatChangePending, c.broken_up);
    EXPECT_EQ(d.ReseatRequested, c.reseat);
    EXPECT_EQ(d.ShuffleShown, c.shown);
    EXPECT_EQ(f.ImgShuffle.Visible() && f.LblShuffle.Visible() && f.WebBrowser2.Visible(), c.shown);
    EXPECT_EQ(f.TimerShuffle.Enabled(), c.shown);
    if (c.shown) {
      EXPECT_EQ(f.WebBrowser2.LocationURL(), d.ShufflePage);
    }
    if (c.broken_up) {
      EXPECT_DOUBLE_EQ(f.ImgShuffle.Left(), 136);
      EXPECT_DOUBLE_EQ(f.ImgShuffle.Top(), 520);
      EXPECT_DOUBLE_EQ(f.LblShuffle.Top(), 526);
      EXPECT_DOUBLE_EQ(f.WebBrowser2.Top(), 520 + f.ImgShuffle.Height());
      EXPECT_DOUBLE_EQ(f.WebBrowser2.Height(), 2 * f.ImgShuffle.Height());
      EXPECT_DOUBLE_EQ(f.WebBrowser2.Width(), f.ImgShuffle.Width());
      EXPECT_DOUBLE_EQ(f.Number.Left(), f.Time_Img.Left() + 48);
    }
    for (int i = 0; i < 4; ++i) EXPECT_EQ(client.custom[i].SeatWind, kWinds[i]);
    f.TimerShuffle.SetEnabled(false);
  }
}

TEST_F(LifecycleTest, AFreedSeatRenewsTheWealthBadgeFromItsValue) {
  struct Case {
    float scale;
    int32_t before;
    uint32_t value;
    bool shown;
    const char* caption;
    double font, left, top;
  } cases[] = {
      {1.0f, 5, 99, true, "99", 18, 62, 282},
      {1.0f, 5, 100, true, "100", 13, 58, 284},
      {0.78125f, 5, 99, true, "99", 18, 74 * 0.78125, 351 * 0.78125},
      {0.78125f, 5, 100, true, "100", 13, 72 * 0.78125, 355 * 0.78125},
      {1.0f, 5, 0xFFFFFFFF, true, "2147483647", 13, 58, 284},
      {1.0f, 0, 77, false, nullptr, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    d.ScaleX = d.ScaleY = c.scale;
    d.TableGameOn = false;
    d.WealthMultiplier = c.before;
    f.Imgwealth.SetVisible(!c.shown);
    f.lbwealth.SetVisible(!c.shown);
    test::PacketBytes freed = test::BuildPacket(16, 0x0B, {0, 0, 0, 0});
    test::PutU32LE(freed, 16, c.value);
    Send(freed);
    EXPECT_EQ(f.Imgwealth.Visible() && f.lbwealth.Visible(), c.shown);
    if (!c.shown) {
      EXPECT_EQ(d.WealthMultiplier, 0);
      continue;
    }
    EXPECT_EQ(f.lbwealth.Caption(), c.caption);
    EXPECT_DOUBLE_EQ(f.lbwealth.Font().size, c.font);
    EXPECT_DOUBLE_EQ(f.lbwealth.Left(), c.left);
    EXPECT_DOUBLE_EQ(f.lbwealth.Top(), c.top);
  }
  // Data word 2 = 1 leaves the badge alone.
  d.WealthMultiplier = 5;
  f.lbwealth.SetCaption("5");
  test::PacketBytes freed = test::BuildPacket(16, 0x0B, {0, 0, 1, 0});
  test::PutU32LE(freed, 16, 300);
  Send(freed);
  EXPECT_EQ(f.lbwealth.Caption(), "5");
}

TEST_F(LifecycleTest, AfterAFreedSeatTheReadyCountdownForgetsTheSeatsAndShowsTheScreen) {
  d.TableGameOn = true;
  d.ShufflePage = "http://127.0.0.1:9/p.gamead";
  f.TimerBong.SetEnabled(true);
  test::PacketBytes freed = test::BuildPacket(16, 0x0B, {0, 0, 0, 0});
  freed[11] = 1;
  Send(freed);
  EXPECT_FALSE(f.ImgShuffle.Visible());
  StartReadyCountdown(client, 3);
  client.loop.RunFor(4.2);
  std::vector<GamePacket> readies;
  GamePacket p;
  while (client.net.SendRing.TakePacket(p))
    if (p.Byte(3) == 16) readies.push_back(p);
  ASSERT_EQ(readies.size(), 1u);
  EXPECT_EQ(readies[0].U16BE(14), 1);
  for (const PlayerHand& seat : client.custom) EXPECT_EQ(seat.SeatWind, 0);
  EXPECT_TRUE(f.ImgShuffle.Visible() && f.LblShuffle.Visible());
  // The page went to the pane (which an unreachable address hides again).
  EXPECT_EQ(f.WebBrowser2.LocationURL(), d.ShufflePage);
  EXPECT_EQ(f.LblShuffle.Caption(), "正在随机换座中..");
  EXPECT_TRUE(d.ShuffleShown && f.TimerShuffle.Enabled());
  EXPECT_FALSE(d.SeatChangePending);
  EXPECT_TRUE(d.ReseatRequested);
}

class QuitTest : public LifecycleTest {
 protected:
  QuitTest() {
    d.OtherPlayerCount = 3;
    d.HandRunning = true;
    client.heartbeat.TickEnabled[kReadyCountdown] = true;
  }
  void Quit(int present) { Send(test::BuildPacket(16, present, {0, 0, 0, 1})); }
};

TEST_F(QuitTest, OtherPlayersQuittingEmptyTheTableAndShowTheNotice) {
  struct Case {
    int present;
    const char* names;
    int16_t count;
  } cases[] = {
      {15 - kTop, "西家,", 2},
      {15 - kTop - kRight, "北家,西家,", 1},
      {15 - kLeft - kTop - kRight, "北家,西家,南家,", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.present);
    Client& fresh = client;
    for (int i = 0; i < 4; ++i) fresh.Detail[i].name = kNames[i];
    d.OtherPlayerCount = 3;
    Quit(c.present);
    EXPECT_EQ(d.OtherPlayerCount, c.count);
    EXPECT_FALSE(d.HandRunning || client.heartbeat.TickEnabled[kReadyCountdown]);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(client.custom[i].name, "") << i;
    EXPECT_EQ(client.chat.Sysmsg[0].value_or("").rfind(std::string(c.names) + "退出了游戏！ ", 0),
              0u);
    EXPECT_EQ(client.chat.Sysmsg[1], std::string(c.names) + "请退出重新开始游戏.");
    EXPECT_EQ(client.frmOtherExit.Label1.Caption(),
              std::string("玩家") + c.names + "退出了游戏！游戏结束！");
    EXPECT_TRUE(client.frmOtherExit.Visible());
    EXPECT_TRUE(client.Hero && client.Hero->Visible());
    EXPECT_FALSE(client.main_form.TimerBong.Enabled());
  }
  // Everybody present: nothing happens.
  d.HandRunning = true;
  Quit(15);
  EXPECT_TRUE(d.HandRunning);
}

TEST_F(QuitTest, TheOwnQuitEndsTheProgramInOrderWithoutAWord) {
  auto& plugin = test::InstallInProcessPlugin(client);
  client.prop.Prop_GameDllState = 1;
  EXPECT_THROW(Quit(15 - kOwn - kTop), ProgramEnded);
  EXPECT_EQ(std::count(plugin.calls.begin(), plugin.calls.end(), "InitExit"), 1);
  EXPECT_EQ(plugin.exit_flag, 0);
  EXPECT_EQ(client.Winsock1.State(), TcpSocket::kClosed);
  EXPECT_TRUE(client.forms.LoadedForms().empty());
  EXPECT_FALSE(client.frmOtherExit.Visible());
  EXPECT_EQ(client.custom[2].name, "west");  // nothing shown, nothing cleared
}

// The highest leaver's bit alone tells whether the own seat goes: a lower
// own bit among the leavers is named like the others, and an unknown own
// seat counts as North.
TEST_F(QuitTest, TheHighestLeaverDecidesWhetherTheOwnSeatQuits) {
  struct Case {
    uint8_t own;
    int present;
    const char* names;  // nullptr: the program ends
  } cases[] = {
      {2, 15 - 2 - 1, nullptr}, {2, 15 - 2 - 4, "我,北家,"},
      {0, 15 - 1, nullptr},     {0, 15 - 2, "北家,"},
      {8, 0, nullptr},          {4, 0, "西家,南家,我,北家,"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int{c.own} << " " << c.present);
    client.custom[0].SeatWind = c.own;
    for (int i = 0; i < 4; ++i) client.Detail[i].name = kNames[i];
    client.frmOtherExit.Label1.SetCaption("");
    if (c.names == nullptr) {
      EXPECT_THROW(Quit(c.present), ProgramEnded);
      EXPECT_EQ(client.frmOtherExit.Label1.Caption(), "");
      continue;
    }
    EXPECT_NO_THROW(Quit(c.present));
    EXPECT_EQ(client.frmOtherExit.Label1.Caption(),
              std::string("玩家") + c.names + "退出了游戏！游戏结束！");
  }
}

TEST_F(QuitTest, ASpectatorIsToldTheWatchIsOver) {
  d.WatchMode = true;
  EXPECT_THROW(Quit(15 - kLeft), ProgramEnded);
  ASSERT_FALSE(client.forms.Shown().empty());
  EXPECT_EQ(client.forms.Shown().back().prompt, "有用户退出，旁观结束！");
  EXPECT_EQ(client.frmOtherExit.Label1.Caption(), "玩家南家,退出了游戏！游戏结束！");
}

class OutOfCoinsTest : public LifecycleTest {
 protected:
  explicit OutOfCoinsTest(float scale = 1.0f) : LifecycleTest(scale) {
    d.OtherPlayerCount = 3;
    d.juNum = 4;
    d.WealthMultiplier = 5;
    d.SeatWealth = {0, 5, 7, 9};
    d.SeatChangePending = d.ShuffleShown = true;
    f.ImgShuffle.SetVisible(true);
    f.TimerBong.SetEnabled(true);
    d.g_bCanRecon = true;
  }
  void Out(int present, int byte11 = 0, int word3 = 3) {
    test::PacketBytes packet = test::BuildPacket(16, present, {0, 0, 0, word3});
    packet[11] = static_cast<uint8_t>(byte11);
    Send(packet);
  }
};

TEST_F(OutOfCoinsTest, OthersOutOfCoinsAreNamedAndTheClientStays) {
  struct Case {
    int present, word3;
    const char* line;
  } cases[] = {
      {15 - kLeft, 3, "玩家南家金币不够，退出游戏！"},
      {15 - kLeft - kTop, 9, "玩家西家，南家金币不够，退出游戏！"},  // by seat bit
      {15, -1, "玩家金币不够，退出游戏！"},
  };
  for (const Case& c : cases) {
    Out(c.present, 0, c.word3);
    EXPECT_EQ(client.chat.Sysmsg[0], c.line);
    EXPECT_EQ(d.juNum, 0);
    EXPECT_FALSE(d.SeatChangePending || d.ShuffleShown || f.ImgShuffle.Visible());
    EXPECT_FALSE(client.frmOtherExit.Visible());
    EXPECT_EQ(client.custom[1].name, "south");
    EXPECT_TRUE(f.TimerBong.Enabled());
    EXPECT_FALSE(d.GameOver);
  }
  EXPECT_TRUE(client.Score && client.Score->Visible());
}

TEST_F(OutOfCoinsTest, TheOwnSeatOutOfCoinsLeavesTheTable) {
  struct Case {
    int present, byte11;
    const char* notice;
  } cases[] = {
      {15 - kOwn, kOwn, "您的金币不够，请更换房间或充值后继续游戏！"},
      {15 - kOwn, 0, "您的金币不够，请领取低保或充值后继续游戏！"},
      {15 - kOwn - kLeft, kLeft, "玩家南家您的金币不够，请领取低保或充值后继续游戏！"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.notice);
    OutOfCoinsTest::TearDown();
    Client& cl = client;
    for (int i = 0; i < 4; ++i) {
      cl.custom[i].name = kAccounts[i];
      cl.Detail[i].name = kNames[i];
    }
    d.SeatWealth = {0, 5, 7, 9};
    d.OtherPlayerCount = 3;
    f.TimerBong.SetEnabled(true);
    d.g_bCanRecon = true;
    Out(c.present, c.byte11);
    EXPECT_EQ(cl.frmOtherExit.Label1.Caption(), c.notice);
    EXPECT_TRUE(d.GameOver);
    EXPECT_FALSE(d.g_bCanRecon || f.TimerBong.Enabled() || f.TimerKeepAlive.Enabled());
    EXPECT_EQ(cl.Winsock1.State(), TcpSocket::kClosed);
    EXPECT_EQ(d.OtherPlayerCount, 0);
    for (int i = 1; i <= 3; ++i) {
      EXPECT_EQ(cl.custom[i].name, "");
      EXPECT_EQ(d.TableMateNames[i - 1], "");
      EXPECT_EQ(d.SeatWealth[i], 0);
    }
    // The own seat had no wealth value: the smallest above 0 of none is 0.
    EXPECT_EQ(f.lbwealth.Caption(), "0");
    EXPECT_DOUBLE_EQ(f.lbwealth.Font().size, 16);
    EXPECT_EQ(cl.chat.Sysmsg[0], std::nullopt);  // emptied again by the seat clearing
  }
}

TEST_F(OutOfCoinsTest, ThePluginShutsDownNowOrWhenTheSheetHasBeenShown) {
  for (int hand_over : {0, 1}) {
    auto& plugin = test::InstallInProcessPlugin(client);
    client.prop.Prop_GameDllState = 1;
    client.prop.SheetHandOver = static_cast<int16_t>(hand_over);
    client.prop.PluginShutdownPending = false;
    Out(15 - kOwn);
    const bool now =
        std::find(plugin.calls.begin(), plugin.calls.end(), "InitExit") != plugin.calls.end();
    EXPECT_EQ(now, hand_over == 0) << hand_over;
    EXPECT_EQ(client.prop.PluginShutdownPending, hand_over == 1) << hand_over;
  }
}

TEST_F(OutOfCoinsTest, TheOwnBadgeFontFollowsTheScale) {
  struct Case {
    float scale;
    std::array<int32_t, 4> wealth;
    const char* caption;
    double font;
  } cases[] = {{1.0f, {120, 5, 7, 9}, "120", 12},
               {0.78125f, {120, 5, 7, 9}, "120", 11},
               {0.78125f, {50, 5, 7, 9}, "50", 15}};
  for (const Case& c : cases) {
    d.ScaleX = d.ScaleY = c.scale;
    d.SeatWealth = c.wealth;
    Out(15 - kOwn);
    EXPECT_EQ(f.lbwealth.Caption(), c.caption);
    EXPECT_DOUBLE_EQ(f.lbwealth.Font().size, c.font);
  }
}

TEST_F(OutOfCoinsTest, ASpectatorIsToldTheWatchIsOver) {
  d.WatchMode = true;
  EXPECT_THROW(Out(15 - kLeft), ProgramEnded);
  EXPECT_EQ(client.forms.Shown().back().prompt, "有用户退出，旁观结束！");
}

TEST_F(LifecycleTest, AForcedExitShowsTheServersTextAndLeaves) {
  struct Case {
    std::vector<uint8_t> bytes;
    std::string text;
  } cases[] = {
      {std::vector<uint8_t>(200, 'a'), std::string(200, 'a')},
      {{}, ""},
      {{0xC4, 0xE3, 0xB1, 0xBB, 0xCC, 0xDF, 0xB3, 0xF6, '!'}, "你被踢出!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    test::PacketBytes kick = test::BuildPacket(22, 0);
    test::PutBytes(kick, 16, c.bytes);
    if (!c.bytes.empty() && c.bytes.size() == 200) kick[216] = 'z';  // past the field: not read
    // A packet waiting behind the forced exit is not dispatched during its pause.
    StoreArrivedBytes(client, kick);
    StoreArrivedBytes(client, test::BuildPacket(23, 0, {0, 0, 0, 1}));
    ReadPacket(client);
    const double before = client.loop.Now();
    d.HandRunning = true;
    Deal_MSG(client);
    EXPECT_GE(client.loop.Now() - before, 2.0);
    EXPECT_EQ(client.net.RecvRing.Waiting(), 272);
    client.net.RecvRing = PacketRing{};
    EXPECT_EQ(client.frmOtherExit.Label1.Caption(), c.text);
    EXPECT_TRUE(client.frmOtherExit.Visible());
    EXPECT_TRUE(d.GameOver);
    EXPECT_FALSE(d.HandRunning || d.TableCleared);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(f.Tou[i].Picture()) << i;
    EXPECT_EQ(client.Winsock1.State(), TcpSocket::kClosed);
  }
}

// The seat-change screen and the notice over the table, for a person to look at.
TEST(LifecycleScreens, SeatChangeScreenAndNoticeAtBothScales) {
  for (float scale : {1.0f, 0.78125f}) {
    Client client{std::make_unique<ManualClock>()};
    SetStartValues(client.data);
    test::LayOutTable(client, scale);
    client.data.TableGameOn = true;
    client.data.ShufflePage = "http://127.0.0.1:9/shuffle.gamead";
    test::PacketBytes freed = test::BuildPacket(16, 0x0B, {0, 0, 1, 0});
    freed[11] = 1;
    StoreArrivedBytes(client, freed);
    ReadPacket(client);
    Deal_MSG(client);
    const std::string size = scale == 1.0f ? "1024" : "800";
    const Picture seat_change = test::ScreenShot(client, "seat_change_" + size + ".png");
    ASSERT_TRUE(seat_change);
    // The seat-change picture; its caption covers up to a quarter of it.
    EXPECT_TRUE(test::ShowsPicture(*seat_change, client.main_form.ImgShuffle, 16));
    ShowExitNotice(client, "玩家西家,退出了游戏！游戏结束！", NoticeArea::kTable);
    const Picture notice = test::ScreenShot(client, "exit_notice_" + size + ".png");
    ASSERT_TRUE(notice);
    // The notice changes the screen inside its own rectangle, and most of it.
    const test::PixelRect box = test::FormOver(client.frmOtherExit, client.main_form);
    const test::PixelRect changed = test::ChangedArea(*seat_change, *notice);
    EXPECT_TRUE(changed.Inside(box));
    EXPECT_GT(changed.width * 2, box.width);
    EXPECT_GT(changed.height * 2, box.height);
  }
}

}  // namespace
}  // namespace slvn
