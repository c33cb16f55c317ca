#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "chat/speak_box.h"
#include "chat/talk.h"
#include "platform/synthetic_input.h"
#include "platform/window_bus.h"
#include "platform/window_system.h"
#include "settlement/record_boards.h"
#include "shell/client.h"
#include "shell/keys.h"
#include "shell/leave_reset.h"
#include "shell/lobby_link.h"
#include "shell/program_end.h"
#include "shell/startup.h"
#include "support/fake_lobby.h"
#include "support/table_layout.h"
#include "support/x_server.h"

namespace slvn {
namespace {

constexpr const char* kLobbyTitle = "Corvald山庄";

// The client on an 800 x 600 desktop with a window manager (openbox), the
// lobby's window beside it: the boss key and the task bar, the exit dialog
// and the chat history's keys as a player meets them there.
class WindowManagerTest : public ::testing::Test {
 protected:
  explicit WindowManagerTest(bool window_manager = true) : x(Desktop(window_manager)) {}
  static test::XServer::Options Desktop(bool window_manager) {
    test::XServer::Options o;
    o.width = 800;
    o.height = 600;
    o.window_manager = window_manager;
    return o;
  }
  void SetUp() override {
    if (x.Missing()) GTEST_SKIP() << x.Problem();
    ASSERT_TRUE(x.Running()) << x.Problem();
    if (access("/usr/bin/xdotool", X_OK) != 0) GTEST_SKIP() << "xdotool is not installed";
    client.bus = WindowBus(test::TestBusNamespace());
    lobby = std::make_unique<test::FakeLobby>(client.bus.Namespace(), kLobbyTitle);
    client.data.LobbyTitle = kLobbyTitle;
    test::LayOutTable(client, 0.78125f);
    MainForm& f = client.main_form;
    f.OnResize = [this] { Form_Resize(client); };
    f.OnClose = [this] { Form_Unload(client); };
    client.shell.main_window_bus = std::make_unique<BusWindow>(
        client.loop, client.bus, ClientWindowTitle(getpid()),
        [this](const WindowMessage& m) { return LobbyWndProc(client, m); });
    f.SetCaption("Tumbra(一赖到底) - 一号桌");
    f.Move(0, 0, 800 * 15, 600 * 15);
    f.Show();
    windows = client.forms.OpenWindows();
    ASSERT_TRUE(windows && windows->HasDisplay());
    ASSERT_TRUE(WaitFor([&] { return Shown(f) && windows->FocusedForm() == &f; }));
  }
  // Pumps the loop until done holds, for at most a few real seconds.
  bool WaitFor(const std::function<bool()>& done) { return client.loop.WaitUntil(done, 5.0); }
  uint64_t Id(const Form& form) { return windows->NativeHandle(form); }
  bool Shown(const Form& form) { return Id(form) && test::Viewable(Id(form)); }
  void Type(int key_code) {
    ASSERT_TRUE(PushKey(key_code, true));
    ASSERT_TRUE(PushKey(key_code, false));
    client.loop.WaitUntil([] { return false; }, 0.1);
  }
  int StackPlace(const Form& form) {
    const auto order = test::StackingOrder();
    for (size_t i = 0; i < order.size(); ++i)
      if (order[i] == Id(form)) return static_cast<int>(i);
    return -1;
  }
  void Run(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }
  // Keys pressed on the X server's keyboard: they reach the window that has
  // its focus, or nothing.
  void Press(const std::string& keys) { Run("xdotool key --delay 30 " + keys); }
  bool LobbyGotMinimise() {
    for (const auto& m : lobby->Messages())
      if (m.msg == kWmSysCommand && m.wparam == kScMinimize) return true;
    return false;
  }

  // Pumps the loop for a while; true when the program ended meanwhile.
  bool Ended(double seconds) {
    try {
      client.loop.WaitUntil([] { return false; }, seconds);
    } catch (const ProgramEnded&) {
      return true;
    }
    return false;
  }
  std::string IdText(const Form& form) { return std::to_string(Id(form)); }

  test::XServer x;  // the server goes last, after the windows are closed
  Client client{std::make_unique<ManualClock>()};
  std::unique_ptr<test::FakeLobby> lobby;
  WindowSystem* windows = nullptr;
};

// F1 hides the client; the task bar brings it back (the window manager
// activates it), and then it stays: the restore steps run, the turn time is
// back and the boss key is off.
TEST_F(WindowManagerTest, AfterTheBossKeyTheTaskBarBringsTheWindowBackForGood) {
  MainForm& f = client.main_form;
  // The title a task bar shows is the caption, in UTF-8, also as the
  // window's ICCCM name.
  for (const char* property : {"_NET_WM_NAME", "WM_NAME"}) {
    const std::string name =
        test::CommandOutput("LC_ALL=C.UTF-8 xprop -id " + IdText(f) + " " + property);
    EXPECT_NE(name.find("\"Tumbra(一赖到底) - 一号桌\""), std::string::npos) << name;
  }
  f.SetFocus(&f.Pic1);
  Type(kKeyF1);
  ASSERT_TRUE(client.data.BossKey);
  ASSERT_TRUE(WaitFor([&] { return !Shown(f); }));

  Run("xdotool windowactivate " + std::to_string(Id(f)));
  ASSERT_TRUE(WaitFor([&] { return !client.data.BossKey; }));
  EXPECT_EQ(client.data.CountdownStart, 8);
  EXPECT_EQ(f.WindowState(), kNormal);
  EXPECT_EQ(f.Focus(), &f.Chat);
  EXPECT_TRUE(LobbyGotMinimise());
  // Still there well after any echo of the client's own minimise.
  client.loop.WaitUntil([] { return false; }, 1.5);
  EXPECT_TRUE(Shown(f));
  EXPECT_EQ(f.WindowState(), kNormal);
  EXPECT_FALSE(client.data.BossKey);
}

// Esc on the table opens the exit dialog in front of the main window, which
// covers the screen; the window manager keeps it there when the main window
// is activated.
TEST_F(WindowManagerTest, TheExitDialogOpensInFrontOfTheMainWindow) {
  MainForm& f = client.main_form;
  f.SetFocus(&f.Pic1);
  Type(kKeyEsc);
  ASSERT_TRUE(client.frmExit.Visible());
  ASSERT_TRUE(WaitFor([&] { return Shown(client.frmExit); }));
  EXPECT_GT(StackPlace(client.frmExit), StackPlace(f));
  f.Activate();
  client.loop.WaitUntil([] { return false; }, 0.3);
  EXPECT_GT(StackPlace(client.frmExit), StackPlace(f));
}

// Alt then C opens the chat history with the keys on its list, so Alt then C
// again closes it at once.
TEST_F(WindowManagerTest, AltCOpensTheHistoryAndAltCAgainClosesIt) {
  MainForm& f = client.main_form;
  f.SetFocus(&f.Pic1);
  Type(kKeyAlt);
  Type(kKeyC);
  ASSERT_TRUE(client.Talk.Visible());
  EXPECT_EQ(client.Talk.Focus(), &client.Talk.Text1);
  ASSERT_TRUE(WaitFor([&] { return windows->FocusedForm() == &client.Talk; }));
  Type(kKeyAlt);
  Type(kKeyC);
  EXPECT_FALSE(client.Talk.Visible());
}

// The leave hides the boards and minimises the table at once; a board that
// was open stays off the screen when the task bar brings the table back.
TEST_F(WindowManagerTest, ABoardOpenAtTheLeaveStaysHiddenAfterTheRestore) {
  MainForm& f = client.main_form;
  ToggleRecordBoard(client, 6);
  ASSERT_TRUE(client.Hero);
  ASSERT_TRUE(WaitFor([&] { return Shown(*client.Hero); }));
  ResetClientState(client);
  ASSERT_TRUE(WaitFor([&] { return !Shown(f); }));
  Run("xdotool windowactivate " + IdText(f));
  ASSERT_TRUE(WaitFor([&] { return f.WindowState() == kNormal && Shown(f); }));
  client.loop.WaitUntil([] { return false; }, 1.0);
  EXPECT_FALSE(Shown(*client.Hero));
  EXPECT_FALSE(client.Hero->Visible());
}

// The window manager's close (wmctrl -c, as its close button and Alt+F4
// ask) unloads a dialog and ends the client on the main window; a window
// destroyed by another program is handled as closed, and the X errors of
// later calls on it are survived.
TEST_F(WindowManagerTest, TheWindowManagersCloseAndADestroyedWindowCloseTheirForms) {
  MainForm& f = client.main_form;
  f.SetFocus(&f.Pic1);
  Type(kKeyEsc);
  ASSERT_TRUE(WaitFor([&] { return Shown(client.frmExit); }));
  Run("wmctrl -i -c " + IdText(client.frmExit));
  EXPECT_TRUE(WaitFor([&] { return !client.frmExit.Loaded(); }));

  client.frmExit.Show();
  ASSERT_TRUE(WaitFor([&] { return Shown(client.frmExit); }));
  Run("xdotool windowclose " + IdText(client.frmExit));
  EXPECT_TRUE(WaitFor([&] { return !client.frmExit.Loaded(); }));
  EXPECT_FALSE(Ended(0.5));
  EXPECT_TRUE(Shown(f));

  Run("wmctrl -i -c " + IdText(f));
  EXPECT_TRUE(Ended(5.0));
}

// Without a window manager: nothing honours a minimise.
class BareDesktopTest : public WindowManagerTest {
 protected:
  BareDesktopTest() : WindowManagerTest(false) {}
};

// F1 takes the table off the screen, so the player never sees it played for
// him; the lobby's restore brings it back through the restore steps.
TEST_F(BareDesktopTest, TheBossKeyTakesTheTableOffTheScreenUntilTheLobbyRestoresIt) {
  MainForm& f = client.main_form;
  f.SetFocus(&f.Pic1);
  Type(kKeyF1);
  ASSERT_TRUE(client.data.BossKey);
  EXPECT_TRUE(WaitFor([&] { return !Shown(f); }));
  client.loop.WaitUntil([] { return false; }, 1.5);
  EXPECT_FALSE(Shown(f));
  EXPECT_EQ(f.WindowState(), kMinimized);

  ASSERT_TRUE(client.bus.PostMessage(client.bus.FindWindow(ClientWindowTitle(getpid())),
                                     {kWmSysCommand, kScRestore, 0}));
  ASSERT_TRUE(WaitFor([&] { return !client.data.BossKey && Shown(f); }));
  EXPECT_EQ(client.data.CountdownStart, 8);
  EXPECT_EQ(f.WindowState(), kNormal);
}

// Alt C closes the history; the keys go back to the table, where Esc opens
// the exit dialog.
TEST_F(BareDesktopTest, AfterAltCClosesTheHistoryEscOpensTheExitDialog) {
  MainForm& f = client.main_form;
  f.SetFocus(&f.Pic1);
  Type(kKeyAlt);
  Type(kKeyC);
  ASSERT_TRUE(WaitFor([&] { return windows->FocusedForm() == &client.Talk; }));
  Type(kKeyAlt);
  Type(kKeyC);
  ASSERT_FALSE(client.Talk.Visible());
  EXPECT_TRUE(WaitFor([&] { return windows->FocusedForm() == &f; }));
  Type(kKeyEsc);
  EXPECT_TRUE(client.frmExit.Visible());
}

// A dialog destroyed by another program closes whole, so Esc opens it again
// as a fresh window on the screen, every time; the keys that the history
// held go back to the table.
TEST_F(BareDesktopTest, ADialogDestroyedFromOutsideOpensAgainAndTheKeysGoBackToTheTable) {
  MainForm& f = client.main_form;
  f.SetFocus(&f.Pic1);
  for (int round = 0; round < 2; ++round) {
    Press("Escape");
    ASSERT_TRUE(WaitFor([&] { return Shown(client.frmExit); })) << round;
    Run("xdotool windowclose " + IdText(client.frmExit));
    ASSERT_TRUE(WaitFor([&] { return !client.frmExit.Loaded(); })) << round;
    EXPECT_EQ(client.frmExit.WindowState(), kNormal) << round;
    ASSERT_TRUE(WaitFor([&] { return windows->FocusedForm() == &f; })) << round;
  }
  Press("alt c");
  ASSERT_TRUE(WaitFor([&] { return windows->FocusedForm() == &client.Talk; }));
  Run("xdotool windowclose " + IdText(client.Talk));
  ASSERT_TRUE(WaitFor([&] { return windows->FocusedForm() == &f; }));
  Press("Escape");
  EXPECT_TRUE(WaitFor([&] { return Shown(client.frmExit); }));
}

// F1 with a speech bubble up, then the lobby's restore while it still runs:
// the table has the keys again, the bubble shown with it never takes them,
// and they stay when it goes: typing reaches the chat line, and Esc on the
// table opens the exit dialog.
TEST_F(BareDesktopTest, AfterTheBossKeyAndTheRestoreWithABubbleUpTheTableKeepsTheKeys) {
  MainForm& f = client.main_form;
  PrepareSpeakBox(client, 2);
  SpeakBoxForm* bubble = FindSpeakBox(client, 2);
  ASSERT_TRUE(bubble);
  showMe(client, *bubble, 2, "别走", 210, 8, 4, 2000);
  bubble->SetVisible(true);
  ASSERT_TRUE(WaitFor([&] { return Shown(*bubble); }));
  f.SetFocus(&f.Pic1);
  ASSERT_TRUE(WaitFor([&] { return windows->FocusedForm() == &f; }));
  Press("F1");
  ASSERT_TRUE(WaitFor([&] { return client.data.BossKey && !Shown(f) && !Shown(*bubble); }));

  ASSERT_TRUE(client.bus.PostMessage(client.bus.FindWindow(ClientWindowTitle(getpid())),
                                     {kWmSysCommand, kScRestore, 0}));
  ASSERT_TRUE(WaitFor([&] { return Shown(f) && Shown(*bubble); }));
  EXPECT_EQ(f.Focus(), &f.Chat);
  // The bubble runs its course (the client's clock is the test's).
  client.loop.RunFor(8.0);
  ASSERT_TRUE(WaitFor([&] { return !Shown(*bubble); }));
  EXPECT_TRUE(WaitFor([&] { return windows->FocusedForm() == &f; }));
  Press("a b c");
  EXPECT_TRUE(WaitFor([&] { return f.Chat.Text() == "abc"; })) << f.Chat.Text();
  f.MoveFocus(&f.Pic1);  // as a click on the table does, without its say on the window
  Press("Escape");
  EXPECT_TRUE(WaitFor([&] { return Shown(client.frmExit); }));
}

// A window destroyed by another program is survived without a window
// manager too, and the main window's is the client's close.
TEST_F(BareDesktopTest, ADestroyedMainWindowEndsTheClient) {
  Run("xdotool windowclose " + IdText(client.main_form));
  EXPECT_TRUE(Ended(5.0));
}

}  // namespace
}  // namespace slvn
