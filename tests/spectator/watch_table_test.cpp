#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "dispatch/deal_msg.h"
#include "dispatch/hand_start.h"
#include "settlement/record_boards.h"
#include "shell/client.h"
#include "shell/net/packet_io.h"
#include "spectator/spectator.h"
#include "support/fake_video.h"
#include "support/headless.h"
#include "support/packet_builder.h"
#include "support/screen_shot.h"
#include "support/table_layout.h"
#include "support/temp_dir.h"
#include "support/user_details_builder.h"
#include "support/wav_bytes.h"
#include "table/tile_code.h"
#include "video/video_chat.h"

// The tile messages below name only the fields that matter to each case.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace slvn {
namespace {

// The watched player sits South (4): West (2) is left, North (1) across,
// East (8) right.
constexpr int kWatched = 4, kLeft = 2, kTop = 1, kRight = 8;

struct Tiles40 {
  int seat = kWatched;
  int discards = 0;
  int head = 0;
  int tail = 119;
  std::vector<int> shown;
  std::vector<int> concealed;
};

test::PacketBytes SeatTilesPacket(const Tiles40& t) {
  test::PacketFields fields;
  fields.cmd = 40;
  fields.seat = t.seat;
  fields.extra2 = t.discards;
  fields.value = {0, t.head, 0, t.tail};
  test::PacketBytes packet = test::BuildPacket(fields);
  size_t pair = 18;  // empty pairs may stand anywhere
  for (int tile : t.shown) {
    if (pair + 1 >= 64) break;
    packet[pair] = 0x2F;  // only the high nibble counts
    packet[pair + 1] = static_cast<uint8_t>(tile);
    pair += 2;
  }
  for (int tile : t.concealed) {
    if (pair + 1 >= 64) break;
    packet[pair] = 0x10;
    packet[pair + 1] = static_cast<uint8_t>(tile);
    pair += 2;
  }
  return packet;
}

class WatchTable {
 public:
  explicit WatchTable(float scale = 1.0f) {
    test::LayOutTable(client, scale);
    d.WatchMode = true;
    d.LoggedIn = true;
    client.Detail[0].userid = 1002;
  }
  void Send(const test::PacketBytes& packet) {
    StoreArrivedBytes(client, packet);
    ReadPacket(client);
    Deal_MSG(client);
    CheckRecords();
  }
  void Summary(int dealer = kWatched, int d1 = 3, int d2 = 4, int wild = 0x29, int face_up = 0x43) {
    Send(test::BuildPacket(41, dealer, {d1, d2, wild, face_up}));
  }
  // The four players' details, in the order given; the watched player
  // (id 1002) at seat bit `watched`.
  void Seat(std::array<int, 4> order = {kWatched, kLeft, kTop, kRight}, int watched = kWatched) {
    for (int seat : order) {
      test::UserDetailsFields p;
      p.seat = seat;
      p.name = std::string("玩家") + std::to_string(seat);
      p.account = "acct" + std::to_string(seat);
      p.picture = seat == 2 ? "w3" : "m" + std::to_string(seat);
      p.title = "侠";
      p.grade = "新手";
      p.coins = 1000 * static_cast<uint64_t>(seat);
      p.dialect = "sc";
      p.voice = "a";
      p.userid = seat == watched ? 1002 : 2000 + static_cast<uint64_t>(seat);
      Send(test::BuildUserDetails(p));
    }
  }
  // A join with the given tiles: the other seats send empty messages.
  void Join(std::vector<Tiles40> seats, int d1 = 3, int d2 = 4) {
    Summary(kWatched, d1, d2);
    Seat();
    for (const int seat : {kWatched, kLeft, kTop, kRight})
      if (std::none_of(seats.begin(), seats.end(),
                       [&](const Tiles40& t) { return t.seat == seat; }))
        seats.push_back({.seat = seat});
    for (const Tiles40& t : seats) Send(SeatTilesPacket(t));
  }
  // Every image a record holds is a tile image or none, every count lies
  // inside the record and no tile image stands for two hidden tiles.
  void CheckRecords() {
    std::set<int> held;
    for (int s = 0; s < 4; ++s) {
      const PlayerHand& h = client.custom[s];
      for (const TileSlot& slot : h.Slots) {
        EXPECT_GE(slot.ImageIndex, -1);
        EXPECT_LT(slot.ImageIndex, 120);
      }
      for (int16_t image : d.SetAsideImages[s]) {
        EXPECT_GE(image, 0);
        EXPECT_LT(image, 120);
      }
      ASSERT_GE(h.FirstConcealed, 0);
      ASSERT_GE(h.ConcealedCount, 0);
      ASSERT_LE(h.FirstConcealed + h.ConcealedCount, PlayerHand::kSlotCount);
      for (int k = h.FirstConcealed; k < h.FirstConcealed + h.ConcealedCount; ++k)
        EXPECT_TRUE(held.insert(h.Slots[k].ImageIndex).second) << "image held twice, seat " << s;
    }
    EXPECT_GE(client.RightDiscardCount, 0);
    EXPECT_LE(client.RightDiscardCount, 24);
    EXPECT_GE(d.LastTileImage, -1);
    EXPECT_LT(d.LastTileImage, 120);
  }
  double Now() const { return client.clock->Now(); }
  ImageControl& Tile(int i) { return f.MJ_Image[i]; }
  // Whether image a lies in front of image b.
  bool InFront(int a, int b) {
    const auto& c = f.Pic1.Children();
    return std::find(c.begin(), c.end(), &Tile(a)) > std::find(c.begin(), c.end(), &Tile(b));
  }
  Picture Face(int picture) { return LoadResourcePicture(client, 201 + picture); }
  bool Shows(int image, int picture) {
    return Tile(image).Visible() && Tile(image).Picture() == Face(picture);
  }

  Client client{std::make_unique<ManualClock>()};
  Data& d = client.data;
  MainForm& f = client.main_form;
};

class WatchTableTest : public ::testing::Test, public WatchTable {};

TEST_F(WatchTableTest, TheSummaryEmptiesTheTableAndKeepsTheHandsValues) {
  struct Case {
    int seat;
    const char* wind;
  } cases[] = {{1, "北"}, {2, "西"}, {4, "南"}, {8, "东"}, {0, "北"}, {0x18, "东"}};
  for (const Case& c : cases) {
    d.ImagesUsed = 50;
    d.SeatTilesCount = 2;
    Tile(7).SetVisible(true);
    Summary(c.seat, 6, 2, 0x29, 0x43);
    EXPECT_EQ(f.Zhuang.Caption(), c.wind) << c.seat;
    EXPECT_EQ(d.WatchedSeat, c.seat & 15);
    EXPECT_FALSE(Tile(7).Visible());
    EXPECT_EQ(d.ImagesUsed, 0);
    EXPECT_EQ(d.SeatTilesCount, 0);
  }
  EXPECT_EQ(d.WildTile, 0x29);
  EXPECT_EQ(d.FaceUpTile, 0x43);
  EXPECT_EQ(d.DiceValues, (std::array<int16_t, 2>{6, 2}));
  EXPECT_TRUE(d.AnNiuState[2]);
  for (int i = 0; i <= 2; ++i) EXPECT_FALSE(f.AnNiu[i].Enabled());
  EXPECT_TRUE(f.Host.Visible());
  EXPECT_TRUE(f.Zhuang.Visible());
}

TEST(WatchTableSetup, TheTableTurnsToTheWatchedPlayerWhateverTheOrder) {
  struct Case {
    int watched;
    std::array<int, 4> order;  // arrival of the four details
    int dealer, d1, d2;
    std::array<uint8_t, 4> winds;  // by display seat
    int dealer_seat;
    int16_t head, tail;
  } cases[] = {
      {4, {4, 2, 1, 8}, 4, 3, 4, {4, 2, 1, 8}, 0, 68, 66},
      {8, {1, 2, 4, 8}, 1, 6, 6, {8, 4, 2, 1}, 3, 72, 70},
      {1, {2, 8, 1, 4}, 2, 0, 9, {1, 8, 4, 2}, 3, 42, 40},  // dice outside 1..6 clamped
      {2, {8, 4, 2, 1}, 8, 1, 1, {2, 1, 8, 4}, 2, 92, 90},
  };
  for (const Case& c : cases) {
    WatchTable t;
    t.Summary(c.dealer, c.d1, c.d2);
    t.Seat(c.order, c.watched);
    for (int r = 0; r < 4; ++r) {
      const PlayerHand& seat = t.client.custom[r];
      EXPECT_EQ(seat.SeatWind, c.winds[r]) << c.watched << " " << r;
      EXPECT_EQ(seat.name, "acct" + std::to_string(c.winds[r]));
      EXPECT_EQ(seat.Dealer, r == c.dealer_seat ? -1 : 0);
      EXPECT_EQ(t.f.Nid[r].Caption(), "[侠] 玩家" + std::to_string(c.winds[r]));
      EXPECT_EQ(t.f.Cash[r].Caption(), std::to_string(1000 * c.winds[r]) + "金币");
      EXPECT_EQ(t.f.Level[r].Caption(), "新手");
    }
    EXPECT_EQ(t.client.Detail[0].userid, 1002);
    EXPECT_EQ(t.d.WallHead, c.head);
    EXPECT_EQ(t.d.WallTail, c.tail);
    EXPECT_TRUE(t.f.ZhiNan.Visible());
    // Portraits by the seating rule: "m1".."m8" the men's 0-7, "w3" the
    // third woman's, 12; on the table and on both boards.
    ScoreForm& score = LoadScoreForm(t.client);
    HeroForm& hero = LoadHeroForm(t.client);
    for (int r = 0; r < 4; ++r) {
      const Picture portrait =
          LoadResourcePicture(t.client, c.winds[r] == 2 ? 391 + 12 : 191 + c.winds[r] - 1);
      EXPECT_EQ(t.f.Tou[r].Picture(), portrait) << r;
      EXPECT_EQ(score.Tou[r].Picture(), portrait) << r;
      EXPECT_EQ(hero.Tou[r].Picture(), portrait) << r;
      EXPECT_EQ(score.ID[r].Caption(), "玩家" + std::to_string(c.winds[r]));
      EXPECT_EQ(hero.ID[r].Caption(), "玩家" + std::to_string(c.winds[r]));
    }
  }
}

TEST(WatchTableSetup, WithoutTheWatchedIdTheFirstPlayerIsWatched) {
  WatchTable t;
  t.Summary(kTop);
  t.Seat({kLeft, kTop, kRight, kWatched}, /*watched=*/0);
  EXPECT_EQ(t.client.custom[0].SeatWind, kLeft);
  EXPECT_EQ(t.client.custom[2].SeatWind, kRight);
  EXPECT_EQ(t.client.custom[1].Dealer, -1);
}

TEST_F(WatchTableTest, EachSeatsTilesComeOffTheWallIntoPilesMeldsAndHand) {
  // Dealer at the bottom, dice 3 and 4: the head at 68, the wild tile 3 bamboo.
  Summary(kWatched, 3, 4, 0x23);
  Seat();
  ASSERT_EQ(d.WallHead, 68);
  const PlayerHand& me = client.custom[0];
  Send(SeatTilesPacket(
      {.shown = {0x85, 0x15, 0x23, 0x85, 0x85}, .concealed = {0x11, 0x12, 0x13, 0x14}}));
  // The red dragon and the wild tile take the next images, in that order.
  EXPECT_EQ(d.SetAsideImages[0][0], 68);
  EXPECT_EQ(d.SetAsideImages[0][4], 69);
  EXPECT_EQ(me.RedDragonCount, 1);
  EXPECT_EQ(me.WildKongCount, 1);
  EXPECT_DOUBLE_EQ(Tile(69).Left(), me.HandX + 45 - 2);
  EXPECT_TRUE(Shows(68, 4));
  // The pung lies where a claimed meld would: slots 1-3, after the two piles.
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(me.Slots[k].State, 3);
    EXPECT_EQ(me.Slots[k].Code, 0x85);
    EXPECT_EQ(me.Slots[k].ImageIndex, 69 + k);
    EXPECT_DOUBLE_EQ(Tile(69 + k).Left(), me.HandX + (k + 1) * 43.0);
  }
  EXPECT_EQ(me.MeldEnd, 6);
  // The concealed tiles stand face down behind the melds.
  EXPECT_EQ(me.FirstConcealed, 7);
  EXPECT_EQ(me.ConcealedCount, 4);
  EXPECT_EQ(me.Slots[7].Code, 0x11);
  EXPECT_TRUE(Shows(me.Slots[7].ImageIndex, 7));
  EXPECT_DOUBLE_EQ(Tile(me.Slots[7].ImageIndex).Left(), me.HandX + 7 * 48.0);
  EXPECT_EQ(d.ImagesUsed, 9);
  EXPECT_EQ(d.TileWidth[0], 48);

  // The top seat: a kong, its fourth over the middle of the three.
  Send(SeatTilesPacket({.seat = kTop, .shown = {0x44, 0x44, 0x44, 0x44, 0x21}}));
  const PlayerHand& top = client.custom[2];
  EXPECT_EQ(top.Slots[2].ImageIndex, 77);
  EXPECT_EQ(top.Slots[4].ImageIndex, 79);
  EXPECT_DOUBLE_EQ(Tile(80).Left(), Tile(78).Left());
  EXPECT_DOUBLE_EQ(Tile(80).Top(), Tile(78).Top() - 17);
  EXPECT_TRUE(InFront(80, 78));
  // The chow tile after the kong takes the next slot.
  EXPECT_EQ(top.Slots[5].ImageIndex, 81);
  EXPECT_EQ(top.Slots[5].State, 0);
  EXPECT_EQ(top.MeldEnd, 8);
}

// The watched seat's piles, the pung it joined with, the tile it adds to that
// pung and a pung it claims later each have a place of their own.
TEST_F(WatchTableTest, TheWatchedSeatsPilesAndMeldsShareNoPlace) {
  Join({{.seat = kWatched,
         .head = 40,
         .shown = {0x15, 0x29, 0x85, 0x85, 0x85},
         .concealed = {0x11, 0x12, 0x13, 0x14, 0x88, 0x88, 0x16, 0x17}},
        {.seat = kLeft, .head = 40, .concealed = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}}});
  const PlayerHand& me = client.custom[0];
  Send(test::BuildPacket(5, kWatched, {0, 0, 0, 0x85}));
  Send(test::BuildPacket(7, kWatched, {64, 0x85, 0x85, 0x85}));
  const int added = me.Slots[me.MeldEnd - 2].ImageIndex;
  Send(test::BuildPacket(2, kWatched, {0, 0, 0, 0x16}));
  Send(test::BuildPacket(5, kLeft, {0, 0, 0, 0}));
  Send(test::BuildPacket(2, kLeft, {0, 0, 0, 0x88}));
  Send(test::BuildPacket(7, kWatched, {8, 0x88, 0x88, 0x88}));
  ASSERT_EQ(me.MeldEnd, 9);
  std::vector<int> row = {d.SetAsideImages[0][0], d.SetAsideImages[0][4]};
  for (int k = 1; k <= 6; ++k) row.push_back(me.Slots[k].ImageIndex);
  for (size_t k = 0; k < row.size(); ++k)
    EXPECT_DOUBLE_EQ(Tile(row[k]).Left(), me.HandX + 43.0 * k) << k;
  EXPECT_DOUBLE_EQ(Tile(added).Left(), Tile(me.Slots[2].ImageIndex).Left());
  EXPECT_TRUE(Shows(added, PictureIndex(0, 0x85)));
}

// A seat's second message adds to its record: its melds come behind the
// first one's and the concealed tiles already standing move up to make room.
TEST_F(WatchTableTest, ASecondMessageForASeatPutsItsTilesBehindTheFirstOnes) {
  Summary(kWatched, 3, 4, 0x23);
  Seat();
  const PlayerHand& me = client.custom[0];
  Send(SeatTilesPacket({.shown = {0x41, 0x41, 0x41}, .concealed = {0x11, 0x12}}));
  Send(SeatTilesPacket({.shown = {0x85, 0x85, 0x85}, .concealed = {0x13}}));
  // Images 68-70 the first pung, 71-72 the first concealed tiles, 73-75 the
  // second pung, 76 the last concealed tile.
  const int codes[] = {0x41, 0x41, 0x41, 0x85, 0x85, 0x85};
  for (int k = 1; k <= 6; ++k) {
    EXPECT_EQ(me.Slots[k].State, 3) << k;
    EXPECT_EQ(me.Slots[k].Code, codes[k - 1]) << k;
    EXPECT_EQ(me.Slots[k].ImageIndex, k <= 3 ? 67 + k : 69 + k) << k;
    EXPECT_DOUBLE_EQ(Tile(me.Slots[k].ImageIndex).Left(), me.HandX + (k + 1) * 43.0) << k;
  }
  EXPECT_EQ(me.MeldEnd, 9);
  EXPECT_EQ(me.FirstConcealed, 10);
  EXPECT_EQ(me.ConcealedCount, 3);
  const int concealed[][2] = {{0x11, 71}, {0x12, 72}, {0x13, 76}};
  for (int j = 0; j < 3; ++j) {
    const TileSlot& slot = me.Slots[10 + j];
    EXPECT_EQ(slot.Code, concealed[j][0]) << j;
    EXPECT_EQ(slot.ImageIndex, concealed[j][1]) << j;
    EXPECT_DOUBLE_EQ(Tile(slot.ImageIndex).Left(), me.HandX + (10 + j) * 48.0) << j;
  }
  for (int k = 7; k <= 9; ++k) EXPECT_EQ(me.Slots[k].ImageIndex, -1) << k;
}

TEST_F(WatchTableTest, ARunBesideAKongAndTheRedDragonAsWildTile) {
  Summary(kWatched, 3, 4, 0x15);
  Seat();
  Send(SeatTilesPacket({.shown = {0x84, 0x83, 0x84, 0x85, 0x84, 0x84, 0x15}}));
  const PlayerHand& me = client.custom[0];
  EXPECT_EQ(me.RedDragonCount, 1);
  EXPECT_EQ(me.WildKongCount, 0);
  // 3 4 4 4 4 5: the middle four count as a pung and its fourth tile.
  const int states[] = {0, 3, 3, 3, 0};
  const int codes[] = {0x83, 0x84, 0x84, 0x84, 0x85};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(me.Slots[1 + k].State, states[k]) << k;
    EXPECT_EQ(me.Slots[1 + k].Code, codes[k]) << k;
  }
  EXPECT_EQ(me.MeldEnd, 8);
  EXPECT_EQ(me.FirstConcealed, 10);
}

TEST_F(WatchTableTest, TheLeftSeatsRedPileStacksUpward) {
  Summary();
  Seat();
  Send(SeatTilesPacket({.seat = kLeft, .shown = {0x15, 0x15, 0x15}, .concealed = {0x11, 0x11}}));
  const auto& pile = d.SetAsideImages[1];
  EXPECT_EQ(pile[0], 68);
  EXPECT_TRUE(InFront(pile[2], pile[1]));
  EXPECT_TRUE(InFront(pile[1], pile[0]));
  const PlayerHand& left = client.custom[1];
  EXPECT_DOUBLE_EQ(Tile(pile[2]).Top(), left.HandY - 36);
  EXPECT_TRUE(InFront(left.Slots[5].ImageIndex, left.Slots[4].ImageIndex));
}

TEST(WatchTableWall, TheFourthMessageCompletesTheWall) {
  struct Case {
    int head;                  // dice 6 and 6 with the dealer at the bottom: the head at 102
    std::array<int, 4> heads;  // value 1 of each message
    std::array<int, 4> tails;  // value 3
    int16_t head_taken, tail_mark, wall_tail;
    int hidden_image;  // an image below the wall's new tail that stays hidden, -1 none
  } cases[] = {
      {102, {40, 42, 41, 42}, {90, 88, 88, 89}, 42, 88, 100 + 91 - 120, 70},
      {102, {20, 20, 20, 20}, {89, 89, 89, 89}, 20, 89, 100 + 90 - 120, -1},
  };
  for (const Case& c : cases) {
    WatchTable t;
    Client& client = t.client;
    Data& d = t.d;
    MainForm& f = t.f;
    t.Summary(kWatched, 6, 6);
    t.Seat();
    ASSERT_EQ(d.WallHead, c.head);
    for (int i = 0; i < 4; ++i)
      t.Send(SeatTilesPacket({.seat = (int[]){kWatched, kLeft, kTop, kRight}[i],
                              .head = c.heads[i],
                              .tail = c.tails[i],
                              .concealed = {0x11, 0x12, 0x13, 0x14}}));
    EXPECT_EQ(d.HeadTaken, c.head_taken);
    EXPECT_EQ(d.TailMark, c.tail_mark);
    EXPECT_EQ(d.WallTail, c.wall_tail);
    EXPECT_TRUE(d.DealShown);
    // Sixteen hand tiles, then the face-up tile at 102 + 16 = 118; the wall
    // goes on from the tiles the seats took, across 119 to 0.
    EXPECT_EQ(d.WallFaceUpPos, 118);
    EXPECT_EQ(d.WallHead, (102 + c.head_taken) % 120);
    EXPECT_TRUE(t.Shows(d.WallHead, 36 * (d.WallHead / 30) + 8));
    EXPECT_TRUE(t.Shows(d.WallTail, 36 * (d.WallTail / 30) + 8));
    EXPECT_EQ(client.custom[0].Slots[4].ImageIndex, 102);
    EXPECT_EQ(client.custom[3].Slots[7].ImageIndex, 117);
    EXPECT_TRUE(t.Shows(117, 115));
    if (c.hidden_image >= 0) {
      EXPECT_FALSE(t.Tile(c.hidden_image).Visible());
    }
    EXPECT_TRUE(f.CV_Image.Visible());
  }
}

TEST_F(WatchTableTest, EarlierDiscardsLieFaceDownInTheRows) {
  // The seats took eleven tiles from the head, all of them discarded since.
  Join(
      {{.seat = kWatched, .discards = 9, .head = 11}, {.seat = kRight, .discards = 2, .head = 11}});
  const PlayerHand& me = client.custom[0];
  // The face-up tile took 68; nine discards of the bottom seat follow,
  // the ninth at the start of the row above.
  EXPECT_TRUE(Shows(69, 8));
  EXPECT_DOUBLE_EQ(Tile(69).Left(), me.DiscardOriginX);
  EXPECT_DOUBLE_EQ(Tile(76).Left(), me.DiscardOriginX + 7 * 36);
  EXPECT_DOUBLE_EQ(Tile(77).Left(), me.DiscardOriginX);
  EXPECT_DOUBLE_EQ(Tile(77).Top(), me.DiscardOriginY - 50 + 18);
  EXPECT_EQ(client.RightDiscardCount, 2);
  EXPECT_TRUE(Shows(78, 116));
  EXPECT_TRUE(Shows(79, 116));
  // The last one laid was the right seat's; the wall goes on after the
  // face-up tile and the eleven.
  EXPECT_EQ(d.LastDiscardSeat, 3);
  EXPECT_EQ(d.ImagesUsed, 12);
  EXPECT_EQ(d.WallHead, 80);
}

// The right column overlaps upward: each tile lies behind those below it in
// its column, the live discard too, and a new column lies in front of the
// one before it.
TEST(WatchRightDiscards, EachLowerTileStaysInFrontTheLiveDiscardToo) {
  for (int hidden : {2, 7}) {
    SCOPED_TRACE(hidden);
    WatchTable t;
    t.Join({{.seat = kRight,
             .discards = hidden,
             .head = 40,
             .concealed = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}}});
    const auto& list = t.client.RightDiscardImages;
    ASSERT_EQ(t.client.RightDiscardCount, hidden);
    auto check_order = [&](int n) {
      for (int k = 0; k < n; ++k)
        if (k / 8 == n / 8)
          EXPECT_TRUE(t.InFront(list[k], list[n])) << k << " below " << n;
        else
          EXPECT_TRUE(t.InFront(list[n], list[k])) << n << " in a later column than " << k;
    };
    t.Send(test::BuildPacket(2, kRight, {0, 0, 0, 0x12}));
    ASSERT_EQ(t.client.RightDiscardCount, hidden + 1);
    EXPECT_TRUE(t.Shows(list[hidden], PictureIndex(3, 0x12)));
    check_order(hidden);
    t.Send(test::BuildPacket(5, kRight, {0, 0, 0, 0}));
    t.Send(test::BuildPacket(2, kRight, {0, 0, 0, 0x13}));
    ASSERT_EQ(t.client.RightDiscardCount, hidden + 2);
    check_order(hidden + 1);
  }
}

// A join, then a new hand with the watched player dealing (dice 3 and 4:
// the head at 68, the tail at 66) and its deal.
void JoinAndDeal(WatchTable& t) {
  t.Join({});
  t.Send(test::BuildPacket(4, kWatched, {3, 4}));
  for (int round = 0; round < 3; ++round)
    for (int seat : {kWatched, kRight, kTop, kLeft})
      t.Send(test::BuildPacket(1, seat, {0x81 + round, 0x41 + round, 0x21 + round, 0x11 + round}));
  for (int seat : {kWatched, kRight, kTop, kLeft})
    t.Send(test::BuildPacket(5, seat, {0, 0, 0, 0x85}));
}

class AfterJoin : public ::testing::Test, public WatchTable {
 protected:
  void SetUp() override { JoinAndDeal(*this); }
};

// With the video chat on, the join, a new hand, its deal and a discard: the
// spectator never logs in (with the watched player's name), binds a slot or
// starts a camera, and the watched player's seat keeps her portrait.
TEST(WatchVideo, ASpectatorNeverTakesAPlayersPlaceInTheVideoChat) {
  WatchTable t;
  test::VideoCallLog log;
  t.client.video = test::MakeRecordingVideoControls(log);
  ConnectVideoEvents(t.client);
  t.d.VideoSetting = true;
  t.d.VideoLoggedIn = true;
  JoinAndDeal(t);
  t.Send(test::BuildPacket(2, kLeft, {0, 0, 0, 0x44}));
  for (const std::string& call : log.calls)
    for (const char* never : {"LoginServer", "ConnectUser", "OpenDevice", "StartCapture"})
      EXPECT_NE(call.rfind(never, 0), 0u) << call;
  EXPECT_FALSE(t.f.vcap1.Visible());
  EXPECT_FALSE(t.f.PicLocal[0].Visible());
  EXPECT_TRUE(t.f.Tou[0].Visible());
}

// Every claim of the watched seat and of another seat after a discard:
// only the other seat's is announced, with its voice, for two seconds.
TEST(WatchClaims, EachKindByTheWatchedAndAnotherSeat) {
  struct Case {
    int op;
    TileCode tile;
    const char* voice;
    int concealed_drop;
  } cases[] = {{4, 0x43, "01", 2},  {8, 0x43, "02", 2},  {16, 0x43, "03", 3}, {32, 0x43, "06", 4},
               {64, 0x15, "04", 1}, {64, 0x29, "05", 1}, {64, 0x43, "03", 1}, {128, 0x43, "09", 0}};
  for (const Case& c : cases) {
    double elapsed[2] = {};
    for (int seat : {kWatched, kTop}) {
      SCOPED_TRACE(std::to_string(c.op) + " seat " + std::to_string(seat));
      WatchTable t;
      JoinAndDeal(t);
      t.d.WildTile = 0x29;
      auto owned = std::make_unique<RecordingSoundDevice>();
      RecordingSoundDevice* device = owned.get();
      t.client.sound.device = std::move(owned);
      InitSound(t.client);
      t.client.sound.SoundOn = -1;
      t.client.sound.VoiceFolder = "mj/";
      t.client.Detail[2].dialect = "gd";
      t.client.Detail[2].voice = "b";
      t.Send(test::BuildPacket(2, kLeft, {0, 0, 0, 0x43}));
      const int r = seat == kWatched ? 0 : 2;
      const int16_t concealed = t.client.custom[r].ConcealedCount;
      device->calls.clear();
      const double before = t.Now();
      t.Send(test::BuildPacket(7, seat, {c.op, c.tile, c.tile, c.tile}));
      elapsed[r / 2] = t.Now() - before;
      EXPECT_EQ(t.client.custom[r].ConcealedCount, concealed - c.concealed_drop);
      const std::string voice = std::string("create mj/vgdb10") + c.voice + ".wav";
      const bool spoken =
          std::find(device->calls.begin(), device->calls.end(), voice) != device->calls.end();
      EXPECT_EQ(spoken, r != 0);
      EXPECT_FALSE(t.f.Speak[1].Visible());
      if (c.op == 128) {
        // The first winner's name turns red, the others green; a second win
        // changes no colour.
        EXPECT_EQ(t.d.WinnerSeat, r);
        t.Send(test::BuildPacket(7, kRight, {128, 0, 0, 0x43}));
        ScoreForm& score = LoadScoreForm(t.client);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(score.ID[i].ForeColor(), i == r ? 0xFFu : 0xFF00u);
      }
    }
    // The kongs' die rolls in both; only the other seat's claim waits 2 s more.
    EXPECT_DOUBLE_EQ(elapsed[1] - elapsed[0], 2.0) << c.op;
    if (c.op < 16 || c.op > 64) {
      EXPECT_EQ(elapsed[0], 0.0) << c.op;
    }
  }
}

// Another seat's pass, or any operation that is none of the six claims, shows
// no bubble and no word, yet it silences the voice still playing and takes
// the two seconds a claim takes.
TEST(WatchClaims, APassOrAnUnknownOperationIsSilentAndPauses) {
  WatchTable t;
  JoinAndDeal(t);
  auto owned = std::make_unique<RecordingSoundDevice>();
  RecordingSoundDevice* device = owned.get();
  t.client.sound.device = std::move(owned);
  InitSound(t.client);
  t.client.sound.SoundOn = -1;
  test::TempDir voices;
  t.client.sound.VoiceFolder = voices.path().string() + "/";
  t.client.Detail[1].dialect = "gd";
  t.client.Detail[1].voice = "b";
  test::WriteFileBytes(voices.File("vgdb1002.wav"), test::WavBytes(22050));
  for (int op : {1, 0, -3, 2, 256}) {
    SCOPED_TRACE(op);
    t.Send(test::BuildPacket(7, kLeft, {8, 0x43, 0x43, 0x43}));  // a pung, still being heard
    ASSERT_NE(t.client.sound.buffer, nullptr);
    const Picture words = t.f.Words.Picture();
    const double left = t.f.Speak[1].Left();
    t.f.Speak[1].SetLeft(left + 1);  // a bubble placed for the operation would move back
    device->calls.clear();
    const double before = t.Now();
    t.Send(test::BuildPacket(7, kTop, {op, 0, 0, 0}));
    EXPECT_DOUBLE_EQ(t.Now() - before, 2.0);
    EXPECT_EQ(device->calls, (std::vector<std::string>{"stop", "position 0"}));
    EXPECT_DOUBLE_EQ(t.f.Speak[1].Left(), left + 1);
    EXPECT_EQ(t.f.Words.Picture(), words);
    EXPECT_FALSE(t.f.Speak[1].Visible() || t.f.Words.Visible());
  }
}

TEST_F(AfterJoin, TheDealStandsFaceDownAndReplacementsComeFromTheTail) {
  const PlayerHand& me = client.custom[0];
  ASSERT_EQ(me.ConcealedCount, 13);
  EXPECT_EQ(me.Slots[4].ImageIndex, 68);
  EXPECT_EQ(me.Slots[4].Code, 0x81);
  EXPECT_EQ(me.Slots[16].Code, 0x85);
  EXPECT_TRUE(Shows(68, 7));
  EXPECT_DOUBLE_EQ(Tile(69).Left(), me.HandX + 5 * 48);
  // The top seat's kongs: each replacement from the tail, 66, 67, 64, 65.
  Send(test::BuildPacket(2, kLeft, {0, 0, 0, 0x44}));
  Send(test::BuildPacket(7, kTop, {16, 0x44, 0x44, 0x44}));
  const PlayerHand& top = client.custom[2];
  std::vector<int> replacements;
  for (int op : {0, 32, 32, 32}) {
    if (op) Send(test::BuildPacket(7, kTop, {op, 0x11, 0x11, 0x11}));
    Send(test::BuildPacket(5, kTop, {0, 0, 0, 0}));
    replacements.push_back(top.Slots[top.FirstConcealed + top.ConcealedCount - 1].ImageIndex);
  }
  EXPECT_EQ(replacements, (std::vector<int>{66, 67, 64, 65}));
  EXPECT_TRUE(d.DrawFromHead);
  // With the wild tile known the watched draw stands half a tile apart, and
  // the previous gap closes.
  Send(test::BuildPacket(2, kWatched, {0, 0, 0, 0x85}));
  d.WildTile = 0x29;
  Send(test::BuildPacket(5, kWatched, {0, 0, 0, 0x42}));
  const int16_t drawn = me.Slots[16].ImageIndex;
  EXPECT_DOUBLE_EQ(Tile(drawn).Left(), me.HandX + 16 * 48 + 24);
  EXPECT_EQ(me.Slots[16].Code, 0x42);
  Send(test::BuildPacket(2, kWatched, {0, 0, 0, 0x81}));
  Send(test::BuildPacket(5, kWatched, {0, 0, 0, 0x43}));
  EXPECT_DOUBLE_EQ(Tile(me.Slots[15].ImageIndex).Left(), me.HandX + 15 * 48);
}

TEST_F(AfterJoin, DiscardsAndClaimsPauseSpeakAndGiveThePlaceBack) {
  auto owned = std::make_unique<RecordingSoundDevice>();
  RecordingSoundDevice* device = owned.get();
  client.sound.device = std::move(owned);
  InitSound(client);
  client.sound.SoundOn = -1;
  client.sound.VoiceFolder = "mj/";
  for (int s = 0; s < 4; ++s) {
    client.Detail[s].dialect = "sc";
    client.Detail[s].voice = "a";
    client.Detail[s].sex = 1;
    client.Detail[s].voiceKind = 2;
  }
  auto spoke = [&](const std::string& file) {
    return std::find(device->calls.begin(), device->calls.end(), "create mj/" + file) !=
           device->calls.end();
  };
  ASSERT_TRUE(d.DealShown);
  const PlayerHand& left = client.custom[1];
  const int16_t x = left.DiscardX, y = left.DiscardY;
  double t = Now();
  Send(test::BuildPacket(2, kLeft, {0, 0, 0, 0x43}));
  EXPECT_DOUBLE_EQ(Now() - t, 1.0);
  EXPECT_TRUE(spoke("vsca1283.wav"));
  const int16_t discard = d.LastTileImage;
  EXPECT_TRUE(Shows(discard, 36 + 9 * 2 + 2));
  EXPECT_DOUBLE_EQ(Tile(discard).Left(), x);
  // Claims: another seat's is announced for 2 s, the watched seat's is not;
  // a pass of another seat speaks no word but takes the pause.
  struct Case {
    int seat, op;
    double pause;
    const char* voice;
  } cases[] = {
      {kTop, 8, 2.0, "vsca1202.wav"}, {kWatched, 4, 0, nullptr}, {kRight, 1, 2.0, nullptr}};
  for (const Case& c : cases) {
    device->calls.clear();
    t = Now();
    Send(test::BuildPacket(7, c.seat, {c.op, 0x43, 0x43, 0x43}));
    EXPECT_DOUBLE_EQ(Now() - t, c.pause) << c.op;
    if (c.voice) {
      EXPECT_TRUE(spoke(c.voice));
    } else {
      EXPECT_TRUE(device->calls.empty()) << c.op;
    }
  }
  // The pung took the discard; the left seat's next discard lies in its place.
  const PlayerHand& top = client.custom[2];
  EXPECT_EQ(top.Slots[4].ImageIndex, discard);
  EXPECT_EQ(top.Slots[4].State, 3);
  EXPECT_EQ(top.MeldEnd, 7);
  EXPECT_EQ(left.DiscardX, x);
  EXPECT_EQ(left.DiscardY, y);
  Send(test::BuildPacket(2, kLeft, {0, 0, 0, 0x27}));
  EXPECT_DOUBLE_EQ(Tile(d.LastTileImage).Top(), y);
}

TEST(WatchTableEarly, ADiscardBeforeTheTableIsShownDoesNotPause) {
  WatchTable t;
  t.Summary();
  t.Seat();
  t.Send(test::BuildPacket(1, kLeft, {0x11, 0x12, 0x13, 0x14}));
  const double before = t.Now();
  t.Send(test::BuildPacket(2, kLeft, {0, 0, 0, 0x12}));
  EXPECT_DOUBLE_EQ(t.Now(), before);
  EXPECT_EQ(t.client.custom[1].ConcealedCount, 3);
}

// Bad data from the server: a clear outcome for each, and after every packet
// the records stay whole (WatchTable::Send checks them).
TEST(WatchTableBadData, EachFaultHasAClearOutcome) {
  using Tiles = std::vector<int>;
  struct Case {
    const char* what;
    std::function<void(WatchTable&)> run;
  } cases[] = {
      {"fifteen concealed pairs and more",
       [](WatchTable& t) {
         t.Join({{.seat = kLeft, .concealed = Tiles(24, 0x11)}});
         EXPECT_EQ(t.client.custom[1].ConcealedCount, 14);
       }},
      {"a fifth red dragon",
       [](WatchTable& t) {
         t.Join({{.seat = kLeft, .shown = Tiles(5, 0x15)}});
         EXPECT_EQ(t.client.custom[1].RedDragonCount, 4);
       }},
      {"more melds than slots",
       [](WatchTable& t) {
         t.Join({{.seat = kTop,
                  .shown = {0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x41, 0x42, 0x43,
                            0x44, 0x45, 0x46, 0x47, 0x48, 0x49},
                  .concealed = {0x11, 0x12}}});
         const PlayerHand& top = t.client.custom[2];
         EXPECT_EQ(top.Slots[17].Code, 0x47);
         EXPECT_EQ(top.FirstConcealed, 18);
         EXPECT_EQ(top.ConcealedCount, 0);
       }},
      {"a second message with more shown tiles than slots left",
       [](WatchTable& t) {
         t.Summary();
         t.Seat();
         t.Send(SeatTilesPacket({.seat = kLeft, .concealed = Tiles(13, 0x11)}));
         t.Send(SeatTilesPacket({.seat = kLeft, .shown = {0x83, 0x82, 0x81}}));
         const PlayerHand& left = t.client.custom[1];
         EXPECT_EQ(left.Slots[2].Code, 0x81);
         EXPECT_EQ(left.MeldEnd, 5);
         EXPECT_EQ(left.FirstConcealed, 5);
         EXPECT_EQ(left.ConcealedCount, 13);
         EXPECT_EQ(t.d.ImagesUsed, 14);
       }},
      {"shown bytes that name no tile",
       [](WatchTable& t) {
         t.Summary();
         t.Seat();
         t.Send(SeatTilesPacket({.shown = {0x0A, 0x00, 0x3F, 0x1A}}));
         EXPECT_EQ(t.d.ImagesUsed, 0);
       }},
      {"a second table state starts from the head again",
       [](WatchTable& t) {
         t.Join({{.seat = kWatched, .concealed = {0x11}}});
         t.Summary();
         const int16_t head = t.d.WallHead;
         t.Send(SeatTilesPacket({.concealed = {0x11}}));
         EXPECT_EQ(t.client.custom[0].Slots[4].ImageIndex, head);
       }},
      {"more earlier discards than tiles taken",
       [](WatchTable& t) {
         t.Join({{.seat = kWatched, .discards = 200, .head = 10}});
         EXPECT_EQ(t.d.ImagesUsed, 11);  // the face-up tile and ten discards
         EXPECT_EQ(t.d.WallHead, 79);
       }},
      {"head and tail values past the wall",
       [](WatchTable& t) {
         t.Join({{.seat = kWatched, .head = 255, .tail = 255}});
         EXPECT_EQ(t.d.HeadTaken, 119);
         EXPECT_EQ(t.d.TailMark, 119);
       }},
      {"a wild tile that names no tile",
       [](WatchTable& t) {
         t.Summary(kWatched, 3, 4, 0xFF);
         t.Seat();
         for (int seat : {kWatched, kLeft, kTop, kRight}) t.Send(SeatTilesPacket({.seat = seat}));
         EXPECT_FALSE(t.f.CV_Image.Visible());
       }},
      {"seat bytes that name no seat",
       [](WatchTable& t) {
         t.Join({});
         for (int seat : {0, 3, 5, 12}) {
           t.Send(test::BuildPacket(1, seat, {0x11, 0x11, 0x11, 0x11}));
           t.Send(test::BuildPacket(2, seat, {0, 0, 0, 0x11}));
           t.Send(test::BuildPacket(7, seat, {8, 0x11, 0x11, 0x11}));
         }
         for (const PlayerHand& h : t.client.custom) EXPECT_EQ(h.ConcealedCount, 0);
         EXPECT_NE(t.d.LastDiscard, 0x11);
       }},
      {"a discard from an empty hand",
       [](WatchTable& t) {
         t.Join({});
         t.Send(test::BuildPacket(2, kTop, {0, 0, 0, 0x11}));
         EXPECT_EQ(t.d.LastTileImage, -1);
         EXPECT_EQ(t.d.LastDiscard, 0x11);
         t.Send(test::BuildPacket(7, kLeft, {8, 0x11, 0x11, 0x11}));
         EXPECT_EQ(t.client.custom[1].MeldEnd, 4);
       }},
      {"an unknown operation shows no bubble, only pauses",
       [](WatchTable& t) {
         t.Join({{.seat = kLeft, .concealed = Tiles(13, 0x11)}});
         const double before = t.Now();
         t.Send(test::BuildPacket(7, kLeft, {2, 0x11, 0x11, 0x11}));
         EXPECT_EQ(t.Now(), before + 2);
         EXPECT_FALSE(t.f.Speak[0].Visible());
         EXPECT_EQ(t.client.custom[1].ConcealedCount, 13);
       }},
      {"voice codes that leave the voice folder",
       [](WatchTable& t) {
         t.Join({{.seat = kLeft, .concealed = Tiles(13, 0x11)}});
         auto owned = std::make_unique<RecordingSoundDevice>();
         RecordingSoundDevice* device = owned.get();
         t.client.sound.device = std::move(owned);
         InitSound(t.client);
         t.client.sound.SoundOn = -1;
         device->calls.clear();
         t.client.Detail[1].dialect = "../../x";
         t.Send(test::BuildPacket(2, kLeft, {0, 0, 0, 0x11}));
         t.Send(test::BuildPacket(7, kLeft, {8, 0x11, 0x11, 0x11}));
         for (const std::string& call : device->calls)
           EXPECT_EQ(call.find(".."), std::string::npos) << call;
       }},
      {"a user-details seat byte naming no seat",
       [](WatchTable& t) {
         t.Summary();
         t.Seat({kWatched, 3, kTop, kRight});
         EXPECT_EQ(t.client.custom[1].SeatWind, 0);
         EXPECT_EQ(t.client.custom[2].SeatWind, kTop);
       }},
      {"two details with one seat bit: the later one sits there",
       [](WatchTable& t) {
         t.Summary();
         // The watched player's details come last, so the seats are placed
         // from the stored four alone.
         const std::pair<int, const char*> details[] = {
             {kWatched, "twin"}, {kTop, "earlier"}, {kTop, "later"}, {kWatched, "watched"}};
         for (const auto& [seat, account] : details) {
           test::UserDetailsFields p;
           p.seat = seat;
           p.account = account;
           p.userid = std::string_view(account) == "watched" ? 1002 : 2000;
           t.Send(test::BuildUserDetails(p));
         }
         EXPECT_EQ(t.client.custom[2].name, "later");
         EXPECT_EQ(t.client.custom[0].name, "watched");  // its seat bit places nobody else
         EXPECT_EQ(t.client.custom[1].SeatWind, 0);
         EXPECT_EQ(t.client.custom[3].SeatWind, 0);
       }},
      {"draws past the last slot",
       [](WatchTable& t) {
         t.Join({});
         for (int i = 0; i < 20; ++i) t.Send(test::BuildPacket(5, kLeft, {0, 0, 0, 0x11}));
         EXPECT_EQ(t.client.custom[1].ConcealedCount, 14);
       }},
      {"one discard claimed twice",
       [](WatchTable& t) {
         t.Join({{.seat = kRight, .concealed = Tiles(13, 0x11)},
                 {.seat = kTop, .concealed = Tiles(13, 0x11)},
                 {.seat = kLeft, .concealed = Tiles(13, 0x11)}});
         t.Send(test::BuildPacket(2, kRight, {0, 0, 0, 0x11}));
         t.Send(test::BuildPacket(7, kTop, {8, 0x11, 0x11, 0x11}));
         t.Send(test::BuildPacket(7, kLeft, {8, 0x11, 0x11, 0x11}));
         EXPECT_EQ(t.client.RightDiscardCount, 0);
       }},
      {"hidden discards that run into the wall",
       [](WatchTable& t) {
         // The stop leaves the last tile laid, and the place saved with it,
         // to the seat that laid it, so a claim gives that seat its place back.
         t.Join({{.seat = kLeft, .discards = 6, .head = 2}});
         EXPECT_EQ(t.d.LastDiscardSeat, 1);
         EXPECT_EQ(t.d.SavedDiscardX, t.Tile(t.d.LastTileImage).Left());
       }},
      {"a right column past 24",
       [](WatchTable& t) {
         t.Join({{.seat = kRight, .discards = 30, .head = 110}});
         EXPECT_EQ(t.client.RightDiscardCount, 24);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WatchTable t;
    c.run(t);
  }
}

TEST(WatchTableShots, AfterTheJoinAndAfterClaims) {
  test::UseHeadlessSdl();
  for (float scale : {1.0f, 0.78125f}) {
    WatchTable t(scale);
    t.Join({{.seat = kWatched,
             .discards = 5,
             .head = 90,
             .shown = {0x15, 0x29, 0x85, 0x85, 0x85},
             .concealed = {1, 2, 3, 4, 5, 6, 7, 8}},
            {.seat = kLeft,
             .discards = 6,
             .head = 60,
             .shown = {0x15},
             .concealed = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
            {.seat = kTop,
             .discards = 4,
             .head = 90,
             .shown = {0x44, 0x44, 0x44, 0x44},
             .concealed = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
            {.seat = kRight,
             .discards = 5,
             .head = 60,
             .concealed = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}}});
    t.Send(test::BuildPacket(5, kLeft, {0, 0, 0, 0}));
    t.Send(test::BuildPacket(2, kLeft, {0, 0, 0, 0x27}));
    t.Send(test::BuildPacket(7, kRight, {8, 0x27, 0x27, 0x27}));
    t.Send(test::BuildPacket(2, kRight, {0, 0, 0, 0x12}));
    const std::string name = scale < 1 ? "watch_800.png" : "watch_1024.png";
    const Picture shot = test::ScreenShot(t.client, name);
    ASSERT_TRUE(shot) << name;
    // The watched seat's hand (face down), where it lies.
    const PlayerHand& watched = t.client.custom[0];
    ASSERT_GT(watched.ConcealedCount, 0);
    for (int k = watched.FirstConcealed; k < watched.FirstConcealed + watched.ConcealedCount; ++k)
      EXPECT_TRUE(test::ShowsPicture(*shot, t.Tile(watched.Slots[k].ImageIndex))) << k;
    // The watched seat's piles and pung, each tile whole.
    ASSERT_EQ(watched.RedDragonCount, 1);
    ASSERT_EQ(watched.WildKongCount, 1);
    for (int16_t image : {t.d.SetAsideImages[0][0], t.d.SetAsideImages[0][4]})
      EXPECT_TRUE(test::ShowsPicture(*shot, t.Tile(image))) << image;
    for (int k = 1; k <= 3; ++k) {
      EXPECT_EQ(watched.Slots[k].Code, 0x85) << k;
      EXPECT_TRUE(test::ShowsPicture(*shot, t.Tile(watched.Slots[k].ImageIndex))) << k;
    }
    // The right seat's column: its first tile shows whole, each later one
    // lies behind the one below it, the live discard too.
    const int n = t.client.RightDiscardCount;
    ASSERT_GT(n, 1);
    EXPECT_TRUE(test::ShowsPicture(*shot, t.Tile(t.client.RightDiscardImages[0])));
    EXPECT_FALSE(test::ShowsPicture(*shot, t.Tile(t.client.RightDiscardImages[n - 1])));
  }
}

}  // namespace
}  // namespace slvn
