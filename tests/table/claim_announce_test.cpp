#include "claims_fixture.h"
#include "platform/sound_device.h"
#include "shell/sound/sound.h"
#include "support/drive.h"

#include <algorithm>

namespace slvn::test {
namespace {

constexpr uint8_t kLeft = 4, kTop = 2, kRight = 1;  // seat bits of display seats 1, 2, 3

std::vector<TileCode> Filler(int n) {
  return std::vector<TileCode>(static_cast<size_t>(n), 0x11);
}

TEST_F(ClaimsTest, AnotherSeatsChowAndPungGoIntoItsMelds) {
  for (int16_t op : {4, 8}) {
    SCOPED_TRACE(op);
    ClearPlayerInfo(client);
    Deal(1, Filler(13));
    client.data.LastTileImage = 30;
    ApplyOperation(client, op, kLeft, {0x23, 0x24, 0x25});
    const PlayerHand& hand = client.custom[1];
    EXPECT_EQ(Images(1, 2, 4), (std::vector<int>{Image(1, 4), Image(1, 5), 30}));
    EXPECT_EQ(hand.MeldEnd, 7);
    EXPECT_EQ(hand.FirstConcealed, 7);
    EXPECT_EQ(hand.ConcealedCount, 11);
    EXPECT_EQ(hand.Slots[17].ImageIndex, Image(1, 6));  // the third hidden tile went last
    if (op == 8) {
      EXPECT_EQ(Codes(1, 2, 4), (std::vector<TileCode>{0x23, 0x24, 0x25}));
      EXPECT_EQ(hand.Slots[2].State, 3);
    } else {
      EXPECT_EQ(hand.Slots[2].State, 1);
    }
    const double h = client.data.TileHeight[1];
    EXPECT_DOUBLE_EQ(Tile(30).Top(), hand.HandY + 4 * (h - 17 * Sy()));
    EXPECT_DOUBLE_EQ(Tile(30).Left(), hand.HandX - 20 * Sx());
    // The announcement: bubble and caption beside the left seat.
    EXPECT_TRUE(f.Speak[0].Visible());
    EXPECT_TRUE(f.Words.Visible());
    EXPECT_TRUE(client.data.ClaimBubbleShown);
    EXPECT_EQ(client.data.ClaimBubbleIndex, 0);
  }
}

TEST_F(ClaimsTest, AnnouncementsOfOtherSeatsOnlyAndTheLatestBubbleStays) {
  Deal(2, Filler(13));
  f.Speak[2].SetVisible(true);
  client.heartbeat.TickCount[kBubbleCounter] = 30;
  ApplyOperation(client, 2, kTop, {0, 0, 0});  // not a claim: bubble only, no meld
  EXPECT_TRUE(f.Speak[1].Visible());
  EXPECT_FALSE(f.Speak[2].Visible());
  EXPECT_EQ(client.heartbeat.TickCount[kBubbleCounter], 0);
  EXPECT_EQ(client.custom[2].MeldEnd, 4);
  client.heartbeat.TickCount[kBubbleCounter] = 12;
  Deal(0, Filler(13));
  ApplyOperation(client, 128, 8, {0, 0, 0x25});
  EXPECT_EQ(client.heartbeat.TickCount[kBubbleCounter], 12);
  EXPECT_EQ(client.data.ClaimBubbleIndex, 1);
}

TEST_F(ClaimsTest, AnnouncementsSpeakInTheClaimersVoice) {
  auto owned = std::make_unique<RecordingSoundDevice>();
  RecordingSoundDevice* device = owned.get();
  client.sound.device = std::move(owned);
  InitSound(client);
  client.sound.SoundOn = -1;
  client.sound.VoiceFolder = "voices/";
  client.Detail[1].dialect = "sc";
  client.Detail[1].voice = "a";
  client.Detail[1].sex = 1;
  client.Detail[1].voiceKind = 2;
  client.data.WildTile = 0x29;
  struct Case {
    int16_t op;
    TileCode tile;
    const char* voice;
  } cases[] = {
      {64, 0x15, "03.wav"}, {64, 0x29, "05.wav"}, {32, 0x41, "06.wav"}, {128, 0, "09.wav"}};
  for (const Case& c : cases) {
    Deal(1, Filler(13));
    device->calls.clear();
    ApplyOperation(client, c.op, kLeft, {0, 0, c.tile});
    const std::string voice = std::string("create voices/vsca12") + c.voice;
    EXPECT_NE(std::find(device->calls.begin(), device->calls.end(), voice), device->calls.end())
        << c.voice;
  }
  // With sound off the bubble still shows and nothing plays.
  client.sound.SoundOn = 0;
  device->calls.clear();
  f.Speak[0].SetVisible(false);
  ApplyOperation(client, 8, kLeft, {0x23, 0x23, 0x23});
  EXPECT_TRUE(f.Speak[0].Visible());
  EXPECT_TRUE(device->calls.empty());
}

TEST_F(ClaimsTest, AnotherSeatsKongsLieOverTheirMiddleTile) {
  Deal(2, Filler(13));
  client.data.LastTileImage = 30;
  ApplyOperation(client, 16, kTop, {0x27, 0x27, 0x27});
  const PlayerHand& top = client.custom[2];
  EXPECT_EQ(Images(2, 2, 4), (std::vector<int>{Image(2, 6), Image(2, 5), Image(2, 4)}));
  EXPECT_EQ(top.ConcealedCount, 10);
  EXPECT_EQ(top.MeldEnd, 7);
  EXPECT_DOUBLE_EQ(Tile(30).Left(), top.HandX - 3 * client.data.TileWidth[2]);
  EXPECT_DOUBLE_EQ(Tile(30).Top(), top.HandY - 18 * Sy());
  EXPECT_TRUE(Tile(30).Visible());

  Deal(3, Filler(14));
  ApplyOperation(client, 32, kRight, {0x41, 0x41, 0x41});
  const PlayerHand& right = client.custom[3];
  EXPECT_EQ(right.ConcealedCount, 10);
  EXPECT_EQ(client.data.LastTileImage, Image(3, 17));
  ASSERT_EQ(client.data.HiddenKongCount, 1);
  EXPECT_EQ(client.data.HiddenKongImages[0], Image(3, 17));
  EXPECT_EQ(client.data.HiddenKongTiles[0], 0x41);
  EXPECT_EQ(client.data.HiddenKongSeats[0], 3);
  EXPECT_DOUBLE_EQ(Tile(Image(3, 17)).Left(), Tile(right.Slots[3].ImageIndex).Left());
  // Beyond sixteen hidden kongs nothing more is recorded.
  client.data.HiddenKongCount = 16;
  Deal(3, Filler(14));
  ApplyOperation(client, 32, kRight, {0x41, 0x41, 0x41});
  EXPECT_EQ(client.data.HiddenKongCount, 16);
}

TEST_F(ClaimsTest, AnotherSeatsAddedKongsGoOnThePileOrTheirPung) {
  client.data.WildTile = 0x29;
  Deal(1, Filler(11), 7);
  client.custom[1].MeldEnd = 7;
  client.custom[1].Slots[2] = {3, 0x33, 62};
  client.custom[1].Slots[3] = {3, 0x33, 63};
  client.custom[1].Slots[4] = {3, 0x33, 64};
  for (int k = 0; k < 5; ++k) {  // four wild kongs are recorded, the fifth only counted
    ApplyOperation(client, 64, kLeft, {0, 0, 0x29});
    EXPECT_EQ(client.data.LastDiscard, 0x29);
  }
  const PlayerHand& left = client.custom[1];
  EXPECT_EQ(left.WildKongCount, 5);
  EXPECT_EQ(left.ConcealedCount, 6);
  EXPECT_EQ(client.data.SetAsideImages[1][4], Image(1, 17));
  EXPECT_EQ(client.data.SetAsideImages[1][7], Image(1, 14));
  EXPECT_DOUBLE_EQ(Tile(Image(1, 16)).Top(),
                   left.HandY + client.data.TileHeight[1] - 17 * Sy() - 18 * Sy());
  ApplyOperation(client, 64, kLeft, {0, 0, 0x33});
  EXPECT_EQ(client.data.LastTileImage, Image(1, 12));
  EXPECT_DOUBLE_EQ(Tile(Image(1, 12)).Left(), left.HandX - 5 * 3 * Sx());
  EXPECT_TRUE(Tile(Image(1, 12)).Visible());
}

TEST_F(ClaimsTest, TheFirstWinMarksTheWinnerAndLaysTheWinningDiscard) {
  Deal(0, Filler(13));
  client.data.LastTileImage = 30;
  client.data.LastDiscard = 0x25;
  ApplyOperation(client, 128, 8, {0, 0, 0x25});
  EXPECT_EQ(client.data.WinnerSeat, 0);
  // The score board names the winner in red, the others in green.
  ASSERT_TRUE(client.Score);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(client.Score->ID[i].ForeColor(), i == 0 ? 0xFFu : 0xFF00u) << i;
  EXPECT_DOUBLE_EQ(Tile(30).Left(), Tile(Image(0, 16)).Left() + 48 * Sx());
  EXPECT_DOUBLE_EQ(Tile(30).Top(), Y());
  ApplyOperation(client, 128, kLeft, {0, 0, 0x25});
  EXPECT_EQ(client.data.WinnerSeat, 0);
  // An own win with no tile in hand moves nothing.
  client.data.WinnerSeat = -1;
  client.custom[0].ConcealedCount = 0;
  Tile(30).Move(1, 2);
  ApplyOperation(client, 128, 8, {0, 0, 0x25});
  EXPECT_DOUBLE_EQ(Tile(30).Left(), 1);
}

TEST_F(ClaimsTest, RevealedHandsLayTheTableOpenOnceEveryOtherSeatIsIn) {
  Deal(1, Filler(5));
  Deal(2, Filler(4));
  Deal(3, Filler(1));
  client.data.WinnerSeat = 1;
  ShowHandTiles(client, 8, {0x81, 0x82, 0x83, 0x84});  // the own seat: ignored
  EXPECT_EQ(client.data.ShownTiles[0][0], 0);
  ShowHandTiles(client, kLeft, {0x21, 0x22, 0x23, 0x24});
  EXPECT_EQ(Codes(1, 4, 7), (std::vector<TileCode>{0x24, 0x23, 0x22, 0x21}));
  ShowHandTiles(client, kTop, {0x41, 0x49, 0x45, 0x43});
  ShowHandTiles(client, kRight, {0, 0, 0, 0x15});
  EXPECT_NE(Tile(Image(2, 4)).Width(), client.data.TileWidth[2]);  // not yet laid open
  ShowHandTiles(client, kLeft, {0, 0, 0, 0x11});
  EXPECT_EQ(client.custom[1].ConcealedCount, 0);
  // The winner's fifth tile stays apart after the four sorted ones.
  EXPECT_EQ(Codes(1, 4, 8), (std::vector<TileCode>{0x21, 0x22, 0x23, 0x24, 0x11}));
  EXPECT_EQ(Codes(2, 4, 7), (std::vector<TileCode>{0x41, 0x43, 0x45, 0x49}));
  EXPECT_EQ(Tile(Image(2, 4)).Width(), client.data.TileWidth[2]);
  EXPECT_EQ(Tile(Image(3, 4)).Height(), client.data.TileHeight[3]);
}

// A code that names no tile (suit nibble not one suit bit, or rank outside
// 1..9) never shows another tile's face: the image keeps what it showed.
TEST_F(ClaimsTest, ClaimedAndRevealedCodesThatNameNoTileShowNoFace) {
  for (TileCode code : {0x3A, 0x30, 0x1A, 0x31, 0x100 | 0x21}) {
    SCOPED_TRACE(code);
    ClearPlayerInfo(client);
    Deal(1, Filler(13));
    Deal(2, Filler(4));
    Deal(3, Filler(4));
    ShowTileImage(client, 30, 144);
    client.data.LastTileImage = 30;
    const std::vector<int> images = {Image(1, 4), Image(1, 5), 30,         Image(1, 8),
                                     Image(2, 4), Image(2, 7), Image(3, 4)};
    std::vector<Picture> before;
    for (int i : images) before.push_back(Tile(i).Picture());
    ApplyOperation(client, 8, kLeft, {code, code, code});  // a pung
    client.data.WinnerSeat = 1;
    ShowHandTiles(client, kLeft, {code, code, code, code});
    ShowHandTiles(client, kTop, {code, code, code, code});
    ShowHandTiles(client, kRight, {code, code, code, code});
    for (size_t k = 0; k < images.size(); ++k)
      EXPECT_EQ(Tile(images[k]).Picture(), before[k]) << "image " << images[k];
  }
}

TEST_F(ClaimsTest, RevealedTilesBeyondTheSlotsAreDropped) {
  Deal(1, Filler(2), 16);
  client.custom[1].ConcealedCount = 5;
  ShowHandTiles(client, kLeft, {0x21, 0x22, 0x23, 0x24});
  EXPECT_EQ(Codes(1, 16, 17), (std::vector<TileCode>{0x23, 0x24}));  // then laid open
  EXPECT_EQ(client.custom[1].ConcealedCount, 0);
}

}  // namespace
}  // namespace slvn::test
