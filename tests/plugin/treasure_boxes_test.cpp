#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/renderer.h"
#include "plugin/item_fixture.h"
#include "plugin/prop_bridge.h"
#include "plugin/treasure_boxes.h"
#include "settlement/coin_settlement.h"
#include "shell/client.h"
#include "shell/general.h"
#include "shell/item_poll.h"
#include "support/headless.h"
#include "ui/table_reset.h"

namespace slvn {
namespace {

// The stage as the heartbeat runs it: the score hand-over on a tick, then
// the countdown, the clicks, the opening's steps and the slides.
class TreasureBoxTest : public test::ItemFixture {
 protected:
  void Score(std::vector<double> coins, std::vector<std::vector<std::string>> texts) {
    plugin.score_amounts = std::move(coins);
    plugin.score_texts = std::move(texts);
    client.prop.ScoreHandOver = true;
    client.prop.PropScoreReady = true;
    client.main_form.TimerBong.SetEnabled(true);
  }
  // Every sheet, won or drawn, adds its hand's line to the hand list.
  int Sheets() const { return client.Hero ? client.Hero->Num.ListCount() : 0; }
  const std::string& Tally() const { return client.main_form.LbProp.Caption(); }
  // The final frame copies its lines to the chat history.
  bool InHistory(const std::string& line) const {
    const auto& history = client.chat.Text1;
    return std::find(history.begin(), history.end(), line) != history.end();
  }
  double Now() const { return client.loop.Now(); }
  // Runs in heartbeat steps for `seconds`; `each` runs between steps.
  void Step(double seconds, const std::function<void()>& each = {}) {
    const double end = Now() + seconds;
    while (Now() < end - 1e-9) {
      RunFor(0.05);
      if (each) each();
    }
  }
  const ImageControl& Box(int i) { return client.main_form.ImgProp[i]; }
  // A stage cut short by the plug-in's end: the sheet of 300 coins comes
  // once on the next ticks, and the tally never ran.
  void ExpectOneSheetWithoutTheTally() {
    Step(1);
    EXPECT_EQ(Sheets(), 1);
    Step(5);
    EXPECT_EQ(Sheets(), 1);
    EXPECT_FALSE(InHistory(" 300金币"));
  }
};

// The one test of taking part, for the stage and its countdown alike.
TEST(TakesPart, CoinsAboveZeroOrEitherBoxText) {
  using Texts = std::vector<std::vector<std::string>>;
  struct Case {
    const char* name;
    std::vector<double> coins;
    Texts texts;
    bool takes_part;  // seat 1
  } cases[] = {
      {"nothing filled in", {}, {}, false},
      {"coins above 0", {0, 5}, {}, true},
      {"coins of 0 or below", {0, -5}, {{"", ""}, {"", ""}}, false},
      {"a name line", {}, {{"", "东家"}}, true},
      {"tally lines", {0, 0}, {{}, {"", "+5"}}, true},
      {"a third text does not count", {}, {{}, {}, {"", "x"}}, false},
      {"another seat's texts", {9}, {{"a", "", "c"}}, false},
  };
  for (const Case& c : cases) {
    PropState prop;
    prop.ScoreInfoAmounts = c.coins;
    prop.ScoreInfoTexts = c.texts;
    EXPECT_EQ(TakesPart(prop, 1), c.takes_part) << c.name;
  }
  PropState prop;
  EXPECT_FALSE(TakesPart(prop, 4));
  EXPECT_FALSE(TakesPart(prop, -1));
}

TEST_F(TreasureBoxTest, StageCases) {
  using Texts = std::vector<std::vector<std::string>>;
  struct Case {
    const char* name;
    std::vector<double> coins;
    Texts texts;
    std::optional<double> click_at;  // the local player clicks box 3 then
    std::vector<bool> shown;         // per group 0-2: its boxes shown
    bool enabled;                    // the shown boxes can be clicked
    double opens_after;              // seconds after the start; -1 never
    std::vector<int> seats;          // seats whose opened box rests at their place
    std::string tally;               // the final frame
  } cases[] = {
      {"nobody takes part", {0, 0}, {}, {}, {false, false, false}, false, -1, {}, ""},
      {"the local seat clicks box 3",
       {300},
       {},
       1.0,
       {true, false, false},
       true,
       1.0,
       {0},
       "300金币"},
      {"the local seat never clicks",
       {300},
       {},
       {},
       {true, false, false},
       true,
       5.0,
       {0},
       "300金币"},
      {"a name line alone takes part",
       {0},
       {{"本家"}},
       {},
       {true, false, false},
       true,
       5.0,
       {0},
       ""},
      {"only seats 2 and 3",
       {0, 0, 10, -5},
       {{"", "", "", "x"}},
       {},
       {true, true, false},
       false,
       3.0,
       {2, 3},
       "10金币\r\nx-5金币"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    client.main_form.LbProp.SetCaption("");
    ClearRecordBoards(client);
    plugin.calls.clear();
    ResetTableView(client);
    ClearItemBar(client);
    Score(c.coins, c.texts);
    RunFor(0.05);  // the hand-over's tick starts the stage
    const double start = Now();
    for (int g = 0; g < 3; ++g)
      for (int b = 5 * g; b < 5 * g + 5; ++b) {
        EXPECT_EQ(Box(b).Visible(), c.shown[g]) << b;
        EXPECT_EQ(Box(b).Enabled(), c.shown[g] && c.enabled) << b;
      }
    std::optional<double> opened;
    Step(12, [&] {
      if (c.click_at && !client.prop.BoxChosen && Now() - start >= *c.click_at - 1e-9) {
        ImgProp_Click(client, 3);
        ImgProp_Click(client, 1);  // further clicks do nothing
      }
      if (!opened && Count("ShowGif 1 true") > 0) opened = Now() - start;
    });
    EXPECT_EQ(Sheets(), 1);
    EXPECT_TRUE(std::filesystem::exists(program_folder.path() / "info.cv"));
    EXPECT_EQ(Count("InitShowNext false"), 1);
    if (c.opens_after < 0) {
      EXPECT_FALSE(opened);
      continue;
    }
    ASSERT_TRUE(opened);
    // Seen after the slides to the centre, which take 185 ms a box.
    EXPECT_GE(*opened, c.opens_after);
    EXPECT_LE(*opened, c.opens_after + 0.45);
    EXPECT_EQ(Count("ShowGif 1 true"), 1);
    EXPECT_EQ(Count("ShowGif 1 false"), 1);
    EXPECT_EQ(Tally(), c.tally);  // hidden, still holding the final frame
    const auto& picks = client.prop.Prop_BaoChs;
    if (c.click_at) {
      EXPECT_EQ(picks[0], 3);
    }
    if (c.seats == std::vector<int>{0}) {
      EXPECT_GE(picks[0], 0);
      EXPECT_LE(picks[0], 4);
    } else {
      EXPECT_EQ(picks[0], -1);
      EXPECT_EQ(picks[2] / 5, 0);  // groups in seat order
      EXPECT_EQ(picks[3] / 5, 1);
    }
    for (int seat : c.seats) {
      const ImageControl& box = Box(picks[seat]);
      EXPECT_TRUE(box.Visible());
      EXPECT_DOUBLE_EQ(box.Left(), client.prop.Box.BoxSeatPos[seat][0]) << seat;
      EXPECT_DOUBLE_EQ(box.Top(), client.prop.Box.BoxSeatPos[seat][1]) << seat;
      EXPECT_DOUBLE_EQ(box.Width(), client.prop.Box.OpenBoxSize[0]);
    }
    EXPECT_FALSE(client.main_form.LbProp.Visible());
    EXPECT_FALSE(client.main_form.TimerProp.Enabled());
    EXPECT_FALSE(client.prop.BoxCountdownOn);
  }
}

// Without a click every second shows the prompt above the seconds left, and
// the box opened at 0 may be any of the five.
TEST_F(TreasureBoxTest, AnUnclickedCountdownKeepsItsPromptFirstAndMayOpenTheFifthBox) {
  Score({300}, {});
  client.prop.Rnd.seed(11);  // its first draw is 3.74 of 4
  RunFor(0.05);
  std::vector<std::string> captions;
  Step(6, [&] {
    if (client.prop.BoxCountdownOn && (captions.empty() || captions.back() != Tally()))
      captions.push_back(Tally());
  });
  std::vector<std::string> expected;
  for (int s = 5; s >= 1; --s) expected.push_back("请选择一个宝箱打开\r\n" + std::to_string(s));
  EXPECT_EQ(captions, expected);
  EXPECT_EQ(client.prop.Prop_BaoChs[0], 4);
}

TEST_F(TreasureBoxTest, TheSettlementStepsAtTheBoxInterval) {
  struct Case {
    int16_t interval, steps;
    std::vector<const char*> frames;  // the amounts the tally shows, the final last
    double interval_s;                // between two steps
  } cases[] = {
      {100, 10, {"0", "30", "60", "90", "120", "150", "180", "210", "240", "300"}, 0.1},
      {0, 3, {"0", "100", "300"}, 0.05},  // an interval below 1 would never fire
      {100, 0, {"300"}, 0.1},             // no steps count as one
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.interval);
    client.chat.Text1.clear();
    ClearRecordBoards(client);
    plugin.calls.clear();
    ResetTableView(client);
    ClearItemBar(client);
    client.prop.Box.BoxTiming = {c.interval, c.steps};
    Score({300}, {});
    RunFor(0.05);
    ImgProp_Click(client, 2);  // opens and slides to the centre (5 x 37 ms)
    ASSERT_EQ(Tally(), "");    // prepared
    ASSERT_TRUE(client.main_form.LbProp.Visible());
    for (const char* amount : c.frames) {
      RunFor(c.interval_s);
      EXPECT_EQ(Tally(), PadRight(amount, 3) + "金币");
    }
    EXPECT_FALSE(client.prop.BoxOpening);
    Step(5);
    EXPECT_EQ(client.chat.Text1, std::vector<std::string>{" 300金币"});  // one final frame
    EXPECT_EQ(Sheets(), 1);
  }
}

TEST_F(TreasureBoxTest, ShutdownInASlideEndsTheStageAndTheSheetStillComes) {
  Score({300}, {});
  RunFor(0.05);
  Timer shutdown(client.loop, [&] { ShutdownPropPlugin(client, 0); });
  shutdown.SetInterval(60);
  shutdown.SetEnabled(true);
  ImgProp_Click(client, 4);  // the shutdown comes during the slide
  shutdown.SetEnabled(false);
  EXPECT_FALSE(client.main_form.ImgProp.Exists(4));
  EXPECT_FALSE(client.prop.BoxOpening);
  EXPECT_FALSE(client.main_form.LbProp.Visible());
  ExpectOneSheetWithoutTheTally();
}

// A plug-in that throws while its boxes open is gone for the run; the hand
// still ends in its sheet.
TEST_F(TreasureBoxTest, APlugInThatFailsInTheStageStillGetsTheSheetShown) {
  Score({300}, {});
  RunFor(0.05);
  plugin.throw_in = "ShowGif";
  ::testing::internal::CaptureStderr();
  ImgProp_Click(client, 2);  // the box opens, then the plug-in is told
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(client.prop.Prop_GameDllState, -1);
  EXPECT_EQ(PropObject(client), nullptr);
  EXPECT_FALSE(client.main_form.TimerProp.Enabled());
  ExpectOneSheetWithoutTheTally();
}

TEST_F(TreasureBoxTest, ANewHandInASlideShowsNoOldSheet) {
  Score({0, 10}, {});
  RunFor(0.05);
  // The other seat's box opens at 3 s and slides for 185 ms.
  Timer new_hand(client.loop);
  new_hand.SetHandler([&] {
    new_hand.SetEnabled(false);
    ResetTableView(client);
  });
  new_hand.SetInterval(3100);
  new_hand.SetEnabled(true);
  Step(10);
  EXPECT_EQ(client.prop.OpenedStage, 1u);  // the opening had begun
  EXPECT_EQ(Count("ShowGif 1 true"), 0);
  EXPECT_FALSE(InHistory(" 10金币"));
  EXPECT_EQ(Sheets(), 0);
  EXPECT_FALSE(client.main_form.TimerProp.Enabled());
  EXPECT_FALSE(client.prop.BoxCountdownOn);
}

TEST_F(TreasureBoxTest, OpeningOnlyWhileAStageRunsAndOnce) {
  for (int box : {-2, 15, 3, -1}) OpenTreasureBoxes(client, box);  // no stage
  EXPECT_FALSE(client.main_form.LbProp.Visible());
  Score({300}, {});
  RunFor(0.05);
  const std::string prompt = Tally();
  for (int box : {-2, 15}) OpenTreasureBoxes(client, box);
  EXPECT_EQ(Tally(), prompt);
  OpenTreasureBoxes(client, 2);
  EXPECT_EQ(Tally(), "");  // the tally prepared
  client.main_form.LbProp.SetCaption("tally");
  OpenTreasureBoxes(client, 3);
  EXPECT_EQ(client.prop.Prop_BaoChs[0], 2);
  EXPECT_EQ(Tally(), "tally");  // not prepared again
}

TEST_F(TreasureBoxTest, AClickOutsideTheBoxStateRemovesTheBoxesAfterTheHandler) {
  client.prop.Prop_GameDllState = 1;
  ImgProp_Click(client, 5);
  EXPECT_TRUE(client.main_form.ImgProp.Exists(5));  // still there inside the click
  RunFor(0.01);
  EXPECT_FALSE(client.main_form.ImgProp.Exists(5));
  EXPECT_TRUE(client.main_form.ImgProp.Exists(0));
}

TEST_F(TreasureBoxTest, ThePromptIsCentredAndSizedByItsBytes) {
  struct Case {
    std::vector<double> coins;
    const char* prompt;
    double width;
  } cases[] = {{{300}, "请选择一个宝箱打开", 252}, {{0, 5}, "请等待其他玩家打开宝箱", 308}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prompt);
    ResetTableView(client);
    Score(c.coins, {});
    RunFor(0.05);
    const Label& label = client.main_form.LbProp;
    EXPECT_EQ(label.Caption(), std::string(c.prompt) + "\r\n5");
    EXPECT_DOUBLE_EQ(label.Width(), c.width);
    EXPECT_DOUBLE_EQ(label.Left(), client.prop.Box.BoxPromptPos[0] - c.width / 2);
    EXPECT_EQ(label.ForeColor(), 0x0000FFu);
    EXPECT_TRUE(label.Visible());
  }
}

// For a person to look at: the boxes and the prompt on the table, the local
// player's row and the other seats' rows, at both scales.
class TreasureBoxScreenshot : public test::ItemFixture,
                              public ::testing::WithParamInterface<float> {
 protected:
  TreasureBoxScreenshot() : ItemFixture(GetParam()) {}
};

TEST_P(TreasureBoxScreenshot, BoxesAndPrompt) {
  test::UseHeadlessSdl();
  const std::string size = GetParam() < 1 ? "800" : "1024";
  Renderer renderer;
  ASSERT_TRUE(renderer.Ok());
  struct Shot {
    std::vector<double> coins;
    const char* name;
  } shots[] = {{{300}, "boxes_choose_"}, {{0, 10, 0, 20}, "boxes_wait_"}};
  for (const Shot& shot : shots) {
    ResetTableView(client);
    plugin.score_amounts = shot.coins;
    client.prop.ScoreHandOver = client.prop.PropScoreReady = true;
    ItemPoll(client);
    const ImageControl& box = client.main_form.ImgProp[shot.coins[0] > 0 ? 2 : 7];
    ASSERT_TRUE(box.Visible());
    renderer.Draw(client.main_form);
    // The box's middle shows its picture, not the table.
    const double ux = client.main_form.Pic1.Left() / 15, uy = client.main_form.Pic1.Top() / 15;
    const uint32_t pixel = renderer.PixelAt(static_cast<int>(ux + box.Left() + box.Width() / 2),
                                            static_cast<int>(uy + box.Top() + 3));
    EXPECT_EQ(pixel & 0xFFFFFF, 0x5A2D0Cu) << shot.name;
    EXPECT_TRUE(renderer.SavePng(shot.name + size + ".png"));
  }
}

TEST_P(TreasureBoxScreenshot, Tally) {
  test::UseHeadlessSdl();
  const std::string size = GetParam() < 1 ? "800" : "1024";
  Renderer renderer;
  ASSERT_TRUE(renderer.Ok());
  plugin.score_amounts = {300, 0, 40, -5};
  plugin.score_texts = {{"本家", "", "西家", "北家"}, {"", "南家开出宝箱：双倍积分卡"}};
  client.prop.ScoreHandOver = client.prop.PropScoreReady = true;
  ItemPoll(client);
  ImgProp_Click(client, 2);
  RunFor(0.2);  // five of the ten counting frames
  const Label& tally = client.main_form.LbProp;
  ASSERT_EQ(tally.Caption(), "本家120金币\r\n西家16 金币\r\n北家0  金币");
  // The tally's last frame, without the stage's pauses that follow it.
  client.main_form.TimerProp.SetEnabled(false);
  for (const char* name : {"boxes_tally_count_", "boxes_tally_"}) {
    if (std::string(name) == "boxes_tally_")
      ShowCoinSettlement(client, static_cast<int16_t>(client.prop.BoxSteps));
    renderer.Draw(client.main_form);
    // Its text is drawn in yellow inside the label.
    const double ux = client.main_form.Pic1.Left() / 15, uy = client.main_form.Pic1.Top() / 15;
    int yellow = 0;
    for (int y = 0; y < tally.Height(); ++y)
      for (int x = 0; x < tally.Width(); ++x) {
        const uint32_t p = renderer.PixelAt(static_cast<int>(ux + tally.Left() + x),
                                            static_cast<int>(uy + tally.Top() + y));
        yellow += (p >> 16 & 0xFF) > 200 && (p >> 8 & 0xFF) > 200 && (p & 0xFF) < 80;
      }
    EXPECT_GT(yellow, 100) << name;
    EXPECT_TRUE(renderer.SavePng(name + size + ".png"));
  }
}

INSTANTIATE_TEST_SUITE_P(BothScales, TreasureBoxScreenshot, ::testing::Values(1.0f, 0.78125f));

}  // namespace
}  // namespace slvn
