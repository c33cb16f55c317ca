#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chat/chat_state.h"
#include "settlement/coin_settlement.h"
#include "shell/client.h"
#include "shell/general.h"

namespace slvn {
namespace {

using Texts = std::vector<std::vector<std::string>>;

class CoinTallyTest : public ::testing::Test {
 protected:
  void Fill(std::vector<double> coins, Texts texts, int steps) {
    client.prop.ScoreInfoAmounts = std::move(coins);
    client.prop.ScoreInfoTexts = std::move(texts);
    client.prop.BoxSteps = steps;
    client.prop.Box.BoxPromptPos = {400, 200};
  }
  // The captions of every frame after the prepare call, the final one last.
  std::vector<std::string> Frames(int steps) {
    ShowCoinSettlement(client, -1);
    std::vector<std::string> shown;
    for (int step = 1; step <= steps; ++step) {
      ShowCoinSettlement(client, static_cast<int16_t>(step));
      shown.push_back(label.Caption());
    }
    return shown;
  }

  Client client{std::make_unique<ManualClock>()};
  Label& label = client.main_form.LbProp;
};

std::string Line(const std::string& name, const std::string& amount, int width) {
  return name + PadRight(amount, static_cast<int16_t>(width)) + "金币";
}

TEST_F(CoinTallyTest, FramesCountEachSeatUpToItsCoins) {
  struct Case {
    const char* name;
    std::vector<double> coins;
    Texts texts;
    int steps;
    std::vector<std::string> frames;
  } cases[] = {
      {"300 coins in ten steps",
       {300},
       {},
       10,
       {Line("", "0", 3), Line("", "30", 3), Line("", "60", 3), Line("", "90", 3),
        Line("", "120", 3), Line("", "150", 3), Line("", "180", 3), Line("", "210", 3),
        Line("", "240", 3), Line("", "300", 3)}},
      {"a negative seat counts from 0 and ends at its amount",
       {0, 100, 0, -5},
       {{"", "南家", "", "北家"}},
       3,
       {Line("南家", "0", 3) + "\r\n" + Line("北家", "0", 3),
        Line("南家", "33", 3) + "\r\n" + Line("北家", "0", 3),
        Line("南家", "100", 3) + "\r\n" + Line("北家", "-5", 3)}},
      {"no positive amount: a column of one",
       {-7},
       {{"本家"}, {"扣除道具|x"}},
       2,
       {"本家0金币", "本家-7金币\r\n扣除道具\r\nx"}},
      {"tally lines alone", {}, {{}, {"", "宝箱+5"}}, 1, {"宝箱+5"}},
      {"a half rounds to the even neighbour",
       {5},
       {},
       4,
       {Line("", "0", 1), Line("", "1", 1), Line("", "2", 1), Line("", "5", 1)}},
      {"a fraction counts in whole coins and ends at its amount",
       {12.5},
       {},
       2,
       {Line("", "0", 4), Line("", "12.5", 4)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fill(c.coins, c.texts, c.steps);
    EXPECT_EQ(Frames(c.steps), c.frames);
    EXPECT_TRUE(label.Visible());
    EXPECT_EQ(label.ForeColor(), 0x00FFFFu);  // yellow
  }
}

TEST_F(CoinTallyTest, TheLabelIsSizedByItsWidestLineAndCentredOnThePrompt) {
  struct Case {
    const char* name;
    std::vector<double> coins;
    Texts texts;
    double width, height;
  } cases[] = {
      // Name 4 bytes, amount 3 characters, 4 for the unit: 11 x 14.
      {"names and amounts", {300}, {{"本家"}}, 154, 50},
      {"a wider tally line", {300}, {{"本家"}, {"123456789012"}}, 224, 90},
      {"two seats with amounts", {300, 20}, {}, 98, 120},
      {"nothing in it", {}, {}, 70, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fill(c.coins, c.texts, 10);
    ShowCoinSettlement(client, -1);
    EXPECT_EQ(label.Caption(), "");
    EXPECT_DOUBLE_EQ(label.Width(), c.width);
    EXPECT_DOUBLE_EQ(label.Height(), c.height);
    EXPECT_DOUBLE_EQ(label.Left(), 400 - c.width / 2);
    EXPECT_DOUBLE_EQ(label.Top(), 200);
    EXPECT_EQ(label.Alignment(), kAlignCenter);
  }
}

TEST_F(CoinTallyTest, TheFinalFrameGoesToTheHistoryAndTheStrip) {
  client.chat.Text1 = {"earlier"};
  PutSysmsgLine(client, "upper");
  PutSysmsgLine(client, "lower");
  Fill({300, 0, -20}, {{"本家", "", "西家"}, {"", "南家开出宝箱|获得积分"}}, 2);
  Frames(2);
  const std::string tally = "本家300金币\r\n南家开出宝箱\r\n获得积分\r\n西家-20金币";
  EXPECT_EQ(label.Caption(), tally);
  EXPECT_EQ(client.chat.Text1, (std::vector<std::string>{"earlier", " 本家300金币", " 南家开出宝箱",
                                                         " 获得积分", " 西家-20金币"}));
  EXPECT_EQ(client.chat.Text1TopIndex, 4);
  EXPECT_EQ(client.chat.Sysmsg[0], "lower");
  EXPECT_EQ(client.chat.Sysmsg[1], tally);

  // An empty tally still takes its turn in the strip: the lower line moves
  // up and the tally's empty text takes its place.
  Fill({}, {{"本家"}}, 1);
  Frames(1);
  EXPECT_EQ(client.chat.Sysmsg[0], tally);
  EXPECT_EQ(client.chat.Sysmsg[1], "");
  EXPECT_EQ(client.chat.Text1.size(), 5u);
  // The empty line is a line: the next one moves it up.
  PutSysmsgLine(client, "next");
  EXPECT_EQ(client.chat.Sysmsg[0], "");
  EXPECT_EQ(client.chat.Sysmsg[1], "next");
  EXPECT_EQ(client.main_form.Sysmsg[0].ListCount(), 1);
  EXPECT_EQ(client.main_form.Sysmsg[1].List(0), "next");
}

}  // namespace
}  // namespace slvn
