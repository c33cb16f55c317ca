#include "shell/proxy.h"

#include <gtest/gtest.h>

#include "platform/sound_device.h"
#include "shell/client.h"
#include "shell/heartbeat_state.h"
#include "shell/lobby_link.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"
#include "shell/reconnect.h"
#include "shell/startup.h"
#include "support/drive.h"
#include "support/fake_lobby.h"
#include "support/socks_server.h"
#include "support/table_server.h"

namespace slvn {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(ProxyMessages, AreBuiltAsSent) {
  EXPECT_EQ(ProxyGreeting(), (Bytes{5, 2, 0, 2}));
  EXPECT_EQ(ProxyAuthentication("ab", "xyz"), (Bytes{1, 2, 'a', 'b', 3, 'x', 'y', 'z'}));
  // A character without a single-byte code is one 0 byte.
  EXPECT_EQ(ProxyAuthentication("a中", ""), (Bytes{1, 2, 'a', 0, 0}));
  // Over 255 bytes each is cut to 255.
  Bytes long_auth = ProxyAuthentication(std::string(300, 'u'), std::string(256, 'p'));
  ASSERT_EQ(long_auth.size(), 3u + 255 + 255);
  EXPECT_EQ(long_auth[1], 255);
  EXPECT_EQ(long_auth[257], 255);
  const std::array<uint8_t, 4> address{192, 0, 2, 20};
  EXPECT_EQ(ProxyConnectRequest(address, 8000), (Bytes{5, 1, 0, 1, 0xC0, 0, 2, 0x14, 0x1F, 0x40}));
}

// Replies fed in chunks as the socket would deliver them, with no socket
// behind: what counts is the step reached, the message and RecvRing.
struct ReplyCase {
  const char* name;
  uint8_t step;
  Bytes reply;
  uint8_t step_after;  // 0: refused or the tunnel stands
  const char* message;
  bool ready;
  size_t game_bytes;
};

TEST(ProxyReplies, AreJudgedWholeWhateverTheChunks) {
  const ReplyCase cases[] = {
      {"no authentication", 2, {5, 0}, 6, nullptr, false, 0},
      {"user and password", 2, {5, 2}, 4, nullptr, false, 0},
      {"no acceptable method", 2, {5, 0xFF}, 0, "请求代理失败！", false, 0},
      {"authenticated", 4, {1, 0}, 6, nullptr, false, 0},
      {"bad password", 4, {1, 1}, 0, "代理服务器用户验证失败！", false, 0},
      {"connected, IPv4", 6, {5, 0, 0, 1, 9, 9, 9, 9, 1, 2}, 0, nullptr, true, 0},
      {"connected, then game bytes",
       6,
       {5, 0, 0, 1, 9, 9, 9, 9, 1, 2, 0xAA, 0xBB, 0xCC},
       0,
       nullptr,
       true,
       3},
      {"connected, name", 6, {5, 0, 0, 3, 3, 'a', 'b', 'c', 0, 80, 0xAA}, 0, nullptr, true, 1},
      {"connected, IPv6", 6,
       Bytes{5, 0, 0, 4, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 0, 80, 0xAA, 0xBB},
       0, nullptr, true, 2},
      {"host unreachable",
       6,
       {5, 4, 0, 1, 0, 0, 0, 0, 0, 0},
       0,
       "通过代理连接主站失败！",
       false,
       0},
      {"unknown address type", 6, {5, 0, 0, 9, 1, 2}, 0, "通过代理连接主站失败！", false, 0},
  };
  for (const auto& c : cases) {
    for (size_t chunk : {size_t{1}, size_t{3}, c.reply.size()}) {
      SCOPED_TRACE(std::string(c.name) + ", chunks of " + std::to_string(chunk));
      Client client{std::make_unique<ManualClock>()};
      client.net.ProxyReady = false;
      client.net.ProxyStep = c.step;
      client.shell.launch.GameServerHost = "127.0.0.1";
      for (size_t at = 0; at < c.reply.size(); at += chunk) {
        const size_t n = std::min(chunk, c.reply.size() - at);
        StoreArrivedBytes(client, std::span<const uint8_t>(c.reply).subspan(at, n));
      }
      EXPECT_EQ(client.net.ProxyStep, c.step_after);
      EXPECT_EQ(client.net.ProxyReady, c.ready);
      if (c.message) {
        ASSERT_EQ(client.forms.Shown().size(), 1u);
        EXPECT_EQ(client.forms.Shown()[0].prompt, c.message);
      } else {
        EXPECT_TRUE(client.forms.Shown().empty());
      }
      // Nothing of a reply reaches RecvRing; the bytes after it do.
      EXPECT_EQ(client.net.RecvRing.Waiting(), c.game_bytes);
      if (c.ready) {
        EXPECT_EQ(client.main_form.Sysmsg[0].List(0), "连接代理服务器成功！");  // shown
      }
    }
  }
}

TEST(ProxyReplies, APartialReplyWaitsForTheRest) {
  Client client{std::make_unique<ManualClock>()};
  client.net.ProxyReady = false;
  client.net.ProxyStep = 6;
  const Bytes head{5, 0, 0, 1, 127, 0};
  StoreArrivedBytes(client, head);
  EXPECT_EQ(client.net.ProxyStep, 6);
  EXPECT_FALSE(client.net.ProxyReady);
  EXPECT_EQ(client.net.RecvRing.Waiting(), 0u);
}

constexpr const char* kLobbyTitle = "Corvald山庄";

class ProxyLoginTest : public ::testing::Test {
 protected:
  ProxyLoginTest() {
    client.bus = WindowBus(test::TestBusNamespace());
    client.sound.program_folder = dir.path().string();
    client.sound.device = std::make_unique<RecordingSoundDevice>();
    lobby = std::make_unique<test::FakeLobby>(client.bus.Namespace(), kLobbyTitle);
  }
  std::string Line(int game_port, int proxy_port, const std::string& user = "",
                   const std::string& password = "") {
    return "alice$key$127.0.0.1$" + std::to_string(game_port) + "$room$5$127.0.0.1$" +
           std::to_string(proxy_port) + "$" + user + "$" + password + "$";
  }

  test::TempDir dir;
  Client client{std::make_unique<ManualClock>()};
  std::unique_ptr<test::FakeLobby> lobby;
};

constexpr const char* kLoginScript = R"(
expect 18 seat=0 text@16="alice" text@32="key"
send 18 v0=5 v1=0x1A v3=1
wait 300
)";

TEST_F(ProxyLoginTest, LogsInThroughMicrosocks) {
  for (bool with_password : {false, true}) {
    SCOPED_TRACE(with_password ? "user and password" : "no authentication");
    Client fresh{std::make_unique<ManualClock>()};
    fresh.bus = client.bus;
    fresh.sound.program_folder = dir.path().string();
    fresh.sound.device = std::make_unique<RecordingSoundDevice>();
    test::Microsocks proxy(with_password ? "user" : "", with_password ? "secret" : "");
    test::TempDir server_dir;
    test::TableServer server(server_dir, kLoginScript);
    ASSERT_GT(server.port(), 0);
    Form_Load(fresh, with_password ? Line(server.port(), proxy.port(), "user", "secret")
                                   : Line(server.port(), proxy.port()));
    ASSERT_TRUE(test::Drive(fresh, [&] { return fresh.data.LoggedIn; })) << server.Record();
    EXPECT_TRUE(fresh.net.ProxyReady);
    EXPECT_TRUE(fresh.forms.Shown().empty());
    EXPECT_TRUE(fresh.heartbeat.TickEnabled[kWatchdogSlot]);
    EXPECT_EQ(server.Finish(), 0) << server.Record();
    fresh.shell.instance_lock.reset();
  }
}

TEST_F(ProxyLoginTest, ARefusingProxyShowsWhyAndCloses) {
  struct Case {
    const char* name;
    std::string password;  // the proxy wants "secret"
    bool server_up;
    const char* says;
  } cases[] = {
      {"wrong password", "wrong", true, "代理服务器用户验证失败！"},
      {"game server down", "secret", false, "通过代理连接主站失败！"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Client fresh{std::make_unique<ManualClock>()};
    fresh.bus = client.bus;
    fresh.sound.program_folder = dir.path().string();
    fresh.sound.device = std::make_unique<RecordingSoundDevice>();
    test::Microsocks proxy("user", "secret");
    const int game_port = test::FreeLoopbackPort();
    Form_Load(fresh, Line(game_port, proxy.port(), "user", c.password));
    ASSERT_TRUE(test::Drive(fresh, [&] { return !fresh.forms.Shown().empty(); }));
    EXPECT_EQ(fresh.forms.Shown()[0].prompt, c.says);
    EXPECT_EQ(fresh.Winsock1.State(), TcpSocket::kClosed);
    EXPECT_FALSE(fresh.data.LoggedIn);
    fresh.shell.instance_lock.reset();
  }
}

// A reconnect try that comes while an earlier try still waits for its proxy
// connection (the wait handles events) reconnects the socket, and the waiting
// try goes on with it: the proxy gets one greeting, then the connect request.
TEST(ProxyWait, ATryInsideTheWaitOfAnotherStartsNoSecondNegotiation) {
  test::StrictProxy proxy;
  Client client{std::make_unique<ManualClock>()};
  LaunchLine& line = client.shell.launch;
  line.ProxyType = 5;
  line.ProxyServerHost = "127.0.0.1";
  line.ProxyServerPort = static_cast<uint16_t>(proxy.port());
  line.GameServerHost = "127.0.0.1";
  line.GameServerPort = 8000;
  // The posted try runs inside the first try's wait.
  client.loop.Post([&] { Reconnect(client, client.shell.LoginPacket); });
  Reconnect(client, client.shell.LoginPacket);
  ASSERT_TRUE(test::Drive(client, [&] { return !client.forms.Shown().empty(); }));
  EXPECT_EQ(proxy.Request(), (Bytes{5, 1, 0, 1, 127, 0, 0, 1, 0x1F, 0x40}));
  EXPECT_EQ(client.forms.Shown()[0].prompt, "通过代理连接主站失败！");
}

// The proxy refuses the TCP connection: the watchdog takes over as on the
// direct path, and ends the program once it finds the lobby gone.
TEST(ProxyWait, AFailedProxyConnectionHandsOverToTheWatchdog) {
  Client client{std::make_unique<ManualClock>()};
  client.bus = WindowBus(test::TestBusNamespace());
  client.data.LobbyTitle = "Corvald山庄";
  LaunchLine& line = client.shell.launch;
  line.ProxyType = 5;
  line.ProxyServerHost = "127.0.0.1";
  line.ProxyServerPort = 1;
  ConnectAndLogIn(client);
  EXPECT_NE(client.Winsock1.State(), TcpSocket::kConnected);
  EXPECT_TRUE(client.heartbeat.TickEnabled[kWatchdogSlot]);
  EXPECT_TRUE(client.main_form.TimerBong.Enabled());
  {
    test::FakeLobby lobby(client.bus.Namespace(), "Corvald山庄");
    client.loop.RunFor(5);  // the lobby is there: the watchdog waits on
  }
  EXPECT_THROW(client.loop.RunFor(3), ProgramEnded);
}

}  // namespace
}  // namespace slvn
