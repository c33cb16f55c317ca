#include "shell/lobby_link.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "shell/client.h"
#include "shell/program_end.h"
#include "support/fake_lobby.h"
#include "support/table_layout.h"

namespace slvn {
namespace {

class LobbyLinkTest : public ::testing::Test {
 protected:
  LobbyLinkTest() {
    client.bus = WindowBus(test::TestBusNamespace());
    client.data.LobbyTitle = "Corvald山庄";
    test::LayOutTable(client);
  }
  Client client{std::make_unique<ManualClock>()};
};

TEST_F(LobbyLinkTest, AnswersTheLobbysMessagesByState) {
  struct Case {
    const char* what;
    uint32_t msg;
    bool login_pending, hand_running;
    uint32_t answer;
    bool reset, view_cleared;
  } cases[] = {
      {"hand question, idle", kLobbyHandRunning, false, false, kLobbyIdle, false, false},
      {"hand question, playing", kLobbyHandRunning, false, true, kLobbyHandRunning, false, false},
      {"give up while logging in", kLobbyGiveUpTable, true, false, kLobbyLoginPending, false,
       false},
      {"give up while playing", kLobbyGiveUpTable, false, true, kLobbyHandRunning, false, false},
      {"give up between hands", kLobbyGiveUpTable, false, false, kLobbyIdle, true, true},
      {"leave", kLobbyIdle, false, false, kLobbyIdle, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::FakeLobby lobby(client.bus.Namespace(), "Corvald山庄");
    client.data.LoginPending = c.login_pending;
    client.data.HandRunning = c.hand_running;
    client.prop.SheetHandOver = 1;      // the table view's reset clears it
    client.data.AnNiuState[2] = false;  // the client's reset sets it
    EXPECT_EQ(LobbyWndProc(client, {c.msg, 0, 0}), 0);
    auto got = lobby.WaitForMessages(1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].msg, c.answer);
    EXPECT_EQ(client.data.AnNiuState[2], c.reset);
    EXPECT_EQ(client.prop.SheetHandOver == 0, c.view_cleared);
  }
}

TEST_F(LobbyLinkTest, WithoutALobbyWindowQuestionsAreIgnored) {
  client.data.AnNiuState[2] = false;
  EXPECT_EQ(LobbyWndProc(client, {kLobbyHandRunning, 0, 0}), 0);
  EXPECT_EQ(LobbyWndProc(client, {kLobbyGiveUpTable, 0, 0}), 0);
  EXPECT_FALSE(client.data.AnNiuState[2]);  // no reset
  EXPECT_EQ(client.data.LobbyWindow, 0);
}

TEST_F(LobbyLinkTest, ConnectRequestWaitsForAPausingLeave) {
  client.shell.LoginPacket.SetByte(3, 28);  // a reconnect packet before
  client.shell.launch.GameServerHost = "127.0.0.1";
  client.shell.launch.GameServerPort = 1;
  LeavePathStarted(client);
  LobbyWndProc(client, {kLobbyConnect, 0, 0});
  EXPECT_FALSE(client.data.LoginPending);
  EXPECT_TRUE(client.shell.connect_after_leave);
  LeavePathFinished(client);
  EXPECT_FALSE(client.shell.connect_after_leave);
  // The held request ran: a login again, through a fresh connection attempt.
  EXPECT_TRUE(client.data.LoginPending);
  EXPECT_EQ(client.shell.LoginPacket.Byte(3), 18);
  EXPECT_TRUE(client.heartbeat.TickEnabled[kLoginSlot]);
  EXPECT_TRUE(client.main_form.TimerBong.Enabled());
}

TEST_F(LobbyLinkTest, RestoreAndMinimiseReachTheLobbyOrEndTheProgram) {
  {
    test::FakeLobby lobby(client.bus.Namespace(), "Corvald山庄");
    ReturnToLobby(client);
    MinimizeLobbyWindow(client);
    PostToLobby(client, kLobbyWallBuilt);
    auto got = lobby.WaitForMessages(3);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].msg, kWmSysCommand);
    EXPECT_EQ(got[0].wparam, kScRestore);
    EXPECT_EQ(got[1].wparam, kScMinimize);
    EXPECT_EQ(got[2].msg, kLobbyWallBuilt);
  }
  {
    // A lobby too busy to read its messages is still there: the program
    // goes on.
    ManualClock clock;
    EventLoop busy_loop(clock);  // never runs
    const WindowBus lobby_bus(client.bus.Namespace());
    BusWindow busy(busy_loop, lobby_bus, "Corvald山庄", nullptr);
    ReturnToLobby(client);
    MinimizeLobbyWindow(client);
  }
  PostToLobby(client, kLobbyWallBuilt);  // gone: nothing happens
  EXPECT_THROW(ReturnToLobby(client), ProgramEnded);
  EXPECT_THROW(MinimizeLobbyWindow(client), ProgramEnded);
  client.data.LobbyTitle = "   ";  // a blank title touches nothing and ends nothing
  ReturnToLobby(client);
  MinimizeLobbyWindow(client);
}

// After a leave the heartbeat is off and the client waits for the lobby; a
// lobby that ends meanwhile ends the client within 2 s.
TEST_F(LobbyLinkTest, TheLobbyGoneWhileIdleEndsTheProgram) {
  auto lobby = std::make_unique<test::FakeLobby>(client.bus.Namespace(), "Corvald山庄");
  StartLobbyWatch(client);
  client.loop.RunFor(10);  // idle with the lobby there
  client.main_form.TimerBong.SetEnabled(true);
  lobby.reset();
  client.loop.RunFor(5);  // the heartbeat runs: its own lookups are in charge
  client.main_form.TimerBong.SetEnabled(false);
  EXPECT_THROW(client.loop.RunFor(2.1), ProgramEnded);
}

}  // namespace
}  // namespace slvn
