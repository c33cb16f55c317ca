#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/renderer.h"
#include "platform/synthetic_input.h"
#include "platform/text.h"
#include "platform/window_system.h"
#include "shell/client.h"
#include "shell/net/packet_io.h"
#include "support/table_layout.h"
#include "support/x_server.h"
#include "ui/main_form.h"

namespace slvn {
namespace {

constexpr uint32_t kBlack = 0xFF000000;  // the chat box's background
constexpr uint32_t kInk = 0xFF80FFFF;    // its text colour, &HFFFF80
constexpr int kLeft = 37, kRight = 39, kHome = 36, kEnd = 35, kDelete = 46, kBackspace = 8;

// The chat box on a real display with no window manager, at the full and the
// small scale, typed into as a player types: key and text events go through
// the window system's queue and the event loop.
class ChatBoxInputTest : public ::testing::TestWithParam<float> {
 protected:
  void SetUp() override {
    if (x.Missing()) GTEST_SKIP() << x.Problem();
    ASSERT_TRUE(x.Running()) << x.Problem();
    test::LayOutTable(client, GetParam());
    if (GetParam() >= 1) client.main_form.Move(1500, 0);
    client.main_form.Show();
    windows = client.forms.OpenWindows();
    ASSERT_TRUE(windows && windows->HasDisplay());
    Settle();
  }

  void Settle(double seconds = 0.3) { client.loop.RunFor(seconds); }

  // A control's rectangle in pixels of its form.
  struct Rect {
    int x, y, w, h;
  };
  static Rect FormRect(const Control& c) {
    double x = 0, y = 0;
    for (const Control* p = &c; p->Parent(); p = p->Parent()) {
      x += p->Left() / p->UnitsPerPixel();
      y += p->Top() / p->UnitsPerPixel();
    }
    return {static_cast<int>(x), static_cast<int>(y),
            static_cast<int>(c.Width() / c.UnitsPerPixel()),
            static_cast<int>(c.Height() / c.UnitsPerPixel())};
  }
  void Click(const Control& c) {
    const Rect r = FormRect(c);
    for (bool down : {true, false})
      ASSERT_TRUE(PushMouseButton(*windows, client.main_form, kLeftButton, down, r.x + r.w / 2,
                                  r.y + r.h / 2));
    Settle();
  }
  void Key(int code, int shift = 0, int times = 1) {
    for (int i = 0; i < times; ++i) {
      ASSERT_TRUE(PushKey(code, true, shift));
      ASSERT_TRUE(PushKey(code, false, shift));
    }
    Settle(0.1);
  }
  // One character at a time, as a keyboard or an input method hands them over.
  void TypeText(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
      size_t n = 1;
      while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
      ASSERT_TRUE(PushText(text.substr(i, n)));
      i += n;
    }
    Settle();
  }

  // The chat box as the screen shows it, row by row.
  std::vector<std::vector<uint32_t>> BoxPixels() {
    Renderer* r = windows->RendererOf(client.main_form);
    EXPECT_NE(r, nullptr);
    const Rect b = FormRect(client.main_form.Chat);
    std::vector<std::vector<uint32_t>> rows(static_cast<size_t>(b.h));
    for (int y = 0; y < b.h; ++y)
      for (int x = 0; x < b.w; ++x) rows[y].push_back(r ? r->PixelAt(b.x + x, b.y + y) : 0);
    return rows;
  }
  // The column of the caret, a run of ink taller than any letter's stroke
  // (the caret spans the 21-pixel font's em); -1 when none shows.
  static int CaretColumn(const std::vector<std::vector<uint32_t>>& rows) {
    const size_t width = rows.empty() ? 0 : rows[0].size();
    for (size_t x = 0; x < width; ++x) {
      int run = 0;
      for (const auto& row : rows) {
        run = row[x] == kInk ? run + 1 : 0;
        if (run >= 19) return static_cast<int>(x);
      }
    }
    return -1;
  }
  // Whether any pixel of columns [from, to) differs from the background.
  static bool InkIn(const std::vector<std::vector<uint32_t>>& rows, int from, int to) {
    for (size_t y = 1; y + 1 < rows.size(); ++y)
      for (int x = std::max(from, 1); x < to && x + 1 < static_cast<int>(rows[y].size()); ++x)
        if (rows[y][static_cast<size_t>(x)] != kBlack) return true;
    return false;
  }
  // The longest horizontal run of ink in one row: the composition's underline.
  static int LongestRow(const std::vector<std::vector<uint32_t>>& rows) {
    int longest = 0;
    for (const auto& row : rows) {
      int run = 0;
      for (uint32_t p : row) {
        run = p == kInk ? run + 1 : 0;
        longest = std::max(longest, run);
      }
    }
    return longest;
  }

  test::XServer x;  // the server goes last, after the windows are closed
  Client client;
  WindowSystem* windows = nullptr;
};

TEST_P(ChatBoxInputTest, TheViewFollowsTheCaretThroughFortyCharactersAndAComposition) {
  MainForm& f = client.main_form;
  Click(f.Chat);
  ASSERT_EQ(f.Focus(), &f.Chat);
  const std::string line = "abcdefghijklmnopqrstuvwxyz0123456789ABCD";
  TypeText(line.substr(0, 39));
  const auto before_last = BoxPixels();
  TypeText(line.substr(39));
  EXPECT_EQ(f.Chat.Text(), line);
  EXPECT_EQ(f.Chat.SelStart(), 40);
  const auto typed = BoxPixels();
  const int width = static_cast<int>(typed[0].size());
  // The caret stands at the right edge, the last characters just before it,
  // and the last one typed moved the view.
  const int caret = CaretColumn(typed);
  EXPECT_GE(caret, width - 6);
  EXPECT_TRUE(InkIn(typed, caret - 12, caret));
  EXPECT_TRUE(typed != before_last);

  Key(kHome);
  EXPECT_EQ(f.Chat.SelStart(), 0);
  const auto home = BoxPixels();
  EXPECT_LE(CaretColumn(home), 4);
  Key(kDelete);
  Key(kRight);
  Key(kBackspace);
  EXPECT_EQ(f.Chat.Text(), line.substr(2));
  Key(kEnd);
  EXPECT_GE(CaretColumn(BoxPixels()), width - 6);

  // An input method composes at the caret: shown, underlined, not yet text.
  const auto plain = BoxPixels();
  ASSERT_TRUE(PushComposition("nihao", 5));
  Settle();
  const auto composing = BoxPixels();
  EXPECT_EQ(f.Chat.Text(), line.substr(2));
  EXPECT_TRUE(composing != plain);
  EXPECT_GE(LongestRow(composing), 30);
  EXPECT_GE(CaretColumn(composing), width - 6);
  TypeText("你好");
  ASSERT_TRUE(PushComposition("", 0));
  Settle();
  EXPECT_EQ(f.Chat.Text(), line.substr(2) + "你好");
  EXPECT_EQ(f.Chat.Composition(), "");
  EXPECT_LT(LongestRow(BoxPixels()), 30);

  // Ctrl+V pastes the clipboard as one line.
  ASSERT_TRUE(PutOnClipboard("粘\r\n贴"));
  Key('V', kCtrlMask);
  EXPECT_EQ(f.Chat.Text(), line.substr(2) + "你好粘 贴");
  EXPECT_EQ(f.Chat.SelStart(), 43);
}

// A paste while the input method composes leaves the composition shown at
// the caret, after the pasted text: the input method still has it.
TEST_P(ChatBoxInputTest, APasteKeepsTheCompositionShown) {
  MainForm& f = client.main_form;
  Click(f.Chat);
  TypeText("ab");
  ASSERT_TRUE(PushComposition("nihao", 5));
  Settle();
  ASSERT_TRUE(PutOnClipboard("粘贴"));
  Key('V', kCtrlMask);
  EXPECT_EQ(f.Chat.Text(), "ab粘贴");
  EXPECT_EQ(f.Chat.SelStart(), 4);
  EXPECT_EQ(f.Chat.Composition(), "nihao");
  EXPECT_GE(LongestRow(BoxPixels()), 30);
}

// The private line shows and edits the same way; a Backspace into its
// prefix, after the caret was walked back to it, drops the prefix whole.
TEST_P(ChatBoxInputTest, ThePrivateLineEditsAsTheChatLine) {
  MainForm& f = client.main_form;
  client.data.LoggedIn = true;
  client.Detail[1].name = "卡萝";
  Click(f.Tou[1]);
  ASSERT_EQ(f.Chat.Text(), "你对卡萝说:");
  ASSERT_EQ(f.Focus(), &f.Chat);
  const std::string typed = "0123456789abcdefghijklmnopqrstuvwxyz";
  TypeText(typed);
  EXPECT_EQ(f.Chat.Text(), "你对卡萝说:" + typed);
  const auto end = BoxPixels();
  const int width = static_cast<int>(end[0].size());
  EXPECT_GE(CaretColumn(end), width - 6);
  Key(kLeft, 0, static_cast<int>(typed.size()));
  EXPECT_EQ(f.Chat.SelStart(), 6);
  Key(kBackspace);
  EXPECT_EQ(f.Chat.Text(), typed);
  EXPECT_EQ(client.data.PrivateChatPrefix, "");
  EXPECT_EQ(f.Chat.SelStart(), static_cast<int>(typed.size()));
  EXPECT_GE(CaretColumn(BoxPixels()), width - 6);

  // Everything selected, a Backspace takes the prefix and gives the text back.
  Click(f.Tou[1]);
  ASSERT_EQ(f.Chat.Text(), "你对卡萝说:" + typed);
  Key('A', kCtrlMask);
  ASSERT_EQ(f.Chat.SelLength(), 6 + static_cast<int>(typed.size()));
  Key(kBackspace);
  EXPECT_EQ(f.Chat.Text(), typed);
  EXPECT_EQ(client.data.PrivateChatPrefix, "");
  EXPECT_EQ(client.data.PrivateChatSeat, 0);
}

INSTANTIATE_TEST_SUITE_P(BothScales, ChatBoxInputTest, ::testing::Values(1.0f, 0.78125f),
                         [](const auto& info) { return info.param < 1 ? "Small" : "Full"; });

// Pinyin typed through a real IBus (ibus-libpinyin) on the private display,
// with xdotool's keys: what reaches the chat box and the server.
class ChatBoxInputMethodTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (x.Missing()) GTEST_SKIP() << x.Problem();
    ASSERT_TRUE(x.Running()) << x.Problem();
    if (access("/usr/bin/xdotool", X_OK) != 0) GTEST_SKIP() << "xdotool is not installed";
    if (!ime.Running()) GTEST_SKIP() << "IBus cannot start here: " << ime.Problem();
    client.Detail[0].name = "小明";
    client.data.ChatGate = true;
    test::LayOutTable(client, 1.0f);
    client.main_form.Move(0, 0);
    client.main_form.Show();
    windows = client.forms.OpenWindows();
    ASSERT_TRUE(windows && windows->HasDisplay());
    client.loop.RunFor(0.5);
  }
  void Xdo(const std::string& args) {
    ASSERT_EQ(std::system(("xdotool " + args).c_str()), 0) << args;
  }
  // Pumps the loop until done holds, for at most a few real seconds.
  bool WaitFor(const std::function<bool()>& done) { return client.loop.WaitUntil(done, 5.0); }
  void ClickOn(const Control& c) {
    double px = 0, py = 0;
    for (const Control* p = &c; p->Parent(); p = p->Parent()) {
      px += p->Left() / p->UnitsPerPixel();
      py += p->Top() / p->UnitsPerPixel();
    }
    const auto at = windows->WindowRect(client.main_form);
    ASSERT_TRUE(at);
    Xdo("mousemove " + std::to_string(at->x + static_cast<int>(px) + 10) + " " +
        std::to_string(at->y + static_cast<int>(py) + 5) + " click 1");
    client.loop.RunFor(0.3);
  }
  // Pinyin typed until the input method shows its composition.
  void Compose(const std::string& letters) {
    Xdo("type --delay 80 " + letters);
    EXPECT_TRUE(WaitFor([&] { return !client.main_form.Chat.Composition().empty(); })) << letters;
    client.loop.RunFor(0.3);
  }
  // Space takes the first candidate: the box grows by `chinese`.
  void Commit(const std::string& chinese) {
    MainForm& f = client.main_form;
    const std::string want = f.Chat.Text() + chinese;
    Xdo("key space");
    EXPECT_TRUE(WaitFor([&] { return f.Chat.Text() == want && f.Chat.Composition().empty(); }))
        << f.Chat.Text() << " / " << f.Chat.Composition();
  }

  // Keys while the engine is stopped for half a second, as a busy machine
  // or a starting input method holds them: SDL waits 0.3 s for each.
  void TypeWhileEnginePaused(const std::string& engine, const std::string& keys) {
    ime.Pause(engine);
    Xdo("type --delay 80 " + keys);
    client.loop.RunFor(0.5);
    ime.Resume(engine);
  }

  test::XServer x;  // the server goes last, after the windows are closed
  test::InputMethodSession ime{"libpinyin"};
  Client client{std::make_unique<SteadyClock>()};
  WindowSystem* windows = nullptr;
};

TEST_F(ChatBoxInputMethodTest, PinyinComposesCommitsAndIsSent) {
  MainForm& f = client.main_form;
  std::vector<int> codes;
  auto chat_key = f.Chat.KeyPress;
  f.Chat.KeyPress = [&](int& code) {
    codes.push_back(code);
    chat_key(code);
  };
  ClickOn(f.Chat);
  ASSERT_EQ(f.Focus(), &f.Chat);
  Compose("nihao");
  EXPECT_EQ(f.Chat.Text(), "");
  Commit("你好");
  // Each committed character ran the chat line's key press, with its code.
  EXPECT_EQ(codes, (std::vector<int>{0xC4E3, 0xBAC3}));

  // A tap of Ctrl in a composition leaves the keys as they were, even with
  // the next keys close behind.
  Compose("ni");
  Xdo("key ctrl type --delay 80 hao");
  client.loop.RunFor(0.3);
  Commit("你好");

  // A click on the table in a composition ends it there and then; keys on
  // the table stay keys; back in the box, typing starts afresh.
  Compose("hao");
  ClickOn(f.Pic1);
  EXPECT_EQ(f.Focus(), &f.Pic1);
  EXPECT_EQ(f.Chat.Composition(), "");
  EXPECT_FALSE(SDL_IsTextInputActive());
  Xdo("type --delay 80 ni");
  client.loop.RunFor(0.3);
  ClickOn(f.Chat);
  Compose("nihao");
  Commit("你好");
  EXPECT_EQ(f.Chat.Text(), "你好你好你好");

  // A paste whose owner answers while a composition is under way goes in
  // before it; the composition stays shown and commits after the paste.
  test::ClipboardOwnerProgram owner("粘贴");
  ASSERT_TRUE(owner.Running()) << "xclip is not installed or took no clipboard";
  owner.Freeze();
  Xdo("key End ctrl+v");
  Compose("nihao");
  owner.Thaw();
  EXPECT_TRUE(WaitFor([&] { return f.Chat.Text() == "你好你好你好粘贴"; }))
      << f.Chat.Text() << " / " << f.Chat.Composition();
  client.loop.RunFor(0.3);
  EXPECT_FALSE(f.Chat.Composition().empty());
  Commit("你好");

  // Enter sends the line: the server gets it in GB2312.
  Xdo("key Return");
  ASSERT_TRUE(WaitFor([&] { return f.Chat.Text().empty(); }));
  GamePacket p;
  ASSERT_TRUE(client.net.SendRing.TakePacket(p));
  EXPECT_NE(Gb2312ToUtf8(p.ByteString(16, 100)).find("你好你好你好粘贴你好"), std::string::npos);
}

// An engine that answers the first key after SDL stopped waiting for it:
// the key goes into the composition only, not into the box as well.
TEST_F(ChatBoxInputMethodTest, TheFirstKeyOfALateInputMethodGoesInOnce) {
  MainForm& f = client.main_form;
  ClickOn(f.Chat);
  ASSERT_EQ(f.Focus(), &f.Chat);
  TypeWhileEnginePaused("ibus-engine-lib", "n");
  Compose("ihao");
  EXPECT_EQ(f.Chat.Text(), "");
  Commit("你好");
  EXPECT_EQ(f.Chat.Text(), "你好");

  // Keys the engine answers late and does not take go in once, in order:
  // at the next key it answers in time, or alone after a while.
  ASSERT_TRUE(ime.SwitchEngine("xkb:us::eng"));
  client.loop.RunFor(0.3);
  TypeWhileEnginePaused("ibus-engine-sim", "ab");
  Xdo("type c");
  EXPECT_TRUE(WaitFor([&] { return f.Chat.Text() == "你好abc"; })) << f.Chat.Text();
  TypeWhileEnginePaused("ibus-engine-sim", "d");
  EXPECT_TRUE(WaitFor([&] { return f.Chat.Text() == "你好abcd"; })) << f.Chat.Text();
  client.loop.RunFor(0.5);
  EXPECT_EQ(f.Chat.Text(), "你好abcd");
}

}  // namespace
}  // namespace slvn
