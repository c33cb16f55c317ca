#include "dispatch/table_lifecycle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dispatch/deal_msg.h"
#include "shell/client.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"
#include "shell/reconnect.h"
#include "support/drive.h"
#include "support/lobby_fixture.h"
#include "support/packet_builder.h"
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
  EXPECT_EQ(f.AnNiu[2].Picture(), LoadResourcePicture(client, std::stoi(client.images.ButtonPics[6])));
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
  EXPECT_EQ(client.chat.Sysmsg[0], "");
  EXPECT_EQ(client.custom[2].name, "");
  EXPECT_EQ(client.Detail[2].name, "");
  EXPECT_EQ(client.Detail[2].userid, 42);
  EXPECT_EQ(client.custom[1].name, "south");  // the others stay
  for (int outside : {0, 4, -1}) ClearVacatedSeat(client, outside);
  EXPECT_EQ(client.custom[0].name, "me");
}

TEST_F(LifecycleTest, TheExitNoticeIsCentredOverTheWindowOrTheTable) {
  f.Move(300, 600, 15360, 11520);
  for (NoticeArea area : {NoticeArea::kMainWindow, NoticeArea::kTable}) {
    ShowExitNotice(client, "玩家退出了游戏！", area);
    const OtherExitDialog& notice = client.frmOtherExit;
    const bool table = area == NoticeArea::kTable;
    const double left = 300 + (table ? f.Pic1.Left() : 0);
    const double top = 600 + (table ? f.Pic1.Top() : 0);
    const double width = table ? f.Pic1.Width() : f.Width();
    const double height = table ? f.Pic1.Height() : f.Height();
    EXPECT_DOUBLE_EQ(notice.Left(), left + (width - notice.Width()) / 2);
    EXPECT_DOUBLE_EQ(notice.Top(), top + (height - notice.Height()) / 2);
    EXPECT_TRUE(notice.Visible() && notice.Topmost());
    EXPECT_EQ(notice.Label1.Caption(), "玩家退出了游戏！");
  }
}

}  // namespace
}  // namespace slvn
