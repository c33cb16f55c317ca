#include "shell/heartbeat.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include "shell/client.h"
#include "shell/lobby_link.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"
#include "shell/reconnect.h"
#include "shell/resources/image_resource.h"
#include "support/drive.h"
#include "support/fake_lobby.h"
#include "support/loopback_listener.h"
#include "support/one_shot_server.h"
#include "support/packet_builder.h"
#include "support/table_layout.h"

namespace slvn {
namespace {

using test::BuildPacket;

class HeartbeatTest : public ::testing::Test {
 protected:
  HeartbeatTest() { client.bus = WindowBus(test::TestBusNamespace()); }

  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) TimerBong_Timer(client);
  }
  void Receive(const test::PacketBytes& packet) { StoreArrivedBytes(client, packet); }
  test::PacketBytes Chat(const char* text) {
    auto p = BuildPacket(19, 4);
    test::PutText(p, 16, text);
    return p;
  }

  // The client's socket connected to a server side of the test's own; -1
  // when the connection failed.
  int ConnectServerSide() {
    int port = 0;
    const int listening = test::Listen(port);
    if (listening < 0 || !client.Winsock1.Connect("127.0.0.1", static_cast<uint16_t>(port)))
      return -1;
    const int server = accept(listening, nullptr, nullptr);
    close(listening);
    const bool up =
        client.loop.WaitUntil([&] { return client.Winsock1.State() == TcpSocket::kConnected; }, 10);
    return up ? server : -1;
  }

  Client client{std::make_unique<ManualClock>()};
};

TEST_F(HeartbeatTest, ReceivedPacketsAreDispatchedOnePerTickAfterTheFirstWait) {
  Receive(Chat("one"));
  Tick();
  EXPECT_TRUE(client.chat.Text1.empty());
  Tick();
  ASSERT_EQ(client.chat.Text1.size(), 1u);
  // Ten at once: one per tick from then on.
  for (int i = 0; i < 10; ++i) Receive(Chat("more"));
  Tick(2);
  EXPECT_EQ(client.chat.Text1.size(), 2u);
  Tick(9);
  EXPECT_EQ(client.chat.Text1.size(), 11u);
  Tick(3);
  EXPECT_EQ(client.chat.Text1.size(), 11u);
}

// One player floods the table's chat and the server relays every line: a
// packet every 40 ms comes more often than the 50 ms tick, and dispatch must
// still keep its pace (every other tick at least) so that the ring never fills.
TEST_F(HeartbeatTest, APacketEvery40MsThroughTheSocketIsDispatchedWhileItComes) {
  const int server = ConnectServerSide();
  ASSERT_GE(server, 0);
  ConnectHeartbeatTimers(client);
  client.main_form.TimerBong.SetEnabled(true);
  std::vector<std::string> history;
  for (int i = 0; i < 300; ++i) {  // 12 s
    const std::string line = "line " + std::to_string(i);
    history.push_back(" " + line);  // the history indents every line
    const test::PacketBytes packet = Chat(line.c_str());
    const int32_t before = client.net.RecvRing.Waiting();
    ASSERT_EQ(write(server, packet.data(), packet.size()), 272);
    // Virtual time stands still until the packet is in: it arrives between two ticks.
    ASSERT_TRUE(
        client.loop.WaitUntil([&] { return client.net.RecvRing.Waiting() >= before + 272; }, 10));
    client.loop.RunFor(0.04);
  }
  EXPECT_EQ(client.Winsock1.State(), TcpSocket::kConnected);
  EXPECT_GE(client.chat.Text1.size(), 200u);  // 20 a second at most
  client.loop.RunFor(6);
  EXPECT_EQ(client.chat.Text1, history);
  EXPECT_EQ(client.Winsock1.State(), TcpSocket::kConnected);
  close(server);
}

// More than the ring holds at once (a table mate's flood relayed faster
// than the client reads): what the ring cannot take waits in the socket,
// the client works the backlog off a few packets a tick, every line in
// order, and goes back to one a tick once no more than a deal's worth waits.
TEST_F(HeartbeatTest, AFloodTheRingCannotHoldWaitsInTheSocketAndGoesThroughInOrder) {
  const int server = ConnectServerSide();
  ASSERT_GE(server, 0);
  ASSERT_EQ(fcntl(server, F_SETFL, O_NONBLOCK), 0);
  constexpr int kLines = 600;  // over four rings' worth
  std::vector<uint8_t> flood;
  std::vector<std::string> history;
  for (int i = 0; i < kLines; ++i) {
    const std::string line = "flood " + std::to_string(i);
    history.push_back(" " + line);
    const test::PacketBytes packet = Chat(line.c_str());
    flood.insert(flood.end(), packet.begin(), packet.end());
  }
  size_t sent = 0;
  constexpr int32_t kDealsWorth = 32 * 272;
  for (int tick = 0; tick < 4000 && client.chat.Text1.size() < history.size(); ++tick) {
    if (sent < flood.size()) {
      const ssize_t n = write(server, flood.data() + sent, flood.size() - sent);
      if (n > 0) sent += static_cast<size_t>(n);
    }
    client.loop.WaitUntil([] { return false; }, 0.002);  // the socket's events
    const int32_t waiting = client.net.RecvRing.Waiting();
    const size_t before = client.chat.Text1.size();
    Tick();
    const size_t taken = client.chat.Text1.size() - before;
    EXPECT_LE(taken, 8u) << "tick " << tick;  // the window is still drawn between
    if (waiting <= kDealsWorth + 272) {
      EXPECT_LE(taken, 1u) << "tick " << tick;
    }
  }
  EXPECT_EQ(sent, flood.size());
  EXPECT_EQ(client.chat.Text1, history);
  EXPECT_EQ(client.Winsock1.State(), TcpSocket::kConnected);
  close(server);
}

TEST_F(HeartbeatTest, AUserWhoLeftWaitsAtTheHeadWhileTheHandEnds) {
  client.custom[0].SeatWind = 8;
  client.data.HandEnding = true;
  client.data.TableGameOn = true;
  Receive(BuildPacket(21, 4));
  Receive(Chat("behind"));
  Tick(6);
  EXPECT_TRUE(client.chat.Text1.empty());
  EXPECT_EQ(client.net.RecvRing.Waiting(), 2 * 272);
  EXPECT_TRUE(client.main_form.TimerKeepAlive.Enabled());  // another seat left
  client.data.HandEnding = false;
  Tick(4);
  EXPECT_TRUE(client.heartbeat.TickEnabled[kReadyCountdown]);  // the leave wound the game up
  EXPECT_EQ(client.chat.Text1.size(), 1u);
}

TEST_F(HeartbeatTest, ATickNeverRunsInsideAnotherAndAResetInsideKeepsItOff) {
  client.main_form.TimerBong.SetEnabled(true);
  client.shell.in_tick = true;
  Tick();  // ignored: a tick is already running
  EXPECT_TRUE(client.main_form.TimerBong.Enabled());
  client.shell.in_tick = false;
  Tick();
  EXPECT_TRUE(client.main_form.TimerBong.Enabled());  // every tick ends switched on

  // A reset that runs while the tick waits for the connection leaves it off.
  test::LoopbackListener listener;
  ASSERT_TRUE(client.Winsock1.Connect("127.0.0.1", listener.port()));
  client.heartbeat.Enable(kLoginSlot);
  client.heartbeat.TickCount[kLoginSlot] = 3;
  client.loop.Post([&] { StopHeartbeat(client); });
  Tick();
  EXPECT_EQ(client.Winsock1.State(), TcpSocket::kConnected);
  EXPECT_FALSE(client.main_form.TimerBong.Enabled());
}

// The lobby's "leave" arrives while the login slot waits for a connection
// that then fails: the reset switched everything off, and it stays off.
TEST_F(HeartbeatTest, AResetDuringTheLoginWaitWinsOverTheWatchdog) {
  client.shell.launch.GameServerHost = "127.0.0.1";
  client.shell.launch.GameServerPort = 1;  // nothing listens: the attempt fails
  ASSERT_TRUE(client.Winsock1.Connect("127.0.0.1", 1));
  client.heartbeat.Enable(kLoginSlot);
  client.heartbeat.TickCount[kLoginSlot] = 3;
  client.loop.Post([&] { LobbyWndProc(client, {kLobbyIdle, 0, 0}); });
  Tick();
  EXPECT_FALSE(client.heartbeat.TickEnabled[kWatchdogSlot]);
  EXPECT_FALSE(client.heartbeat.TickEnabled[kLoginSlot]);
  EXPECT_FALSE(client.main_form.TimerBong.Enabled());
}

TEST_F(HeartbeatTest, QueuedPacketsLeaveOnePerTickAndWaitWhileDisconnected) {
  GameMessage ready;
  ready.cmd = Cmd_Ready;
  ASSERT_TRUE(Send_MSG(client, ready));
  ASSERT_TRUE(Send_MSG(client, ready));
  Tick();  // not connected: the slot switches itself off, the packets stay
  EXPECT_EQ(client.net.SendRing.Waiting(), 2 * 272);
  EXPECT_FALSE(client.heartbeat.TickEnabled[kSendSlot]);

  test::LoopbackListener listener;
  ASSERT_TRUE(client.Winsock1.Connect("127.0.0.1", listener.port()));
  ASSERT_TRUE(client.loop.WaitUntil([&] { return client.Winsock1.State() == 7; }, 10));
  client.heartbeat.Enable(kSendSlot);  // as the next queued packet or an accepted reconnect does
  Tick();
  EXPECT_EQ(client.net.SendRing.Waiting(), 272);
  Tick();
  EXPECT_EQ(client.net.SendRing.Waiting(), 0);
}

// The server's side of the client's connection, reading with a 1 s limit.
int AcceptServerSide(int listening) {
  const int conn = accept(listening, nullptr, nullptr);
  if (conn < 0) return conn;
  timeval wait{1, 0};
  setsockopt(conn, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  return conn;
}

// The commands of the packets the server reads, until `count` whole packets
// have come or none comes for a second.
std::vector<int> CommandsRead(int conn, size_t count) {
  std::vector<int> commands;
  std::vector<uint8_t> bytes;
  uint8_t buf[272];
  while (bytes.size() < count * 272) {
    const ssize_t n = read(conn, buf, std::min(sizeof buf, count * 272 - bytes.size()));
    if (n <= 0) break;
    bytes.insert(bytes.end(), buf, buf + n);
  }
  for (size_t at = 0; at + 272 <= bytes.size(); at += 272) commands.push_back(bytes[at + 3]);
  return commands;
}

// Whatever is queued during an outage or while the connection is being made
// goes out in the order it was queued: after a login right behind the login
// packet (the login slot sends on the fourth tick, the send slot runs on
// every one), after a reconnect only once the server accepted it (29).
TEST_F(HeartbeatTest, QueuedPacketsWaitForTheLoginOnANewConnection) {
  constexpr int kNoReply = -1;
  struct Case {
    const char* name;
    int login;
    int accepted;  // byte 15 of the reconnect reply
  } cases[] = {
      {"connect", 18, kNoReply}, {"reconnect accepted", 28, 1}, {"reconnect refused", 28, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Client fresh{std::make_unique<ManualClock>()};
    fresh.bus = WindowBus(test::TestBusNamespace());
    int port = 0;
    const int listening = test::Listen(port);
    ASSERT_GE(listening, 0);
    fresh.shell.launch.GameServerHost = "127.0.0.1";
    fresh.shell.launch.GameServerPort = static_cast<uint16_t>(port);
    fresh.shell.LoginPacket.SetByte(3, 18);
    GameMessage during, after;
    during.cmd = Cmd_Ready;
    after.cmd = 77;
    if (c.login == 28) {
      ASSERT_TRUE(Send_MSG(fresh, during));
      Reconnect(fresh, fresh.shell.LoginPacket);
    } else {
      ConnectAndLogIn(fresh);
      ASSERT_TRUE(Send_MSG(fresh, during));
    }
    ASSERT_TRUE(
        fresh.loop.WaitUntil([&] { return fresh.Winsock1.State() == TcpSocket::kConnected; }, 10));
    ASSERT_TRUE(Send_MSG(fresh, after));
    for (int i = 0; i < 8; ++i) TimerBong_Timer(fresh);
    const int conn = AcceptServerSide(listening);
    ASSERT_GE(conn, 0);
    if (c.accepted == kNoReply) {
      EXPECT_EQ(fresh.net.SendRing.Waiting(), 0);
      EXPECT_EQ(CommandsRead(conn, 3), (std::vector<int>{18, Cmd_Ready, 77}));
    } else {
      // The reconnect is out; the queue waits for the server's answer.
      EXPECT_EQ(CommandsRead(conn, 3), std::vector<int>{28});
      EXPECT_EQ(fresh.net.SendRing.Waiting(), 2 * 272);
      test::PacketBytes reply = BuildPacket(Cmd_ReconnectReply, 0);
      reply[15] = static_cast<uint8_t>(c.accepted);
      ASSERT_EQ(write(conn, reply.data(), reply.size()), 272);
      ASSERT_TRUE(fresh.loop.WaitUntil([&] { return fresh.net.RecvRing.Waiting() >= 272; }, 10));
      auto ticks = [&] {
        for (int i = 0; i < 8; ++i) TimerBong_Timer(fresh);
      };
      if (c.accepted == 1) {
        ticks();
        EXPECT_TRUE(fresh.data.LoggedIn);
        EXPECT_EQ(fresh.net.SendRing.Waiting(), 0);
        EXPECT_EQ(CommandsRead(conn, 2), (std::vector<int>{Cmd_Ready, 77}));
      } else {
        EXPECT_THROW(ticks(), ProgramEnded);
        EXPECT_EQ(CommandsRead(conn, 1), std::vector<int>{});
      }
    }
    close(conn);
    close(listening);
  }
}

TEST_F(HeartbeatTest, TheKeepAliveCarriesTheOwnSeat) {
  ConnectHeartbeatTimers(client);
  client.main_form.TimerKeepAlive.SetEnabled(true);
  client.loop.RunFor(10.01);
  GamePacket p;
  int count = 0;
  while (client.net.SendRing.TakePacket(p)) {
    ++count;
    EXPECT_EQ(p.Byte(3), 24);
    EXPECT_EQ(p.Byte(6), 0);  // own seat not known yet
  }
  EXPECT_EQ(count, 2);
}

TEST_F(HeartbeatTest, SilentServerDuringAHandGivesUpTheTable) {
  test::FakeLobby lobby(client.bus.Namespace(), "Corvald山庄");
  client.data.LobbyTitle = "Corvald山庄";
  client.data.HandRunning = true;
  client.data.RecvIdleCount = 4998;
  client.chat.Sysmsg = {"一", "二"};
  client.heartbeat.Enable(kReceiveSlot);
  Tick(2);
  EXPECT_EQ(client.data.RecvIdleCount, 4999);
  EXPECT_FALSE(client.data.AnNiuState[2]);  // not reset yet
  Tick(2);
  EXPECT_EQ(client.data.RecvIdleCount, 0);
  // The notice stays in the strip after the reset, no line below it.
  EXPECT_EQ(client.chat.Sysmsg[0], "已经与服务器断开连接，请重新入座！");
  EXPECT_EQ(client.chat.Sysmsg[1], std::nullopt);
  EXPECT_EQ(client.main_form.Sysmsg[0].List(0), "已经与服务器断开连接，请重新入座！");
  EXPECT_EQ(client.main_form.WindowState(), kMinimized);
  EXPECT_TRUE(client.data.AnNiuState[2]);  // the client was reset
  EXPECT_FALSE(client.main_form.TimerBong.Enabled());
  auto got = lobby.WaitForMessages(1);
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got[0].wparam, kScRestore);
}

TEST_F(HeartbeatTest, SilentServerWithTheLobbyGoneEndsTheProgram) {
  client.data.LobbyTitle = "Corvald山庄";
  client.data.HandRunning = true;
  client.data.RecvIdleCount = 4999;
  client.heartbeat.Enable(kReceiveSlot);
  Tick();
  EXPECT_THROW(Tick(), ProgramEnded);
  EXPECT_FALSE(client.shell.in_tick);
}

TEST_F(HeartbeatTest, WatchdogHandsADroppedConnectionToTheReconnectWindow) {
  test::FakeLobby lobby(client.bus.Namespace(), "Corvald山庄");
  client.data.LobbyTitle = "Corvald山庄";
  client.data.LoggedIn = true;
  client.heartbeat.Enable(kWatchdogSlot);
  Tick(39);
  EXPECT_TRUE(client.data.LoggedIn);  // without reconnection it only looks every 2 s
  Tick();
  EXPECT_TRUE(client.data.LoggedIn);
  EXPECT_FALSE(client.frmReconnect);
  client.data.g_bCanRecon = true;
  Tick(40);
  EXPECT_FALSE(client.data.LoggedIn);
  ASSERT_TRUE(client.frmReconnect);
  EXPECT_TRUE(client.frmReconnect->Loaded());
  EXPECT_FALSE(client.frmReconnect->Visible());
  EXPECT_FALSE(client.heartbeat.TickEnabled[kWatchdogSlot]);
}

TEST_F(HeartbeatTest, BlinkSlotBlinksTheLastTileAndTheChatButton) {
  test::LayOutTable(client);
  MainForm& f = client.main_form;
  client.data.LastTileImage = 5;
  client.data.PrevBlinkImage = 9;
  client.data.BlinkCount = 3;
  client.data.ChatBlinkCount = 2;
  client.heartbeat.Enable(kBlinkSlot);  // a new hand switches it on
  f.MJ_Image[5].SetVisible(true);
  f.MJ_Image[9].SetVisible(false);
  const Picture normal = LoadResourcePicture(client, 103);
  const Picture hover = LoadResourcePicture(client, 104);
  std::vector<bool> tile;
  std::vector<bool> chat_hover;
  for (int step = 0; step < 5; ++step) {
    Tick(8);
    tile.push_back(f.MJ_Image[5].Visible());
    chat_hover.push_back(f.AnNiu[1].Picture() == hover);
  }
  // Hidden, shown, hidden, then shown for good; the tile blinked before shows again.
  EXPECT_EQ(tile, (std::vector<bool>{false, true, false, true, true}));
  EXPECT_TRUE(f.MJ_Image[9].Visible());
  EXPECT_EQ(chat_hover, (std::vector<bool>{false, true, false, false, false}));
  EXPECT_EQ(f.AnNiu[1].Picture(), normal);
}

TEST_F(HeartbeatTest, BubbleSlotHidesTheClaimAnnouncementAfterTwoSeconds) {
  test::LayOutTable(client);
  MainForm& f = client.main_form;
  client.data.ClaimBubbleShown = true;
  client.data.ClaimBubbleIndex = 1;
  f.Speak[1].SetVisible(true);
  f.Words.SetVisible(true);
  client.heartbeat.TickCount[kBubbleCounter] = 0;
  Tick(39);
  EXPECT_TRUE(f.Speak[1].Visible());
  Tick();
  EXPECT_FALSE(f.Speak[1].Visible());
  EXPECT_FALSE(f.Words.Visible());
}

}  // namespace
}  // namespace slvn
