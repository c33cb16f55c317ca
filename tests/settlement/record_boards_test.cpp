#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/renderer.h"
#include "settlement/hand_record.h"
#include "settlement/record_boards.h"
#include "shell/client.h"
#include "shell/general.h"
#include "shell/resources/image_resource.h"
#include "support/headless.h"
#include "support/table_layout.h"
#include "support/temp_dir.h"

namespace slvn {
namespace {

class BoardsTest : public ::testing::Test {
 protected:
  BoardsTest() {
    test::UseHeadlessSdl();
    test::LayOutTable(client);
    client.sound.program_folder = dir.path().string();
  }
  std::vector<std::string> Lines(const ListBox& list) {
    std::vector<std::string> lines;
    for (int i = 0; i < list.ListCount(); ++i) lines.push_back(list.List(i));
    return lines;
  }
  // A sheet on the score board: `lines` lines in every seat column, one in each final row.
  void FillSheet(int lines, const std::string& mark) {
    ScoreForm& score = LoadScoreForm(client);
    for (int i = 0; i < 8; ++i) {
      score.State[i].Clear();
      for (int j = 0; j < (i < 4 ? lines : 1); ++j)
        score.State[i].AddItem(mark + std::to_string(i) + "." + std::to_string(j));
    }
  }

  test::TempDir dir;
  Client client;
};

TEST_F(BoardsTest, BoardsAreMadeOnFirstUseTranslucentAndCentredOverTheTable) {
  EXPECT_FALSE(client.Score);
  ScoreForm& score = LoadScoreForm(client);
  HeroForm& hero = LoadHeroForm(client);
  EXPECT_FALSE(score.Visible() || hero.Visible());
  EXPECT_EQ(score.Alpha(), 200);
  EXPECT_EQ(hero.Alpha(), 200);
  EXPECT_EQ(score.Caption(), "战绩板");
  EXPECT_EQ(hero.Caption(), "英雄榜");
  const MainForm& f = client.main_form;
  EXPECT_DOUBLE_EQ(score.Left(), f.Left() + f.Pic1.Left() + (f.Pic1.Width() - 9585) / 2);
  EXPECT_DOUBLE_EQ(hero.Top(), f.Top() + f.Pic1.Top() + (f.Pic1.Height() - 6810) / 2);
  EXPECT_EQ(score.State.Count(), 8);
  EXPECT_DOUBLE_EQ(score.State[6].Left(), 4920);
  EXPECT_DOUBLE_EQ(score.State[6].Top(), 6360);
  EXPECT_EQ(hero.ID[2].Caption(), "玩家2");
  EXPECT_EQ(score.State[0].BackColor(), 0x80C0FFu);
  // The hand list scrolls to its last hand when it loads: the last page.
  client.Hero.reset();
  client.Hero = std::make_unique<HeroForm>(client.forms);
  ListBox& grade = client.Hero->Grade[1];
  for (int i = 0; i < 40; ++i) grade.AddItem(std::to_string(i));
  client.Hero->OnLoad = [this] { Hero_Form_Load(client); };
  client.Hero->Load();
  EXPECT_GT(grade.TopIndex(), 0);
  EXPECT_EQ(grade.TopIndex(), 40 - grade.VisibleRows());
}

TEST_F(BoardsTest, SeatColumnsMoveTogetherAndFinalRowsOnlyFollow) {
  FillSheet(30, "");
  ScoreForm& score = *client.Score;
  score.State[2].ScrollBy(5);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(score.State[i].TopIndex(), 5) << i;
  score.State[1].SetListIndex(20);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(score.State[i].ListIndex(), 20) << i;
  // A final row leads only the lists before it; those it cannot take keep theirs.
  score.State[5].SetListIndex(0);
  EXPECT_EQ(score.State[4].ListIndex(), 0);
  EXPECT_EQ(score.State[0].ListIndex(), 0);
  EXPECT_EQ(score.State[6].ListIndex(), -1);
  EXPECT_EQ(score.State[7].ListIndex(), -1);
  // Scrolling past either end stops there and raises nothing more.
  score.State[3].ScrollBy(-100);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(score.State[i].TopIndex(), 0) << i;
}

TEST_F(BoardsTest, ClosingDraggingAndClearing) {
  ShowScoreBoard(client);
  ShowHeroBoard(client);
  ScoreForm& score = *client.Score;
  HeroForm& hero = *client.Hero;
  EXPECT_TRUE(score.Visible() && hero.Visible());
  const MainForm& f = client.main_form;
  EXPECT_DOUBLE_EQ(hero.Left(), f.Left() + (f.Width() - hero.Width()) / 2);
  score.Background.MouseDown(1, 0, 10, 10);
  EXPECT_TRUE(score.Moving());
  score.Image1.Click(1);
  hero.Image1.Click(0);
  EXPECT_FALSE(score.Visible() || hero.Visible());

  FillSheet(3, "x");
  SetHeroSeat(client, 2, "西家", 12);
  SetScoreNameColor(client, 3, 0xFF);
  EXPECT_EQ(score.ID[3].ForeColor(), 0xFFu);
  EXPECT_EQ(hero.ID[2].Caption(), "西家");
  EXPECT_TRUE(hero.Tou[2].Picture());
  // A seat or avatar out of range changes nothing.
  SetHeroSeat(client, 2, "西家", 20);
  SetHeroSeat(client, 4, "无", 1);
  SetScoreNameColor(client, -1, 0);
  EXPECT_EQ(hero.Tou[2].Picture(), LoadResourcePicture(client, 401 + 2));
  AddHeroHandLine(client, 7);
  hero.Grade[0].AddItem("100金币");
  ShowScoreBoard(client);
  ShowHeroBoard(client);
  ClearRecordBoards(client);
  EXPECT_FALSE(score.Visible() || hero.Visible());
  EXPECT_EQ(hero.Num.ListCount() + hero.Grade[0].ListCount() + score.State[0].ListCount(), 0);
  EXPECT_TRUE(hero.HandNumbers.empty());
  EXPECT_EQ(hero.ID[2].Caption(), "");
  EXPECT_FALSE(hero.Tou[2].Picture());
  // A minimised window keeps the score board hidden.
  client.main_form.SetWindowState(kMinimized);
  ShowScoreBoard(client);
  EXPECT_FALSE(score.Visible());
}

TEST_F(BoardsTest, TheHandRecordComesBackTrimmed) {
  client.data.ScoreNames[1] = {"南家", "13"};
  FillSheet(2, "");
  ScoreForm& score = *client.Score;
  score.State[0].AddItem("   连赖  ×4");
  score.State[0].AddItem(" ");
  score.State[1].AddItem("");
  score.State[2].SetForeColor(255);
  score.State[5].Clear();
  SaveHandRecord(client, 3);
  const std::vector<std::string> column0 = {"0.0", "0.1", "连赖  ×4", " "};
  // Another sheet on the board, with more lines and other names.
  FillSheet(6, "y");
  score.State[2].SetForeColor(0);
  score.ID[1].SetCaption("别人");
  LoadHandRecord(client, 3);
  EXPECT_EQ(Lines(score.State[0]), column0);
  EXPECT_EQ(Lines(score.State[1]), (std::vector<std::string>{"1.0", "1.1", " "}));
  EXPECT_EQ(score.State[5].ListCount(), 0);
  EXPECT_EQ(score.State[2].ForeColor(), 255u);
  EXPECT_EQ(score.ID[1].Caption(), "南家");
  EXPECT_EQ(score.ID[1].ForeColor(), 255u);
  EXPECT_EQ(score.Tou[1].Picture(), LoadResourcePicture(client, 404));
  EXPECT_FALSE(score.Visible());

  // A hand never saved: names emptied and red, lists and avatars kept.
  LoadHandRecord(client, 9);
  EXPECT_EQ(score.ID[1].Caption(), "");
  EXPECT_EQ(Lines(score.State[0]), column0);
  EXPECT_EQ(score.Tou[1].Picture(), LoadResourcePicture(client, 404));
  // Hand 0 is no hand at all.
  score.ID[0].SetCaption("keep");
  LoadHandRecord(client, 0);
  EXPECT_EQ(score.ID[0].Caption(), "keep");
}

TEST_F(BoardsTest, BadStoredValuesStopOrLeaveThingsAsTheyAre) {
  struct Case {
    const char* count0;  // the first seat column's line count
    const char* colour;  // its colour
    const char* avatar;
    size_t lines;         // lines of column 0 afterwards (it had 2)
    uint32_t fore_color;  // of column 0 afterwards
    bool avatar_changed;
  };
  const Case cases[] = {
      {"1", "65280", "3", 1, 0xFF00, true}, {"1", "red", "x3", 1, 0, false},
      {"1", "16777216", "20", 1, 0, false}, {"1", "-1", "-1", 1, 0, false},
      {"1001", "255", "3", 2, 0, true},     {"-2", "255", " 3 ", 2, 0, true},
      {"two", "255", "", 2, 0, false},      {"99999999999999999999", "255", "3", 2, 0, true},
  };
  const std::string file = dir.File("info.cv");
  for (const Case& c : cases) {
    test::WriteFileBytes(file, std::string("[juNum:4]\r\nname( 0 )=a\r\nPicIndex( 0 )=") +
                                   c.avatar + "\r\ncount( 0 )=" + c.count0 +
                                   "\r\ncount( 0 )( 0 )=z\r\n" +
                                   "count( 1 )=0\r\ncount( 2 )=0\r\ncount( 3 )=0\r\n" +
                                   "count( 4 )=0\r\ncount( 5 )=0\r\ncount( 6 )=0\r\n" +
                                   "count( 7 )=0\r\ncount( 0 ) ForeColor=" + c.colour + "\r\n");
    FillSheet(2, "");
    client.Score->Tou[0].SetPicture(nullptr);
    client.Score->State[0].SetForeColor(0x123456);
    LoadHandRecord(client, 4);
    EXPECT_EQ(client.Score->State[0].ListCount(), static_cast<int>(c.lines)) << c.count0;
    EXPECT_EQ(client.Score->State[0].ForeColor(), c.fore_color) << c.colour;
    EXPECT_EQ(static_cast<bool>(client.Score->Tou[0].Picture()), c.avatar_changed) << c.avatar;
  }
}

TEST_F(BoardsTest, HeroLinesOpenTheHandTheyNameEvenAfterAHandWithoutASheet) {
  // Hands 1 and 3 ended with a sheet; hand 2 did not.
  for (int16_t hand : {1, 3}) {
    FillSheet(2, "hand" + std::to_string(hand) + ":");
    SaveHandRecord(client, hand);
    AddHeroHandLine(client, hand);
    for (int i = 0; i < 4; ++i) LoadHeroForm(client).Grade[i].AddItem(std::to_string(hand));
  }
  FillSheet(1, "current:");
  HeroForm& hero = *client.Hero;
  ScoreForm& score = *client.Score;
  EXPECT_EQ(hero.Num.List(1), PadRight("3", 12));
  hero.Grade[3].SetListIndex(1);
  EXPECT_EQ(score.State[0].List(0), "hand3:0.0");
  EXPECT_TRUE(score.Visible());
  EXPECT_TRUE(score.Topmost());
  score.Hide();
  // A click on Num shows the sheet the board holds without loading.
  FillSheet(1, "current:");
  hero.Num.Click();
  EXPECT_TRUE(score.Visible());
  EXPECT_EQ(score.State[0].List(0), "current:0.0");
  hero.Num.SetListIndex(0);
  hero.Num.DblClick();
  EXPECT_EQ(score.State[0].List(0), "hand1:0.0");
}

// The two boards over the table, for a person to look at:
// build/.../boards_1024.png and boards_800.png.
class BoardsShotTest : public ::testing::TestWithParam<float> {};

TEST_P(BoardsShotTest, SavesTheBoardsOverTheTable) {
  test::UseHeadlessSdl();
  test::TempDir dir;
  Client client;
  test::LayOutTable(client, GetParam());
  client.main_form.Show();
  const char* names[] = {"我", "南家", "西家", "北家"};
  for (int i = 0; i < 4; ++i) {
    client.data.ScoreNames[i] = {names[i], std::to_string(i * 5)};
    SetHeroSeat(client, i, names[i], i * 5);
  }
  ScoreForm& score = LoadScoreForm(client);
  const char* column[] = {"初始：1000金币",
                          "房间底金:  10",
                          "庄家",
                          "-------------------------",
                          "5条直杠:30",
                          "-------------------------",
                          " ",
                          "胡牌",
                          "胡牌得分:  40"};
  for (int i = 0; i < 4; ++i) {
    SetBoardAvatar(client, score.Tou[i], std::to_string(i * 5));
    score.ID[i].SetCaption(names[i]);
    for (const char* line : column) score.State[i].AddItem(line);
    score.State[i + 4].AddItem("最终分：" + std::to_string(40 - 20 * i) + "金币");
  }
  SetScoreNameColor(client, 0, 0xFF);
  for (int hand = 1; hand <= 3; ++hand) {
    AddHeroHandLine(client, static_cast<int16_t>(hand));
    for (int i = 0; i < 4; ++i)
      client.Hero->Grade[i].AddItem(PadRight(std::to_string(hand * 10 - i * 10), 9) + "金币");
  }
  for (int i = 0; i < 4; ++i)
    client.Hero->sumScore[i].SetCaption(std::to_string(60 - 40 * i) + "金币");
  const std::string suffix = GetParam() < 1 ? "_800.png" : "_1024.png";
  ShowHeroBoard(client);
  ASSERT_TRUE(SaveScreenPng(client.forms, client.main_form, "hero" + suffix));
  client.Hero->Hide();
  ShowScoreBoard(client);
  ASSERT_TRUE(SaveScreenPng(client.forms, client.main_form, "score" + suffix));
  // The board's own pixels show through at its place.
  Renderer board;
  board.Draw(score);
  EXPECT_NE(board.PixelAt(320, 20), 0u);
}

INSTANTIATE_TEST_SUITE_P(BothScales, BoardsShotTest, ::testing::Values(1.0f, 0.78125f));

}  // namespace
}  // namespace slvn
