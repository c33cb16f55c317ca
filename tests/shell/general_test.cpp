#include "shell/general.h"

#include <gtest/gtest.h>

#include "platform/timer.h"
#include "shell/client.h"

namespace slvn {
namespace {

TEST(GeneralTest, BitIndexAndBitValue) {
  struct Case {
    uint8_t x, index;
  } cases[] = {{0, 0}, {1, 0}, {2, 1}, {4, 2}, {8, 3}, {128, 7}, {255, 7}, {3, 1}, {12, 3}};
  for (auto c : cases) EXPECT_EQ(BitIndex(c.x), c.index) << int(c.x);
  for (uint8_t n = 0; n <= 7; ++n) EXPECT_EQ(BitIndex(BitValue(n)), n);
  EXPECT_EQ(BitValue(3), 8);
  EXPECT_EQ(BitValue(8), 0);
}

TEST(GeneralTest, RelativeSeatPutsTheOwnSeatAtTheBottom) {
  struct Case {
    uint8_t own, bit;
    int seat;
  } cases[] = {
      {8, 8, 0}, {8, 4, 1}, {8, 2, 2}, {8, 1, 3},  // own East
      {1, 8, 1}, {1, 4, 2}, {1, 2, 3},             // own North: East left, South top, West right
      {0, 1, 0}, {0, 8, 1},                        // no own seat yet counts as North
  };
  for (auto c : cases)
    EXPECT_EQ(RelativeSeat(c.own, c.bit), c.seat) << int(c.own) << "/" << int(c.bit);
}

TEST(GeneralTest, PadRightCountsCharactersAndNeverCuts) {
  EXPECT_EQ(PadRight("ab", 5), "ab   ");
  EXPECT_EQ(PadRight("黄庄", 4), "黄庄  ");
  EXPECT_EQ(PadRight("abcdef", 5), "abcdef");
  EXPECT_EQ(PadRight("ab", 0), "ab");
  EXPECT_EQ(PadRight("ab", -3), "ab");
}

TEST(GeneralTest, MaxIntAndMinPositiveOfFour) {
  EXPECT_EQ(MaxInt(-3, 2), 2);
  EXPECT_EQ(MaxInt(7, -32768), 7);
  struct Case {
    std::array<int32_t, 4> wealth;
    int32_t min;
  } cases[] = {{{0, 5, 3, 7}, 3}, {{4, 0, 0, 9}, 4}, {{0, 0, 0, 0}, 0}, {{-2, 6, 0, 0}, 6}};
  for (const auto& c : cases) {
    Data data;
    data.SeatWealth = c.wealth;
    EXPECT_EQ(MinPositiveOfFour(data), c.min);
  }
}

TEST(GeneralTest, WallMarksAreSetOnceAndOutOfRangeCountsAsTaken) {
  Data data;
  EXPECT_FALSE(IsWallMarked(data, 17));
  EXPECT_FALSE(TestAndSetWallMark(data, 17));
  EXPECT_TRUE(TestAndSetWallMark(data, 17));
  EXPECT_TRUE(IsWallMarked(data, 17));
  for (int16_t bad : {-1, 120, 32767}) {
    EXPECT_TRUE(TestAndSetWallMark(data, bad));
    EXPECT_TRUE(IsWallMarked(data, bad));
  }
}

TEST(GeneralTest, RoundHalfEven) {
  EXPECT_EQ(RoundHalfEven(48 * 0.78125), 38);  // 37.5
  EXPECT_EQ(RoundHalfEven(36.5), 36);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(10.6), 11);
}

TEST(GeneralTest, WaitsUnderTheManualClock) {
  Client client(std::make_unique<ManualClock>());
  int ticks = 0;
  Timer t(client.loop, [&] { ++ticks; });
  t.SetInterval(50);
  t.SetEnabled(true);
  WaitSeconds(client, 0.2f);
  EXPECT_EQ(ticks, 4);
  SleepSeconds(client, 0.4f);
  EXPECT_EQ(ticks, 4);
  EXPECT_NEAR(client.clock->Now(), 0.6, 1e-6);
  SleepSeconds(client, 0.0025f);  // 2.5 ms rounds to 2 ms
  EXPECT_NEAR(client.clock->Now(), 0.602, 1e-6);
}

}  // namespace
}  // namespace slvn
