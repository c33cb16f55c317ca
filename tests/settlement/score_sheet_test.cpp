#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <limits>
#include <string>
#include <vector>

#include "dispatch/deal_msg.h"
#include "dispatch/hand_end.h"
#include "platform/text.h"
#include "plugin/test_prop_plugin.h"
#include "settlement/record_boards.h"
#include "settlement/score_sheet.h"
#include "shell/client.h"
#include "shell/general.h"
#include "shell/heartbeat.h"
#include "shell/item_poll.h"
#include "shell/net/packet_io.h"
#include "support/headless.h"
#include "support/packet_builder.h"
#include "support/table_layout.h"
#include "support/temp_dir.h"
#include "table/seat_records.h"

namespace slvn {
namespace {

// Own seat East (8); South (4) left, West (2) across, North (1) right.
constexpr int kWinds[] = {8, 4, 2, 1};

class SheetTest : public ::testing::Test {
 protected:
  SheetTest() {
    test::UseHeadlessSdl();
    test::LayOutTable(client);
    client.sound.program_folder = dir.path().string();
    const char* names[] = {"我", "南家", "西家", "北家"};
    for (int i = 0; i < 4; ++i) {
      client.custom[i].SeatWind = static_cast<uint8_t>(kWinds[i]);
      client.data.ScoreNames[i] = {names[i], std::to_string(i)};
      client.Detail[i].ucoin = 1000;
      client.Detail[i].score = 10;
      client.main_form.Cash[i].SetCaption("1000金币");
    }
    ClearPlayerInfo(client);
    client.data.LoggedIn = true;
    client.data.HandRunning = true;
    client.data.juNum = 1;
  }
  void Send(const test::PacketBytes& packet) {
    StoreArrivedBytes(client, packet);
    ReadPacket(client);
    Deal_MSG(client);
  }
  // An end-of-hand row: the sum (negated with v1 0), flexible cap, subtotal.
  void EndRow(int seat, uint64_t sum, bool positive, bool flex = false, int percent = 0,
              const char* text = nullptr) {
    // Data word 1: 1 keeps the sum (and carries the fee text), 0 negates it.
    test::PacketBytes p = test::BuildPacket(9, kWinds[seat], {0, positive ? 1 : 0});
    for (int b = 0; b < 8; ++b) p[16 + b] = static_cast<uint8_t>(sum >> (8 * b));
    p[24] = flex ? 1 : 0;
    p[25] = 1;
    p[26] = 40;
    p[34] = static_cast<uint8_t>(percent);
    if (text) test::PutText(p, 35, text);
    Send(p);
  }
  std::vector<std::string> Lines(const ListBox& list) {
    std::vector<std::string> lines;
    for (int i = 0; i < list.ListCount(); ++i) lines.push_back(list.List(i));
    return lines;
  }

  test::TempDir dir;
  Client client{std::make_unique<ManualClock>()};
  Data& d = client.data;
};

// A result row: stake, currency, win score and final amount with signs.
test::PacketBytes ResultRow(int seat, int stake, int currency, int win, int final_amount) {
  test::PacketBytes p = test::BuildPacket(17, kWinds[seat], {0, stake, 0, currency});
  p[14 + 57] = win >= 0 ? 1 : 0;
  p[14 + 49] = static_cast<uint8_t>(std::abs(win));
  p[14 + 30] = final_amount >= 0 ? 1 : 0;
  p[14 + 31] = static_cast<uint8_t>(std::abs(final_amount));
  return p;
}

TEST_F(SheetTest, AWonHandSettlesEveryColumnAndStartsTheCountdown) {
  d.DiceDoubling = 1;
  client.main_form.lblDifen.SetCaption("7");
  for (int seat : kWinds) Send(test::BuildPacket(15, seat));
  EndRow(0, 60, false);
  // Each row with data word 1 writes the fee text anew: the last one counts.
  EndRow(1, 70, true);
  EndRow(2, 0, true, false, 5, "服务费");
  EndRow(3, 20, false, true);
  EXPECT_TRUE(d.HandEnding);
  EXPECT_EQ(client.custom[0].sum, -60);
  EXPECT_EQ(d.PercentCaption, "服务费");
  EXPECT_EQ(d.PercentValue, 5);
  EXPECT_EQ(client.Score->State[0].ListCount(), 0);

  test::PacketBytes own = ResultRow(0, 10, 1, -60, -50);
  own[14 + 13] = 1;  // dealer
  own[14 + 6] = 1;   // one float
  own[14 + 41] = 1;  // an exposed kong of five bamboos
  own[14 + 42] = 0x25;
  const std::string title = Utf8ToGb2312("高手");
  for (size_t i = 0; i < title.size(); ++i) own[14 + 14 + i] = static_cast<uint8_t>(title[i]);
  test::PacketBytes left = ResultRow(1, 10, 1, 60, 70);
  left[14 + 6] = 2;
  test::PacketBytes top = ResultRow(2, 10, 2, 0, 0);  // plays for gold bars
  top[14 + 41] = 3;                                   // a concealed red-dragon kong
  top[14 + 42] = 0x15;
  top[14 + 43] = 2;  // a kong of one character
  top[14 + 44] = 0x41;
  test::PacketBytes right = ResultRow(3, 10, 1, 0, -20);
  right[14 + 41] = 2;  // a kong of East: no tile text
  right[14 + 42] = 0x11;
  right[14 + 43] = 7;  // an unknown kind ends the list
  right[14 + 45] = 1;
  right[14 + 46] = 0x29;
  right[53] = 3;  // the streak count of the fourth row
  for (const auto& row : {own, left, top, right}) Send(row);

  ScoreForm& score = *client.Score;
  const std::vector<std::string> column0 = {"初始：1000金币",
                                            "房间底金:  10",
                                            "   连赖  ×8",
                                            "庄家",
                                            "-------------------------",
                                            "5条直杠:30",
                                            "红中暗杠:-20",
                                            "1万开杠:-10",
                                            "开杠:-10",
                                            "-------------------------",
                                            "",
                                            "点炮",
                                            "胡牌得分:  -60",
                                            "-------------------------",
                                            "漂:    1个",
                                            "漂得分:   -30",
                                            "-------------------------",
                                            "小计:40金币",
                                            "骰子加倍 ×7",
                                            "",
                                            "====================",
                                            "总分：-60金币",
                                            "封顶",
                                            "",
                                            " ",
                                            "最终分：-50金币"};
  EXPECT_EQ(Lines(score.State[0]), column0);
  EXPECT_EQ(score.State[1].List(11), "胡牌");
  EXPECT_EQ(score.State[1].List(15), "漂得分:   30");
  EXPECT_EQ(score.State[1].List(24), "服务费5%");
  EXPECT_EQ(score.State[2].List(6), "红中暗杠:60");
  EXPECT_EQ(score.State[2].List(21), "总分：0金条");
  EXPECT_EQ(score.State[2].List(22), " ");  // no cap lines for gold bars: the fee line
  EXPECT_EQ(score.State[3].List(23), "灵活封顶");
  EXPECT_EQ(Lines(score.State[4]), std::vector<std::string>{"最终分：-50金币"});
  EXPECT_EQ(score.ID[1].Caption(), "南家");
  EXPECT_TRUE(score.Visible());

  EXPECT_EQ(client.Detail[0].grade, "高手");
  EXPECT_EQ(client.main_form.Level[0].Caption(), "高手");
  EXPECT_EQ(client.main_form.Cash[0].Caption(), "950金币");
  EXPECT_EQ(client.main_form.Cash[2].Caption(), "1000金条");
  EXPECT_EQ(client.Detail[1].wins, 1);
  EXPECT_EQ(client.Detail[2].losses, 1);        // 0 with a hand total of 0 is a loss
  EXPECT_DOUBLE_EQ(client.Detail[0].score, 1);  // points never fall below 1
  EXPECT_EQ(d.CoinAmounts, (std::array<double, 4>{-50, 70, 0, -20}));
  EXPECT_EQ(d.RunningTotals, (std::array<double, 4>{-50, 70, 0, -20}));
  HeroForm& hero = *client.Hero;
  EXPECT_EQ(hero.Num.List(0), PadRight("1", 12));
  EXPECT_EQ(hero.Grade[3].List(0), PadRight("-20", 9) + "金币");
  EXPECT_EQ(hero.sumScore[1].Caption(), "70金币");
  EXPECT_FALSE(d.HandRunning || d.HandEnding || client.prop.ScoreHandOver);
  EXPECT_TRUE(client.heartbeat.TickEnabled[kReadyCountdown]);
  EXPECT_EQ(d.Countdown, 15);
  EXPECT_EQ(client.chat.Sysmsg[1], "游戏将在15秒内开始");
  EXPECT_EQ(client.prop.SheetHandOver, 2);
  // The sheet is in the hand history.
  score.State[0].Clear();
  LoadHeroForm(client).Grade[0].SetListIndex(0);
  EXPECT_EQ(score.State[0].ListCount(), static_cast<int>(column0.size()));
}

// Another seat's turn countdown is still running when that seat wins: the
// ready countdown alone counts the sheet's 15 seconds.
TEST_F(SheetTest, TheReadyCountdownRunsAloneAfterAnotherSeatsTurn) {
  client.main_form.TimerBong.SetEnabled(true);
  d.CountdownStart = 8;
  test::PacketBytes prompt = test::BuildPacket(6, kWinds[1]);
  prompt[100] = 15;
  Send(prompt);
  ASSERT_TRUE(client.heartbeat.TickEnabled[kTurnCountdown]);
  client.loop.RunFor(4.5);
  EXPECT_EQ(client.main_form.Number.Caption(), "11");

  for (int seat = 0; seat < 4; ++seat) EndRow(seat, 10, seat == 1);
  for (int seat = 0; seat < 4; ++seat) Send(ResultRow(seat, 10, 1, seat == 1 ? 30 : -10, 0));
  const double sheet_at = client.loop.Now();
  EXPECT_FALSE(client.heartbeat.TickEnabled[kTurnCountdown]);
  ASSERT_TRUE(client.heartbeat.TickEnabled[kReadyCountdown]);
  client.loop.RunFor(5);
  // Five seconds counted, the first at once: the ready countdown's mark is long past.
  EXPECT_EQ(client.main_form.Number.Caption(), "10");
  GamePacket p;
  double ready_at = -1;
  while (ready_at < 0 && client.loop.Now() < sheet_at + 30) {
    client.loop.RunFor(0.05);
    while (client.net.SendRing.TakePacket(p))
      if (p.Byte(3) == 16 && p.U16BE(14) == 1) ready_at = client.loop.Now();
  }
  EXPECT_NEAR(ready_at - sheet_at, 15, 0.5);
}

TEST_F(SheetTest, TheFeeTextsLastCharacterMayEndOneBytePastItsField) {
  const std::string nineteen(19, 'a');
  EndRow(0, 0, true, false, 5, (nineteen + "费").c_str());
  EXPECT_EQ(d.PercentCaption, nineteen + "费");
  EndRow(1, 0, true, false, 5, (nineteen + "ab").c_str());
  EXPECT_EQ(d.PercentCaption, nineteen + "a");
}

// The first shown hand of a hand tells which tiles the wall still held and
// where they lie: byte k is the tail, its partner, then the head on; a 0 is
// no tile, and the tiles after it keep their own places.
TEST_F(SheetTest, TheFirstShownHandKeepsTheWallsLastTilesAtTheirPlaces) {
  struct Case {
    int16_t tail;
    std::array<uint8_t, 5> bytes;
    std::array<int16_t, 5> images;
    int count;
  } cases[] = {
      {50, {0x11, 0, 0x22, 0x33, 0}, {50, -1, 10, 11, -1}, 3},
      {49, {0x11, 0, 0x22, 0x33, 0}, {49, -1, 10, 11, -1}, 3},
      {1, {0x11, 0x12, 0x22, 0, 0}, {1, 118, 10, -1, -1}, 3},
      {50, {0, 0x21, 0x22, 0, 0}, {-1, 51, 10, -1, -1}, 2},
      {118, {0, 0, 0x21, 0x22, 0x23}, {-1, -1, 10, 11, 12}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tail);
    d.NextWallCount = 0;  // as a new hand's wall leaves it
    d.WallHead = 10;
    d.WallTail = c.tail;
    test::PacketBytes first = test::BuildPacket(15, kWinds[1]);
    test::PutBytes(first, 16, std::vector<uint8_t>(c.bytes.begin(), c.bytes.end()));
    Send(first);
    test::PacketBytes second = test::BuildPacket(15, kWinds[2]);
    test::PutBytes(second, 16, std::vector<uint8_t>{0x44, 0x45, 0x46, 0x47, 0x48});
    d.WallTail = 20;
    Send(second);
    EXPECT_EQ(d.NextWallCount, c.count);
    for (int k = 0; k < 5; ++k) {
      EXPECT_EQ(d.NextWallTiles[k], c.bytes[k]) << k;
      EXPECT_EQ(d.NextWallImages[k], c.images[k]) << k;
    }
  }
}

TEST_F(SheetTest, WinKindsIncludingNoWinner) {
  struct Case {
    int flags, win_col12, kong_replacement, other_col12, other_win;
    const char* winner_line;
    const char* other_line;  // seat 2's line (the winner is seat 1)
    int winner_seat_set;     // WinnerSeat before the sheet
  };
  const Case cases[] = {
      {0x10, 0, 0, 1, -10, "抢杠", "被抢杠", -1},
      {0x10, 0, 0, 0, -10, "抢杠", "", -1},
      {0x20, 0, 0, 0, -10, "杠上炮", "点炮", -1},
      {0, 2, 0, 0, -10, "自摸", "", -1},
      {0, 0, 0, 0, -10, "胡牌", "点炮", -1},
      {0, 0, 0, 0, 0, "胡牌", "", -1},
      {0, 0, 1, 0, -10, "杠开", "", -1},
      // No winner at all: every column gets an empty line, nobody pays floats.
      {0, 0, 0, 0, -10, "", "", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.winner_line);
    ClearRecordBoards(client);
    for (auto& row : d.ResultRows) row.fill(0);
    const bool nobody = c.winner_seat_set == 3;
    d.ResultRows[1][57] = 1;
    d.ResultRows[1][49] = nobody ? 0 : 20;
    d.ResultRows[1][5] = static_cast<int16_t>(c.flags);
    d.ResultRows[1][12] = static_cast<int16_t>(c.win_col12);
    d.ResultRows[1][40] = static_cast<int16_t>(c.kong_replacement);
    d.ResultRows[2][12] = static_cast<int16_t>(c.other_col12);
    d.ResultRows[2][57] = c.other_win < 0 ? 0 : 1;
    d.ResultRows[2][49] = static_cast<int16_t>(std::abs(c.other_win));
    d.ResultRows[2][6] = 1;
    d.ResultRows[2][0] = 10;
    d.WinnerSeat = -1;
    ShowScoreSheet(client);
    const int at = 6;  // head (3), rule, rule, empty, then the win kind
    EXPECT_EQ(client.Score->State[1].List(at), c.winner_line);
    EXPECT_EQ(client.Score->State[2].List(at), c.other_line);
    EXPECT_EQ(client.Score->State[1].List(at + 4),
              nobody || c.other_win >= 0 ? "" : "漂得分:   10");
  }
}

TEST(HandEndNumbers, SixtyFourBitRowsAndTheirNegation) {
  struct Case {
    std::vector<uint8_t> bytes;
    int64_t value;
  };
  const Case cases[] = {
      {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, -1},
      {{0x10, 0, 0, 0, 0, 0, 0, 0}, 16},
      {{0, 0, 0, 0, 0, 0, 0, 0x80}, std::numeric_limits<int64_t>::min()},
      {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, std::numeric_limits<int64_t>::max()},
      {{0x00, 0xCA, 0x9A, 0x3B, 0x01, 0, 0, 0}, 5294967296LL},
  };
  for (const Case& c : cases) {
    GamePacket p;
    for (size_t i = 0; i < c.bytes.size(); ++i) p.SetByte(16 + i, c.bytes[i]);
    EXPECT_EQ(ReadSigned64(p, 16), c.value);
  }
  EXPECT_EQ(NegateSaturated(std::numeric_limits<int64_t>::min()),
            std::numeric_limits<int64_t>::max());
  EXPECT_EQ(NegateSaturated(-16), 16);
}

TEST(ItemParts, TheLastEightCharactersGoAndGiveAColourOnlyAsDigits) {
  struct Case {
    const char* part;
    const char* text;
    int64_t colour;
  };
  const Case cases[] = {
      {"金币卡+50 00000255", "金币卡+50 ", 255},
      {"短", "短", -1},
      {"255", "255", 255},
      {"道具99999999", "道具", -1},
      {"道具abcdefgh", "道具", -1},  // eight characters go, whatever they are
      {"金币卡加五十金币卡", "金", -1},
      {"16777215", "", 16777215},
      {"x16777216", "x", -1},
      {"", "", -1},
  };
  for (const Case& c : cases) {
    const ItemLine line = SplitItemPart(c.part);
    EXPECT_EQ(line.text, c.text) << c.part;
    EXPECT_EQ(line.colour, c.colour) << c.part;
  }
  EXPECT_EQ(StreakMultiplier(3), "8");
  EXPECT_EQ(StreakMultiplier(62), "4611686018427387904");
  EXPECT_EQ(StreakMultiplier(63), "9223372036854775808");
}

TEST_F(SheetTest, ADrawnHandWithoutAndWithThePlugIn) {
  for (int seat = 0; seat < 4; ++seat) EndRow(seat, 0, true);
  EXPECT_EQ(Lines(client.Score->State[2]), std::vector<std::string>{"      黄  庄"});
  EXPECT_EQ(Lines(client.Score->State[6]), std::vector<std::string>{"最终分：0金币"});
  EXPECT_EQ(client.Hero->Grade[0].List(0), PadRight("0", 9) + "金币");
  EXPECT_FALSE(d.HandEnding || d.HandRunning);
  EXPECT_EQ(d.Countdown, 15);
  EXPECT_TRUE(client.Score->Visible());

  // With the plug-in the hand waits for it, then the result panel shows its lines.
  test::TestPropPlugin& plugin = test::InstallInProcessPlugin(client);
  client.prop.Prop_GameDllState = 1;
  d.juNum = 2;
  d.HandRunning = true;
  client.heartbeat.TickEnabled[kReadyCountdown] = false;
  plugin.score_names = {"", "宝箱|金币+30", "", ""};
  plugin.score_amounts = {0, 12.5, 0, 0};
  for (int seat = 0; seat < 4; ++seat) EndRow(seat, 0, true);
  EXPECT_TRUE(client.prop.ScoreHandOver && client.prop.DrawnHandOver);
  EXPECT_EQ(plugin.calls.back(), "InitShowEnd");
  EXPECT_FALSE(client.heartbeat.TickEnabled[kReadyCountdown]);
  client.prop.PropScoreReady = true;
  ItemPoll(client);
  EXPECT_EQ(Lines(client.Score->State[1]),
            (std::vector<std::string>{"      黄  庄", "", "宝箱", "金币+30", ""}));
  // Fractions of a coin stay in every amount shown.
  EXPECT_EQ(client.Score->State[5].List(0), "最终分：12.5金币");
  EXPECT_EQ(client.main_form.Cash[1].Caption(), "1012.5金币");
  EXPECT_EQ(client.Hero->Grade[1].List(1), PadRight("12.5", 9) + "金币");
  EXPECT_EQ(client.Hero->sumScore[1].Caption(), "12.5金币");
  EXPECT_DOUBLE_EQ(client.Detail[1].ucoin, 1012.5);
  EXPECT_FALSE(client.prop.ScoreHandOver);
  EXPECT_EQ(plugin.calls.back(), "InitShowNext false");
}

TEST_F(SheetTest, TheHandOverWaitsForTheScoreInformationAtMostTenSeconds) {
  test::TestPropPlugin& plugin = test::InstallInProcessPlugin(client);
  client.prop.Prop_GameDllState = 1;
  client.prop.PropItemsReady = true;
  plugin.score_answers = {0, 0, 1};
  plugin.score_names = {"道具卡00000255", "", "", ""};
  plugin.score_amounts = {5, 0, 0, 0};
  Send(test::BuildPacket(46, 8));
  for (int seat = 0; seat < 4; ++seat) Send(ResultRow(seat, 10, 1, seat == 1 ? 10 : -5, 0));
  EXPECT_TRUE(client.prop.ScoreHandOver);
  for (int tick = 0; tick < 3; ++tick) ItemPoll(client);
  EXPECT_EQ(client.Score->State[0].List(client.Score->State[0].ListCount() - 1), "道具卡");
  EXPECT_EQ(client.Score->State[0].ForeColor(), 255u);
  EXPECT_EQ(client.Hero->Num.ListCount(), 1);
  ItemPoll(client);
  EXPECT_EQ(client.Hero->Num.ListCount(), 1);  // one sheet only

  // No answer at all: the sheet after ten seconds.
  plugin.score_answers = std::deque<int16_t>(1000, 0);
  Send(test::BuildPacket(46, 8));
  for (int seat = 0; seat < 4; ++seat) Send(ResultRow(seat, 10, 1, seat == 1 ? 10 : -5, 0));
  ItemPoll(client);
  client.loop.RunFor(9.5);
  ItemPoll(client);
  EXPECT_EQ(client.Hero->Num.ListCount(), 1);
  client.loop.RunFor(0.6);
  ItemPoll(client);
  EXPECT_EQ(client.Hero->Num.ListCount(), 2);
  EXPECT_FALSE(client.prop.ScoreHandOver || client.prop.PropScoreReady);
}

TEST_F(SheetTest, AUserLeftBeforeTheResultRowsWaitsAtMostThirtySeconds) {
  client.heartbeat.TickEnabled[kReceiveSlot] = true;
  d.HandEnding = true;
  StoreArrivedBytes(client, test::BuildPacket(21, 4));
  for (int seat = 0; seat < 4; ++seat)
    StoreArrivedBytes(client, ResultRow(seat, 10, 1, seat == 1 ? 10 : -5, 0));
  for (int i = 0; i < 20; ++i) {
    client.heartbeat.TickCount[kReceiveSlot] = 2;
    ReceiveSlot(client);
  }
  EXPECT_FALSE(client.Hero && client.Hero->Num.ListCount() > 0);
  client.loop.RunFor(30);
  for (int i = 0; i < 20; ++i) {
    client.heartbeat.TickCount[kReceiveSlot] = 2;
    ReceiveSlot(client);
  }
  ASSERT_TRUE(client.Hero);
  EXPECT_EQ(client.Hero->Num.ListCount(), 1);
}

}  // namespace
}  // namespace slvn
