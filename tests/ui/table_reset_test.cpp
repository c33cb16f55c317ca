#include "ui/table_reset.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "shell/client.h"
#include "support/table_layout.h"

namespace slvn {
namespace {

class TableResetTest : public ::testing::TestWithParam<float> {
 protected:
  void SetUp() override {
    test::LayOutTable(client, GetParam());
    ClearTableTiles(client);
    ResetTableView(client);
  }
  bool Small() const { return GetParam() < 1; }
  // The tile images of one side in drawing order, back to front.
  std::vector<int> SideOrder(int side) {
    std::map<const Control*, int> index;
    for (int i = 0; i < kWallPositions; ++i) index[&f.MJ_Image[i]] = i;
    std::vector<int> order;
    for (const Control* c : f.Pic1.Children()) {
      auto it = index.find(c);
      if (it != index.end() && it->second / 30 == side) order.push_back(it->second);
    }
    return order;
  }
  Client client{std::make_unique<ManualClock>()};
  MainForm& f = client.main_form;
};

TEST_P(TableResetTest, SizesAndPlacesTheWallSideBySide) {
  struct Probe {
    int image;
    double left, top, small_left, small_top;
  } probes[] = {
      {0, 809, 476, 632.03125, 371.875},   {1, 809, 498, 632.03125, 389.0625},
      {2, 773, 476, 604.03125, 371.875},   {28, 305, 476, 240.03125, 371.875},
      {29, 305, 498, 240.03125, 389.0625}, {30, 164, 476, 128.125, 371.875},
      {58, 220, 266, 171.875, 207.8125},   {59, 220, 286, 171.875, 223.4375},
      {60, 236, 192, 184.375, 150},        {88, 656, 192, 506.375, 150},
      {89, 656, 208, 506.375, 162.5},      {90, 748, 192, 584.375, 150},
      {118, 804, 402, 628.125, 314.0625},  {119, 804, 422, 628.125, 329.6875},
  };
  for (const Probe& p : probes) {
    EXPECT_DOUBLE_EQ(f.MJ_Image[p.image].Left(), Small() ? p.small_left : p.left) << p.image;
    EXPECT_DOUBLE_EQ(f.MJ_Image[p.image].Top(), Small() ? p.small_top : p.top) << p.image;
    EXPECT_FALSE(f.MJ_Image[p.image].Visible());
  }
  const int large[4][2] = {{36, 50}, {48, 35}, {30, 36}, {48, 35}};
  const int small[4][2] = {{28, 39}, {38, 27}, {23, 28}, {38, 27}};
  for (int s = 0; s < 4; ++s) {
    const int* size = Small() ? small[s] : large[s];
    EXPECT_EQ(client.data.TileWidth[s], size[0]) << s;
    EXPECT_EQ(client.data.TileHeight[s], size[1]) << s;
    EXPECT_EQ(f.MJ_Image[30 * s + 17].Width(), size[0]) << s;
    EXPECT_EQ(f.MJ_Image[30 * s + 17].Height(), size[1]) << s;
  }
}

TEST_P(TableResetTest, StacksEachSideSoNearerTilesCoverFartherOnes) {
  std::vector<int> bottom, left, top, right;
  for (int i = 29; i >= 1; i -= 2) bottom.push_back(i);
  for (int i = 4; i <= 28; i += 2) bottom.push_back(i);
  bottom.insert(bottom.end(), {0, 2});
  for (int i = 59; i >= 30; --i) left.push_back(i);
  top = {63, 61};
  for (int i = 89; i >= 65; i -= 2) top.push_back(i);
  for (int i = 60; i <= 88; i += 2) top.push_back(i);
  for (int i = 90; i < 120; i += 2) right.insert(right.end(), {i + 1, i});
  EXPECT_EQ(SideOrder(0), bottom);
  EXPECT_EQ(SideOrder(1), left);
  EXPECT_EQ(SideOrder(2), top);
  EXPECT_EQ(SideOrder(3), right);
  // The warehouse button stays above every tile.
  const auto& children = f.Pic1.Children();
  auto bank = std::find(children.begin(), children.end(), &f.Bank);
  for (int i = 0; i < kWallPositions; ++i)
    EXPECT_LT(std::find(children.begin(), children.end(), &f.MJ_Image[i]), bank) << i;
  // A second reset changes nothing.
  const std::vector<Control*> before = children;
  ResetTableView(client);
  EXPECT_EQ(f.Pic1.Children(), before);
}

TEST_P(TableResetTest, GivesEverySeatItsOrigins) {
  struct Origins {
    int hand_x, hand_y, discard_x, discard_y;
  };
  const Origins large[] = {
      {19, 564, 358, 438}, {163, 192, 287, 238}, {842, 122, 635, 238}, {942, 560, 758, 438}};
  const Origins small[] = {
      {15, 441, 280, 342}, {127, 150, 224, 186}, {658, 95, 496, 186}, {736, 438, 592, 342}};
  for (int seat = 0; seat < kSeatCount; ++seat) {
    const Origins& o = Small() ? small[seat] : large[seat];
    const PlayerHand& h = client.custom[seat];
    EXPECT_EQ(h.HandX, o.hand_x) << seat;
    EXPECT_EQ(h.HandY, o.hand_y) << seat;
    EXPECT_EQ(h.DiscardOriginX, o.discard_x) << seat;
    EXPECT_EQ(h.DiscardOriginY, o.discard_y) << seat;
    EXPECT_EQ(h.DiscardX, o.discard_x) << seat;
    EXPECT_EQ(h.DiscardY, o.discard_y) << seat;
  }
}

INSTANTIATE_TEST_SUITE_P(BothScales, TableResetTest, ::testing::Values(1.0f, 0.78125f));

TEST(TableResetFlagsTest, ClearsWhatBelongsToTheLastHand) {
  for (bool watching : {false, true}) {
    for (int32_t wealth : {0, 3}) {
      Client client{std::make_unique<ManualClock>()};
      test::LayOutTable(client);
      MainForm& f = client.main_form;
      client.data.WatchMode = watching;
      client.data.WealthMultiplier = wealth;
      client.data.LastTileImage = client.data.PrevBlinkImage = 7;
      client.net.SeatNames = {"a", "b", "c", "d"};
      client.prop.Prop_GameDllState = 1;
      client.prop.PropScoreReady = true;
      client.prop.SheetHandOver = 1;
      client.prop.PluginShutdownPending = true;
      client.prop.DrawnHandOver = true;
      client.prop.ScoreHandOver = true;
      client.prop.ItemBarCleared = true;
      client.data.PiaoCountdownOn = client.data.PiaoChoicePending = true;
      f.Zhuang.SetCaption("庄");
      f.lbwealth.SetCaption("3");
      f.Imgwealth.SetVisible(true);
      f.Operation[3].SetEnabled(true);
      f.Operation[3].SetVisible(true);
      ClearTableTiles(client);
      ResetTableView(client);
      EXPECT_EQ(client.data.LastTileImage, -1);
      EXPECT_EQ(client.data.PrevBlinkImage, -1);
      EXPECT_EQ(client.net.SeatNames, (std::array<std::string, 4>{}));
      EXPECT_EQ(f.Zhuang.Caption(), watching ? "庄" : "");
      EXPECT_EQ(f.lbwealth.Caption(), wealth == 0 ? "1" : "3");
      EXPECT_EQ(f.Imgwealth.Visible(), wealth != 0);
      EXPECT_FALSE(f.Operation[3].Enabled() || f.Operation[3].Visible());
      EXPECT_EQ(client.prop.SheetHandOver, 0);
      EXPECT_FALSE(client.prop.PluginShutdownPending || client.prop.DrawnHandOver ||
                   client.prop.ScoreHandOver || client.prop.ItemBarCleared);
      EXPECT_FALSE(client.prop.PropScoreReady);
      EXPECT_FALSE(client.data.PiaoCountdownOn || client.data.PiaoChoicePending);
      EXPECT_TRUE(f.Bank.Visible());
    }
  }
}

TEST(TableResetFlagsTest, BeforeTheLayoutOnlyTheStateIsReset) {
  Client client{std::make_unique<ManualClock>()};
  client.data.ScaleX = client.data.ScaleY = 1.0f;
  client.prop.SheetHandOver = 1;
  ClearTableTiles(client);
  ResetTableView(client);
  EXPECT_EQ(client.prop.SheetHandOver, 0);
  EXPECT_EQ(client.custom[2].HandX, 842);
  EXPECT_EQ(client.data.TileWidth[1], 48);
}

}  // namespace
}  // namespace slvn
