#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/input.h"
#include "platform/renderer.h"
#include "platform/synthetic_input.h"
#include "platform/window_system.h"
#include "settlement/hand_record.h"
#include "settlement/record_boards.h"
#include "shell/client.h"
#include "shell/general.h"
#include "shell/resources/image_resource.h"
#include "support/headless.h"
#include "support/table_layout.h"
#include "support/temp_dir.h"
#include "support/x_server.h"
#include "table/claims.h"

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
  // A click on Num shows the sheet the board holds, without loading and
  // without making the board topmost.
  hero.Num.Click();
  EXPECT_TRUE(score.Visible());
  EXPECT_FALSE(score.Topmost());
  EXPECT_EQ(score.State[0].List(0), "current:0.0");
  score.Hide();
  EXPECT_EQ(hero.Num.List(1), PadRight("3", 12));
  hero.Grade[3].SetListIndex(1);
  EXPECT_EQ(score.State[0].List(0), "hand3:0.0");
  EXPECT_TRUE(score.Visible());
  EXPECT_TRUE(score.Topmost());
  hero.Num.SetListIndex(0);
  hero.Num.DblClick();
  EXPECT_EQ(score.State[0].List(0), "hand1:0.0");
}

// The centre of a control in pixels of its form.
std::pair<int, int> CentreOnForm(const Control& c) {
  double x = (c.Left() + c.Width() / 2) / c.UnitsPerPixel();
  double y = (c.Top() + c.Height() / 2) / c.UnitsPerPixel();
  for (const Control* p = c.Parent(); p && p->Parent(); p = p->Parent()) {
    x += p->Left() / p->UnitsPerPixel();
    y += p->Top() / p->UnitsPerPixel();
  }
  return {static_cast<int>(x), static_cast<int>(y)};
}

void ClickAt(Form& form, std::pair<int, int> at) {
  DeliverMouse(form, MouseAction::kDown, kLeftButton, 0, at.first, at.second);
  DeliverMouse(form, MouseAction::kUp, kLeftButton, 0, at.first, at.second);
}

TEST_F(BoardsTest, NamesAreGreenWithTheWinnerRedAtTheHandAndAllRedWhenReopened) {
  const uint8_t winds[] = {8, 4, 2, 1};
  for (int i = 0; i < 4; ++i) client.custom[i].SeatWind = winds[i];
  ScoreForm& score = LoadScoreForm(client);
  auto colours = [&] {
    std::vector<uint32_t> c;
    for (int i = 0; i < 4; ++i) c.push_back(score.ID[i].ForeColor());
    return c;
  };
  // West (display seat 2) wins: the sheet of the hand shows the names so.
  ApplyOperation(client, kClaimWin, 2, {});
  const std::vector<uint32_t> at_the_hand = {0xFF00, 0xFF00, 0xFF, 0xFF00};
  EXPECT_EQ(colours(), at_the_hand);
  FillSheet(3, "");
  SaveHandRecord(client, 1);
  client.data.juNum = 1;

  // Reopened with the records button: the saved sheet, every name red.
  ClickAt(client.main_form, CentreOnForm(client.main_form.AnNiu[5]));
  EXPECT_TRUE(score.Visible());
  const std::vector<uint32_t> reopened(4, 0xFF);
  EXPECT_EQ(colours(), reopened);

  // Reopened from a line of the hand list: the same.
  score.Hide();
  for (int i = 0; i < 4; ++i) SetScoreNameColor(client, i, at_the_hand[i]);
  AddHeroHandLine(client, 1);
  for (int i = 0; i < 4; ++i) LoadHeroForm(client).Grade[i].AddItem("10金币");
  ShowHeroBoard(client);
  const ListBox& line = client.Hero->Grade[2];
  ClickAt(*client.Hero, {CentreOnForm(line).first, static_cast<int>(line.Top() / 15) + 4});
  EXPECT_TRUE(score.Visible());
  EXPECT_EQ(colours(), reopened);
}

// The same reopening with a person's click on a real window: SDL's events
// through the window system into the button bar.
TEST(BoardsOnScreen, TheRecordsButtonClickedReopensTheSheetWithEveryNameRed) {
  test::XServer x;
  if (x.Missing()) GTEST_SKIP() << x.Problem();
  ASSERT_TRUE(x.Running()) << x.Problem();
  test::TempDir dir;
  Client client;
  client.sound.program_folder = dir.path().string();
  test::LayOutTable(client, 0.78125f);
  ScoreForm& score = LoadScoreForm(client);
  score.State[0].AddItem("最终分：10金币");
  SetScoreNameColor(client, 2, 0xFF);
  SaveHandRecord(client, 1);
  client.data.juNum = 1;
  client.main_form.Show();
  WindowSystem* windows = client.forms.OpenWindows();
  ASSERT_TRUE(windows && windows->HasDisplay());
  client.loop.RunFor(0.3);
  const auto [px, py] = CentreOnForm(client.main_form.AnNiu[5]);
  for (bool down : {true, false})
    ASSERT_TRUE(PushMouseButton(*windows, client.main_form, kLeftButton, down, px, py));
  client.loop.RunFor(0.3);
  EXPECT_TRUE(score.Visible());
  for (int i = 0; i < 4; ++i) EXPECT_EQ(score.ID[i].ForeColor(), 0xFFu) << i;
}

// A rectangle in pixels of the board, right and bottom exclusive.
struct Box {
  int left, top, right, bottom;
  bool Inside(const Box& o) const {
    return left >= o.left && top >= o.top && right <= o.right && bottom <= o.bottom;
  }
  bool Meets(const Box& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
};

Box BoxOf(const Control& c) {
  const double u = c.UnitsPerPixel();
  auto px = [u](double v) { return static_cast<int>(std::lround(v / u)); };
  return {px(c.Left()), px(c.Top()), px(c.Left() + c.Width()), px(c.Top() + c.Height())};
}

// The parchment of a board's picture, stretched to the board: the light area
// around the middle, inside the dark frame.
Box Parchment(const ImageControl& background, const Box& board) {
  const Image& art = *background.Picture();
  auto light = [&](int x, int y) {
    const uint32_t p = art.At(x, y);
    return ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 180;
  };
  Box b{art.width / 2, art.height / 2, art.width / 2, art.height / 2};
  while (b.left > 0 && light(b.left - 1, art.height / 2)) --b.left;
  while (b.right < art.width && light(b.right, art.height / 2)) ++b.right;
  while (b.bottom < art.height && light(art.width / 4, b.bottom)) ++b.bottom;
  const double sx = double(board.right) / art.width, sy = double(board.bottom) / art.height;
  return {static_cast<int>(std::ceil(b.left * sx)), 0, static_cast<int>(b.right * sx),
          static_cast<int>(b.bottom * sy)};
}

// The lowest row of the title banner (gold) in the middle of the board's top.
int BannerBottom(const ImageControl& background) {
  const Image& art = *background.Picture();
  int bottom = 0;
  for (int y = 0; y < art.height / 4; ++y) {
    const uint32_t p = art.At(art.width / 2 - 75, y);
    if (((p >> 16) & 0xFF) > 180 && ((p >> 8) & 0xFF) > 110 && (p & 0xFF) < 110) bottom = y + 1;
  }
  return bottom;
}

// Every list of a board shows whole rows only, each row's text inside the
// list's frame, and the list inside the board's parchment; each row's ink
// lies in its own row (none in a blank line's), and the band below the last
// whole row stays empty, so no row is cut at the bottom.
void ExpectListsWhole(Renderer& renderer, Form& board, const ImageControl& background,
                      const std::vector<const ListBox*>& lists) {
  const Box parchment = Parchment(background, BoxOf(board));
  for (const ListBox* list : lists) {
    const Box b = BoxOf(*list);
    SCOPED_TRACE(list->List(0));
    EXPECT_TRUE(b.Inside(parchment)) << b.left << "," << b.top << " " << b.right << "," << b.bottom
                                     << " in " << parchment.right << "," << parchment.bottom;
    // A list row is one em high: 12 pixels for 9 points.
    const int line = static_cast<int>(std::lround(list->Font().size * 96 / 72));
    EXPECT_EQ(renderer.ListRowFor(list->Font()).pitch, line);
    const int rows = std::max(1, (b.bottom - b.top - 2) / line);
    const int shown = std::min(rows, list->ListCount() - list->TopIndex());
    ASSERT_GT(shown, 0);
    EXPECT_LE(b.top + 1 + shown * line, b.bottom - 1);
    for (int i = 0; i < shown; ++i) {
      const std::string text = list->List(list->TopIndex() + i);
      // The text starts two pixels in and keeps one clear of the right frame.
      EXPECT_LE(2 + renderer.TextSize(text, list->Font()).first, b.right - b.left - 2) << text;
      bool inked = false;
      for (int y = b.top + 1 + i * line; y < b.top + 1 + (i + 1) * line; ++y)
        for (int x = b.left + 1; x < b.right - 1 && !inked; ++x)
          inked = (renderer.PixelAt(x, y) & 0xFFFFFF) != 0xFFC080u;
      EXPECT_EQ(inked, text.find_first_not_of(' ') != std::string::npos) << i << ": " << text;
    }
    for (int y = b.top + 1 + shown * line; y < b.bottom - 1; ++y)
      for (int x = b.left + 1; x < b.right - 1; ++x)
        ASSERT_EQ(renderer.PixelAt(x, y) & 0xFFFFFF, 0xFFC080u) << x << "," << y;
    for (int y = b.top + 1; y < b.top + 1 + shown * line; ++y)
      EXPECT_EQ(renderer.PixelAt(b.right - 2, y) & 0xFFFFFF, 0xFFC080u) << y;
  }
}

// A full coins column, as a won hand with three kongs, a streak and both
// doublings writes it: more lines than the column shows at once.
std::vector<std::string> FullColumn(int seat) {
  const std::string rule(25, '-');
  return {"初始：" + std::to_string(1234567 * seat) + "金币",
          "房间底金:  10",
          "   连赖  ×8",
          seat == 3 ? "庄家" : " ",
          rule,
          "5条直杠:-10",
          "红中暗杠:60",
          "开杠:-10",
          rule,
          "",
          seat == 1 ? "胡牌" : "点炮",
          "胡牌得分:  -60",
          rule,
          "漂:    1个",
          "漂得分:   -30",
          rule,
          "小计:-40金币",
          "骰子加倍 ×7",
          "财富加倍 ×3",
          "",
          std::string(20, '='),
          "总分：-1234567金币",
          "封顶",
          "灵活封顶",
          "服务费5%",
          "最终分：-1234567金币"};
}

// The two boards over the table, for a person to look at:
// build/.../score_1024.png, score_800.png, hero_1024.png and hero_800.png.
class BoardsShotTest : public ::testing::TestWithParam<float> {
 protected:
  void SetUp() override {
    test::UseHeadlessSdl();
    test::LayOutTable(client, GetParam());
    client.main_form.Show();
    for (int i = 0; i < 4; ++i) {
      client.data.ScoreNames[i] = {names[i], std::to_string(i * 5)};
      SetHeroSeat(client, i, names[i], i * 5);
    }
  }
  const char* names[4] = {"小明", "鲍勃", "卡萝", "大卫"};
  test::TempDir dir;
  Client client;
};

TEST_P(BoardsShotTest, EveryLineShowsWholeInsideTheFrameAndNothingCoversTheNames) {
  ScoreForm& score = LoadScoreForm(client);
  for (int i = 0; i < 4; ++i) {
    SetBoardAvatar(client, score.Tou[i], std::to_string(i * 5));
    score.ID[i].SetCaption(names[i]);
    for (const std::string& line : FullColumn(i)) score.State[i].AddItem(line);
    score.State[i + 4].AddItem("最终分：-1234567金币");
  }
  for (int hand = 1; hand <= 30; ++hand) {
    AddHeroHandLine(client, static_cast<int16_t>(hand));
    for (int i = 0; i < 4; ++i)
      client.Hero->Grade[i].AddItem(PadRight(std::to_string(-123456 * i), 9) + "金币");
  }
  for (int i = 0; i < 4; ++i) client.Hero->sumScore[i].SetCaption("-1234567金币");
  HeroForm& hero = *client.Hero;

  Renderer renderer;
  renderer.Draw(score);
  std::vector<const ListBox*> lists;
  for (int i = 0; i < 8; ++i) lists.push_back(&score.State[i]);
  ExpectListsWhole(renderer, score, score.Background, lists);
  // A column's 26 lines, 总分 and 最终分 with them, show without a scroll.
  for (int i = 0; i < 4; ++i) EXPECT_EQ(score.State[i].MaxTopIndex(), 0);
  // Longer columns scroll, and show their last lines whole as well.
  for (int i : {0, 3})
    for (int k = 0; k < 10; ++k) score.State[i].AddItem("开杠:-10");
  score.State[0].ScrollBy(10);
  renderer.Draw(score);
  ExpectListsWhole(renderer, score, score.Background, {&score.State[0], &score.State[3]});
  score.State[0].ScrollBy(-10);
  for (int i : {0, 3})
    for (int k = 0; k < 10; ++k) score.State[i].RemoveItem(score.State[i].ListCount() - 1);

  renderer.Draw(hero);
  lists = {&hero.Num};
  for (int i = 0; i < 4; ++i) lists.push_back(&hero.Grade[i]);
  ExpectListsWhole(renderer, hero, hero.Background, lists);

  // The labels lie inside the parchment, the banner ends above the avatars,
  // and where an avatar meets its name the name is drawn in front.
  for (Form* board : {static_cast<Form*>(&score), static_cast<Form*>(&hero)}) {
    const bool is_score = board == &score;
    const ImageControl& background = is_score ? score.Background : hero.Background;
    auto& avatars = is_score ? score.Tou : hero.Tou;
    auto& labels = is_score ? score.ID : hero.ID;
    const Box parchment = Parchment(background, BoxOf(*board));
    for (int i = 0; i < 4; ++i) {
      SCOPED_TRACE(board->Caption() + std::to_string(i));
      EXPECT_GE(BoxOf(avatars[i]).top, BannerBottom(background));
      EXPECT_TRUE(BoxOf(labels[i]).Inside(parchment));
      if (!BoxOf(avatars[i]).Meets(BoxOf(labels[i]))) continue;
      const auto& order = board->Children();
      EXPECT_GT(std::find(order.begin(), order.end(), &labels[i]) - order.begin(),
                std::find(order.begin(), order.end(), &avatars[i]) - order.begin());
    }
  }
  for (const Label* total : {&hero.Label2, &hero.sumScore[0], &hero.sumScore[3]})
    EXPECT_TRUE(BoxOf(*total).Inside(Parchment(hero.Background, BoxOf(hero))));

  const std::string suffix = GetParam() < 1 ? "_800.png" : "_1024.png";
  ShowHeroBoard(client);
  ASSERT_TRUE(SaveScreenPng(client.forms, client.main_form, "hero" + suffix));
  hero.Hide();
  ShowScoreBoard(client);
  ASSERT_TRUE(SaveScreenPng(client.forms, client.main_form, "score" + suffix));
  // Over the table, the sheet stays inside the main window.
  const MainForm& f = client.main_form;
  EXPECT_GE(score.Top(), f.Top());
  EXPECT_LE(score.Top() + score.Height(), f.Top() + f.Height());
  EXPECT_LE(score.Left() + score.Width(), f.Left() + f.Width());
}

INSTANTIATE_TEST_SUITE_P(BothScales, BoardsShotTest, ::testing::Values(1.0f, 0.78125f));

}  // namespace
}  // namespace slvn
