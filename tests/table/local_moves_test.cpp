#include "claims_fixture.h"
#include "dispatch/deal_msg.h"
#include "platform/renderer.h"
#include "shell/net/packet_io.h"
#include "shell/resources/image_resource.h"
#include "support/headless.h"
#include "support/packet_builder.h"

namespace slvn::test {
namespace {

using Words = std::array<int16_t, 4>;

// A turn prompt as the dispatcher leaves it: claims offered, nothing done yet.
void Prompt(Client& client, std::initializer_list<int> offered) {
  Data& d = client.data;
  d.ActionState = 0;
  d.TurnActed = false;
  d.TileClickExpected = (client.custom[0].ConcealedCount - 2) % 3 == 0;
  d.OfferedClaims.fill(0);
  d.CountdownStart = 15;
  client.heartbeat.Enable(kTurnCountdown);
  for (int i : offered) {
    d.OfferedClaims[i] = 2;
    client.main_form.Operation[i].SetVisible(true);
  }
}

TEST_F(ClaimsTest, ADiscardClickAnswersAnOpenOfferThenSendsTheTile) {
  Deal(0, {0x81, 0x82, 0x83, 0x43, 0x44, 0x45, 0x46, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x11});
  Prompt(client, {3, 4});                               // a win on the own draw was offered
  MJ_Image_MouseDown(client, Image(0, 7), 2, 0, 0, 0);  // a right click discards too
  const auto sent = Sent();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].cmd, 7);
  EXPECT_EQ(sent[0].value, (Words{1, 0, 0, 0}));
  EXPECT_EQ(sent[1].cmd, 2);
  EXPECT_EQ(sent[1].value, (Words{0, 0, 0, 0x4043}));
  const PlayerHand& hand = client.custom[0];
  EXPECT_EQ(hand.ConcealedCount, 13);
  EXPECT_EQ(client.data.LastTileImage, Image(0, 7));
  EXPECT_EQ(client.data.ActionState, 2);
  EXPECT_FALSE(client.heartbeat.TickEnabled[kTurnCountdown]);
  EXPECT_FALSE(f.Operation[4].Visible());
  // In the middle of the 1024 x 768 table, centred by its standing size of 48 x 78.
  EXPECT_DOUBLE_EQ(Tile(Image(0, 7)).Left(), (1024 - 48) / 2.0);
  EXPECT_DOUBLE_EQ(Tile(Image(0, 7)).Top(), (768 - 78) / 2.0);
  // The tiles after it moved one slot left and stand in their places.
  EXPECT_EQ(hand.Slots[7].ImageIndex, Image(0, 8));
  for (int s = 4; s < 17; ++s)
    EXPECT_DOUBLE_EQ(Tile(hand.Slots[s].ImageIndex).Left(), X() + s * W());
  // Locked by a timed-out turn: nothing happens.
  Prompt(client, {});
  client.data.ActionState = 3;
  client.data.TileClickExpected = true;
  MJ_Image_MouseDown(client, Image(0, 5), 1, 0, 0, 0);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(ClaimsTest, RightClicksPassOnlyOffTheOwnTiles) {
  Deal(0, std::vector<TileCode>(13, 0x11));
  Prompt(client, {1, 4});
  MJ_Image_MouseDown(client, Image(0, 5), 2, 0, 0, 0);  // an own tile never passes
  EXPECT_TRUE(Sent().empty());
  MJ_Image_MouseDown(client, 2, 2, 0, 0, 0);
  EXPECT_EQ(Sent().at(0).value, (Words{1, 0, 0, 0}));
  EXPECT_FALSE(client.heartbeat.TickEnabled[kTurnCountdown]);
  EXPECT_TRUE(client.data.TurnActed);

  Prompt(client, {1, 4});
  Pic1_MouseUp(client, 1, 0, 5, 5);
  EXPECT_TRUE(Sent().empty());
  Pic2_MouseUp(client, 2, 0, 5, 5);
  EXPECT_EQ(Sent().size(), 1u);
  EXPECT_EQ(client.data.ActionState, 1);
}

TEST_F(ClaimsTest, ClaimButtonsActOncePerPrompt) {
  Deal(0, {0x23, 0x24, 0x24, 0x26, 0x83, 0x83, 0x41, 0x41, 0x41, 0x41, 0x15, 0x11, 0x11});
  client.data.LastDiscard = 0x83;
  Prompt(client, {1, 4});
  Operation_Click(client, 0);  // not offered
  Operation_Click(client, 1);
  Operation_Click(client, 1);
  auto sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].value, (Words{8, 0x2083, 0x2083, 0x2083}));
  EXPECT_EQ(client.data.ActionState, 1);
  EXPECT_FALSE(client.data.TileClickExpected);

  // A chow with two runs: the choice click sends the chosen pair.
  client.data.LastDiscard = 0x25;
  Prompt(client, {0, 4});
  Operation_Click(client, 0);
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(f.Chi[3].Visible());
  Chi_Click(client, 3);
  sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].value, (Words{4, 0x2024, 0x2026, 0x2025}));
  EXPECT_EQ(client.data.ChiSlots[0], 12);  // in the sorted hand
  EXPECT_FALSE(f.Chi[0].Visible());

  // A kong with a red dragon and four equal tiles: the choice decides.
  client.data.AllowedClaims = 64 | 32;
  Prompt(client, {2, 4});
  Operation_Click(client, 2);
  EXPECT_TRUE(f.Gang[1].Visible());
  const int16_t four = client.data.GangSlots[1];
  Gang_Click(client, 1);
  sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].value, (Words{32, 0x2041, 0x2041, 0x2041}));
  EXPECT_EQ(client.data.GangSlots[0], four);
  EXPECT_FALSE(f.Gang[0].Visible());
}

TEST_F(ClaimsTest, AnOwnTileLiftsUnderThePointerAndGoesBackWhenLeft) {
  Deal(0, std::vector<TileCode>(13, 0x11));
  ImageControl& a = Tile(Image(0, 5));
  ImageControl& b = Tile(Image(0, 6));
  WireLocalMoves(client);
  a.MouseMove(0, 0, 1, 1);
  EXPECT_DOUBLE_EQ(a.Top(), Y() - 10);
  EXPECT_EQ(a.MousePointer(), kPointerCustom);
  MJ_Image_MouseMove(client, Image(0, 6), 0, 0, 1, 1);
  EXPECT_DOUBLE_EQ(a.Top(), Y());
  EXPECT_DOUBLE_EQ(b.Top(), Y() - 10);
  // Over the strip it left free the tile stays up; below it, it goes back.
  PutBackLiftedTile(client, b.Left() + 5, Y() + b.Height() - 5);
  EXPECT_DOUBLE_EQ(b.Top(), Y() - 10);
  PutBackLiftedTile(client, b.Left() + 5, Y() + b.Height() + 1);
  EXPECT_DOUBLE_EQ(b.Top(), Y());
  // A spectator's pointer lifts nothing.
  client.data.WatchMode = true;
  MJ_Image_MouseMove(client, Image(0, 5), 0, 0, 1, 1);
  EXPECT_DOUBLE_EQ(a.Top(), Y());
  EXPECT_EQ(a.MousePointer(), kPointerDefault);
}

TEST_F(ClaimsTest, AfterAWinHiddenKongsAndWallTilesTurnUpOnce) {
  Data& d = client.data;
  d.HiddenKongImages[0] = 70;
  d.HiddenKongTiles[0] = 0x41;
  d.HiddenKongSeats[0] = 1;
  d.HiddenKongCount = 1;
  d.NextWallTiles = {0x21, 0x22, 0x23, 0, 0};
  d.NextWallImages = {50, 51, 41, -1, -1};
  d.NextWallCount = 3;
  d.WallTail = 50;
  d.WallHead = 40;
  MJ_Image_MouseDown(client, 70, 1, 0, 0, 0);
  EXPECT_EQ(d.HiddenKongImages[0], 70);  // nobody has won yet
  d.WinnerSeat = 2;
  MJ_Image_MouseDown(client, 70, 1, 0, 0, 0);
  EXPECT_EQ(d.HiddenKongImages[0], -1);
  const double upper_top = Tile(50).Top(), lower_top = Tile(51).Top();
  MJ_Image_MouseDown(client, 51, 1, 0, 0, 0);  // a replacement tile under an upper one
  EXPECT_EQ(d.NextWallImages[1], -1);
  EXPECT_DOUBLE_EQ(Tile(51).Left(), 445 * Sx());
  EXPECT_DOUBLE_EQ(Tile(51).Top(), 340 * Sy());
  EXPECT_DOUBLE_EQ(Tile(50).Top(), lower_top);  // the upper tile dropped into its place
  EXPECT_NE(upper_top, lower_top);
  MJ_Image_MouseDown(client, 41, 1, 0, 0, 0);  // the wall head's lower tile drops nothing
  EXPECT_DOUBLE_EQ(Tile(41).Left(), 490 * Sx());
}

// The first shown hand names the tiles left in the wall by place: 00 21 22 00
// 00 puts 0x21 under the tail's upper tile (position 51) and 0x22 at the
// head (40); the tail's own place holds no tile.
TEST_F(ClaimsTest, AfterAHandEachWallTileTurnsUpAtItsOwnPlace) {
  Data& d = client.data;
  d.WallTail = 50;
  d.WallHead = 40;
  PacketBytes shown = BuildPacket(15, 4);
  PutBytes(shown, 16, std::vector<uint8_t>{0, 0x21, 0x22, 0, 0});
  StoreArrivedBytes(client, shown);
  ReadPacket(client);
  Deal_MSG(client);
  d.WinnerSeat = 1;
  const Picture back = Tile(50).Picture();
  const double upper_top = Tile(50).Top();
  auto face = [&](TileCode code) { return LoadResourcePicture(client, 201 + TilePictureOf(code)); };
  MJ_Image_MouseDown(client, 50, 1, 0, 0, 0);
  EXPECT_EQ(Tile(50).Picture(), back);
  EXPECT_DOUBLE_EQ(Tile(50).Top(), upper_top);
  MJ_Image_MouseDown(client, 51, 1, 0, 0, 0);
  EXPECT_EQ(Tile(51).Picture(), face(0x21));
  EXPECT_DOUBLE_EQ(Tile(51).Left(), 445 * Sx());
  MJ_Image_MouseDown(client, 40, 1, 0, 0, 0);
  EXPECT_EQ(Tile(40).Picture(), face(0x22));
  EXPECT_DOUBLE_EQ(Tile(40).Left(), 490 * Sx());
}

class ClaimsScreenshot : public ClaimsTest, public ::testing::WithParamInterface<float> {
 protected:
  ClaimsScreenshot() : ClaimsTest(GetParam()) {}
  // Each claim is followed by a discard; the last tile leaves the hand.
  void DiscardLast() {
    PlayerHand& hand = client.custom[0];
    Tile(hand.Slots[hand.FirstConcealed + hand.ConcealedCount - 1].ImageIndex).SetVisible(false);
    --hand.ConcealedCount;
  }
};

TEST_P(ClaimsScreenshot, AHandWithAChowAPungAConcealedKongAndAnAddedKong) {
  UseHeadlessSdl();
  Data& d = client.data;
  Deal(0, {0x23, 0x24, 0x45, 0x45, 0x41, 0x41, 0x41, 0x41, 0x82, 0x83, 0x84, 0x15, 0x16});
  SortAndShowHand(client, 0, 13);
  d.LastDiscard = 0x25;
  d.LastTileImage = 2;
  ShowTileImage(client, 2, TilePictureOf(0x25));
  d.ChiSlots = {static_cast<int16_t>(HandSlotOf(0x23)), static_cast<int16_t>(HandSlotOf(0x24))};
  SendChi(client, d.ChiSlots[0], d.ChiSlots[1]);
  ApplyOperation(client, 4, 8, {0x23, 0x24, 0x25});
  DiscardLast();
  d.LastDiscard = 0x45;
  d.LastTileImage = 3;
  ShowTileImage(client, 3, TilePictureOf(0x45));
  SendPeng(client, 0x45);
  ApplyOperation(client, 8, 8, {0x45, 0x45, 0x45});
  DiscardLast();
  const int kong = HandSlotOf(0x41);
  d.GangSlots[0] = static_cast<int16_t>(kong);
  SendGangHand(client, static_cast<int16_t>(kong));
  ApplyOperation(client, 32, 8, {0x41, 0x41, 0x41});
  // The drawn replacement is a pung tile, added to the pung.
  PlayerHand& hand = client.custom[0];
  hand.Slots[hand.FirstConcealed + hand.ConcealedCount] = {1, 0x45, 4};
  ShowTileImage(client, 4, TilePictureOf(0x45));
  ++hand.ConcealedCount;
  const int added = HandSlotOf(0x45);
  d.GangSlots[0] = static_cast<int16_t>(added);
  SendGangAdd(client, static_cast<int16_t>(added));
  ApplyOperation(client, 64, 8, {0, 0, 0x45});
  EXPECT_EQ(hand.MeldEnd, 12);
  EXPECT_EQ(hand.ConcealedCount, 3);
  Renderer renderer;
  ASSERT_TRUE(renderer.Ok());
  renderer.Draw(f);
  const std::string name = GetParam() < 1 ? "claims_800.png" : "claims_1024.png";
  EXPECT_TRUE(renderer.SavePng(name)) << name;
}

INSTANTIATE_TEST_SUITE_P(BothScales, ClaimsScreenshot, ::testing::Values(1.0f, 0.78125f));

}  // namespace
}  // namespace slvn::test
