#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/forms.h"
#include "platform/input.h"
#include "platform/picture.h"
#include "platform/window_system.h"
#include "plugin/prop_bridge.h"
#include "plugin/test_prop_plugin.h"
#include "shell/client.h"
#include "support/x_server.h"

namespace slvn {
namespace {

// A real X server with no window manager (Xvfb): there SDL gives every
// window it shows the keyboard focus, which a hover card must not take from
// the chat line. Each test runs in a process of its own, so the display set
// here is the only one this process sees.
class X11WindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (x.Missing()) GTEST_SKIP() << x.Problem();
    ASSERT_TRUE(x.Running()) << x.Problem();
  }
  // The caption of the form whose window has the keyboard focus.
  std::string Focused() {
    loop.RunFor(0.3);
    // A loaded machine may take longer to hand the focus over at all.
    loop.WaitUntil([&] { return forms.Windows()->FocusedForm() != nullptr; }, 5.0);
    const Form* form = forms.Windows()->FocusedForm();
    return form ? form->Caption() : "";
  }
  Form& Opened(Form& form, const char* caption, bool without_focus) {
    form.SetCaption(caption);
    form.Move(0, 0, 200 * 15, 100 * 15);
    form.SetShowsWithoutFocus(without_focus);
    form.Show();
    return form;
  }

  test::XServer x;  // the server goes last, after the windows are closed
  SteadyClock clock;
  EventLoop loop{clock};
  Forms forms{loop};
};

TEST_F(X11WindowsTest, ACardOpensWithoutTakingTheFocusAWindowTakesIt) {
  Form main(forms), card(forms), history(forms);
  Opened(main, "main", false);
  WindowSystem* windows = forms.OpenWindows();
  ASSERT_TRUE(windows && windows->HasDisplay());
  EXPECT_EQ(Focused(), "main");
  Opened(card, "card", true);
  EXPECT_EQ(Focused(), "main");
  card.Hide();
  Focused();
  card.Show();  // and again when it comes back
  EXPECT_EQ(Focused(), "main");
  Opened(history, "history", false);
  EXPECT_EQ(Focused(), "history");
  main.Activate();
  EXPECT_EQ(Focused(), "main");
}

// A form with a region (a speech bubble) gets a window cut to it; one that
// loses its region gets a whole window again.
TEST_F(X11WindowsTest, AFormWithARegionHasAShapedWindow) {
  Form main(forms), bubble(forms);
  Opened(main, "main", false);
  WindowSystem* windows = forms.OpenWindows();
  ASSERT_TRUE(windows && windows->HasDisplay());
  ASSERT_EQ(Focused(), "main");
  auto picture = std::make_shared<Image>();
  picture->width = 20;
  picture->height = 10;
  picture->pixels.assign(200, 0xFFFFFFFF);
  picture->pixels[0] = 0xFF000000;  // the corner colour is outside
  bubble.SetRegionFromPicture(picture);
  Opened(bubble, "bubble", true);
  EXPECT_EQ(Focused(), "main");
  EXPECT_TRUE(windows->HasShapedWindow(bubble));
  EXPECT_FALSE(windows->HasShapedWindow(main));
  bubble.SetRegionFromPicture(nullptr);
  Focused();
  EXPECT_FALSE(windows->HasShapedWindow(bubble));
  EXPECT_EQ(Focused(), "main");
}

// The item plug-in gets the main window's X11 id, to attach its own windows
// to it and follow it.
TEST_F(X11WindowsTest, TheItemPlugInGetsTheMainWindowsId) {
  Client client{std::make_unique<ManualClock>()};
  client.main_form.SetCaption("slvn main");
  client.main_form.Move(0, 0, 300 * 15, 200 * 15);
  client.main_form.Show();
  WindowSystem* windows = client.forms.OpenWindows();
  ASSERT_TRUE(windows && windows->HasDisplay());
  windows->Present();
  const uint64_t id = windows->NativeHandle(client.main_form);
  ASSERT_NE(id, 0u);
  // The X server knows the window by that id.
  if (FILE* info = popen(("xwininfo -id " + std::to_string(id) + " 2>&1").c_str(), "r")) {
    std::string text;
    char buf[256];
    while (fgets(buf, sizeof buf, info)) text += buf;
    pclose(info);
    EXPECT_NE(text.find("\"slvn main\""), std::string::npos) << text;
  }
  test::TestPropPlugin& plugin = test::InstallInProcessPlugin(client);
  client.data.LoggedIn = true;
  ASSERT_TRUE(InitGameDll(client));
  EXPECT_EQ(plugin.main_window, static_cast<int64_t>(id));
}

// The same windows on a desktop with a window manager (openbox), and where
// it matters without one: what the window manager does to a window reaches
// its form, owned forms stay in front of the main window, popups are left
// alone, ZOrder raises a window and the first click on a window acts.
class X11DesktopTest : public ::testing::TestWithParam<bool> {
 protected:
  X11DesktopTest() : x(Options(GetParam())) {}
  static test::XServer::Options Options(bool window_manager) {
    test::XServer::Options o;
    o.window_manager = window_manager;
    return o;
  }
  void SetUp() override {
    if (x.Missing()) GTEST_SKIP() << x.Problem();
    ASSERT_TRUE(x.Running()) << x.Problem();
    if (access("/usr/bin/xdotool", X_OK) != 0) GTEST_SKIP() << "xdotool is not installed";
  }
  // Pumps the loop until done holds, for at most 15 real seconds: a screen
  // pixel is read by a program of its own, slow on a machine busy with other
  // tests.
  bool WaitFor(const std::function<bool()>& done) { return loop.WaitUntil(done, 15.0); }
  WindowSystem& Windows() {
    WindowSystem* windows = forms.OpenWindows();
    EXPECT_TRUE(windows && windows->HasDisplay());
    return *windows;
  }
  uint64_t Id(const Form& form) { return forms.Windows()->NativeHandle(form); }
  // Shown and mapped on the display.
  void ShowAt(Form& form, const char* caption, int x_px, int y_px, int w_px, int h_px) {
    form.SetCaption(caption);
    form.Move(x_px * 15, y_px * 15, w_px * 15, h_px * 15);
    form.Show();
    Windows().Present();
    ASSERT_TRUE(WaitFor([&] { return Id(form) && test::Viewable(Id(form)); })) << caption;
  }
  void Run(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }
  // Where a managed window lies in the window manager's stacking, bottom 0.
  int StackPlace(const Form& form) {
    const auto order = test::StackingOrder();
    for (size_t i = 0; i < order.size(); ++i)
      if (order[i] == Id(form)) return static_cast<int>(i);
    return -1;
  }

  test::XServer x;  // the server goes last, after the windows are closed
  SteadyClock clock;
  EventLoop loop{clock};
  Forms forms{loop};
};

// F1 minimises the window itself; the task bar (the window manager's
// activation) brings it back. The form learns that it was restored, runs its
// resize handler and leaves the window shown; the window manager's own
// minimise, a move and the focus reach the form too.
class X11WindowManagerTest : public X11DesktopTest {};

TEST_P(X11WindowManagerTest, TheWindowManagersMinimiseRestoreMoveAndFocusReachTheForm) {
  Form main(forms), other(forms);
  int resized = 0, activated = 0, deactivated = 0;
  main.OnResize = [&] { ++resized; };
  main.OnActivate = [&] { ++activated; };
  main.OnDeactivate = [&] { ++deactivated; };
  ShowAt(main, "main", 100, 100, 300, 200);
  const std::string id = std::to_string(Id(main));

  main.SetWindowState(kMinimized);
  ASSERT_TRUE(WaitFor([&] { return !test::Viewable(Id(main)); }));
  resized = 0;
  Run("xdotool windowactivate " + id);
  ASSERT_TRUE(WaitFor([&] { return main.WindowState() == kNormal; }));
  EXPECT_EQ(resized, 1);
  // Nothing minimises it again: past the time any echo of our own request
  // could take, it is still there.
  loop.RunFor(1.5);
  EXPECT_EQ(main.WindowState(), kNormal);
  EXPECT_TRUE(test::Viewable(Id(main)));

  Run("xdotool windowminimize " + id);
  EXPECT_TRUE(WaitFor([&] { return main.WindowState() == kMinimized; }));
  Run("xdotool windowactivate " + id);
  EXPECT_TRUE(WaitFor([&] { return main.WindowState() == kNormal && test::Viewable(Id(main)); }));

  Run("xdotool windowmove " + id + " 240 160");
  EXPECT_TRUE(WaitFor([&] { return main.Left() == 240 * 15 && main.Top() == 160 * 15; }))
      << main.Left() / 15 << "," << main.Top() / 15;

  ASSERT_TRUE(WaitFor([&] { return forms.Windows()->FocusedForm() == &main; }));
  activated = deactivated = 0;
  ShowAt(other, "other", 500, 500, 100, 100);
  EXPECT_TRUE(WaitFor([&] { return deactivated == 1; }));
  main.Activate();
  EXPECT_TRUE(WaitFor([&] { return activated == 1; }));
}

// A dialog of the main window stays in front of it, also when the main
// window is activated; a popup (a speech bubble) is left alone by the window
// manager, and parked off the screen it is unmapped.
TEST_P(X11DesktopTest, OwnedFormsStayInFrontAndPopupsAreLeftAlone) {
  Form main(forms), dialog(forms), bubble(forms);
  forms.SetMainForm(&main);
  bubble.SetPopup(true);
  ShowAt(main, "main", 0, 0, 1280, 1024);
  ShowAt(dialog, "dialog", 400, 300, 300, 150);
  char owner[40];
  std::snprintf(owner, sizeof owner, "window id # 0x%llx",
                static_cast<unsigned long long>(Id(main)));
  EXPECT_NE(test::CommandOutput("xprop -id " + std::to_string(Id(dialog)) + " WM_TRANSIENT_FOR")
                .find(owner),
            std::string::npos);
  ShowAt(bubble, "bubble", 50, 50, 170, 90);
  EXPECT_TRUE(test::OverrideRedirect(Id(bubble)));
  EXPECT_FALSE(test::OverrideRedirect(Id(dialog)));
  if (GetParam()) {
    EXPECT_GT(StackPlace(dialog), StackPlace(main));
    EXPECT_EQ(StackPlace(bubble), -1);  // not managed
    main.Activate();
    ASSERT_TRUE(WaitFor([&] { return forms.Windows()->FocusedForm() == &main; }));
    loop.RunFor(0.2);
    EXPECT_GT(StackPlace(dialog), StackPlace(main));
  }

  bubble.SetLeft(-2 * bubble.Width());  // parked
  EXPECT_TRUE(WaitFor([&] { return !test::Viewable(Id(bubble)); }));
  EXPECT_TRUE(bubble.Visible());
  bubble.SetLeft(50 * 15);
  EXPECT_TRUE(WaitFor([&] { return test::Viewable(Id(bubble)); }));
}

// ZOrder brings a form's window to the front, with or without a window
// manager: what the screen shows where two windows overlap changes.
TEST_P(X11DesktopTest, ZOrderBringsAWindowToTheFront) {
  Form sheet(forms), board(forms);
  sheet.SetBackColor(0x0000FF);  // red
  board.SetBackColor(0x00FF00);  // green
  ShowAt(sheet, "sheet", 100, 100, 300, 200);
  ShowAt(board, "board", 150, 150, 300, 200);
  ASSERT_TRUE(WaitFor([] { return test::ScreenPixel(300, 250) == 0x00FF00; }));
  sheet.ZOrder(0);
  EXPECT_TRUE(WaitFor([] { return test::ScreenPixel(300, 250) == 0xFF0000; }));
  sheet.ZOrder(1);
  EXPECT_TRUE(WaitFor([] { return test::ScreenPixel(300, 250) == 0x00FF00; }));
}

// With the keys in another window of the client, one click on a box acts
// (and moves the keys there): the window manager's focus does not eat it.
TEST_P(X11DesktopTest, TheFirstClickOnAnotherWindowActs) {
  Form main(forms), dialog(forms);
  forms.SetMainForm(&main);
  PictureBox box(&main);
  box.Move(0, 0, 100 * 15, 100 * 15);
  int clicks = 0;
  box.Click = [&] { ++clicks; };
  ShowAt(main, "main", 0, 0, 600, 400);
  ShowAt(dialog, "dialog", 300, 200, 200, 100);
  ASSERT_TRUE(WaitFor([&] { return forms.Windows()->FocusedForm() == &dialog; }));
  Run("xdotool mousemove 50 50 click 1");
  EXPECT_TRUE(WaitFor([&] { return clicks == 1; }));
  EXPECT_TRUE(WaitFor([&] { return forms.Windows()->FocusedForm() == &main; }));
  EXPECT_EQ(main.Focus(), &box);
  loop.RunFor(0.2);
  EXPECT_EQ(clicks, 1);
}

// A minimised main window leaves the screen, withdrawn where no window
// manager honours the minimise; its popups (a bubble that opens meanwhile)
// go and come back with it.
TEST_P(X11DesktopTest, AMinimisedMainWindowLeavesTheScreenWithItsPopups) {
  Form main(forms), bubble(forms);
  forms.SetMainForm(&main);
  bubble.SetPopup(true);
  ShowAt(main, "main", 0, 0, 600, 400);
  main.SetWindowState(kMinimized);
  EXPECT_TRUE(WaitFor([&] { return !test::Viewable(Id(main)); }));
  bubble.SetCaption("bubble");
  bubble.Move(50 * 15, 50 * 15, 170 * 15, 90 * 15);
  bubble.Show();
  loop.RunFor(1.5);
  EXPECT_FALSE(test::Viewable(Id(main)));
  EXPECT_EQ(main.WindowState(), kMinimized);
  EXPECT_FALSE(Id(bubble) && test::Viewable(Id(bubble)));
  main.SetWindowState(kNormal);
  EXPECT_TRUE(WaitFor([&] { return test::Viewable(Id(main)) && test::Viewable(Id(bubble)); }));
}

// The program's SetFocus on a control of a form whose window lacks the keys
// brings them there (the phrases closing give them to the chat line).
TEST_P(X11DesktopTest, SetFocusOnAnotherFormsControlBringsTheKeysThere) {
  Form main(forms), dialog(forms);
  forms.SetMainForm(&main);
  TextBox chat(&main);
  chat.Move(0, 0, 100 * 15, 20 * 15);
  ShowAt(main, "main", 0, 0, 600, 400);
  ShowAt(dialog, "dialog", 300, 200, 200, 100);
  ASSERT_TRUE(WaitFor([&] { return forms.Windows()->FocusedForm() == &dialog; }));
  main.SetFocus(&chat);
  EXPECT_TRUE(WaitFor([&] { return forms.Windows()->FocusedForm() == &main; }));
}

// Dragged by a strip that starts the window's move, the window ends where
// the pointer's last motion put it.
TEST_P(X11DesktopTest, ADragByTheStripEndsAtTheLastMotion) {
  Form main(forms);
  PictureBox strip(&main);
  strip.Move(0, 0, 400 * 15, 20 * 15);
  strip.MouseDown = [&](int, int, double, double) { main.BeginSystemMove(); };
  ShowAt(main, "main", 100, 100, 400, 300);
  Run("xdotool mousemove 150 110 mousedown 1");
  for (int i = 0; i < 5; ++i) {
    Run("xdotool mousemove_relative 10 0");
    loop.RunFor(0.1);
  }
  Run("xdotool mouseup 1");
  EXPECT_TRUE(WaitFor([&] { return !main.Moving(); }));
  loop.RunFor(0.3);
  EXPECT_EQ(main.Left() / 15, 150);
  EXPECT_EQ(main.Top() / 15, 100);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutWindowManager, X11DesktopTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "openbox" : "bare"; });
INSTANTIATE_TEST_SUITE_P(Openbox, X11WindowManagerTest, ::testing::Values(true));

}  // namespace
}  // namespace slvn
