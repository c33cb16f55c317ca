#include "shell/reconnect.h"

#include <gtest/gtest.h>

#include <cmath>

#include "chat/chat_state.h"
#include "platform/sound_device.h"
#include "shell/client.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"
#include "shell/startup.h"
#include "support/drive.h"
#include "support/fake_lobby.h"
#include "support/socks_server.h"
#include "support/table_server.h"

namespace slvn {
namespace {

// Nothing listens on port 1 of loopback: every attempt fails.
TEST(ReconnectSchedule, TriesEveryThreeSecondsThenGivesUp) {
  Client client{std::make_unique<ManualClock>()};
  client.shell.launch.GameServerHost = "127.0.0.1";
  client.shell.launch.GameServerPort = 1;
  client.net.EchoToken = {0xAB, 0xCD};
  client.net.ReconnectId = 0x01020304;
  PutSysmsgLine(client, "before the outage");
  PutSysmsgLine(client, "still before");
  LoadReconnectForm(client);
  EXPECT_FALSE(client.frmReconnect->Visible());

  std::vector<double> tries;
  int16_t seen = 0;
  const double start = client.loop.Now();
  bool ended = false;
  while (!ended && client.loop.Now() - start < 80) {
    try {
      client.loop.RunFor(0.25);
    } catch (const ProgramEnded&) {
      ended = true;
    }
    if (client.frmReconnect->ReconnectAttempts != seen) {
      seen = client.frmReconnect->ReconnectAttempts;
      tries.push_back(std::floor(client.loop.Now() - start));
    }
  }
  std::vector<double> expected;
  for (int t = 4; t <= 64; t += 3) expected.push_back(t);
  EXPECT_EQ(tries, expected);
  ASSERT_TRUE(ended);
  EXPECT_EQ(std::floor(client.loop.Now() - start), 67);
  ASSERT_EQ(client.forms.Shown().size(), 1u);
  EXPECT_EQ(client.forms.Shown()[0].prompt, "重连失败，请检查您的网络！");

  // The reconnect packet: command 28, the echo token, the id least significant first.
  const GamePacket& packet = client.shell.LoginPacket;
  EXPECT_EQ(packet.Byte(3), 28);
  EXPECT_EQ(packet.Byte(260), 0xAB);
  EXPECT_EQ(packet.Byte(261), 0xCD);
  EXPECT_EQ(packet.U32BE(268), 0x04030201u);
  // The strip shows the notice, not the lines from before the outage.
  EXPECT_EQ(client.main_form.Sysmsg[0].List(0), "正在重新连接服务器...");
  EXPECT_EQ(client.main_form.Sysmsg[1].List(0), "");
  EXPECT_TRUE(client.heartbeat.TickEnabled[kLoginSlot]);
}

constexpr const char* kLobbyTitle = "Corvald山庄";

// The table server drops the connection in the middle of a hand; the client
// comes back with the last echo token and the table's id, directly or through
// a SOCKS5 proxy, and the server accepts or refuses.
TEST(ReconnectThroughTheTableServer, ResumesWithTheRingsKeptOrEnds) {
  struct Case {
    const char* name;
    bool accepted;
    bool proxy;
  } cases[] = {{"accepted", true, false}, {"refused", false, false}, {"proxy", true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    Client client{std::make_unique<ManualClock>()};
    client.bus = WindowBus(test::TestBusNamespace());
    client.sound.program_folder = dir.path().string();
    client.sound.device = std::make_unique<RecordingSoundDevice>();
    test::FakeLobby lobby(client.bus.Namespace(), kLobbyTitle);
    test::Microsocks proxy;
    // The direct path keeps the rings, so the packet queued during the outage
    // goes out; the proxy path empties them. The connection then stands
    // longer than the reconnect window's 3 s check, which unloads it, until
    // the test closes it.
    const std::string accept_end =
        c.proxy ? "send 29 v3=1\nwait 10000\nclose\n"
                : "send 29 v3=1\nexpect 77 timeout=5000\nwait 10000\nclose\n";
    test::TempDir server_dir;
    test::TableServer server(server_dir, std::string(R"(
expect 18
send 18 v3=1
send 50 echo=ABCD
wait 1000
close
accept
expect 28 text@16="alice" echo=ABCD u32le@268=0x01020304 timeout=20000
)") + (c.accepted ? accept_end : "send 29 v3=0\nwait 2000\n"));
    ASSERT_GT(server.port(), 0);
    const std::string game = "alice$key$127.0.0.1$" + std::to_string(server.port()) + "$room$";
    Form_Load(client,
              c.proxy ? game + "5$127.0.0.1$" + std::to_string(proxy.port()) + "$$$" : game + "0$");
    ASSERT_TRUE(test::Drive(client, [&] {
      return client.data.LoggedIn && client.net.EchoToken[0] == 0xAB;
    })) << server.Record();
    client.data.HandRunning = true;
    client.net.ReconnectId = 0x01020304;  // from the game start, command 16

    ASSERT_TRUE(test::Drive(client, [&] { return client.frmReconnect != nullptr; }))
        << server.Record();
    EXPECT_FALSE(client.data.LoggedIn);
    GameMessage queued;
    queued.cmd = 77;
    ASSERT_TRUE(Send_MSG(client, queued));

    if (c.accepted) {
      ASSERT_TRUE(test::Drive(
          client, [&] { return client.data.Reconnected; }, 30))
          << server.Record();
      EXPECT_TRUE(client.data.LoggedIn);
      EXPECT_EQ(client.chat.Sysmsg[0], "正在重连服务器，请等待...！");
      // The reconnect window unloads itself once the connection stands.
      ASSERT_TRUE(test::Drive(client, [&] {
        return client.net.SendRing.Waiting() == 0 && !client.frmReconnect->Loaded();
      })) << server.Record();
      client.Winsock1.Close();
      EXPECT_EQ(server.Finish(), 0) << server.Record();
    } else {
      EXPECT_THROW(test::Drive(
                       client, [] { return false; }, 30),
                   ProgramEnded)
          << server.Record();
      ASSERT_FALSE(client.forms.Shown().empty());
      EXPECT_EQ(client.forms.Shown().back().prompt, "重连服务器失败，退出后请重新入座！");
    }
    client.shell.instance_lock.reset();
  }
}

}  // namespace
}  // namespace slvn
