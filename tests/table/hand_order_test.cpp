#include "table/hand_order.h"

#include <gtest/gtest.h>

#include <vector>

#include "shell/client.h"
#include "support/table_layout.h"

namespace slvn {
namespace {

class HandOrderTest : public ::testing::Test {
 protected:
  HandOrderTest() { test::LayOutTable(client); }
  // Puts codes into slots 4.. of a seat, shown by images 10.., no picture yet.
  void Deal(int seat, const std::vector<TileCode>& codes) {
    PlayerHand& hand = client.custom[seat];
    hand.FirstConcealed = 4;
    hand.ConcealedCount = static_cast<int16_t>(codes.size());
    for (size_t i = 0; i < codes.size(); ++i) {
      hand.Slots[4 + i] = {1, codes[i], static_cast<int16_t>(10 + i)};
      f.MJ_Image[static_cast<int>(10 + i)].SetPicture(nullptr);
    }
  }
  std::vector<TileCode> Codes(int seat, int n) {
    std::vector<TileCode> codes;
    for (int i = 0; i < n; ++i) codes.push_back(client.custom[seat].Slots[4 + i].Code);
    return codes;
  }
  Picture TilePicture(int index) { return LoadResourcePicture(client, 201 + index); }
  Client client{std::make_unique<ManualClock>()};
  MainForm& f = client.main_form;
};

TEST_F(HandOrderTest, WildTilesLeadThenDotsCharactersBambooHonours) {
  struct Case {
    TileCode wild;
    std::vector<TileCode> dealt, sorted;
    int16_t wild_count;
  } cases[] = {
      {0x22, {0x41, 0x15, 0x89, 0x22, 0x41, 0x29}, {0x22, 0x89, 0x41, 0x41, 0x29, 0x15}, 1},
      {0x41, {0x41, 0x15, 0x89, 0x22, 0x41, 0x29}, {0x41, 0x41, 0x89, 0x22, 0x29, 0x15}, 2},
      {-1, {0x11, 0x17, 0x81, 0x49, 0x21}, {0x81, 0x49, 0x21, 0x11, 0x17}, 0},
      {0, {0x11, 0x81}, {0x81, 0x11}, 0},
  };
  for (const Case& c : cases) {
    for (int seat : {0, 2}) {
      client.data.WildTile = c.wild;
      Deal(seat, c.dealt);
      SortAndShowHand(client, static_cast<uint8_t>(seat), static_cast<int16_t>(c.dealt.size()));
      EXPECT_EQ(Codes(seat, static_cast<int>(c.dealt.size())), c.sorted) << c.wild;
      EXPECT_EQ(client.custom[seat].WildCount, c.wild_count) << c.wild;
    }
  }
}

TEST_F(HandOrderTest, TheOwnHandRedrawsOnlyChangedTilesWhileAWildTileIsKnown) {
  client.data.WildTile = 0x22;
  Deal(0, {0x22, 0x89, 0x15, 0x41});
  SortAndShowHand(client, 0, 4);
  // 0x22 and 0x89 kept their slots: not redrawn.
  EXPECT_EQ(f.MJ_Image[10].Picture(), nullptr);
  EXPECT_EQ(f.MJ_Image[11].Picture(), nullptr);
  EXPECT_EQ(f.MJ_Image[12].Picture(), TilePicture(144 + 18 + 0));  // characters 1, standing
  EXPECT_EQ(f.MJ_Image[13].Picture(), TilePicture(144 + 4));       // red dragon
  EXPECT_TRUE(f.MJ_Image[13].Visible());
  // Another seat, or no wild tile, redraws every slot in its own view.
  client.data.WildTile = -1;
  Deal(0, {0x81});
  SortAndShowHand(client, 0, 1);
  EXPECT_EQ(f.MJ_Image[10].Picture(), TilePicture(144 + 27));
  client.data.WildTile = 0x22;
  Deal(3, {0x81});
  SortAndShowHand(client, 3, 1);
  EXPECT_EQ(f.MJ_Image[10].Picture(), TilePicture(3 * 36 + 27));
  // No slots: only the count is reset.
  client.custom[3].WildCount = 5;
  SortAndShowHand(client, 3, 0);
  EXPECT_EQ(client.custom[3].WildCount, 0);
}

TEST_F(HandOrderTest, OnlyOwnConcealedTilesAreInTheHand) {
  PlayerHand& own = client.custom[0];
  own.Slots[1] = {3, 0x21, 40};  // a pung
  own.FirstConcealed = 4;
  own.ConcealedCount = 2;
  own.Slots[4].ImageIndex = 50;
  own.Slots[5].ImageIndex = 51;
  own.Slots[6].ImageIndex = 52;  // beyond the count
  EXPECT_TRUE(IsTileInHand(client, 51));
  EXPECT_EQ(HandSlotOfImage(client, 51), 5);
  for (int16_t image : {40, 52, -1}) {
    EXPECT_FALSE(IsTileInHand(client, image)) << image;
    EXPECT_EQ(HandSlotOfImage(client, image), -1) << image;
  }
  own.ConcealedCount = 0;
  EXPECT_FALSE(IsTileInHand(client, 50));
}

TEST_F(HandOrderTest, ShowTileImageIgnoresIndexesOutOfRange) {
  ShowTileImage(client, 7, 179);
  EXPECT_EQ(f.MJ_Image[7].Picture(), LoadResourcePicture(client, 380));
  EXPECT_TRUE(f.MJ_Image[7].Visible());
  for (auto [image, picture] : {std::pair<int16_t, int16_t>{120, 0}, {7, 180}, {-1, 0}, {7, -1}}) {
    ShowTileImage(client, image, picture);
    EXPECT_EQ(f.MJ_Image[7].Picture(), LoadResourcePicture(client, 380));
  }
}

}  // namespace
}  // namespace slvn
