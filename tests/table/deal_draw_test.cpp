#include "table/deal_draw.h"

#include <gtest/gtest.h>

#include "shell/client.h"
#include "shell/general.h"
#include "support/table_layout.h"
#include "table/discard_display.h"
#include "table/discard_rows.h"
#include "table/seat_records.h"
#include "ui/table_reset.h"

namespace slvn {
namespace {

// The own seat is East (8): North (1) sits right, West (2) across, South (4) left.
constexpr uint8_t kOwn = 8, kLeft = 4, kTop = 2, kRight = 1;

class DealDrawTest : public ::testing::Test {
 protected:
  explicit DealDrawTest(float scale = 1.0f) {
    test::LayOutTable(client, scale);
    const uint8_t winds[] = {kOwn, kLeft, kTop, kRight};
    for (int i = 0; i < 4; ++i) client.custom[i].SeatWind = winds[i];
    ClearTableTiles(client);
    ResetTableView(client);
    ClearPlayerInfo(client);
  }
  Picture TilePicture(int index) { return LoadResourcePicture(client, 201 + index); }
  double Now() { return client.clock->Now(); }
  Client client{std::make_unique<ManualClock>()};
  Data& d = client.data;
  MainForm& f = client.main_form;
};

TEST_F(DealDrawTest, ReplacementPositionCountsStacksFromTheTail) {
  struct Case {
    int16_t tail, die;
    std::vector<int16_t> taken;
    int16_t position, tail_after;
  } cases[] = {
      {50, 3, {}, 46, 50},   {50, 3, {46}, 47, 50}, {51, 1, {50}, 51, 48},
      {50, 1, {}, 50, 51},   {0, 2, {}, 118, 0},    {50, 0, {}, 50, 51},  // no die counts as one
      {50, 200, {}, 40, 50},                                              // nor more than six
  };
  for (const Case& c : cases) {
    d.WallState.fill(0);
    for (int16_t p : c.taken) d.WallState[p] = 1;
    d.WallTail = c.tail;
    d.WallHead = 10;
    d.KongDie = c.die;
    EXPECT_EQ(TakeReplacementPosition(client), c.position) << c.tail << "/" << c.die;
    EXPECT_EQ(d.WallState[c.position], 1);
    EXPECT_EQ(d.WallTail, c.tail_after) << c.tail << "/" << c.die;
  }
  // A wall with every position taken has no replacement tile and the walk ends.
  d.WallState.fill(1);
  EXPECT_EQ(TakeReplacementPosition(client), -1);
}

TEST_F(DealDrawTest, TheHeadTakesTheTailsPartnerAndSkipsTakenPositions) {
  d.WallHead = 40;
  d.WallTail = 40;
  EXPECT_EQ(TakeFromHead(client, true), 40);
  EXPECT_EQ(d.WallTail, 41);
  EXPECT_EQ(d.WallHead, 41);
  // A single draw skips positions taken by replacement draws; a deal does not.
  d.WallHead = 10;
  d.WallTail = 70;
  d.WallState[11] = d.WallState[12] = 1;
  TakeFromHead(client, false);
  EXPECT_EQ(d.WallHead, 11);
  d.WallHead = 10;
  TakeFromHead(client, true);
  EXPECT_EQ(d.WallHead, 13);
  // Everything taken: the head stops after one round.
  d.WallState.fill(1);
  TakeFromHead(client, true);
}

TEST_F(DealDrawTest, TheOwnDealFillsSlotsFromTheHeadAndTheLastTileClosesIt) {
  d.WallHead = 68;
  d.WallTail = 66;
  client.custom[0].Dealer = 0;
  const std::array<int16_t, 4> words = {0x81, 0x45, 0x23, 0x11};
  const double start = Now();
  for (int round = 0; round < 3; ++round) DrawFromWall(client, kOwn, 4, words);
  EXPECT_EQ(Now(), start);  // a deal never pauses
  const PlayerHand& own = client.custom[0];
  EXPECT_EQ(own.ConcealedCount, 12);
  EXPECT_EQ(own.Slots[4].ImageIndex, 68);
  EXPECT_EQ(own.Slots[15].ImageIndex, 79);
  EXPECT_EQ(f.MJ_Image[68].Picture(), TilePicture(144 + 27));
  EXPECT_DOUBLE_EQ(f.MJ_Image[69].Left(), own.HandX + 5 * 48);
  EXPECT_DOUBLE_EQ(f.MJ_Image[69].Height(), 78);
  EXPECT_EQ(d.WallHead, 80);
  // The thirteenth tile of a seat that does not deal: face down a second, then sorted.
  DrawFromWall(client, kOwn, 1, {0, 0, 0, 0x82});
  EXPECT_DOUBLE_EQ(Now() - start, 1.0);
  EXPECT_EQ(own.ConcealedCount, 13);
  EXPECT_EQ(own.Slots[4].Code, 0x81);
  EXPECT_EQ(own.Slots[7].Code, 0x82);
  EXPECT_EQ(own.Slots[16].Code, 0x11);
  EXPECT_EQ(f.MJ_Image[own.Slots[7].ImageIndex].Picture(), TilePicture(144 + 27 + 1));
  EXPECT_TRUE(d.DrawFromHead);
}

TEST_F(DealDrawTest, OtherSeatsStandFaceDownAndTheDealersLastTileStandsApart) {
  d.WallHead = 0;
  d.WallTail = 118;
  for (int round = 0; round < 3; ++round) DrawFromWall(client, kRight, 4, {});
  DrawFromWall(client, kRight, 1, {});
  const PlayerHand& right = client.custom[3];
  ASSERT_EQ(right.ConcealedCount, 13);
  const int16_t thirteenth = right.Slots[16].ImageIndex;
  EXPECT_EQ(thirteenth, 12);
  EXPECT_EQ(f.MJ_Image[thirteenth].Picture(), TilePicture(36 * 3 + 7));
  EXPECT_DOUBLE_EQ(f.MJ_Image[thirteenth].Top(), right.HandY - 17 * 35 / 2.0);
  DrawFromWall(client, kRight, 1, {});
  const int16_t fourteenth = right.Slots[17].ImageIndex;
  EXPECT_DOUBLE_EQ(f.MJ_Image[fourteenth].Top(), right.HandY - 18 * 35 / 2.0 - 10);
  // No slot is left: a further draw places nothing.
  DrawFromWall(client, kRight, 1, {});
  EXPECT_EQ(right.ConcealedCount, 14);
  EXPECT_EQ(d.WallHead, 14);
}

TEST_F(DealDrawTest, AKongsReplacementTileComesFromTheTailWithTheGap) {
  d.WallHead = 20;
  d.WallTail = 50;
  DrawFromWall(client, kLeft, 4, {});
  d.DrawFromHead = false;
  d.KongDrawPending = true;
  d.KongDie = 3;
  DrawFromWall(client, kLeft, 1, {});
  const PlayerHand& left = client.custom[1];
  EXPECT_EQ(left.Slots[8].ImageIndex, 46);
  EXPECT_DOUBLE_EQ(f.MJ_Image[46].Top(), left.HandY + 8 * 35 / 2.0 + 10);
  EXPECT_EQ(d.WallHead, 24);
  EXPECT_TRUE(d.DrawFromHead);
  EXPECT_FALSE(d.KongDrawPending);
}

TEST_F(DealDrawTest, AnotherSeatsDiscardLiesInTheMiddleUntilTheNextDraw) {
  d.WallHead = 0;
  d.WallTail = 118;
  DrawFromWall(client, kTop, 4, {});
  ShowDiscard(client, kTop, 0x43);
  const PlayerHand& top = client.custom[2];
  EXPECT_EQ(top.ConcealedCount, 3);
  EXPECT_EQ(d.LastTileImage, 3);
  EXPECT_EQ(d.LastDiscardSeat, 2);
  const ImageControl& tile = f.MJ_Image[3];
  EXPECT_EQ(tile.Picture(), TilePicture(72 + 18 + 2));
  EXPECT_DOUBLE_EQ(tile.Width(), 30);
  EXPECT_DOUBLE_EQ(tile.Left(), (1024 - 36) / 2.0);  // centred by its size before
  const double start = Now();
  DrawFromWall(client, kLeft, 1, {});
  EXPECT_DOUBLE_EQ(Now() - start, 0.4);
  EXPECT_DOUBLE_EQ(tile.Left(), top.DiscardOriginX);
  EXPECT_DOUBLE_EQ(tile.Top(), top.DiscardOriginY);
  EXPECT_EQ(top.DiscardX, top.DiscardOriginX - 30);
  EXPECT_EQ(d.BlinkCount, 3);
  EXPECT_EQ(d.TileWidth[2], 36);  // back to the hand tile
}

TEST_F(DealDrawTest, ADiscardFromAnEmptyHandLeavesNothingInTheMiddle) {
  d.LastTileImage = 7;
  ShowDiscard(client, kLeft, 0x43);
  EXPECT_EQ(d.LastTileImage, -1);
  EXPECT_EQ(client.custom[1].ConcealedCount, 0);
}

TEST_F(DealDrawTest, TheOwnDiscardWaitsForTheRightHandSeatsDraw) {
  d.LastTileImage = 30;
  d.LastDiscardSeat = 0;
  SettleLastDiscard(client, kLeft, 1);
  EXPECT_NE(f.MJ_Image[30].Left(), client.custom[0].DiscardOriginX);
  SettleLastDiscard(client, kRight, 1);
  EXPECT_DOUBLE_EQ(f.MJ_Image[30].Left(), client.custom[0].DiscardOriginX);
  EXPECT_EQ(client.custom[0].DiscardX, client.custom[0].DiscardOriginX + 36);
  // A kong's replacement draw leaves the discard where it lies.
  d.KongDrawPending = true;
  SettleLastDiscard(client, kRight, 1);
  EXPECT_EQ(client.custom[0].DiscardX, client.custom[0].DiscardOriginX + 36);
}

TEST_F(DealDrawTest, RowsWrapAfterEightTiles) {
  struct Case {
    int seat;
    int16_t x_after_nine, y_after_nine;  // cursor relative to its origin
  } cases[] = {
      {0, 36, -32},                     // the next row above
      {1, -40 + 40 + 48 - 5 - 5, 18},   // the next column to the right
      {2, -30, 22},                     // the next row below
      {3, -40 + 40 - 48 + 5 - 5, -18},  // the next column to the left
  };
  for (const Case& c : cases) {
    PlayerHand& seat = client.custom[c.seat];
    seat.DiscardX = seat.DiscardOriginX;
    seat.DiscardY = seat.DiscardOriginY;
    for (int k = 0; k < 9; ++k) {
      d.LastTileImage = static_cast<int16_t>(40 + k);
      d.LastDiscardSeat = static_cast<uint8_t>(c.seat);
      SettleLastDiscard(client, kRight, 4);
    }
    EXPECT_EQ(seat.DiscardX - seat.DiscardOriginX, c.x_after_nine) << c.seat;
    EXPECT_EQ(seat.DiscardY - seat.DiscardOriginY, c.y_after_nine) << c.seat;
  }
}

TEST_F(DealDrawTest, TheRightColumnRaisesItsLowerTilesAndKeepsTwentyFour) {
  for (int k = 0; k < 17; ++k) {
    d.LastTileImage = static_cast<int16_t>(k);
    d.LastDiscardSeat = 3;
    SettleLastDiscard(client, kLeft, 4);
  }
  // The seventeenth: entries 15 down to 8 raised, then 16; the last raised is in front.
  const auto& children = f.Pic1.Children();
  auto position = [&](int image) {
    return std::find(children.begin(), children.end(), &f.MJ_Image[image]) - children.begin();
  };
  EXPECT_GT(position(16), position(8));
  EXPECT_GT(position(8), position(15));
  for (int k = 17; k < 30; ++k) {
    d.LastTileImage = static_cast<int16_t>(k);
    SettleLastDiscard(client, kLeft, 4);
  }
  EXPECT_EQ(client.RightDiscardCount, 24);
  EXPECT_EQ(client.RightDiscardImages[23], 23);
}

class DealDrawSmallTest : public DealDrawTest {
 protected:
  DealDrawSmallTest() : DealDrawTest(0.78125f) {}
};

TEST_F(DealDrawSmallTest, SizesAreScaledAndRounded) {
  d.WallHead = 0;
  d.WallTail = 118;
  DrawFromWall(client, kOwn, 4, {0x11, 0x12, 0x13, 0x14});
  EXPECT_EQ(d.TileWidth[0], 38);   // 37.5
  EXPECT_EQ(d.TileHeight[0], 61);  // 60.9375
  EXPECT_EQ(d.TileWidth[1], 27);   // 27.34375
  EXPECT_DOUBLE_EQ(f.MJ_Image[1].Left(), client.custom[0].HandX + 5 * 38);
}

}  // namespace
}  // namespace slvn
