#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "dispatch/deal_msg.h"
#include "dispatch/hand_start.h"
#include "shell/client.h"
#include "shell/exit_dialogs.h"
#include "shell/lobby_link.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"
#include "support/headless.h"
#include "support/packet_builder.h"
#include "support/screen_shot.h"
#include "support/table_layout.h"
#include "support/temp_dir.h"
#include "table/float_bet.h"
#include "table/seat_records.h"
#include "table/tile_code.h"
#include "ui/table_reset.h"

namespace slvn {
namespace {

// The own seat is East (8); South (4) sits left, West (2) across, North (1) right.
constexpr int kOwn = 8, kLeft = 4, kTop = 2, kRight = 1;

test::PacketBytes Packet(int cmd, int seat, std::array<int, 4> values = {}, size_t at = 0,
                         uint8_t byte = 0) {
  test::PacketBytes packet = test::BuildPacket(cmd, seat, values);
  if (at != 0) packet[at] = byte;
  return packet;
}

// A seated client at East, its table cleared by the ready step.
class HandTable {
 public:
  explicit HandTable(float scale = 1.0f) {
    test::LayOutTable(client, scale);
    const uint8_t winds[] = {kOwn, kLeft, kTop, kRight};
    const char* names[] = {"我", "南家", "西家", "北家"};
    for (int i = 0; i < 4; ++i) {
      client.custom[i].SeatWind = winds[i];
      client.Detail[i].name = names[i];
    }
    client.data.LoggedIn = true;
    // The ready step cleared the table.
    ClearTableTiles(client);
    ResetTableView(client);
    ClearPlayerInfo(client);
  }
  void Send(const test::PacketBytes& packet) {
    StoreArrivedBytes(client, packet);
    ReadPacket(client);
    Deal_MSG(client);
  }
  // A new hand with the own seat dealing, dice 3 and 4: the head at 68.
  void StartHand(int dealer = kOwn) { Send(Packet(4, dealer, {3, 4}, 16, 1)); }
  // Three rounds of four and one more each, the dealer a fifth: own, right, top, left.
  void Deal() {
    for (int round = 0; round < 3; ++round)
      for (int seat : {kOwn, kRight, kTop, kLeft})
        Send(Packet(1, seat, {0x81 + round, 0x41 + round, 0x21 + round, 0x11 + round}));
    for (int seat : {kOwn, kRight, kTop, kLeft}) Send(Packet(5, seat, {0, 0, 0, 0x85}));
    Send(Packet(5, kOwn, {0, 0, 0, 0x27}));
  }
  std::vector<test::PacketBytes> Sent() {
    std::vector<test::PacketBytes> sent;
    GamePacket packet;
    while (client.net.SendRing.TakePacket(packet)) sent.push_back(packet.bytes());
    return sent;
  }
  Picture Resource(int id) { return LoadResourcePicture(client, id); }
  void PlayDozenTurns();
  Client client{std::make_unique<ManualClock>()};
  Data& d = client.data;
  MainForm& f = client.main_form;
};

class HandTest : public ::testing::Test, public HandTable {};

TEST(WallHeadTest, TheDiceAndTheDealerPlaceTheHead) {
  struct Case {
    int16_t d1, d2;
    int dealer;
    int16_t head;
  } cases[] = {{3, 4, 0, 68}, {3, 4, 3, 38}, {1, 1, 2, 92}, {1, 1, 1, 62},
               {6, 6, 1, 12}, {1, 2, 0, 64}, {1, 2, 3, 34}, {6, 5, 2, 12}};
  for (const Case& c : cases)
    EXPECT_EQ(WallHeadFromDice(c.d1, c.d2, c.dealer), c.head) << c.d1 << c.d2 << c.dealer;
}

TEST_F(HandTest, ANewHandBuildsTheWallMarksTheDealerAndShowsTheBadges) {
  d.HandsDealt = 0;
  d.SeenCnt[2][5] = 4;
  client.heartbeat.HeldItemPacket1[3] = 45;
  client.heartbeat.HoldItem386 = true;
  client.heartbeat.HeldItemPacket2[3] = 45;
  StartHand(kTop);
  EXPECT_EQ(client.custom[2].Dealer, -1);
  EXPECT_EQ(d.WallHead, 8);  // 68 + 60
  EXPECT_EQ(d.WallTail, 6);
  EXPECT_EQ(d.juNum, 1);
  EXPECT_TRUE(d.HandRunning && d.HandRecordPending && d.LeaveResetPending);
  EXPECT_EQ(d.HandsDealt, 1);
  EXPECT_EQ(d.SeenCnt[2][5], 0);
  EXPECT_EQ(d.DiceDoubling, 1);
  EXPECT_EQ(f.lblDifen.Caption(), "7");
  EXPECT_TRUE(f.lblDifen.Visible() && f.imgBeishu.Visible() && f.imgsezi[1].Visible());
  EXPECT_EQ(f.imgsezi[0].Picture(), Resource(602));
  EXPECT_EQ(f.imgsezi[1].Picture(), Resource(603));
  EXPECT_TRUE(f.ZhiNan.Visible() && f.Host.Visible() && f.Zhuang.Visible());
  for (int i = 0; i <= 4; ++i) {
    EXPECT_FALSE(f.Operation[i].Visible() || f.Operation[i].Enabled());
    EXPECT_EQ(f.Operation[i].Picture(), Resource(141 + 3 * i));
  }
  for (int p = 0; p < kWallPositions; ++p) ASSERT_TRUE(f.MJ_Image[p].Visible()) << p;
  // The parked item packet goes out with the own seat; the held one stays.
  auto sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0][6], kOwn);
  EXPECT_EQ(client.heartbeat.HeldItemPacket1[3], 0);
  EXPECT_EQ(client.heartbeat.HeldItemPacket2[3], 45);
  // Without dice doubling the badge and the small dice stay hidden; a die of 0 counts as 1.
  Send(Packet(4, kOwn, {0, 4}));
  EXPECT_FALSE(f.lblDifen.Visible() || f.imgsezi[0].Visible() || f.imgBeishu.Visible());
  EXPECT_EQ(d.WallHead, 8);  // dice 1 and 4: m 0, 2 x 4
  EXPECT_EQ(d.juNum, 2);
}

// A new hand closes the exit dialog the player has open; one that is only
// loaded, hidden (by the boss key, say), stays as it is.
TEST_F(HandTest, ANewHandUnloadsTheExitDialogOnlyWhenItIsShown) {
  ShowExitDialog(client);
  client.frmExit.Hide();
  StartHand();
  EXPECT_TRUE(client.frmExit.Loaded());
  EXPECT_FALSE(client.frmExit.Visible());
  ShowExitDialog(client);
  ASSERT_TRUE(client.frmExit.Visible());
  StartHand();
  EXPECT_FALSE(client.frmExit.Loaded());
  EXPECT_FALSE(client.frmExit.Visible());
}

TEST_F(HandTest, ASpectatorsNewHandClearsTheTableItselfAndTheFaceUpTileComes) {
  client.custom[2].ConcealedCount = 5;
  StartHand();
  EXPECT_EQ(client.custom[2].ConcealedCount, 5);  // a seated player's table was cleared at ready
  EXPECT_FALSE(d.TableCleared);
  d.WatchMode = true;
  StartHand();
  EXPECT_EQ(client.custom[2].ConcealedCount, 0);
  EXPECT_EQ(client.custom[0].Dealer, -1);  // marked after the clearing
  EXPECT_TRUE(d.TableCleared);
  Send(Packet(14, kOwn, {0, 0x77, 0, 0x25}));
  EXPECT_EQ(d.FaceUpTile, 0x25);
  EXPECT_EQ(d.WildTile, 255);
}

TEST_F(HandTest, ANewHandWithoutItsDealerAtTheTableEndsTheProgram) {
  EXPECT_THROW(StartHand(0x0F), ProgramEnded);
  ASSERT_FALSE(client.forms.Shown().empty());
  EXPECT_EQ(client.forms.Shown().back().prompt, "有玩家退出，游戏结束！");
}

// The lobby's leave (0x400) arrives while the wall is being built: the client
// waits for the lobby's next connect request instead of ending.
TEST_F(HandTest, ALobbyLeaveDuringTheWallAnimationStopsTheNewHand) {
  test::TempDir folder;
  client.sound.program_folder = folder.path().string();
  client.loop.Post([&] { LobbyWndProc(client, {kLobbyIdle, 0, 0}); });
  EXPECT_NO_THROW(StartHand());
  EXPECT_TRUE(client.forms.Shown().empty());
  EXPECT_EQ(client.custom[0].SeatWind, 0);  // the leave forgot the seats
  for (const PlayerHand& seat : client.custom) EXPECT_EQ(seat.Dealer, 0);
  EXPECT_FALSE(d.HandRunning);
  EXPECT_FALSE(f.Host.Visible() || f.lblDifen.Visible());
}

TEST_F(HandTest, FloatBetsOpenAreChosenAndShownAtEachSeat) {
  StartHand();
  Send(Packet(8, kOwn, {0, 1}));
  EXPECT_TRUE(d.PiaoCountdownOn && d.PiaoChoicePending);
  EXPECT_EQ(d.Countdown, 5);
  EXPECT_EQ(f.Number.Caption(), "5");
  EXPECT_EQ(f.Number.ForeColor(), 0xFF00u);
  EXPECT_EQ(f.lbl_playerName[2].Caption(), "西家");
  for (int i = 0; i <= 3; ++i) {
    EXPECT_TRUE(f.img_piaoOpt[i].Visible());
    EXPECT_EQ(f.img_piaoOpt[i].Picture(), Resource(431 + 2 * i));
  }
  // Not logged in: the click does nothing.
  d.LoggedIn = false;
  f.img_piaoOpt.Click(2);
  EXPECT_TRUE(f.img_piaoOpt[2].Visible());
  EXPECT_TRUE(Sent().empty());
  d.LoggedIn = true;
  f.img_piaoOpt.Click(2);
  EXPECT_FALSE(f.img_piaoOpt[0].Visible() || f.Number.Visible() || f.Time_Img.Visible());
  EXPECT_FALSE(d.PiaoCountdownOn || d.PiaoChoicePending);
  auto sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  const test::PacketFields bet = test::ParseFields(sent[0]);
  EXPECT_EQ(bet.cmd, 8);
  EXPECT_EQ(bet.seat, kOwn);
  EXPECT_EQ(bet.value, (std::array<int, 4>{0, 0, 0, 3}));
  // The own bet shows no bubble; another seat's shows one for a second.
  const double start = client.clock->Now();
  Send(Packet(8, kOwn, {0, 2, 0, 3}));
  EXPECT_EQ(f.lbl_piaoNum[0].Caption(), "3");
  EXPECT_EQ(client.clock->Now(), start);
  bool bubble_seen = false;
  f.Words.SetPicture(nullptr);
  client.loop.Post([&] { bubble_seen = f.Speak[2].Visible() && f.Words.Visible(); });
  Send(Packet(8, kRight, {0, 2, 0, 5}));
  EXPECT_TRUE(bubble_seen);
  EXPECT_EQ(f.Words.Picture(), Resource(425));
  EXPECT_DOUBLE_EQ(f.Speak[2].Left(), 936);
  EXPECT_FALSE(f.Speak[2].Visible() || f.Words.Visible());
  EXPECT_GE(client.clock->Now() - start, 1.0);
  EXPECT_EQ(f.lbl_piaoNum[3].Caption(), "5");
}

TEST_F(HandTest, TheDealGivesEachSeatItsTilesInPacketOrder) {
  StartHand();
  Deal();
  struct Case {
    int seat;
    int16_t first_image, thirteenth_image, count;
  } cases[] = {{0, 68, 116, 14}, {3, 72, 117, 13}, {2, 76, 118, 13}, {1, 80, 119, 13}};
  for (const Case& c : cases) {
    const PlayerHand& hand = client.custom[c.seat];
    EXPECT_EQ(hand.ConcealedCount, c.count) << c.seat;
    if (c.seat != 0) {
      EXPECT_EQ(hand.Slots[4].ImageIndex, c.first_image) << c.seat;
      EXPECT_EQ(hand.Slots[5].ImageIndex, c.first_image + 1) << c.seat;
      EXPECT_EQ(hand.Slots[8].ImageIndex, c.first_image + 16) << c.seat;
      EXPECT_EQ(hand.Slots[16].ImageIndex, c.thirteenth_image) << c.seat;
      EXPECT_EQ(f.MJ_Image[c.first_image].Picture(), Resource(201 + 36 * c.seat + 7));
    }
  }
  // The own hand is sorted: dots, characters, bamboo, honours.
  const PlayerHand& own = client.custom[0];
  EXPECT_EQ(own.Slots[4].Code, 0x81);
  EXPECT_EQ(own.Slots[7].Code, 0x85);
  EXPECT_EQ(own.Slots[17].Code, 0x13);
  EXPECT_EQ(f.MJ_Image[own.Slots[4].ImageIndex].Picture(), Resource(201 + 144 + 27));
  EXPECT_EQ(d.WallHead, 1);
  EXPECT_EQ(d.WallTail, 66);
}

TEST_F(HandTest, TurnPromptsOfferClaimsAndStartTheCountdown) {
  StartHand();
  Deal();
  struct Case {
    int mask;
    std::array<int16_t, 5> offered;
    int16_t allowed_after;
    bool expects_click;
  } cases[] = {
      {1 | 8, {0, 2, 0, 0, 2}, 0, true},
      {16 | 64 | 128, {0, 0, 2, 2, 0}, 16 | 64 | 128, true},
      {4 | 2, {2, 0, 0, 0, 0}, 16 | 64 | 128, true},
      {0, {0, 0, 0, 0, 0}, 16 | 64 | 128, true},
  };
  for (const Case& c : cases) {
    d.TileClickExpected = false;
    Send(Packet(6, kOwn, {c.mask}, 100, 12));
    EXPECT_EQ(d.OfferedClaims, c.offered) << c.mask;
    EXPECT_EQ(d.AllowedClaims, c.allowed_after) << c.mask;
    EXPECT_EQ(d.TileClickExpected, c.expects_click);
    EXPECT_TRUE(d.OwnTurnPrompt);
    EXPECT_EQ(d.Countdown, 12);
    for (int i = 0; i <= 4; ++i) {
      EXPECT_TRUE(f.Operation[i].Visible());
      if (c.offered[i] == 2) {
        EXPECT_EQ(f.Operation[i].Picture(), Resource(142 + 3 * i));
      }
    }
  }
  EXPECT_DOUBLE_EQ(f.Time_Img.Top(), f.Imgwealth.Top() + 200);
  EXPECT_DOUBLE_EQ(f.Number.Left(), f.Time_Img.Left() + 48);
  EXPECT_TRUE(client.heartbeat.TickEnabled[kTurnCountdown]);
  // Another seat's turn puts the clock at that seat; the boss key makes it one second.
  d.BossKey = true;
  Send(Packet(6, kLeft, {0xFF}, 100, 12));
  EXPECT_FALSE(d.OwnTurnPrompt);
  EXPECT_EQ(d.Countdown, 1);
  EXPECT_EQ(f.Number.Caption(), "1");
  EXPECT_DOUBLE_EQ(f.Time_Img.Top(), f.Host.Top() + f.Host.Height() + 20);
  // A spectator is offered nothing.
  d.WatchMode = true;
  d.OfferedClaims.fill(0);
  Send(Packet(6, kOwn, {0xFF}, 100, 12));
  EXPECT_EQ(d.OfferedClaims, (std::array<int16_t, 5>{}));
  EXPECT_FALSE(d.OwnTurnPrompt);
}

TEST_F(HandTest, ClaimsRollTheKongDieAndCountTheSeenTiles) {
  StartHand();
  Deal();
  Send(Packet(2, kLeft, {0, 0, 0, 0x43}));
  const int16_t discard = d.LastTileImage;
  ASSERT_GE(discard, 0);
  EXPECT_EQ(d.SeenCnt[2][3], 1);
  Send(Packet(7, kTop, {16, 0x43, 0x43, 0x43}, 16, 9));
  EXPECT_EQ(d.KongDie, 9);
  EXPECT_EQ(d.SeenCnt[2][3], 4);
  Send(Packet(7, kTop, {8, 0x22, 0x22, 0x22}));
  Send(Packet(7, kTop, {32, 0x11, 0x11, 0x11}));
  Send(Packet(7, kTop, {4, 0x0F, 0xFF, 0x11}));  // codes that name no tile count nothing
  EXPECT_EQ(d.SeenCnt[1][2], 2);
  EXPECT_EQ(d.SeenCnt[0][1], 0);
  // A spectator counts nothing and hands the claim to the spectator view.
  d.WatchMode = true;
  const int16_t meld_end = client.custom[3].MeldEnd;
  Send(Packet(7, kRight, {8, 0x22, 0x22, 0x22}));
  Send(Packet(2, kLeft, {0, 0, 0, 0x22}));
  EXPECT_EQ(d.SeenCnt[1][2], 2);
  EXPECT_EQ(client.custom[3].MeldEnd, meld_end + 3);
}

// A dozen draws and discards around the table, a kong of a discard among them.
void HandTable::PlayDozenTurns() {
  int turn = 0;
  for (int round = 0; round < 4; ++round)
    for (int seat : {kRight, kTop, kLeft}) {
      if (turn > 0 && turn != 4) Send(Packet(5, seat, {0, 0, 0, 0}));
      if (turn == 4) {
        // The top seat makes a kong of the right seat's discard and draws its
        // replacement.
        Send(Packet(7, seat, {16, 0x84, 0x84, 0x84}, 16, 3));
        d.DrawFromHead = false;
        d.KongDrawPending = true;
        Send(Packet(5, seat, {0, 0, 0, 0}));
        EXPECT_EQ(client.custom[2].Slots[17].ImageIndex, 62);  // three stacks in from the tail
        EXPECT_EQ(d.WallTail, 66);
      }
      Send(Packet(6, seat, {}, 100, 8));
      Send(Packet(2, seat, {0, 0, 0, 0x81 + turn % 9}));
      Send(Packet(6, kOwn, {1 | 8}, 100, 8));
      ++turn;
    }
}

TEST_F(HandTest, ADozenDiscardsSettleIntoTheirRows) {
  StartHand();
  Deal();
  PlayDozenTurns();
  // The right-hand seat discarded first (the dealer holds fourteen): four each,
  // one of the right seat's taken by the kong, whose three tiles left the top
  // seat's concealed hand.
  EXPECT_EQ(client.custom[3].ConcealedCount, 12);
  EXPECT_EQ(client.custom[2].ConcealedCount, 10);
  EXPECT_EQ(client.custom[1].ConcealedCount, 13);
  EXPECT_EQ(client.RightDiscardCount, 3);
  // Every other discard but the last lies in its row: three right, four top, three left.
  EXPECT_EQ(client.custom[3].DiscardY, client.custom[3].DiscardOriginY - 3 * 18);
  EXPECT_EQ(client.custom[2].DiscardX, client.custom[2].DiscardOriginX - 4 * 30);
  EXPECT_EQ(client.custom[1].DiscardY, client.custom[1].DiscardOriginY + 3 * 18);
  EXPECT_EQ(d.LastDiscardSeat, 1);
  EXPECT_DOUBLE_EQ(f.MJ_Image[d.LastTileImage].Width(), 48);
  int seen = 0;
  for (const auto& suit : d.SeenCnt)
    for (int16_t n : suit) seen += n;
  EXPECT_EQ(seen, 15);
  EXPECT_EQ(d.SeenCnt[3][1], 2);
  EXPECT_EQ(d.SeenCnt[3][4], 4);
  // Head: one past the deal, ten draws from it.
  EXPECT_EQ(d.WallHead, 11);
}

TEST_F(HandTest, ScreenshotsInTheMiddleOfAHand) {
  test::UseHeadlessSdl();
  for (float scale : {1.0f, 0.78125f}) {
    auto t = std::make_unique<HandTable>(scale);
    t->StartHand();
    t->Deal();
    t->PlayDozenTurns();
    const std::string name = scale < 1 ? "hand_800.png" : "hand_1024.png";
    const Picture shot = test::ScreenShot(t->client, name);
    ASSERT_TRUE(shot) << name;
    // The own hand's tiles and the last discard show their faces where they lie.
    const PlayerHand& own = t->client.custom[0];
    ASSERT_GT(own.ConcealedCount, 0);
    for (int k = own.FirstConcealed; k < own.FirstConcealed + own.ConcealedCount; ++k)
      EXPECT_TRUE(test::ShowsPicture(*shot, t->f.MJ_Image[own.Slots[k].ImageIndex])) << k;
    EXPECT_TRUE(test::ShowsPicture(*shot, t->f.MJ_Image[t->d.LastTileImage]));
    // A face of another suit in the first tile's place is told apart.
    const TileSlot& first_slot = own.Slots[own.FirstConcealed];
    const ImageControl& first = t->f.MJ_Image[first_slot.ImageIndex];
    ImageControl other(&t->f.Pic1);
    other.Move(first.Left(), first.Top(), first.Width(), first.Height());
    other.SetStretch(true);
    for (int k = own.FirstConcealed; k < own.FirstConcealed + own.ConcealedCount; ++k) {
      if (TileSuit(own.Slots[k].Code) == TileSuit(first_slot.Code)) continue;
      other.SetPicture(t->f.MJ_Image[own.Slots[k].ImageIndex].Picture());
      EXPECT_FALSE(test::ShowsPicture(*shot, other)) << k;
    }
  }
}

}  // namespace
}  // namespace slvn
