#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/sound_device.h"
#include "shell/client.h"
#include "shell/exit_dialogs.h"
#include "shell/lobby_link.h"
#include "shell/program_end.h"
#include "shell/startup.h"
#include "support/drive.h"
#include "support/lobby_fixture.h"
#include "support/table_server.h"

namespace slvn {
namespace {

using LeaveTest = test::LobbyFixture;

// Seated at the table, the player leaves through the exit dialog; the lobby
// then asks for a new connection and the client logs in again.
TEST_F(LeaveTest, ExitDialogLeavesAndTheLobbyBringsTheClientBack) {
  test::TempDir server_dir;
  test::TableServer server(server_dir, R"(
expect 18
send 18 v3=1 v1=8
send 3 seat=8 text@16="alice"
send 3 seat=4 text@16="bob"
send 3 seat=2 text@16="carol"
send 3 seat=1 text@16="dave"
expect 16 seat=8 v0=0 v1=0 v2=0 v3=0 echo=0000
accept
expect 18 text@16="alice"
send 18 v3=1 v1=8
close
)");
  Form_Load(client, "alice$key$127.0.0.1$" + std::to_string(server.port()) + "$room$0$");
  ASSERT_TRUE(test::Drive(client, [&] { return client.custom[0].SeatWind == 8; }))
      << server.Record();
  test::WriteFileBytes(dir.File("info.cv"), "[juNum:1]\n");

  ShowExitDialog(client);
  EXPECT_TRUE(client.frmExit.Visible());
  EXPECT_FALSE(client.frmExit.Label2.Visible());  // no hand runs: no warning
  pbCloseMe_Click(client);

  EXPECT_FALSE(client.frmExit.Loaded());
  EXPECT_EQ(client.Winsock1.State(), TcpSocket::kClosed);
  EXPECT_FALSE(client.main_form.TimerBong.Enabled());
  EXPECT_EQ(client.custom[0].SeatWind, 0);
  EXPECT_FALSE(std::filesystem::exists(dir.File("info.cv")));
  EXPECT_EQ(client.main_form.Sysmsg[0].List(0), "");
  EXPECT_TRUE(client.data.AnNiuState[2]);
  EXPECT_EQ(client.main_form.WindowState(), kMinimized);
  lobby->WaitForMessages(4);
  EXPECT_TRUE(LobbyGot(kWmSysCommand, kScRestore));

  LobbyWndProc(client, {kLobbyConnect, 0, 0});
  ASSERT_TRUE(test::Drive(client, [&] {
    return client.data.LoggedIn && !client.data.LoginPending;
  })) << server.Record();
  EXPECT_FALSE(client.data.AnNiuState[2]);
  EXPECT_EQ(server.Finish(), 0) << server.Record();
}

// The lobby posts "leave" and at once "connect": the connect request arrives
// while the leave pauses and must run after it, not be closed by its reset.
TEST_F(LeaveTest, AConnectRequestDuringTheLobbysLeaveRunsAfterIt) {
  test::TempDir server_dir;
  test::TableServer server(server_dir, R"(
expect 18
send 18 v3=1 v1=8
expect 16 v0=0 v1=0 v2=0 v3=0
accept
expect 18 text@16="alice"
send 18 v3=1 v1=8
wait 300
close
)");
  Form_Load(client, "alice$key$127.0.0.1$" + std::to_string(server.port()) + "$room$0$");
  ASSERT_TRUE(test::Drive(client, [&] { return client.data.LoggedIn; })) << server.Record();
  client.data.AnNiuState[2] = true;  // as after a hand; only a new connect request clears it

  WindowBus lobby_side(client.bus.Namespace());
  const WindowHandle ours = lobby_side.FindWindow(ClientWindowTitle(getpid()));
  ASSERT_NE(ours, 0);
  ASSERT_TRUE(lobby_side.PostMessage(ours, {kLobbyIdle, 0, 0}));
  ASSERT_TRUE(lobby_side.PostMessage(ours, {kLobbyConnect, 0, 0}));
  ASSERT_TRUE(test::Drive(client, [&] {
    return !client.data.AnNiuState[2] && client.data.LoggedIn && !client.data.LoginPending;
  })) << server.Record();
  EXPECT_EQ(client.Winsock1.State(), TcpSocket::kConnected);
  EXPECT_TRUE(client.main_form.TimerBong.Enabled());
  EXPECT_EQ(client.shell.leave_depth, 0);
  EXPECT_EQ(server.Finish(), 0) << server.Record();
}

TEST_F(LeaveTest, LeavingWhileDisconnectedSendsNothingAndStillResets) {
  client.data.WatchMode = true;
  client.Detail[0].userid = 12345;
  client.data.HandRunning = true;
  client.data.LobbyTitle = test::kLobbyTitle;
  ShowExitDialog(client);
  EXPECT_FALSE(client.frmExit.Label2.Visible());  // a spectator is never warned
  pbCloseMe_Click(client);
  EXPECT_FALSE(client.data.HandRunning);
  EXPECT_EQ(client.Detail[0].userid, 12345);  // the watched player survives
  lobby->WaitForMessages(1);
  EXPECT_TRUE(LobbyGot(kWmSysCommand, kScRestore));
}

TEST_F(LeaveTest, TheExitDialogWarnsDuringAHandAndTogglesOnASecondRequest) {
  client.data.HandRunning = true;
  ShowExitDialog(client);
  EXPECT_TRUE(client.frmExit.Label2.Visible());
  ShowExitDialog(client);
  EXPECT_FALSE(client.frmExit.Visible());
  pbCancel_Click(client);
  EXPECT_FALSE(client.frmExit.Loaded());
}

TEST_F(LeaveTest, OtherExitDialogCancelKeepsTheTableOkReturnsToTheLobby) {
  client.data.LobbyTitle = test::kLobbyTitle;
  client.frmOtherExit.Show();
  client.data.HandRunning = true;
  client.heartbeat.Enable(kWatchdogSlot);
  imgCancel_Click(client);
  EXPECT_TRUE(client.data.GameOver);
  EXPECT_FALSE(client.data.HandRunning);
  EXPECT_FALSE(client.heartbeat.TickEnabled[kWatchdogSlot]);
  EXPECT_FALSE(client.frmOtherExit.Loaded());

  client.frmOtherExit.Show();
  imgOK_Click(client);
  lobby->WaitForMessages(1);
  EXPECT_TRUE(LobbyGot(kWmSysCommand, kScRestore));
  lobby.reset();
  client.frmOtherExit.Show();
  EXPECT_THROW(imgOK_Click(client), ProgramEnded);  // no lobby to go back to
}

}  // namespace
}  // namespace slvn
