#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/forms.h"
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
    if (!x.Running()) GTEST_SKIP() << x.Problem();
  }
  // The caption of the form whose window has the keyboard focus.
  std::string Focused() {
    loop.RunFor(0.3);
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

}  // namespace
}  // namespace slvn
