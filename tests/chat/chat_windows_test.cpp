#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "chat/huifu.h"
#include "chat/speak_box.h"
#include "chat/talk.h"
#include "dispatch/deal_msg.h"
#include "platform/input.h"
#include "platform/renderer.h"
#include "platform/text.h"
#include "shell/client.h"
#include "shell/ini/ini_file.h"
#include "shell/keys.h"
#include "shell/net/packet_io.h"
#include "support/headless.h"
#include "support/packet_builder.h"
#include "support/table_layout.h"
#include "support/temp_dir.h"

namespace slvn {
namespace {

// A chat.ini as a player's folder holds it: GB2312, CRLF.
void WriteChatIni(const test::TempDir& dir, const std::string& utf8) {
  std::string text;
  for (char c : utf8) {
    if (c == '\n') text += '\r';
    text += c;
  }
  test::WriteFileBytes(dir.File("chat.ini"), Utf8ToGb2312(text));
}

constexpr const char* kPhrases =
    "[Phrase1]\nnum=3\n1=你好\n3=快点吧\n[Phrase2]\nnum=2\n1=再见了\n2=等等我\n";

class ChatWindowsTest : public ::testing::Test {
 protected:
  ChatWindowsTest() {
    client.sound.program_folder = dir.path().string();
    client.sound.VoiceFolder = "/voices/";
    auto device = std::make_unique<RecordingSoundDevice>();
    sound = device.get();
    client.sound.device = std::move(device);
    client.custom[0].SeatWind = 8;
    client.Detail[0].name = "小明";
    client.Detail[0].dialect = "01";
    client.Detail[0].voice = "02";
    client.Detail[0].sex = 1;
    client.Detail[0].voiceKind = 3;
    client.main_form.SetFocus(&client.main_form.Chat);
  }

  std::optional<GameMessage> Sent(std::string* text = nullptr) {
    GamePacket p;
    if (!client.net.SendRing.TakePacket(p)) return std::nullopt;
    GameMessage m;
    m.seat = p.Range(6, 1)[0];
    for (int k = 0; k < 4; ++k) m.value[k] = static_cast<int16_t>(p.U16BE(8 + 2 * k));
    if (text) *text = Gb2312ToUtf8(p.ByteString(16, 100));
    return m;
  }

  test::TempDir dir;
  Client client{std::make_unique<ManualClock>()};
  RecordingSoundDevice* sound = nullptr;
};

TEST(PhraseFileTest, ListsFromTheCountAndTheNumberedKeys) {
  test::TempDir dir;
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"[Phrase1]\nnum=3\n1=a\n3=c\n", {"a", "", "c"}},
      {"[Phrase1]\nnum=x2\n1=a\n", {}},
      {"[Phrase1]\nnum=2abc\n1=a\n2=b\n3=c\n", {"a", "b"}},
      {"[phrase1]\nNUM= 1 \n1=  带空格  \n", {"带空格"}},
      {"[Phrase1]\nnum=-4\n1=a\n", {}},
      {"[Phrase2]\nnum=1\n1=a\n", {}},
  };
  for (const auto& [ini, phrases] : cases) {
    WriteChatIni(dir, ini);
    EXPECT_EQ(ReadPhraseList(IniSnapshot(dir.File("chat.ini")), "Phrase1"), phrases) << ini;
  }
  EXPECT_EQ(PhraseCount("99999"), 32767);
  EXPECT_TRUE(ReadPhraseList(IniSnapshot(dir.File("none.ini")), "Phrase1").empty());
}

TEST_F(ChatWindowsTest, PhrasesAreReadOnceWhenTheWindowIsFirstMade) {
  WriteChatIni(dir, kPhrases);
  EXPECT_EQ(QuickPhrase(client, 1, 3), "快点吧");
  EXPECT_FALSE(client.huifu.Visible());
  WriteChatIni(dir, "[Phrase1]\nnum=1\n1=new\n");
  EXPECT_EQ(client.huifu.List1.ListCount(), 3);
  EXPECT_EQ(QuickPhrase(client, 2, 2), "等等我");
  for (auto [list, number] : {std::pair{1, 0}, {1, 4}, {3, 1}, {2, -1}})
    EXPECT_EQ(QuickPhrase(client, list, number), "") << list << " " << number;
}

TEST_F(ChatWindowsTest, OnlyTheSecondButtonBringsThePhraseWindowForward) {
  WriteChatIni(dir, kPhrases);
  imgword1_Click(client);
  EXPECT_TRUE(client.huifu.Visible());
  EXPECT_FALSE(client.huifu.ActivationPending());
  imgword1_Click(client);  // closes it
  imgword2_Click(client);
  EXPECT_TRUE(client.huifu.List2.Visible());
  EXPECT_TRUE(client.huifu.ActivationPending());
  EXPECT_EQ(client.huifu.Focus(), &client.huifu.List2);  // the keys on the shown list
}

TEST_F(ChatWindowsTest, AListTwoPhraseSaysItsNumberAndPlaysItsVoiceWithSoundOff) {
  WriteChatIni(dir, kPhrases);
  client.sound.SoundOn = 0;
  imgword2_Click(client);
  client.huifu.List2.SetListIndex(1);
  client.main_form.Chat.SetText("typed, not sent");
  List2_DblClick(client);
  std::string text;
  auto m = Sent(&text);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->value, (std::array<int16_t, 4>{2, 0, 97, 2}));
  EXPECT_EQ(m->seat, 8);
  EXPECT_EQ(text, "小明说道: 等等我");
  EXPECT_EQ(client.main_form.Chat.Text(), "");
  EXPECT_FALSE(client.huifu.Visible());
  EXPECT_EQ(sound->calls, std::vector<std::string>{"create /voices/v010213a2.wav"});

  // List 1, private: the phrase's words, the target's seat; no voice.
  sound->calls.clear();
  client.data.PrivateChatPrefix = "你对阿红说:";
  client.data.PrivateChatSeat = 4;
  client.main_form.Chat.SetText("你对阿红说:abc");
  client.huifu.List1.SetListIndex(0);
  List1_DblClick(client);
  m = Sent(&text);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->value, (std::array<int16_t, 4>{0, 4, 0, 0}));
  EXPECT_EQ(text, "小明对阿红说:你好");
  EXPECT_EQ(client.data.PrivateChatPrefix, "");
  EXPECT_TRUE(sound->calls.empty());
}

TEST_F(ChatWindowsTest, ADoubleClickOnAListLineSendsThatLine) {
  WriteChatIni(dir, kPhrases);
  imgword2_Click(client);
  // Form pixels: the list starts 16 pixels down; its first line just below.
  for (int clicks : {1, 2}) {
    DeliverMouse(client.huifu, MouseAction::kDown, kLeftButton, 0, 20, 20, clicks);
    DeliverMouse(client.huifu, MouseAction::kUp, kLeftButton, 0, 20, 20, clicks);
  }
  auto m = Sent();
  ASSERT_TRUE(m);
  EXPECT_EQ(m->value[3], 1);
}

TEST_F(ChatWindowsTest, APhraseSendsNothingWithoutOneOrForASpectator) {
  WriteChatIni(dir, kPhrases);
  client.huifu.Load();
  List2_DblClick(client);  // no selection
  client.data.WatchMode = true;
  client.huifu.List1.SetListIndex(0);
  List1_DblClick(client);
  EXPECT_FALSE(Sent());
  EXPECT_TRUE(sound->calls.empty());
}

// An empty entry (a number under "num" without its key) is a phrase too:
// the name alone goes out, private mode ends and list 2 speaks.
TEST_F(ChatWindowsTest, AnEmptyEntrySendsTheNameAlone) {
  WriteChatIni(dir, "[Phrase1]\nnum=3\n1=你好\n3=快点吧\n[Phrase2]\nnum=2\n1=再见了\n");
  struct Case {
    int list;
    bool private_line;
    const char* text;
    std::array<int16_t, 4> value;
    std::vector<std::string> sounds;
  } cases[] = {
      {1, true, "小明对阿红说:", {0, 4, 0, 0}, {}},
      {2, false, "小明说道: ", {2, 0, 97, 2}, {"create /voices/v010213a2.wav"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    sound->calls.clear();
    if (c.private_line) {
      client.data.PrivateChatPrefix = "你对阿红说:";
      client.data.PrivateChatSeat = 4;
      client.main_form.Chat.SetText("你对阿红说:abc");
    }
    c.list == 1 ? imgword1_Click(client) : imgword2_Click(client);
    ListBox& list = c.list == 1 ? client.huifu.List1 : client.huifu.List2;
    // Double-click the empty second line of the list.
    list.SetListIndex(1);
    c.list == 1 ? List1_DblClick(client) : List2_DblClick(client);
    std::string text;
    auto m = Sent(&text);
    ASSERT_TRUE(m);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(m->value, c.value);
    EXPECT_EQ(client.main_form.Chat.Text(), "");
    EXPECT_EQ(client.data.PrivateChatPrefix, "");
    EXPECT_FALSE(client.huifu.Visible());
    EXPECT_EQ(sound->calls, c.sounds);
  }
}

TEST_F(ChatWindowsTest, AVoiceCodeFromThePacketThatIsNoNamePlaysNothing) {
  WriteChatIni(dir, kPhrases);
  client.Detail[0].dialect = "../x";
  client.huifu.Load();
  client.huifu.List2.SetListIndex(0);
  List2_DblClick(client);
  EXPECT_TRUE(Sent());
  for (const auto& call : sound->calls) EXPECT_FALSE(call.starts_with("create")) << call;
}

TEST_F(ChatWindowsTest, TheWindowsToggleAndSitOverTheTableAtBothScales) {
  for (float scale : {1.0f, 0.78125f}) {
    SCOPED_TRACE(scale);
    Client c{std::make_unique<ManualClock>()};
    test::LayOutTable(c, scale);
    const MainForm& f = c.main_form;
    const double top = scale == 1.0f ? f.Top() + f.Pic1.Top() + 0.66 * f.Pic1.Height()
                                     : f.Top() + f.Pic1.Top() + 0.60 * f.Height();
    const double left = scale == 1.0f ? f.Left() + f.Pic1.Left() + 0.30 * f.Pic1.Width()
                                      : f.Left() + f.Pic1.Left() + 0.27 * f.Width();
    Lbchat_Click(c);
    EXPECT_TRUE(c.Talk.Visible());
    EXPECT_TRUE(c.Talk.Topmost());
    EXPECT_EQ(c.Talk.Alpha(), 200);
    EXPECT_DOUBLE_EQ(c.Talk.Top(), top);
    EXPECT_DOUBLE_EQ(c.Talk.Left(), left);
    c.Talk.Move(0, 0);
    Lbchat_Click(c);
    EXPECT_FALSE(c.Talk.Visible());
    Lbchat_Click(c);
    EXPECT_DOUBLE_EQ(c.Talk.Left(), left);  // placed afresh

    // The phrase window: opening it hides the history; the other button switches lists.
    imgword1_Click(c);
    EXPECT_FALSE(c.Talk.Visible());
    EXPECT_TRUE(c.huifu.Visible());
    EXPECT_DOUBLE_EQ(c.huifu.Top(), top);
    EXPECT_DOUBLE_EQ(c.huifu.Left(), left);
    EXPECT_TRUE(c.huifu.List1.Visible());
    imgword2_Click(c);
    EXPECT_TRUE(c.huifu.Visible());
    EXPECT_FALSE(c.huifu.List1.Visible());
    EXPECT_TRUE(c.huifu.List2.Visible());
    imgword2_Click(c);
    EXPECT_FALSE(c.huifu.Visible());
  }
}

TEST_F(ChatWindowsTest, AltAndCCloseTheHistoryOnlyWithNothingBetween) {
  ShowTalkWindow(client);
  for (int key : {int{kKeyAlt}, int{'X'}, int{kKeyC}}) Text1_KeyDown(client, key, 0);
  EXPECT_TRUE(client.Talk.Visible());
  for (int key : {int{kKeyC}, int{kKeyAlt}}) Text1_KeyDown(client, key, 0);
  EXPECT_FALSE(client.Talk.Visible());
  ShowTalkWindow(client);
  Label1_Click(client);
  EXPECT_FALSE(client.Talk.Visible());
}

TEST_F(ChatWindowsTest, TheHistoryWindowShowsTheLinesItsWritersAdd) {
  client.chat.Text1 = {" a", " b"};
  ShowTalkWindow(client);
  EXPECT_EQ(client.Talk.Text1.ListCount(), 2);
  // A received line arrives in a heartbeat tick.
  client.custom[0].SeatWind = 8;
  auto packet = test::BuildPacket(19, 4);
  test::PutText(packet, 16, "阿红说道: hi");
  StoreArrivedBytes(client, packet);
  client.main_form.TimerBong.SetEnabled(true);
  client.loop.RunFor(0.2);
  ASSERT_EQ(client.Talk.Text1.ListCount(), 3);
  EXPECT_EQ(client.Talk.Text1.List(2), " 阿红说道: hi");
  EXPECT_EQ(client.Talk.Text1.TopIndex(), 0);  // three lines fit on one page
}

// A received phrase through the packet paths.
void ReceivePhrase(Client& client, int seat_bit, int list, int number) {
  StoreArrivedBytes(client, test::BuildPacket(19, seat_bit, {list, 0, list == 2 ? 97 : 0, number}));
  ReadPacket(client);
  Deal_MSG(client);
}

TEST_F(ChatWindowsTest, ABubbleShowsAReceivedPhraseBesideItsSeat) {
  WriteChatIni(dir, kPhrases);
  test::LayOutTable(client, 1.0f);
  ReceivePhrase(client, 4, 1, 3);  // the left seat
  SpeakBoxForm* box = FindSpeakBox(client, 1);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->Tag(), "speak1");
  EXPECT_TRUE(box->Visible());
  EXPECT_TRUE(box->Topmost());
  EXPECT_TRUE(box->HasRegion());
  EXPECT_EQ(box->labPhrase.Caption(), "快点吧");
  const MainForm& f = client.main_form;
  EXPECT_DOUBLE_EQ(box->Left(), f.Left() + 1050);
  EXPECT_DOUBLE_EQ(box->Top(), f.Top() + 3000);
  EXPECT_EQ(box->Width(), box->imgSpeakBox[1].Picture()->width * 15);  // the seat's bubble

  ReceivePhrase(client, 4, 2, 1);  // the same seat: the same window
  EXPECT_EQ(client.speak_boxes.size(), 1u);
  EXPECT_EQ(box->labPhrase.Caption(), "再见了");

  // None for a number outside the list, an empty entry or a minimised window.
  for (int number : {0, 4, 2}) ReceivePhrase(client, 2, 1, number);
  client.main_form.SetWindowState(kMinimized);
  ReceivePhrase(client, 2, 1, 1);
  EXPECT_EQ(client.speak_boxes.size(), 1u);
}

TEST_F(ChatWindowsTest, ABubbleFadesInHoldsFadesOutAndLeaves) {
  test::LayOutTable(client, 1.0f);
  PrepareSpeakBox(client, 2);
  SpeakBoxForm& box = *FindSpeakBox(client, 2);
  EXPECT_LT(box.Top(), 0);  // parked above the screen
  showMe(client, box, 2, "hi", 210, 8, 4, 2000);
  const std::pair<int, int> alpha_at[] = {{1, 8},     {26, 208}, {27, 208}, {276, 208},
                                          {277, 206}, {328, 2},  {329, 2}};
  int tick = 0;
  for (auto [at, alpha] : alpha_at) {
    while (tick < at) {
      tmrFadeIn_Timer(client, box);
      ++tick;
    }
    EXPECT_EQ(box.Alpha(), alpha) << "tick " << at;
    EXPECT_EQ(box.tmrFadeIn.Enabled(), at < 329) << "tick " << at;
  }
  EXPECT_EQ(box.Top(), -2 * box.Height());
  EXPECT_EQ(box.labPhrase.Caption(), "");

  // On the clock the whole cycle takes about five seconds.
  showMe(client, box, 2, "hi", 210, 8, 4, 2000);
  client.loop.RunFor(5.0);
  EXPECT_TRUE(box.tmrFadeIn.Enabled());
  client.loop.RunFor(0.5);
  EXPECT_FALSE(box.tmrFadeIn.Enabled());

  EXPECT_FALSE(SetFormAlpha(box, 256));
  EXPECT_FALSE(SetFormAlpha(box, -1));
  EXPECT_EQ(box.Alpha(), 2);
}

// A phrase longer than the label's width wraps to the label's second line,
// and both lines lie whole on the bubble's body, for every seat at both
// scales: each ink pixel lies over the body's light fill, the ink is the
// label's whole text (as a label too tall to cut anything draws it) and it
// falls in two bands of rows.
TEST_F(ChatWindowsTest, ABubbleShowsAWholePhraseOfTwoLinesAtBothScales) {
  test::UseHeadlessSdl();
  const std::string phrase = "大家好，很高兴见到各位！";
  for (float scale : {1.0f, 0.78125f})
    for (int seat = 0; seat < 4; ++seat) {
      SCOPED_TRACE(std::to_string(scale) + " seat " + std::to_string(seat));
      Client c{std::make_unique<ManualClock>()};
      test::LayOutTable(c, scale);
      PrepareSpeakBox(c, static_cast<int16_t>(seat));
      SpeakBoxForm& box = *FindSpeakBox(c, seat);
      const Image& art = *box.Picture();
      Renderer renderer;
      auto frame = [&](const std::string& caption) {
        box.labPhrase.SetCaption(caption);
        renderer.Draw(box);
        std::vector<uint32_t> pixels;
        for (int y = 0; y < art.height; ++y)
          for (int x = 0; x < art.width; ++x) pixels.push_back(renderer.PixelAt(x, y));
        return pixels;
      };
      // Pixels the phrase changes: the ink as it shows.
      auto changed = [&](const std::vector<uint32_t>& bare, const std::vector<uint32_t>& shown) {
        std::vector<bool> ink(bare.size());
        for (size_t i = 0; i < bare.size(); ++i) ink[i] = bare[i] != shown[i];
        return ink;
      };
      const auto bare = frame("");
      showMe(c, box, static_cast<int16_t>(seat), phrase, 210, 8, 4, 2000);
      const auto ink = changed(bare, frame(phrase));
      std::vector<bool> rows(art.height);
      int off_body = 0;
      for (int y = 0; y < art.height; ++y)
        for (int x = 0; x < art.width; ++x) {
          if (!ink[y * art.width + x]) continue;
          rows[y] = true;
          const uint32_t under = art.At(x, y);
          const uint32_t darkest =
              std::min({(under >> 16) & 0xFF, (under >> 8) & 0xFF, under & 0xFF});
          off_body += (under >> 24) != 0xFF || darkest <= 200;
        }
      EXPECT_EQ(off_body, 0);
      int bands = 0;
      for (int y = 0; y < art.height; ++y) bands += rows[y] && (y == 0 || !rows[y - 1]);
      EXPECT_EQ(bands, 2);
      // Without the outline and with room to spare below, nothing more shows.
      box.SetRegionFromPicture(nullptr);
      box.labPhrase.SetHeight(box.labPhrase.Height() * 3);
      const auto whole = changed(frame(""), frame(phrase));
      EXPECT_EQ(std::count(ink.begin(), ink.end(), true),
                std::count(whole.begin(), whole.end(), true));
    }
}

TEST_F(ChatWindowsTest, ScreenshotOfTheFourBubblesAndTheHistory) {
  test::UseHeadlessSdl();
  WriteChatIni(dir, kPhrases);
  test::LayOutTable(client, 1.0f);
  client.chat.Text1 = {" 阿红说道: 大家好", " 小明对阿红说:你好", " Bob说道: 快点吧"};
  ShowTalkWindow(client);
  for (int seat_bit : {8, 4, 2, 1})
    ReceivePhrase(client, seat_bit, seat_bit == 2 ? 2 : 1, 3 - (seat_bit == 2));
  ASSERT_EQ(client.speak_boxes.size(), 4u);
  for (auto& box : client.speak_boxes)
    for (int i = 0; i < 26; ++i) tmrFadeIn_Timer(client, *box);
  EXPECT_TRUE(SaveScreenPng(client.forms, client.main_form, "chat_bubbles.png"));
}

}  // namespace
}  // namespace slvn
