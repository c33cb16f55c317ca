#include "ui/wall_dice.h"

#include <gtest/gtest.h>

#include "shell/client.h"
#include "shell/general.h"
#include "shell/lobby_link.h"
#include "support/fake_lobby.h"
#include "support/headless.h"
#include "support/screen_shot.h"
#include "support/table_layout.h"
#include "table/hand_order.h"
#include "ui/table_reset.h"

namespace slvn {
namespace {

class WallDiceTest : public ::testing::Test {
 protected:
  WallDiceTest() {
    client.bus = WindowBus(test::TestBusNamespace());
    client.data.LobbyTitle = "Corvald山庄";
  }
  void LayOut(float scale) {
    test::LayOutTable(client, scale);
    ResetTableView(client);
  }
  Client client{std::make_unique<ManualClock>()};
  MainForm& f = client.main_form;
};

TEST_F(WallDiceTest, BuildWallShowsEveryTileFaceDownTellsTheLobbyAndClearsTheHandTables) {
  LayOut(1.0f);
  test::FakeLobby lobby(client.bus.Namespace(), client.data.LobbyTitle);
  client.data.WallState.fill(1);
  client.data.HiddenKongCount = 2;
  client.data.KongDie = 4;
  client.data.NextWallCount = 3;
  client.data.ResultRowCount = 2;
  f.ImgProp[0].SetVisible(true);
  BuildWall(client);
  for (int p = 0; p < kWallPositions; ++p) {
    EXPECT_TRUE(f.MJ_Image[p].Visible()) << p;
    EXPECT_EQ(f.MJ_Image[p].Picture(), LoadResourcePicture(client, 201 + 36 * (p / 30) + 8)) << p;
  }
  // The item icons stay above the wall.
  EXPECT_EQ(f.Pic1.Children().back(), &f.ImgProp[0]);
  auto got = lobby.WaitForMessages(1);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].msg, kLobbyWallBuilt);
  EXPECT_EQ(client.data.WallState, (std::array<int16_t, kWallPositions>{}));
  EXPECT_EQ(client.data.HiddenKongCount + client.data.KongDie + client.data.NextWallCount +
                client.data.ResultRowCount,
            0);
}

TEST_F(WallDiceTest, BuildWallWithoutALobbyStillClearsTheHandTables) {
  LayOut(1.0f);
  client.data.WallState[5] = 1;
  BuildWall(client);
  EXPECT_EQ(client.data.LobbyWindow, 0);
  EXPECT_EQ(client.data.WallState[5], 0);
}

TEST_F(WallDiceTest, DiceEndOnTheGivenFacesClampedAndHide) {
  LayOut(1.0f);
  struct Case {
    int16_t first, second, shown_first, shown_second;
  } cases[] = {{0, 5, 1, 5}, {6, 1, 6, 1}, {9, -3, 6, 1}};
  for (const Case& c : cases) {
    std::array<int16_t, 4> dice = {c.first, c.second, 7, 7};
    RollTwoDice(client, dice);
    EXPECT_EQ(dice[0], c.shown_first);
    EXPECT_EQ(dice[1], c.shown_second);
    EXPECT_EQ(dice[2], 7);
    EXPECT_EQ(f.Sai_Image[0].Picture(), f.SZ_Image[c.shown_first - 1].Picture());
    EXPECT_EQ(f.Sai_Image[1].Picture(), f.SZ_Image[c.shown_second - 1].Picture());
    EXPECT_DOUBLE_EQ(f.Sai_Image[1].Left(), 560);
    EXPECT_FALSE(f.Sai_Image[0].Visible() || f.Sai_Image[1].Visible());
  }
  for (auto [face, shown] : {std::pair<int16_t, int>{3, 3}, {0, 1}, {200, 6}}) {
    RollOneDie(client, face);
    EXPECT_EQ(f.Sai_Image[0].Picture(), f.SZ_Image[shown - 1].Picture()) << face;
    EXPECT_DOUBLE_EQ(f.Sai_Image[0].Left(), 500);
    EXPECT_FALSE(f.Sai_Image[0].Visible());
  }
  // The single die leaves the second one as the last pair roll left it.
  EXPECT_EQ(f.Sai_Image[1].Picture(), f.SZ_Image[0].Picture());
}

// Deals thirteen tiles to each seat from its hand origin, face up, so that
// a person can judge the picture.
void DealForTheScreenshot(Client& client) {
  const Data& data = client.data;
  constexpr int kDealt[4][13] = {
      {0x11, 0x12, 0x15, 0x21, 0x23, 0x27, 0x41, 0x42, 0x43, 0x81, 0x85, 0x89, 0x16},
      {0x13, 0x22, 0x24, 0x26, 0x44, 0x45, 0x46, 0x82, 0x83, 0x84, 0x17, 0x14, 0x28},
      {0x29, 0x25, 0x47, 0x48, 0x49, 0x86, 0x87, 0x88, 0x11, 0x12, 0x13, 0x21, 0x22},
      {0x41, 0x42, 0x43, 0x44, 0x81, 0x82, 0x83, 0x84, 0x15, 0x15, 0x16, 0x16, 0x17}};
  for (int seat = 0; seat < kSeatCount; ++seat) {
    int next = 30 * seat + 29;  // the far half of each side, so every side shows
    PlayerHand& hand = client.custom[seat];
    hand.FirstConcealed = 4;
    hand.ConcealedCount = 13;
    for (int i = 0; i < 13; ++i) {
      const int image = next--;
      hand.Slots[4 + i] = {1, static_cast<TileCode>(kDealt[seat][i]), static_cast<int16_t>(image)};
      ImageControl& tile = client.main_form.MJ_Image[image];
      const int view = seat;
      const double w = seat == 0 ? RoundHalfEven(52 * data.ScaleX) : data.TileWidth[view];
      const double h = seat == 0 ? RoundHalfEven(59 * data.ScaleY) : data.TileHeight[view];
      double x = hand.HandX, y = hand.HandY;
      if (seat == 0) x += i * w;
      if (seat == 1) y += i * (h - 9 * data.ScaleY);
      if (seat == 2) x -= i * w;
      if (seat == 3) y -= i * (h - 9 * data.ScaleY);
      tile.Move(x, y, w, h);
      tile.ZOrder(seat == 3 ? 1 : 0);
    }
    SortAndShowHand(client, static_cast<uint8_t>(seat), 13);
  }
}

TEST_F(WallDiceTest, ScreenshotOfAFreshWallWithFourHands) {
  test::UseHeadlessSdl();
  for (float scale : {1.0f, 0.78125f}) {
    Client client{std::make_unique<ManualClock>()};
    test::LayOutTable(client, scale);
    if (scale == 1.0f) PaintWindowSkin(client);
    ClearTableTiles(client);
    ResetTableView(client);
    ClearPlayerInfo(client);
    const std::string name = scale < 1 ? "table_800.png" : "table_1024.png";
    const Picture bare = test::ScreenShot(client, name);
    ASSERT_TRUE(bare) << name;
    const double ux = client.main_form.Pic1.Left() / 15, uy = client.main_form.Pic1.Top() / 15;
    // Centre of the lower tile of the bottom wall's stack 7, in window pixels.
    const int px = static_cast<int>(ux + (809 - 7 * 36 + 18) * scale);
    const int py = static_cast<int>(uy + (476 + 22 + 40) * scale);
    BuildWall(client);
    for (int image : {0, 1, 2, 3}) client.main_form.MJ_Image[image].SetVisible(false);
    DealForTheScreenshot(client);
    const Picture shot = test::ScreenShot(client, name);
    ASSERT_TRUE(shot) << name;
    EXPECT_NE(shot->At(px, py), bare->At(px, py)) << scale;
    // The own hand (images 17-29) shows its faces where the tiles lie.
    for (int image = 17; image <= 29; ++image)
      EXPECT_TRUE(test::ShowsPicture(*shot, client.main_form.MJ_Image[image])) << image;
  }
}

}  // namespace
}  // namespace slvn
