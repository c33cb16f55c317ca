#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/forms.h"
#include "platform/renderer.h"
#include "platform/synthetic_input.h"
#include "platform/timer.h"
#include "platform/window_system.h"
#include "support/temp_dir.h"
#include "support/x_server.h"

namespace slvn {
namespace {

// A form with a text box and, under it, a table that takes the keys on a
// press, on a private X server without a window manager (its window at the
// screen's corner). The pointer and the keys are xdotool's: real X events
// through SDL and the event loop.
class X11TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (x.Missing()) GTEST_SKIP() << x.Problem();
    ASSERT_TRUE(x.Running()) << x.Problem();
    if (access("/usr/bin/xdotool", X_OK) != 0) GTEST_SKIP() << "xdotool is not installed";
    form.SetCaption("text");
    form.Move(0, 0, 400 * 15, 200 * 15);
    box.Move(20 * 15, 20 * 15, 200 * 15, 24 * 15);
    table.Move(20 * 15, 80 * 15, 200 * 15, 100 * 15);
    table.SetTakesFocusOnClick(true);
    form.Show();
    windows = forms.OpenWindows();
    ASSERT_TRUE(windows && windows->HasDisplay());
    windows->Present();
    ASSERT_TRUE(loop.WaitUntil(
        [&] { return windows->NativeHandle(form) && test::Viewable(windows->NativeHandle(form)); },
        5.0));
    loop.RunFor(0.3);
  }
  void Xdo(const std::string& args) {
    ASSERT_EQ(std::system(("xdotool " + args).c_str()), 0) << args;
    loop.RunFor(0.3);
  }
  // A click at form pixel (x, y) (the window stands at the screen's corner).
  void ClickAt(int px, int py) {
    Xdo("mousemove " + std::to_string(px) + " " + std::to_string(py) + " click 1");
  }
  void ClickTable() { ClickAt(100, 120); }
  // The form pixel of the boundary before character `index` of the box's text.
  int BoundaryX(int index) {
    Renderer* r = windows->RendererOf(form);
    EXPECT_NE(r, nullptr);
    std::string left = box.Text();
    size_t at = 0;
    for (int i = 0; i < index && at < left.size(); ++i) do
        ++at;
      while (at < left.size() && (static_cast<unsigned char>(left[at]) & 0xC0) == 0x80);
    return 20 + 3 + (r ? r->TextSize(left.substr(0, at), box.Font()).first : 0);
  }
  // The clipboard's text, asked of its owner by another program while the
  // loop runs (the owner may be this one).
  std::string ClipboardText() {
    const std::string file = dir.File("clip");
    std::filesystem::remove(file);
    if (std::system(("xclip -o -selection clipboard > " + file + " 2>/dev/null &").c_str()) != 0)
      return "";
    std::string text;
    loop.WaitUntil(
        [&] {
          std::ifstream in(file);
          std::stringstream ss;
          ss << in.rdbuf();
          text = ss.str();
          return !text.empty();
        },
        5.0);
    return text;
  }
  // Whether column x of the form shows the caret: a run of ink as tall as
  // the font's em.
  bool ShowsCaretAt(int x) {
    Renderer* r = windows->RendererOf(form);
    int run = 0, longest = 0;
    for (int y = 20; r && y < 44; ++y) {
      run = (r->PixelAt(x, y) & 0xFFFFFF) == 0 ? run + 1 : 0;
      longest = std::max(longest, run);
    }
    return longest >= 11;
  }
  // Whether the box shows selected ground anywhere.
  bool ShowsSelection() {
    Renderer* r = windows->RendererOf(form);
    for (int y = 20; r && y < 44; ++y)
      for (int x = 20; x < 220; ++x)
        if ((r->PixelAt(x, y) & 0xFFFFFF) == 0x0078D7) return true;
    return false;
  }

  test::XServer x;  // the server goes last, after the windows are closed
  test::TempDir dir;
  SteadyClock clock;
  EventLoop loop{clock};
  Forms forms{loop};
  Form form{forms};
  TextBox box{&form};
  PictureBox table{&form};
  WindowSystem* windows = nullptr;
};

// Keys on the table stay keys (Alt then C, Esc): the input method hears
// only what is typed into a box.
TEST_F(X11TextTest, TextInputIsOnOnlyWhileATextBoxHasTheKeys) {
  ClickTable();
  ASSERT_EQ(form.Focus(), &table);
  EXPECT_FALSE(SDL_IsTextInputActive());
  ClickAt(60, 30);
  ASSERT_EQ(form.Focus(), &box);
  EXPECT_TRUE(SDL_IsTextInputActive());
  Xdo("type --delay 30 ab");
  EXPECT_EQ(box.Text(), "ab");
  ClickTable();
  EXPECT_FALSE(SDL_IsTextInputActive());
  Xdo("type --delay 30 cd");
  EXPECT_EQ(box.Text(), "ab");
}

// A click places the caret; Shift with the arrows, Home and End, and a drag
// select; the selection shows; Ctrl+C and Ctrl+X copy it for other
// programs; Ctrl+A selects all; typing replaces the selection.
TEST_F(X11TextTest, AClickPlacesTheCaretAndASelectionIsCopied) {
  if (access("/usr/bin/xclip", X_OK) != 0) GTEST_SKIP() << "xclip is not installed";
  box.SetText("hello 你好 world");
  ClickAt(60, 30);
  ClickAt(BoundaryX(5), 30);
  EXPECT_EQ(box.SelStart(), 5);
  EXPECT_EQ(box.SelLength(), 0);
  EXPECT_FALSE(ShowsSelection());
  Xdo("key shift+Right shift+Right shift+Right");
  EXPECT_EQ(box.SelText(), " 你好");
  EXPECT_TRUE(ShowsSelection());
  Xdo("key ctrl+c");
  EXPECT_EQ(ClipboardText(), " 你好");
  Xdo("key shift+End");
  EXPECT_EQ(box.SelText(), " 你好 world");
  Xdo("key Left");  // the selection goes, the caret at its start
  EXPECT_EQ(box.SelStart(), 5);
  EXPECT_EQ(box.SelLength(), 0);
  Xdo("key shift+Home");
  EXPECT_EQ(box.SelText(), "hello");

  // A drag from after 你 to the end, then cut.
  Xdo("mousemove " + std::to_string(BoundaryX(7)) + " 30 mousedown 1 mousemove 150 32 mousemove " +
      std::to_string(BoundaryX(14) + 30) + " 32 mouseup 1");
  EXPECT_EQ(box.SelText(), "好 world");
  Xdo("key ctrl+x");
  EXPECT_EQ(box.Text(), "hello 你");
  EXPECT_EQ(ClipboardText(), "好 world");

  Xdo("key ctrl+a");
  EXPECT_EQ(box.SelText(), "hello 你");
  Xdo("type Z");
  EXPECT_EQ(box.Text(), "Z");
  EXPECT_FALSE(ShowsSelection());
}

// Each character typed raises KeyPress with its code before the box has it,
// whether it came alone or several at once from an input method: a handler
// may swallow one or put another in its place.
TEST_F(X11TextTest, EachTypedCharacterRaisesKeyPressWithItsCodeFirst) {
  ClickAt(60, 30);
  std::vector<std::pair<int, std::string>> seen;
  box.KeyPress = [&](int& code) {
    seen.emplace_back(code, box.Text());
    if (code == 'x') code = 0;
    if (code == 'y') code = 0xB0A1;  // 啊
    if (code == 'z') code = 0x80;    // the euro sign's one byte
  };
  ASSERT_TRUE(PushText("你好a"));
  ASSERT_TRUE(PushText("x"));
  ASSERT_TRUE(PushText("y\xF0\x9F\x98\x80"));
  ASSERT_TRUE(PushText("€z"));
  loop.RunFor(0.3);
  const std::vector<std::pair<int, std::string>> want = {{0xC4E3, ""},
                                                         {0xBAC3, "你"},
                                                         {'a', "你好"},
                                                         {'x', "你好a"},
                                                         {'y', "你好a"},
                                                         {'?', "你好a啊"},
                                                         {0x80, "你好a啊\xF0\x9F\x98\x80"},
                                                         {'z', "你好a啊\xF0\x9F\x98\x80€"}};
  EXPECT_EQ(seen, want);
  EXPECT_EQ(box.Text(), "你好a啊\xF0\x9F\x98\x80€€");
}

// Alt held with a letter is a chord: KeyDown sees it, nothing is typed and
// no KeyPress is raised; the next letter types as ever.
TEST_F(X11TextTest, AnAltChordTypesNothing) {
  ClickAt(60, 30);
  ASSERT_EQ(form.Focus(), &box);
  std::vector<std::pair<int, int>> downs;
  std::vector<int> presses;
  box.KeyDown = [&](int key, int shift) { downs.emplace_back(key, shift); };
  box.KeyPress = [&](int& code) { presses.push_back(code); };
  Xdo("key alt+c");
  Xdo("type d");
  EXPECT_EQ(box.Text(), "d");
  EXPECT_EQ(presses, std::vector<int>{'d'});
  EXPECT_NE(std::find(downs.begin(), downs.end(), std::pair<int, int>{'C', kAltMask}), downs.end());
}

// The input method is told where the caret is, so that its candidates open
// under it; a window that loses the keys shows no composition and no caret.
TEST_F(X11TextTest, TheInputMethodFollowsTheCaretAndAnInactiveWindowShowsNone) {
  ClickAt(60, 30);
  Xdo("type --delay 20 abcdefghijkl");
  ASSERT_EQ(box.Text(), "abcdefghijkl");
  const auto rect = windows->TextInputRect();
  ASSERT_TRUE(rect);
  EXPECT_EQ(rect->x, BoundaryX(12));
  EXPECT_EQ(rect->y, 20);
  ASSERT_TRUE(PushComposition("nihao", 5));
  loop.RunFor(0.3);
  ASSERT_EQ(box.Composition(), "nihao");
  EXPECT_GT(windows->TextInputRect()->x, BoundaryX(12) + 20);
  EXPECT_TRUE(ShowsCaretAt(20 + box.CaretPixel()));

  Form other(forms);
  other.SetCaption("other");
  other.Move(450 * 15, 0, 100 * 15, 100 * 15);
  other.Show();
  windows->Present();
  ASSERT_TRUE(loop.WaitUntil([&] { return test::Viewable(windows->NativeHandle(other)); }, 5.0));
  ClickAt(480, 50);
  ASSERT_EQ(windows->FocusedForm(), &other);
  EXPECT_EQ(box.Composition(), "");
  EXPECT_FALSE(ShowsCaretAt(20 + box.CaretPixel()));
  ClickAt(60, 30);
  EXPECT_TRUE(ShowsCaretAt(20 + box.CaretPixel()));
}

// Ctrl+V while the clipboard's owner never answers: the loop keeps its beat
// and the clipboard its owner; the text goes in when the owner answers.
TEST_F(X11TextTest, APasteNeverWaitsForTheClipboardsOwner) {
  test::ClipboardOwnerProgram owner("粘贴\nok");
  if (!owner.Running()) GTEST_SKIP() << "xclip is not installed or took no clipboard";
  ClickAt(60, 30);
  ASSERT_EQ(form.Focus(), &box);
  owner.Freeze();
  std::vector<double> beats;
  Timer beat(loop, [&] { beats.push_back(clock.Now()); });
  beat.SetInterval(50);
  beat.SetEnabled(true);
  Xdo("key ctrl+v");
  loop.RunFor(2.0);
  beat.SetEnabled(false);
  ASSERT_GE(beats.size(), 2u);
  double longest = 0;
  for (size_t i = 1; i < beats.size(); ++i) longest = std::max(longest, beats[i] - beats[i - 1]);
  EXPECT_LT(longest, 0.5);
  EXPECT_EQ(test::ClipboardOwner(), owner.Owner());
  EXPECT_EQ(box.Text(), "");
  owner.Thaw();
  EXPECT_TRUE(loop.WaitUntil([&] { return !box.Text().empty(); }, 5.0));
  EXPECT_EQ(box.Text(), "粘贴 ok");
  EXPECT_EQ(test::ClipboardOwner(), owner.Owner());
}

// A paste whose owner has not answered in 5 s is given up, though nothing
// else happened meanwhile: the late answer goes nowhere, the next paste once.
TEST_F(X11TextTest, APasteAnsweredPastItsLimitGoesNowhere) {
  test::ClipboardOwnerProgram owner("late");
  if (!owner.Running()) GTEST_SKIP() << "xclip is not installed or took no clipboard";
  ClickAt(60, 30);
  ASSERT_EQ(form.Focus(), &box);
  owner.Freeze();
  Xdo("key ctrl+v");
  loop.RunFor(5.5);
  owner.Thaw();
  // The owner's answer lands on the window, where nothing takes it.
  const std::string answer =
      "xprop -id " + std::to_string(windows->NativeHandle(form)) + " SLVN_PASTE 2>/dev/null";
  EXPECT_TRUE(loop.WaitUntil(
      [&] {
        return !box.Text().empty() ||
               test::CommandOutput(answer).find("\"late\"") != std::string::npos;
      },
      5.0));
  loop.RunFor(0.3);
  EXPECT_EQ(box.Text(), "");
  Xdo("key ctrl+v");
  EXPECT_TRUE(loop.WaitUntil([&] { return !box.Text().empty(); }, 5.0));
  loop.RunFor(0.5);
  EXPECT_EQ(box.Text(), "late");
}

// A clipboard too large for one answer comes in parts: the box takes as much
// of its start as it has room for.
TEST_F(X11TextTest, ALargeClipboardPastesItsStart) {
  std::string large;
  for (int i = 0; large.size() < 1'200'000; ++i) large += std::to_string(i) + (i % 7 ? " " : "\n");
  test::ClipboardOwnerProgram owner(large);
  if (!owner.Running()) GTEST_SKIP() << "xclip is not installed or took no clipboard";
  box.SetMaxLength(100);
  ClickAt(60, 30);
  ASSERT_EQ(form.Focus(), &box);
  Xdo("key ctrl+v");
  EXPECT_TRUE(loop.WaitUntil([&] { return !box.Text().empty(); }, 5.0));
  std::string start = large.substr(0, 100);
  std::replace(start.begin(), start.end(), '\n', ' ');
  EXPECT_EQ(box.Text(), start);
}

}  // namespace
}  // namespace slvn
