#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "chat/talk.h"
#include "platform/synthetic_input.h"
#include "platform/window_bus.h"
#include "platform/window_system.h"
#include "shell/client.h"
#include "shell/keys.h"
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
  static test::XServer::Options Desktop() {
    test::XServer::Options o;
    o.width = 800;
    o.height = 600;
    o.window_manager = true;
    return o;
  }
  void SetUp() override {
    if (!x.Running()) GTEST_SKIP() << x.Problem();
    if (access("/usr/bin/xdotool", X_OK) != 0) GTEST_SKIP() << "xdotool is not installed";
    client.bus = WindowBus(test::TestBusNamespace());
    lobby = std::make_unique<test::FakeLobby>(client.bus.Namespace(), kLobbyTitle);
    client.data.LobbyTitle = kLobbyTitle;
    test::LayOutTable(client, 0.78125f);
    MainForm& f = client.main_form;
    f.OnResize = [this] { Form_Resize(client); };
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
  bool LobbyGotMinimise() {
    for (const auto& m : lobby->Messages())
      if (m.msg == kWmSysCommand && m.wparam == kScMinimize) return true;
    return false;
  }

  test::XServer x{Desktop()};  // the server goes last, after the windows are closed
  Client client{std::make_unique<ManualClock>()};
  std::unique_ptr<test::FakeLobby> lobby;
  WindowSystem* windows = nullptr;
};

// F1 hides the client; the task bar brings it back (the window manager
// activates it), and then it stays: the restore steps run, the turn time is
// back and the boss key is off.
TEST_F(WindowManagerTest, AfterTheBossKeyTheTaskBarBringsTheWindowBackForGood) {
  MainForm& f = client.main_form;
  // The title a task bar shows is the caption, in UTF-8.
  EXPECT_NE(
      test::CommandOutput("LC_ALL=C.UTF-8 xprop -id " + std::to_string(Id(f)) + " _NET_WM_NAME")
          .find("\"Tumbra(一赖到底) - 一号桌\""),
      std::string::npos);
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

}  // namespace
}  // namespace slvn
