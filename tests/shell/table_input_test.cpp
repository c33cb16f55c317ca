#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "chat/talk.h"
#include "platform/renderer.h"
#include "platform/synthetic_input.h"
#include "platform/window_system.h"
#include "plugin/item_bar.h"
#include "settlement/record_boards.h"
#include "shell/client.h"
#include "shell/keys.h"
#include "support/fake_video.h"
#include "support/table_layout.h"
#include "support/temp_dir.h"
#include "support/x_server.h"
#include "ui/main_form.h"
#include "ui/settings_dialog.h"

namespace slvn {
namespace {

// The table on a real display with no window manager, driven as a player
// drives it: the pointer moves for real, presses and keys go through the
// window system's queue and the event loop.
class TableInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (x.Missing()) GTEST_SKIP() << x.Problem();
    ASSERT_TRUE(x.Running()) << x.Problem();
    if (access("/usr/bin/xdotool", X_OK) != 0) GTEST_SKIP() << "xdotool is not installed";
    test::LayOutTable(client);
    client.main_form.Move(1500, 1500);
    PaintWindowSkin(client);  // the frame and its title strip
    client.main_form.Show();
    windows = client.forms.OpenWindows();
    ASSERT_TRUE(windows && windows->HasDisplay());
    Settle();
  }

  void Settle(double seconds = 0.3) { client.loop.RunFor(seconds); }

  // The middle of a control, in pixels on the screen.
  struct Point {
    int x, y;
  };
  Point ScreenPoint(const Control& c, double fx = 0.5, double fy = 0.5) {
    double x = (c.Left() + fx * c.Width()) / c.UnitsPerPixel();
    double y = (c.Top() + fy * c.Height()) / c.UnitsPerPixel();
    const Control* top = &c;
    for (const Control* p = c.Parent(); p && p->Parent(); p = p->Parent()) {
      x += p->Left() / p->UnitsPerPixel();
      y += p->Top() / p->UnitsPerPixel();
      top = p;
    }
    while (top->Parent()) top = top->Parent();
    const auto rect = windows->WindowRect(static_cast<const Form&>(*top));
    return {rect->x + static_cast<int>(x), rect->y + static_cast<int>(y)};
  }
  // The pointer moves as a device moves it (XTest), not by a warp, which
  // SDL would notice on its own.
  void MoveTo(Point p) {
    const std::string command =
        "xdotool mousemove " + std::to_string(p.x) + " " + std::to_string(p.y);
    ASSERT_EQ(std::system(command.c_str()), 0);
    Settle(0.1);
  }
  void Press(const Form& form, Point p, bool down) {
    const auto rect = windows->WindowRect(form);
    ASSERT_TRUE(PushMouseButton(*windows, form, kLeftButton, down, p.x - rect->x, p.y - rect->y));
    Settle(0.1);
  }
  void ClickOn(const Form& form, const Control& c, double fx = 0.5, double fy = 0.5) {
    const Point p = ScreenPoint(c, fx, fy);
    MoveTo(p);
    Press(form, p, true);
    Press(form, p, false);
    Settle();
  }
  void Type(int key_code) {
    ASSERT_TRUE(PushKey(key_code, true));
    ASSERT_TRUE(PushKey(key_code, false));
    Settle(0.1);
  }
  // Presses at `from`, drags by (dx, dy) in steps and releases.
  void Drag(const Form& form, Point from, int dx, int dy) {
    MoveTo(from);
    Press(form, from, true);
    for (int step = 1; step <= 4; ++step) MoveTo({from.x + dx * step / 4, from.y + dy * step / 4});
    Press(form, {from.x + dx, from.y + dy}, false);
    Settle();
  }

  test::XServer x;  // the server goes last, after the windows are closed
  Client client;
  WindowSystem* windows = nullptr;
};

TEST_F(TableInputTest, AClickGivesTheFocusAndTheTableKeysReachTheirHandlers) {
  MainForm& f = client.main_form;
  ClickOn(f, f.Chat);
  EXPECT_EQ(f.Focus(), &f.Chat);
  EXPECT_TRUE(client.data.ChatHasFocus);

  ClickOn(f, f.Pic1, 0.5, 0.9);
  ASSERT_EQ(f.Focus(), &f.Pic1);
  EXPECT_FALSE(client.data.ChatHasFocus);
  Type(kKeyEsc);
  EXPECT_TRUE(client.frmExit.Visible());
  Type(kKeyEsc);  // the dialog left the keys with the table
  EXPECT_FALSE(client.frmExit.Visible());

  Type(kKeyAlt);
  Type(kKeyC);
  ASSERT_TRUE(client.Talk.Visible());
  // The history's own list closes it with the same keys once it has the focus.
  ClickOn(client.Talk, client.Talk.Text1);
  EXPECT_EQ(client.Talk.Focus(), &client.Talk.Text1);
  Type(kKeyAlt);
  Type(kKeyC);
  EXPECT_FALSE(client.Talk.Visible());
}

TEST_F(TableInputTest, TheHistoryShowsAFullPageAndKeepsThePlayersScroll) {
  for (int i = 1; i <= 30; ++i) AddItemMessage(client, "第" + std::to_string(i) + "行");
  Lbchat_Click(client);
  Settle();
  ListBox& list = client.Talk.Text1;
  const int rows = list.VisibleRows();
  ASSERT_GT(rows, 5);
  EXPECT_EQ(list.TopIndex(), 30 - rows);  // the newest line at the bottom of a full page

  // Both ends of the list's box show text: no empty half under one line.
  Renderer* r = windows->RendererOf(client.Talk);
  ASSERT_NE(r, nullptr);
  auto ink_in_rows = [&](int first, int last) {
    const int left = static_cast<int>(list.Left() / 15), top = static_cast<int>(list.Top() / 15);
    const int line = (static_cast<int>(list.Height() / 15) - 2) / rows;
    int ink = 0;
    for (int y = top + 1 + first * line; y < top + 1 + (last + 1) * line; ++y)
      for (int x = left + 3; x < left + 60; ++x)
        if (r->PixelAt(x, y) != r->PixelAt(left + 2, top + 2)) ++ink;
    return ink;
  };
  EXPECT_GT(ink_in_rows(0, 0), 0);
  EXPECT_GT(ink_in_rows(rows - 1, rows - 1), 0);

  MoveTo(ScreenPoint(list));
  ASSERT_TRUE(PushWheel(*windows, client.Talk, -2));  // two notches back
  Settle();
  const int scrolled = list.TopIndex();
  EXPECT_EQ(scrolled, 30 - rows - 6);
  SyncTalkList(client);  // as every heartbeat tick does
  EXPECT_EQ(list.TopIndex(), scrolled);

  AddItemMessage(client, "新的一行");
  SyncTalkList(client);
  EXPECT_EQ(list.TopIndex(), 31 - rows);
}

TEST_F(TableInputTest, DraggingTheTitleStripOrTheScoreSheetMovesItsWindow) {
  MainForm& f = client.main_form;
  const auto before = *windows->WindowRect(f);
  Drag(f, ScreenPoint(f.LbMove, 0.3), 120, 80);
  const auto after = *windows->WindowRect(f);
  EXPECT_EQ(after.x, before.x + 120);
  EXPECT_EQ(after.y, before.y + 80);
  EXPECT_DOUBLE_EQ(f.Left(), after.x * 15.0);
  // Released: the pointer moves on alone.
  MoveTo({after.x + 300, after.y + 300});
  EXPECT_EQ(windows->WindowRect(f)->x, after.x);

  ScoreForm& score = LoadScoreForm(client);
  score.Show();
  Settle();
  const auto sheet = *windows->WindowRect(score);
  Drag(score, {sheet.x + 6, sheet.y + 6}, -90, 40);
  EXPECT_EQ(windows->WindowRect(score)->x, sheet.x - 90);
  EXPECT_EQ(windows->WindowRect(score)->y, sheet.y + 40);
}

TEST_F(TableInputTest, ATooltipOpensBesideThePointer) {
  MainForm& f = client.main_form;
  MoveTo(ScreenPoint(f.Pic1, 0.2, 0.2));  // the pointer came from elsewhere
  const Point over = ScreenPoint(f.Bank);
  MoveTo(over);
  Settle(0.8);
  const auto tip = windows->TipRect();
  ASSERT_TRUE(tip.has_value());
  EXPECT_GE(tip->x, over.x);
  EXPECT_LE(tip->x, over.x + 32);
  EXPECT_GE(tip->y, over.y);
  EXPECT_LE(tip->y, over.y + 32);
}

// A click on the settings dialog's video switch takes the own camera's
// picture away with its bar, its tip and its open-video button, and leaves
// those alone when the picture does not show.
TEST_F(TableInputTest, TheVideoSwitchTakesTheOwnCameraAwayWithItsBar) {
  test::TempDir dir;
  test::VideoCallLog video;
  client.video = test::MakeRecordingVideoControls(video);
  client.sound.program_folder = dir.path().string();
  test::WriteFileBytes(dir.File("vidiosetting.ini"), "[vidiosetting]\nvidiovalue=1\n");
  MainForm& f = client.main_form;
  client.data.OwnCaptureOn = true;
  client.VosSet.Load();
  client.VosSet.Show();
  Settle();
  for (bool picture : {true, false}) {
    SCOPED_TRACE(picture);
    client.data.VideoSetting = true;
    f.vcap1.SetVisible(picture);
    f.Tou[0].SetVisible(!picture);
    for (Control* c : {static_cast<Control*>(&f.PicLocal[0]), static_cast<Control*>(&f.Tiplbl),
                       static_cast<Control*>(&f.ImgShow[0])})
      c->SetVisible(true);
    ClickOn(client.VosSet, client.VosSet.Command2[4]);
    EXPECT_FALSE(client.data.VideoSetting);
    EXPECT_FALSE(f.vcap1.Visible());
    EXPECT_TRUE(f.Tou[0].Visible());
    EXPECT_EQ(f.PicLocal[0].Visible(), !picture);
    EXPECT_EQ(f.Tiplbl.Visible(), !picture);
    EXPECT_EQ(f.ImgShow[0].Visible(), !picture);
  }
}

}  // namespace
}  // namespace slvn
