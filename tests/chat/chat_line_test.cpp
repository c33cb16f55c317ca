#include "chat/chat_line.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <random>

#include "platform/input.h"
#include "platform/text.h"
#include "shell/client.h"
#include "shell/net/packet_io.h"

namespace slvn {
namespace {

struct Sent {
  int16_t seat, v0, v1, v2, v3;
  std::string text;
  bool operator==(const Sent&) const = default;
};

class ChatLineTest : public ::testing::Test {
 protected:
  ChatLineTest() {
    client.data.ChatGate = true;
    client.data.LoggedIn = true;
    client.custom[0].SeatWind = 2;
    client.custom[1].SeatWind = 4;
    client.custom[2].SeatWind = 8;
    client.Detail[0].name = "小明";
    client.Detail[1].name = "阿红";
    client.Detail[2].name = "Bob";
    client.main_form.SetFocus(&client.main_form.Chat);
  }

  void Type(const std::string& text) {
    // One ASCII character at a time, the rest as the input method hands it over.
    for (size_t i = 0; i < text.size();) {
      size_t n = static_cast<unsigned char>(text[i]) < 0x80 ? 1 : 3;
      DeliverText(client.main_form, text.substr(i, n));
      i += n;
    }
  }
  void Key(int code) { DeliverKeyDown(client.main_form, code, 0); }
  std::string Line() const { return client.main_form.Chat.Text(); }

  std::optional<Sent> TakeSent() {
    GamePacket p;
    if (!client.net.SendRing.TakePacket(p)) return std::nullopt;
    auto range = p.Range(16, 200);
    std::string gb;
    for (uint8_t b : range) {
      if (b == 0) break;
      gb.push_back(static_cast<char>(b));
    }
    for (size_t i = 16 + gb.size(); i < 216; ++i) EXPECT_EQ(p.Range(i, 1)[0], 0) << "byte " << i;
    EXPECT_EQ(p.Range(3, 1)[0], 19);
    return Sent{p.Range(6, 1)[0],
                static_cast<int16_t>(p.U16BE(8)),
                static_cast<int16_t>(p.U16BE(10)),
                static_cast<int16_t>(p.U16BE(12)),
                static_cast<int16_t>(p.U16BE(14)),
                Gb2312ToUtf8(gb)};
  }

  Client client{std::make_unique<ManualClock>()};
};

TEST_F(ChatLineTest, EnterAndTheSendButtonSendTheSameLines) {
  struct Case {
    const char* name;
    const char* typed;
    int avatar;  // 0: none
    bool spectator;
    std::optional<Sent> sent;
    const char* left;  // the line afterwards
  };
  const Case cases[] = {
      {"empty", "", 0, false, std::nullopt, ""},
      {"blanks", "   ", 0, false, std::nullopt, "   "},
      {"public", "hi 你好", 0, false, Sent{2, 0, 0, 0, 0, "小明说道: hi 你好"}, ""},
      {"prefix only", " ", 1, false, std::nullopt, "你对阿红说: "},
      {"private", "ok", 1, false, Sent{2, 0, 4, 0, 0, "小明对阿红说:ok"}, ""},
      {"private to seat 2", "x", 2, false, Sent{2, 0, 8, 0, 0, "小明对Bob说:x"}, ""},
      {"spectator", "hi", 0, true, std::nullopt, "hi"},
  };
  for (bool button : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (button ? " (button 0)" : " (Enter)"));
      client.data.WatchMode = c.spectator;
      client.data.PrivateChatPrefix.clear();
      client.main_form.Chat.SetText("");
      if (c.avatar) Tou_Click(client, c.avatar);
      Type(c.typed);
      if (button)
        SendChatButtonLine(client);
      else
        Key(13);
      EXPECT_EQ(TakeSent(), c.sent);
      EXPECT_EQ(Line(), c.left);
      if (c.sent) {
        EXPECT_EQ(client.data.PrivateChatPrefix, "");
      }
      client.loop.RunFor(0.85);  // the gate opens again
    }
  }
}

TEST_F(ChatLineTest, APrefixNotFirstIsCutOutWhereItStands) {
  Type("ab");
  Tou_Click(client, 1);  // the prefix goes in front
  EXPECT_EQ(Line(), "你对阿红说:ab");
  client.main_form.Chat.SetText("zz你对阿红说:ab");
  Key(13);
  EXPECT_EQ(TakeSent(), (Sent{2, 0, 4, 0, 0, "小明对阿红说:zzab"}));
}

TEST_F(ChatLineTest, TheGateLetsOneLineThroughPer800Ms) {
  Type("one");
  Key(13);
  ASSERT_TRUE(TakeSent());
  client.loop.RunFor(0.75);
  Key(13);  // an empty line meanwhile: nothing at all
  EXPECT_TRUE(client.chat.Text1.empty());
  Type("two");
  Key(13);
  EXPECT_FALSE(TakeSent());
  EXPECT_EQ(Line(), "");
  EXPECT_EQ(client.chat.Text1, std::vector<std::string>{"（发送消息太快！）"});
  EXPECT_EQ(client.chat.Text1TopIndex, 0);
  client.loop.RunFor(0.1);
  Type("three");
  Key(13);
  EXPECT_EQ(TakeSent()->text, "小明说道: three");
  // An empty line closes the gate too.
  client.loop.RunFor(0.85);
  Key(13);
  Type("four");
  Key(13);
  EXPECT_FALSE(TakeSent());
}

TEST_F(ChatLineTest, BackspaceIntoThePrefixDropsItWholeAndNothingElse) {
  Tou_Click(client, 1);
  Type("abc");
  Key(36);  // Home
  Key(39);
  Key(8);  // deletes the prefix's first character
  EXPECT_EQ(Line(), "abc");
  EXPECT_EQ(client.main_form.Chat.SelStart(), 3);
  EXPECT_EQ(client.data.PrivateChatPrefix, "");
  EXPECT_EQ(client.data.PrivateChatSeat, 0);

  // At the very start a Backspace deletes nothing and arms nothing.
  Tou_Click(client, 1);
  Key(36);
  Key(8);
  Type("x");
  EXPECT_EQ(Line(), "x你对阿红说:abc");
  EXPECT_EQ(client.data.PrivateChatPrefix, "你对阿红说:");

  // Past the prefix a Backspace deletes one typed character only.
  Key(35);  // End
  Key(8);
  EXPECT_EQ(Line(), "x你对阿红说:ab");
  EXPECT_FALSE(client.main_form.PrefixErasePending);
}

// A Backspace over a selection that starts in the prefix or right after it
// takes the prefix away and leaves the typed text; one over text typed before
// the prefix deletes that text only.
TEST_F(ChatLineTest, BackspaceOverASelectionFromThePrefixDropsThePrefix) {
  struct Case {
    const char* name;
    const char* before;  // typed before the prefix
    std::function<void()> select;
    const char* left;
    bool prefix_kept;
  } cases[] = {
      {"everything", "", [&] { DeliverKeyDown(client.main_form, 'A', kCtrlMask); }, "xy", false},
      {"the text after the prefix", "",
       [&] {
         Key(36);
         for (int i = 0; i < 6; ++i) Key(39);
         DeliverKeyDown(client.main_form, 35, kShiftMask);
       },
       "xy", false},
      {"the text before the prefix", "ab",
       [&] {
         Key(36);
         for (int i = 0; i < 2; ++i) DeliverKeyDown(client.main_form, 39, kShiftMask);
       },
       "你对阿红说:xy", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    client.data.PrivateChatPrefix.clear();
    client.main_form.Chat.SetText("");
    Tou_Click(client, 1);
    Type("xy");
    if (*c.before) {
      Key(36);
      Type(c.before);
    }
    c.select();
    ASSERT_GT(client.main_form.Chat.SelLength(), 0);
    Key(8);
    EXPECT_EQ(Line(), c.left);
    EXPECT_EQ(client.data.PrivateChatPrefix, c.prefix_kept ? "你对阿红说:" : "");
    EXPECT_EQ(client.data.PrivateChatSeat, c.prefix_kept ? 4 : 0);
    EXPECT_FALSE(client.main_form.PrefixErasePending);
  }
}

// Every key of the chat box, Enter and Backspace too, seeds the program's
// random generator from the clock afresh.
TEST_F(ChatLineTest, EveryKeySeedsTheRandomGeneratorFromTheClock) {
  const std::function<void()> keys[] = {[&] { Type("a"); }, [&] { Key(8); }, [&] { Key(13); }};
  for (const auto& key : keys) {
    client.loop.RunFor(0.75);
    client.prop.Rnd.discard(3);
    key();
    const std::minstd_rand expected(static_cast<unsigned>(client.loop.Now() * 1000));
    EXPECT_EQ(client.prop.Rnd, expected) << client.loop.Now();
  }
}

TEST_F(ChatLineTest, AvatarClicksSetAndReplaceTheTarget) {
  Type("hi");
  Tou_Click(client, 1);
  Tou_Click(client, 2);
  EXPECT_EQ(Line(), "你对Bob说:hi");
  EXPECT_EQ(client.data.PrivateChatSeat, 8);
  EXPECT_EQ(client.main_form.Chat.SelStart(), 9);
  for (int seat : {0, 3, 4, -1}) Tou_Click(client, seat);  // own, empty, outside
  EXPECT_EQ(Line(), "你对Bob说:hi");
  client.data.LoggedIn = false;
  Tou_Click(client, 1);
  EXPECT_EQ(Line(), "你对Bob说:hi");
}

TEST_F(ChatLineTest, TheHistoryIsClearedAtAKeyOnceItPassed100Lines) {
  client.chat.Text1.assign(100, "x");
  Type("a");
  EXPECT_EQ(client.chat.Text1.size(), 100u);
  client.chat.Text1.push_back("y");
  Type("b");
  EXPECT_TRUE(client.chat.Text1.empty());
}

}  // namespace
}  // namespace slvn
