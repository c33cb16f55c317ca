#include "platform/forms.h"

#include <gtest/gtest.h>

#include "platform/timer.h"
#include "platform/window_system.h"
#include "shell/client.h"
#include "support/headless.h"

namespace slvn {
namespace {

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override { test::UseHeadlessSdl(); }
  Client client{std::make_unique<ManualClock>()};
};

TEST_F(FormsTest, ControlArrayElementCopiesElementZeroAndStartsHidden) {
  Form form(client.forms);
  ControlArray<ImageControl> tiles(&form);
  Picture tile = test::SolidPicture(4, 6, 0xFF00FF00);
  tiles[0].SetStretch(true);
  tiles[0].SetPicture(tile);
  tiles[0].Move(30, 45, 600, 900);
  tiles[0].SetMousePointer(kPointerCustom);
  tiles[0].SetToolTipText("牌");
  std::vector<std::pair<int, int>> downs;
  tiles.MouseDown = [&](int index, int button, int, double, double) {
    downs.push_back({index, button});
  };

  ASSERT_TRUE(tiles.Load(3));
  EXPECT_FALSE(tiles.Load(3));
  EXPECT_FALSE(tiles.Load(-1));
  EXPECT_FALSE(tiles.Exists(2));
  EXPECT_THROW(tiles[2], std::out_of_range);  // a gap left by Load(3)
  EXPECT_THROW(tiles[4], std::out_of_range);
  ImageControl& copy = tiles[3];
  EXPECT_FALSE(copy.Visible());
  EXPECT_TRUE(tiles[0].Visible());
  EXPECT_EQ(copy.Picture(), tile);
  EXPECT_TRUE(copy.Stretch());
  EXPECT_EQ(copy.Left(), 30);
  EXPECT_EQ(copy.Top(), 45);
  EXPECT_EQ(copy.Width(), 600);
  EXPECT_EQ(copy.Height(), 900);
  EXPECT_EQ(copy.MousePointer(), kPointerCustom);
  EXPECT_EQ(copy.ToolTipText(), "牌");
  EXPECT_EQ(copy.Parent(), &form);
  EXPECT_EQ(form.Children().back(), &copy);  // a new element starts in front

  copy.MouseDown(kRightButton, 0, 1, 2);
  tiles[0].MouseDown(kLeftButton, 0, 1, 2);
  EXPECT_EQ(downs, (std::vector<std::pair<int, int>>{{3, kRightButton}, {0, kLeftButton}}));

  tiles.Unload(3);
  EXPECT_FALSE(tiles.Exists(3));
  EXPECT_EQ(form.Children().size(), 1u);
  tiles.Unload(0);  // element 0 stays
  EXPECT_TRUE(tiles.Exists(0));
}

TEST_F(FormsTest, ImageTakesThePictureSizeUnlessStretched) {
  Form form(client.forms);
  PictureBox pic1(&form);
  pic1.SetScaleMode(ScaleMode::kPixels);
  ImageControl in_twips(&form), in_pixels(&pic1), stretched(&pic1);
  stretched.SetStretch(true);
  stretched.Move(1.5, 2.25, 7.5, 9);
  in_twips.SetPicture(test::SolidPicture(10, 20, 0xFF000000));
  in_pixels.SetPicture(test::SolidPicture(10, 20, 0xFF000000));
  stretched.SetPicture(test::SolidPicture(10, 20, 0xFF000000));
  EXPECT_EQ(in_twips.Width(), 150);
  EXPECT_EQ(in_twips.Height(), 300);
  EXPECT_EQ(in_pixels.Width(), 10);
  EXPECT_EQ(stretched.Left(), 1.5);  // fractions are kept as given
  EXPECT_EQ(stretched.Top(), 2.25);
  EXPECT_EQ(stretched.Width(), 7.5);
}

TEST_F(FormsTest, LoadedFormsListFollowsLoadShowAndUnload) {
  auto main_form = std::make_unique<Form>(client.forms);
  Form dialog(client.forms);
  int loads = 0, unloads = 0;
  dialog.OnLoad = [&] { ++loads; };
  dialog.OnUnload = [&] { ++unloads; };
  EXPECT_TRUE(client.forms.LoadedForms().empty());
  dialog.Show();
  main_form->Load();
  dialog.Show();
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(client.forms.LoadedForms(), (std::vector<Form*>{&dialog, main_form.get()}));
  EXPECT_TRUE(dialog.Visible());
  EXPECT_FALSE(main_form->Visible());
  dialog.Unload();
  EXPECT_EQ(unloads, 1);
  EXPECT_FALSE(dialog.Visible());
  dialog.SetVisible(true);  // loads it again
  EXPECT_EQ(loads, 2);
  EXPECT_EQ(client.forms.LoadedForms().back(), &dialog);
  main_form.reset();  // a destroyed form leaves the list
  dialog.Unload();
  EXPECT_TRUE(client.forms.LoadedForms().empty());
}

// Showing a form activates it and gives the keys to its first control in
// tab order (the order the controls were made in) that can hold them; a
// form that shows without the focus takes neither.
TEST_F(FormsTest, ShowingAFormFocusesItsFirstControlThatCanHoldTheKeys) {
  Form form(client.forms);
  Label label(&form);
  TextBox hidden(&form);
  hidden.SetVisible(false);
  ListBox disabled(&form);
  disabled.SetEnabled(false);
  PictureBox frame(&form);
  frame.SetVisible(false);
  TextBox inside_hidden_frame(&frame);
  ListBox list(&form);
  TextBox text(&form);
  text.ZOrder(1);  // first in the stacking, not in the tab order
  int got = 0;
  list.GotFocus = [&] { ++got; };
  form.Show();
  EXPECT_EQ(form.Focus(), &list);
  EXPECT_EQ(got, 1);
  EXPECT_TRUE(form.ActivationPending());

  // Shown again, it keeps the control that had the keys.
  form.SetFocus(&text);
  form.Hide();
  form.Show();
  EXPECT_EQ(form.Focus(), &text);
  // One that lost its place (hidden meanwhile) gives way to the first.
  form.Hide();
  text.SetVisible(false);
  form.Show();
  EXPECT_EQ(form.Focus(), &list);
  // Hidden right after the show, the first gives way to the next; so does
  // one whose box is hidden.
  text.SetVisible(true);
  list.SetVisible(false);
  EXPECT_EQ(form.Focus(), &text);
  frame.SetVisible(true);
  form.SetFocus(&inside_hidden_frame);
  frame.SetVisible(false);
  EXPECT_EQ(form.Focus(), &text);

  Form card(client.forms);
  ListBox card_list(&card);
  card.SetShowsWithoutFocus(true);
  card.Show();
  EXPECT_EQ(card.Focus(), nullptr);
  EXPECT_FALSE(card.ActivationPending());
}

TEST_F(FormsTest, RegionIsThePixelsThatDifferFromTheCorner) {
  Form form(client.forms);
  EXPECT_TRUE(form.InRegion(500, 500));  // no region: the whole rectangle
  auto skin = std::make_shared<Image>(*test::SolidPicture(3, 2, 0xFFFF00FF));
  skin->pixels[1] = 0xFF000000;
  skin->pixels[5] = 0x00FF00FF;  // differs from the corner in alpha only
  form.SetRegionFromPicture(skin);
  EXPECT_FALSE(form.InRegion(0, 0));
  EXPECT_TRUE(form.InRegion(1, 0));
  EXPECT_FALSE(form.InRegion(2, 0));
  EXPECT_TRUE(form.InRegion(2, 1));
  EXPECT_FALSE(form.InRegion(3, 0));
  EXPECT_FALSE(form.InRegion(-1, 0));
  form.SetRegionFromPicture(nullptr);
  EXPECT_TRUE(form.InRegion(2, 0));
}

TEST_F(FormsTest, ListAndTextBoxesKeepTheirIndexesInRange) {
  Form form(client.forms);
  ListBox list(&form);
  int clicks = 0;
  list.Click = [&] { ++clicks; };
  list.AddItem("b");
  list.AddItem("a", 0);
  list.AddItem("c", 99);
  EXPECT_EQ(list.ListCount(), 3);
  EXPECT_EQ(list.List(0) + list.List(1) + list.List(2), "abc");
  EXPECT_EQ(list.List(3), "");
  EXPECT_EQ(list.List(-1), "");
  list.SetListIndex(2);
  list.SetListIndex(2);  // no change, no Click
  list.SetListIndex(7);  // out of range: ignored
  EXPECT_EQ(list.ListIndex(), 2);
  EXPECT_EQ(clicks, 1);
  list.SetTopIndex(list.ListCount() - 1);
  EXPECT_EQ(list.TopIndex(), 2);
  list.RemoveItem(0);
  EXPECT_EQ(list.ListIndex(), 1);
  EXPECT_EQ(list.TopIndex(), 1);
  list.Clear();
  EXPECT_EQ(list.ListIndex(), -1);
  EXPECT_EQ(list.ListCount(), 0);

  TextBox chat(&form);
  chat.SetMaxLength(3);
  chat.Type("你");
  chat.Type("好");
  chat.Type("ab");  // would make four characters
  chat.Type("a");
  EXPECT_EQ(chat.Text(), "你好a");
  chat.Backspace();
  chat.Backspace();
  EXPECT_EQ(chat.Text(), "你");
  chat.SetText("longer than the limit");  // the limit is for typing only
  EXPECT_EQ(chat.Text(), "longer than the limit");
}

TEST_F(FormsTest, TextBoxTypesAtItsCaretAndReportsEveryChange) {
  Form form(client.forms);
  TextBox box(&form);
  std::vector<std::string> changes;
  box.Change = [&] { changes.push_back(box.Text() + "|" + std::to_string(box.SelStart())); };
  box.Type("你");
  box.Type("b");
  EXPECT_TRUE(box.MoveCaret(36));  // Home
  box.Type("a");
  EXPECT_TRUE(box.MoveCaret(39));  // Right, past 你
  EXPECT_TRUE(box.Backspace());
  EXPECT_TRUE(box.MoveCaret(37));  // Left
  EXPECT_TRUE(box.MoveCaret(37));  // stays at 0
  EXPECT_FALSE(box.Backspace());   // nothing before the caret
  EXPECT_TRUE(box.MoveCaret(35));  // End
  EXPECT_FALSE(box.MoveCaret(40));
  box.SetText("abc");  // by code: a change too, the caret where it was
  box.SetText("abc");  // no change
  box.SetText("");
  EXPECT_EQ(changes, (std::vector<std::string>{"你|1", "你b|2", "a你b|1", "ab|1", "abc|2", "|0"}));
}

// The editing model, one case a row: the box starts with `text`, its caret
// at `caret` and its limit at `max`, then takes the steps (a key, typed text
// "t:..." or pasted text "p:..."), and ends with `want` and its caret at
// `want_caret` after `changes` Change events.
TEST_F(FormsTest, TextBoxEditsWholeCharactersWithinItsLimit) {
  struct Case {
    const char* text;
    int caret;
    int max;
    std::vector<std::string> steps;
    const char* want;
    int want_caret;
    int changes;
  };
  const Case cases[] = {
      {"你好", 1, 0, {"t:a"}, "你a好", 2, 1},
      {"a你b", 2, 0, {"bs"}, "ab", 1, 1},
      {"a你b", 1, 0, {"del"}, "ab", 1, 1},
      {"ab", 2, 0, {"del"}, "ab", 2, 0},  // nothing after the caret
      {"", 0, 0, {"bs", "del", "left", "right"}, "", 0, 0},
      {"a😀b", 3, 0, {"home", "right", "right", "bs"}, "ab", 1, 1},  // four bytes, one character
      {"你好吗", 0, 0, {"end", "left", "del", "left", "t:很"}, "你很好", 2, 2},
      {"", 0, 0, {"p:one\r\ntwo\nthree\rfour\tfive"}, "one two three four five", 23, 1},
      {"ad", 1, 0, {"p:b\nc"}, "ab cd", 4, 1},
      {"", 0, 0, {"p:x\x01y\x7f\x1b"}, "xy", 2, 1},  // other control characters go
      {"", 0, 0, {"t:a\xff\xe4\xbd"}, "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", 4, 1},
      {"ab", 2, 5, {"p:你好世界"}, "ab你好世", 5, 1},  // as much as fits
      {"abc", 1, 3, {"t:d", "p:e"}, "abc", 1, 0},      // full: nothing goes in
      {"你好", 2, 3, {"bs", "t:们们"}, "你们们", 3, 2},
      // A selection (Shift: "sleft", "shome"...; "all") goes when typed
      // over, pasted over or deleted, and the limit counts without it.
      {"abcd", 1, 0, {"sright", "sright", "t:你"}, "a你d", 2, 2},
      {"abcd", 3, 0, {"shome", "p:x\ny"}, "x yd", 3, 2},
      {"abcd", 3, 0, {"sleft", "sleft", "bs"}, "ad", 1, 1},
      {"abcd", 0, 0, {"send", "del"}, "", 0, 1},
      {"abcd", 2, 4, {"all", "t:你好世界啊"}, "你好世界", 4, 2},
      {"abcd", 2, 0, {"all", "left"}, "abcd", 0, 0},  // an arrow puts it away at its edge
      {"abcd", 2, 0, {"all", "right", "t:e"}, "abcde", 5, 1},
      {"abcd", 2, 0, {"sright", "sleft", "sleft", "t:x"}, "axcd", 2, 2},  // back past the anchor
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " caret " + std::to_string(c.caret));
    Form form(client.forms);
    TextBox box(&form);
    box.SetText(c.text);
    box.SetSelStart(c.caret);
    box.SetMaxLength(c.max);
    int changes = 0;
    box.Change = [&] { ++changes; };
    for (const std::string& step : c.steps) {
      if (step.starts_with("t:")) box.Type(step.substr(2));
      if (step.starts_with("p:")) box.Paste(step.substr(2));
      if (step == "bs") box.Backspace();
      if (step == "del") box.Delete();
      if (step == "left") box.MoveCaret(37);
      if (step == "right") box.MoveCaret(39);
      if (step == "home") box.MoveCaret(36);
      if (step == "end") box.MoveCaret(35);
      if (step == "sleft") box.MoveCaret(37, true);
      if (step == "sright") box.MoveCaret(39, true);
      if (step == "shome") box.MoveCaret(36, true);
      if (step == "send") box.MoveCaret(35, true);
      if (step == "all") box.SelectAll();
    }
    EXPECT_EQ(box.Text(), c.want);
    EXPECT_EQ(box.SelStart(), c.want_caret);
    EXPECT_EQ(changes, c.changes);
  }
}

// A composition stands beside the text, never in it: no Change, and typing
// the result, or the focus leaving, ends it.
TEST_F(FormsTest, TextBoxCompositionIsShownApartFromItsText) {
  Form form(client.forms);
  TextBox box(&form);
  Label other(&form);
  form.SetFocus(&box);
  int changes = 0;
  box.Change = [&] { ++changes; };
  box.SetComposition("ni\nhao", 9);
  EXPECT_EQ(box.Composition(), "ni hao");
  EXPECT_EQ(box.CompositionCursor(), 6);  // held inside the composition
  EXPECT_EQ(box.Text(), "");
  box.Type("你好");
  EXPECT_EQ(box.Composition(), "");
  EXPECT_EQ(box.Text(), "你好");
  box.SetComposition("ma", 2);
  form.SetFocus(&other);
  EXPECT_EQ(box.Composition(), "");
  EXPECT_EQ(changes, 1);
}

TEST_F(FormsTest, MessageBoxIsRecordedAndAnsweredWhileTimersRun) {
  Timer heartbeat(client.loop);
  int beats = 0;
  heartbeat.SetHandler([&] { ++beats; });
  heartbeat.SetInterval(100);
  heartbeat.SetEnabled(true);
  Timer answer(client.loop, [&] { client.forms.AnswerMessageBox(); });
  answer.SetInterval(550);
  client.forms.OnMessageBox = [&](const MessageBox& box) {
    EXPECT_FALSE(box.answered);
    EXPECT_EQ(client.forms.OpenMessageBox(), &box);
    answer.SetEnabled(true);
  };
  client.forms.MsgBox("重连失败，请检查您的网络！", "提示");
  answer.SetEnabled(false);
  ASSERT_EQ(client.forms.Shown().size(), 1u);
  EXPECT_EQ(client.forms.Shown()[0].prompt, "重连失败，请检查您的网络！");
  EXPECT_EQ(client.forms.Shown()[0].title, "提示");
  EXPECT_TRUE(client.forms.Shown()[0].answered);
  EXPECT_EQ(client.forms.OpenMessageBox(), nullptr);
  EXPECT_EQ(beats, 5);  // the timer kept running while the box was open
  EXPECT_NEAR(client.loop.Now(), 0.55, 0.03);

  // Nobody answers: headless it is taken as answered after a bounded wait.
  client.forms.OnMessageBox = [](const MessageBox&) {};
  client.forms.MsgBox("有玩家退出，游戏结束！", "");
  EXPECT_EQ(client.forms.Shown().size(), 2u);
  EXPECT_LT(client.loop.Now(), 60);

  // No handler at all: answered at once.
  client.forms.OnMessageBox = nullptr;
  double before = client.loop.Now();
  client.forms.MsgBox("x", "y");
  EXPECT_EQ(client.loop.Now(), before);
}

TEST_F(FormsTest, WindowSystemDrawsOnlyWhenSomethingChanged) {
  WindowSystem* windows = client.forms.OpenWindows();
  ASSERT_NE(windows, nullptr);
  EXPECT_FALSE(windows->HasDisplay());
  EXPECT_EQ(windows->Fd(), -1);
  Form form(client.forms);
  form.Move(0, 0, 300, 300);
  ImageControl image(&form);
  EXPECT_FALSE(windows->Pending());  // not loaded: nothing to draw
  form.Show();
  EXPECT_TRUE(windows->Pending());
  client.loop.RunFor(0.01);
  ASSERT_NE(windows->RendererOf(form), nullptr);
  EXPECT_EQ(windows->RendererOf(form)->Width(), 20);
  EXPECT_FALSE(windows->Pending());
  image.SetLeft(0);  // the same value: no redraw
  EXPECT_FALSE(windows->Pending());
  image.SetLeft(15);
  EXPECT_TRUE(windows->Pending());
  client.loop.RunFor(0.01);
  EXPECT_FALSE(windows->Pending());
}

// TopIndex scrolls a line to the top as far as the list scrolls: the last
// page stays full, whether set, wheeled or left by a removal.
TEST_F(FormsTest, AListScrollsNoFurtherThanItsLastFullPage) {
  Form form(client.forms);
  ListBox list(&form);
  list.SetLinePixels(16);
  list.Move(0, 0, 100 * 15, (4 * 16 + 2) * 15);  // four lines inside the frame
  ASSERT_EQ(list.VisibleRows(), 4);
  for (int i = 0; i < 10; ++i) list.AddItem(std::to_string(i));
  int scrolls = 0;
  list.Scroll = [&] { ++scrolls; };
  struct Case {
    int set, want;
  } cases[] = {{0, 0}, {3, 3}, {6, 6}, {7, 6}, {9, 6}, {10, 6}, {-1, 6}, {2, 2}};
  for (const Case& c : cases) {
    list.SetTopIndex(c.set);
    EXPECT_EQ(list.TopIndex(), c.want) << c.set;
  }
  list.ScrollBy(100);
  EXPECT_EQ(list.TopIndex(), 6);
  list.ScrollBy(100);  // already at the end: no Scroll
  list.ScrollBy(-4);
  EXPECT_EQ(list.TopIndex(), 2);
  EXPECT_EQ(scrolls, 2);
  list.SetTopIndex(9);
  list.RemoveItem(0);
  EXPECT_EQ(list.TopIndex(), 5);
  list.SetHeight((2 * 16 + 2) * 15);  // a shorter list: two lines a page
  list.SetTopIndex(8);
  EXPECT_EQ(list.TopIndex(), 7);
  list.SetLinePixels(8);  // a smaller font: four lines fit again
  EXPECT_EQ(list.TopIndex(), 5);
  while (list.ListCount() > 3) list.RemoveItem(0);
  list.SetTopIndex(2);  // fewer lines than the page: nothing to scroll
  EXPECT_EQ(list.TopIndex(), 0);
}
}  // namespace
}  // namespace slvn
