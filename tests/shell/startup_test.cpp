#include "shell/startup.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>

#include "platform/sound_device.h"
#include "shell/client.h"
#include "shell/lobby_link.h"
#include "shell/program_end.h"
#include "support/drive.h"
#include "support/lobby_fixture.h"
#include "support/one_shot_server.h"
#include "support/table_server.h"

namespace slvn {
namespace {

class StartupTest : public test::LobbyFixture {
 protected:
  // A launch line that makes no connection (proxy type 3).
  static std::string Offline(const std::string& rest = "") {
    return "alice$key$127.0.0.1$7001$room$3$" + rest;
  }
};

TEST_F(StartupTest, ScreenSizeSetsTheWindowAndTheScale) {
  struct Case {
    const char* screen;
    float scale;
    double width, height;  // twips
  } cases[] = {
      {"1280x1024", 1.0f, 15600, 11940},
      {"1024x768", 1.0f, 15360, 11520},
      {"800x600", 0.78125f, 12000, 9000},
      {"1024x600", 0.78125f, 15360, 9000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.screen);
    Client fresh{std::make_unique<ManualClock>()};
    Prepare(fresh);
    setenv("SLVN_SCREEN", c.screen, 1);
    Form_Load(fresh, Offline());
    EXPECT_EQ(fresh.data.ScaleX, c.scale);
    EXPECT_EQ(fresh.data.ScaleY, c.scale);
    EXPECT_EQ(fresh.main_form.Width(), c.width);
    EXPECT_EQ(fresh.main_form.Height(), c.height);
    EXPECT_TRUE(fresh.main_form.Visible());
    fresh.shell.instance_lock.reset();
  }
  unsetenv("SLVN_SCREEN");
}

TEST_F(StartupTest, LaunchLineSettlesCaptionLobbyTitleAndConnection) {
  test::FakeLobby other(client.bus.Namespace(), "Other Lobby");
  Form_Load(client, Offline("$$$$1$Other Lobby$My Caption$"));
  EXPECT_EQ(client.main_form.Caption(), "My Caption");
  EXPECT_EQ(client.data.LobbyTitle, "Other Lobby");
  EXPECT_EQ(client.custom[0].name, "alice");
  EXPECT_FALSE(client.data.WatchMode);
  // Proxy type 3: no connection and no heartbeat, but the window is shown.
  EXPECT_EQ(client.Winsock1.State(), TcpSocket::kClosed);
  EXPECT_FALSE(client.main_form.TimerBong.Enabled());
  EXPECT_TRUE(client.main_form.Visible());
  EXPECT_EQ(client.chat.Sysmsg[0], "正在连接服务器...");
  // The login packet: name from byte 16, the second string from byte 32.
  EXPECT_EQ(client.shell.LoginPacket.Byte(3), 18);
  EXPECT_EQ(client.shell.LoginPacket.ByteString(16, 16), "alice");
  EXPECT_EQ(client.shell.LoginPacket.ByteString(32, 228), "key");
  // ... and it stays for the item plug-in.
  EXPECT_EQ(client.shell.launch.LoginString2, "key");
}

TEST_F(StartupTest, ALongRoomCaptionIsShownSmaller) {
  Form_Load(client, "alice$key$127.0.0.1$7001$一二三四五六七八九十一$3$");
  EXPECT_EQ(client.main_form.Location.Caption(), "一二三四五六七八九十一");
  EXPECT_EQ(client.main_form.Location.Font().size, 10);
}

TEST_F(StartupTest, ShowingTheWindowMinimisesTheLobbyAndResetsTheTurnTime) {
  Form_Load(client, Offline("$$$$1$" + std::string(test::kLobbyTitle) + "$Cap$"));
  // The caption flag gave 15 s, the first showing of the window 8 s again.
  EXPECT_EQ(client.data.CountdownStart, 8);
  auto got = lobby->WaitForMessages(2);
  ASSERT_GE(got.size(), 2u);
  EXPECT_EQ(got[0].wparam, kScRestore);
  EXPECT_EQ(got[1].wparam, kScMinimize);
}

TEST_F(StartupTest, VideoSettingIsReadOrCreated) {
  Form_Load(client, Offline());
  EXPECT_TRUE(client.data.VideoSetting);
  EXPECT_EQ(client.video.P2PSocket1->ServerAddress, "127.0.0.1");
  EXPECT_EQ(client.video.P2PSocket1->ServerPort, 8888);
  EXPECT_EQ(client.video.P2PSocket1->UserCount, 3);
  classIniFile ini;
  ini.INIFileName(dir.File("vidiosetting.ini"));
  EXPECT_EQ(ini.GetIniKey("vidiosetting", "vidiovalue"), "1");

  ini.WriteIniKey("vidiosetting", "vidiovalue", "0");
  Client off{std::make_unique<ManualClock>()};
  Prepare(off);
  client.shell.instance_lock.reset();
  Form_Load(off, Offline());
  EXPECT_FALSE(off.data.VideoSetting);
  EXPECT_EQ(off.video.P2PSocket1->ServerPort, 0);
}

TEST_F(StartupTest, StartsThatCannotGoOnEndWithAMessage) {
  struct Case {
    const char* line;
    const char* says;
  } cases[] = {
      {"", "本游戏需从游戏大厅中启动！"},
      {"alice$key$127.0.0.1$99999$room$0$", "启动参数错误：游戏服务器端口"},
  };
  for (const auto& c : cases) {
    Client fresh{std::make_unique<ManualClock>()};
    Prepare(fresh);
    EXPECT_THROW(Form_Load(fresh, c.line), ProgramEnded) << c.line;
    ASSERT_EQ(fresh.forms.Shown().size(), 1u);
    EXPECT_EQ(fresh.forms.Shown()[0].prompt, c.says);
    EXPECT_EQ(fresh.forms.Shown()[0].title, "警告");
  }
}

TEST_F(StartupTest, ASecondCopyEndsAtOnce) {
  Client first{std::make_unique<ManualClock>()};
  Prepare(first);
  Form_Load(first, Offline());
  EXPECT_THROW(Form_Load(client, Offline()), ProgramEnded);
  ASSERT_EQ(client.forms.Shown().size(), 1u);
  EXPECT_EQ(client.forms.Shown()[0].prompt, "Tumbra(一赖到底)游戏已经运行！");
}

TEST_F(StartupTest, WithoutALobbyWindowTheClientEnds) {
  lobby.reset();
  EXPECT_THROW(Form_Load(client, Offline()), ProgramEnded);
}

// The whole login through a real socket: the login slot, the server's reply,
// the lobby's notices and the keep-alive.
TEST_F(StartupTest, LogsInThroughTheTableServer) {
  // The page answers, so the pane stays up (a refused one hides it).
  test::OneShotServer page("HTTP/1.0 200 OK\r\n\r\n<title>ad</title>");
  test::TempDir server_dir;
  test::TableServer server(server_dir, R"(
expect 18 seat=0 text@16="alice" text@32="key"
send 18 v0=5 v1=0x1A v3=1 text@16=")" + page.Address() +
                                           R"("
expect 24 seat=0 timeout=8000
close
)");
  ASSERT_GT(server.port(), 0);
  Form_Load(client, "alice$key$127.0.0.1$" + std::to_string(server.port()) + "$room$0$");
  ASSERT_TRUE(test::Drive(client, [&] { return client.data.LoggedIn; })) << server.Record();
  EXPECT_EQ(client.data.TimeoutLimit, 5);
  EXPECT_EQ(client.data.CountdownStart, 10);
  EXPECT_TRUE(client.data.g_bCanRecon);
  EXPECT_FALSE(client.data.LoginPending);
  EXPECT_EQ(client.data.ShufflePage, page.Address() + ".gamead");
  EXPECT_EQ(client.chat.Sysmsg[0], "连接服务器成功！");
  EXPECT_EQ(client.main_form.WebBrowser1.LocationURL(), page.Address());
  EXPECT_TRUE(client.main_form.WebBrowser1.Visible());
  EXPECT_EQ(client.main_form.Sysmsg[0].List(0), "连接服务器成功！");
  EXPECT_TRUE(client.main_form.TimerKeepAlive.Enabled());
  lobby->WaitForMessages(4);
  EXPECT_TRUE(LobbyGot(kLobbyConnect));
  EXPECT_TRUE(LobbyGot(kLobbyGiveUpTable));
  // The keep-alive goes out 5 s later; then the server closes.
  ASSERT_TRUE(test::Drive(
      client, [&] { return client.Winsock1.State() != TcpSocket::kConnected; }, 20));
  EXPECT_EQ(server.Finish(), 0) << server.Record();
}

TEST_F(StartupTest, RefusedLoginsReturnToTheLobbyAndEnd) {
  struct Case {
    int code;
    const char* says;
  } cases[] = {{2, "启动游戏失败，请重新在大厅就座后进入游戏！"},
               {7, "验证错误，请重新登陆游戏！"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    test::TempDir server_dir;
    test::TableServer server(server_dir,
                             "expect 18\nsend 18 v3=" + std::to_string(c.code) + "\nwait 3000\n");
    Client fresh{std::make_unique<ManualClock>()};
    Prepare(fresh);
    Form_Load(fresh, "alice$key$127.0.0.1$" + std::to_string(server.port()) + "$room$0$");
    EXPECT_THROW(test::Drive(
                     fresh, [] { return false; }, 10),
                 ProgramEnded);
    EXPECT_EQ(fresh.chat.Sysmsg[0], c.says);
    EXPECT_FALSE(fresh.data.LoggedIn);
  }
  EXPECT_TRUE(LobbyGot(kLobbyConnect));
}

}  // namespace
}  // namespace slvn
