// The table's lifecycle against the table server: the client starts from
// its launch line, and the server plays the scripts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "shell/client.h"
#include "shell/program_end.h"
#include "shell/resources/image_resource.h"
#include "shell/startup.h"
#include "support/drive.h"
#include "support/lobby_fixture.h"
#include "support/table_server.h"
#include "support/temp_dir.h"

namespace slvn {
namespace {

// Login and a full table: demo at East with bob, carol and dave; the game starts.
constexpr const char* kSeated = R"(
expect 18
send 18 v0=3 v1=15 v3=1 text@16="http://127.0.0.1:9/lobby"
send 3 seat=8 text@16="demo"
send 3 seat=4 text@16="bob"
send 3 seat=2 text@16="carol"
send 3 seat=1 text@16="dave"
send 20 seat=8 text@16="演示" text@48="m1" hex@64=01 text@168="demo"
send 20 seat=4 text@16="鲍勃" text@48="m2" hex@64=01 text@168="bob"
send 20 seat=2 text@16="卡罗" text@48="w3" hex@64=00 text@168="carol"
send 20 seat=1 text@16="戴夫" text@48="m4" hex@64=01 text@168="dave"
send 16 seat=8 v3=2
)";

std::string ScriptFile(const std::string& name) {
  const char* source = std::getenv("SLVN_SOURCE_DIR");
  return test::ReadFileBytes(std::string(source ? source : ".") + "/tools/table-server/scripts/" +
                             name);
}

class LifecycleServerTest : public test::LobbyFixture {
 protected:
  void Start(const test::TableServer& server) {
    Form_Load(client, "demo$key$127.0.0.1$" + std::to_string(server.port()) + "$room$0$");
  }
  // The client's packets after the given line of the record.
  static bool SentAfter(const std::string& record, const std::string& after,
                        const std::string& what) {
    const size_t at = record.find(after);
    return at != std::string::npos && record.find(what, at) != std::string::npos;
  }
  test::TempDir server_dir;
};

TEST_F(LifecycleServerTest, AFreedSeatShowsTheSeatChangeScreenUntilTheTableIsSeatedAnew) {
  test::TableServer server(server_dir, ScriptFile("reseat.txt"));
  ASSERT_GT(server.port(), 0);
  Start(server);
  MainForm& f = client.main_form;
  // Every seat shows its avatar, its title and name, its coins and its level,
  // the own seat (display seat 0) too.
  auto expect_seat = [&](int seat, const char* name_label, const char* coins, const char* level) {
    SCOPED_TRACE(seat);
    EXPECT_TRUE(f.Tou[seat].Visible() && f.Tou[seat].Picture());
    EXPECT_EQ(f.Nid[seat].Caption(), name_label);
    EXPECT_EQ(f.Cash[seat].Caption(), coins);
    EXPECT_EQ(f.Level[seat].Caption(), level);
  };
  ASSERT_TRUE(test::Drive(
      client, [&] { return f.ZhiNan.Visible(); }, 60))
      << server.Record();
  expect_seat(0, "[新手] 演示", "12800金币", "书生");
  expect_seat(1, "[老手] 鲍勃", "25600金币", "秀才");
  ASSERT_TRUE(test::Drive(
      client, [&] { return client.data.ShuffleShown; }, 60))
      << server.Record();
  EXPECT_TRUE(f.ImgShuffle.Visible() && f.LblShuffle.Visible());
  EXPECT_EQ(f.WebBrowser2.LocationURL(), "http://127.0.0.1:9/lobby.gamead");
  // The freed seat's message brings the table's wealth multiplier.
  EXPECT_TRUE(f.lbwealth.Visible() && f.Imgwealth.Visible());
  EXPECT_EQ(f.lbwealth.Caption(), "3");
  EXPECT_EQ(client.custom[0].SeatWind, 0);
  // Seated anew at South: the screen goes and the compass shows South.
  const Picture south = LoadResourcePicture(client, std::stoi(client.images.CompassPics[2]));
  ASSERT_TRUE(test::Drive(
      client, [&] { return client.custom[0].SeatWind == 4 && f.ZhiNan.Picture() == south; }, 60))
      << server.Record();
  EXPECT_FALSE(client.data.ShuffleShown || f.WebBrowser2.Visible());
  EXPECT_TRUE(f.ZhiNan.Visible());
  EXPECT_FALSE(f.ImgShuffle.Visible() || f.LblShuffle.Visible());
  // At South the own seat keeps its labels; erin (West) sits at its right.
  ASSERT_TRUE(test::Drive(
      client, [&] { return f.Nid[1].Caption() == "[老手] 艾琳"; }, 60))
      << server.Record();
  expect_seat(0, "[新手] 演示", "12800金币", "书生");
  expect_seat(3, "[老手] 鲍勃", "25600金币", "秀才");
  EXPECT_EQ(f.lbwealth.Caption(), "3");
  EXPECT_EQ(server.Finish(), 0) << server.Record();
}

TEST_F(LifecycleServerTest, LeavingPathsShowTheirNoticeAndCloseWithoutALeavePacket) {
  struct Case {
    const char* step;
    const char* notice;
  } cases[] = {
      {"send 16 seat=13 v3=1", "玩家卡罗,退出了游戏！游戏结束！"},
      {"send 16 seat=7 v1=8 v3=3", "您的金币不够，请更换房间或充值后继续游戏！"},
      {"send 22 text@16=\"您已被请出牌桌\"", "您已被请出牌桌"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    test::TempDir dir;
    test::TableServer server(dir, std::string(kSeated) + "wait 1000\n" + c.step + "\nwait 4000\n");
    ASSERT_GT(server.port(), 0);
    Client fresh{std::make_unique<ManualClock>()};
    Prepare(fresh);
    Form_Load(fresh, "demo$key$127.0.0.1$" + std::to_string(server.port()) + "$room$0$");
    ASSERT_TRUE(test::Drive(
        fresh, [&] { return fresh.frmOtherExit.Visible(); }, 30))
        << server.Record();
    EXPECT_EQ(fresh.frmOtherExit.Label1.Caption(), c.notice);
    EXPECT_EQ(server.Finish(), 0);
    const std::string record = server.Record();
    EXPECT_NE(record.find("peer closed"), std::string::npos) << record;
    // The game start came before the step: no command 16 of the client's after it.
    EXPECT_FALSE(SentAfter(record, "send cmd=16 extra1=0 seat=8", "recv cmd=16")) << record;
  }
}

}  // namespace
}  // namespace slvn
