// Seating against the table server, in process: the server's order of
// details, seat names and seated details, a player leaving and another
// joining in the freed seat.
#include <gtest/gtest.h>

#include <string>

#include "shell/client.h"
#include "shell/startup.h"
#include "support/drive.h"
#include "support/lobby_fixture.h"
#include "support/table_server.h"

namespace slvn {
namespace {

class SeatingServerTest : public test::LobbyFixture {};

TEST_F(SeatingServerTest, SeatsTheTableThenAPlayerLeavesAndAnotherTakesTheSeat) {
  test::TempDir server_dir;
  test::TableServer server(server_dir, R"(
expect 18 text@16="alice"
send 18 v0=3 v1=15 v3=1
send 20 seat=15 text@16="爱丽丝" text@48="w1" text@168="alice" text@184="新手" u32le@96=500 text@112="书生"
send 20 seat=0 text@16="鲍勃" text@48="m2" text@168="bob" u32le@96=600 u32le@234=5
send 20 seat=0 text@16="卡萝" text@48="w7" text@168="carol" u32le@96=700 u32le@234=4
send 20 seat=0 text@16="大卫" text@48="m5" text@168="dave" u32le@96=800 u32le@234=6
send 3 seat=8 text@16="alice"
send 3 seat=4 text@16="bob"
send 3 seat=2 text@16="carol"
send 3 seat=1 text@16="dave"
send 20 seat=8 text@16="爱丽丝" text@168="alice" u32le@96=500
send 20 seat=4 text@16="鲍勃" text@48="m2" text@168="bob" u32le@96=600 u32le@234=5
send 20 seat=2 text@16="卡萝" text@48="w7" text@168="carol" u32le@96=700 u32le@234=4
send 20 seat=1 text@16="大卫" text@48="m5" text@168="dave" u32le@96=800 u32le@234=6
wait 500
send 21 text@16="carol"
expect 24 timeout=8000
send 20 seat=0 text@16="艾琳" text@48="w3" text@168="erin" u32le@96=900 u32le@234=2
wait 500
close
)");
  ASSERT_GT(server.port(), 0);
  Form_Load(client, "alice$key$127.0.0.1$" + std::to_string(server.port()) + "$room$0$");
  MainForm& f = client.main_form;
  ASSERT_TRUE(test::Drive(client, [&] { return f.ZhiNan.Visible(); })) << server.Record();
  EXPECT_EQ(client.custom[0].SeatWind, 8);
  EXPECT_EQ(f.Nid[0].Caption(), "[新手] 爱丽丝");
  EXPECT_EQ(f.Cash[2].Caption(), "700金币");
  EXPECT_EQ(f.lbwealth.Caption(), "4");
  EXPECT_EQ(f.ZhiNan.Picture(),
            LoadResourcePicture(client, *ResourceNumber(client.images.CompassPics[3])));
  ASSERT_TRUE(test::Drive(client, [&] { return client.custom[2].name.empty(); }))
      << server.Record();
  EXPECT_EQ(f.Nid[2].Caption(), "");
  EXPECT_EQ(f.lbwealth.Caption(), "5");
  EXPECT_EQ(client.data.OtherPlayerCount, 2);
  ASSERT_TRUE(test::Drive(
      client, [&] { return client.custom[2].name == "erin"; }, 20))
      << server.Record();
  EXPECT_EQ(f.Nid[2].Caption(), "[] 艾琳");
  EXPECT_EQ(f.lbwealth.Caption(), "2");
  EXPECT_EQ(client.chat.Sysmsg[0], "游戏将在15秒内开始");
  EXPECT_EQ(server.Finish(), 0) << server.Record();
}

}  // namespace
}  // namespace slvn
