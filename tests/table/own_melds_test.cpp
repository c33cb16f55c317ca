#include <functional>

#include "claims_fixture.h"

namespace slvn::test {
namespace {

// A hand of `n` filler tiles from slot `first`, with `claimed` codes at slots.
std::vector<TileCode> Hand(int first, int n, std::vector<std::pair<int, TileCode>> claimed) {
  std::vector<TileCode> codes(static_cast<size_t>(n), 0x11);
  for (auto [slot, code] : claimed) codes[static_cast<size_t>(slot - first)] = code;
  return codes;
}

TEST_F(ClaimsTest, OwnConfirmedClaimsCloseTheHandUp) {
  struct Case {
    const char* name;
    int first, n;
    std::vector<std::pair<int, TileCode>> claimed;
    std::function<void(Client&)> send;
    int16_t op;
    std::array<TileCode, 3> tiles;
    int new_first;
    std::vector<int> former;  // the former slots of the remaining tiles, in order
    std::vector<int> meld;    // former slots whose images make the meld (the discard is 100)
    int dn, df, dm;           // count, first and meld end changes
  } cases[] = {
      {"chow",
       4,
       13,
       {{6, 0x23}, {9, 0x24}},
       [](Client& t) {
         t.data.LastDiscard = 0x25;
         t.data.ChiSlots = {6, 9};
         SendChi(t, 6, 9);
       },
       4,
       {0x23, 0x24, 0x25},
       7,
       {4, 5, 7, 8, 10, 11, 12, 13, 14, 15, 16},
       {6, 9, -1},
       -2,
       3,
       3},
      {"chow in the server's order",
       4,
       13,
       {{6, 0x23}, {9, 0x24}},
       [](Client& t) {
         t.data.LastDiscard = 0x25;
         t.data.ChiSlots = {6, 9};
         SendChi(t, 6, 9);
       },
       4,
       {0x25, 0x24, 0x23},
       7,
       {4, 5, 7, 8, 10, 11, 12, 13, 14, 15, 16},
       {6, 9, -1},
       -2,
       3,
       3},
      {"chow whose slots moved",
       4,
       13,
       {{6, 0x23}, {9, 0x24}},
       [](Client& t) {
         t.data.LastDiscard = 0x25;
         SendChi(t, 6, 9);
         t.data.ChiSlots = {5, 7};
       },
       4,
       {0x23, 0x24, 0x25},
       7,
       {4, 5, 7, 8, 10, 11, 12, 13, 14, 15, 16},
       {6, 9, -1},
       -2,
       3,
       3},
      {"pung",
       4,
       13,
       {{8, 0x33}, {9, 0x33}},
       [](Client& t) { SendPeng(t, 0x33); },
       8,
       {0x33, 0x33, 0x33},
       7,
       {4, 5, 6, 7, 10, 11, 12, 13, 14, 15, 16},
       {8, 9, -1},
       -2,
       3,
       3},
      {"pung of a pair apart",
       4,
       13,
       {{6, 0x33}, {9, 0x33}},
       [](Client& t) { SendPeng(t, 0x33); },
       8,
       {0x33, 0x33, 0x33},
       7,
       {4, 5, 7, 8, 10, 11, 12, 13, 14, 15, 16},
       {6, 9, -1},
       -2,
       3,
       3},
      {"kong of a discard",
       7,
       10,
       {{10, 0x27}, {11, 0x27}, {12, 0x27}},
       [](Client& t) {
         t.data.GangSlots[0] = 10;
         SendGangDiscard(t, 10);
       },
       16,
       {0x27, 0x27, 0x27},
       10,
       {7, 8, 9, 13, 14, 15, 16},
       {10, 11, 12},
       -3,
       3,
       3},
      {"concealed kong first",
       4,
       14,
       {{4, 0x41}, {5, 0x41}, {6, 0x41}, {7, 0x41}},
       [](Client& t) {
         t.data.GangSlots[0] = 4;
         SendGangHand(t, 4);
       },
       32,
       {0x41, 0x41, 0x41},
       7,
       {8, 9, 10, 11, 12, 13, 14, 15, 16, 17},
       {4, 5, 6},
       -4,
       3,
       3},
      {"concealed kong inside",
       4,
       14,
       {{8, 0x41}, {9, 0x41}, {10, 0x41}, {11, 0x41}},
       [](Client& t) {
         t.data.GangSlots[0] = 8;
         SendGangHand(t, 8);
       },
       32,
       {0x41, 0x41, 0x41},
       7,
       {4, 5, 6, 7, 12, 13, 14, 15, 16, 17},
       {8, 9, 10},
       -4,
       3,
       3},
      {"added kong",
       7,
       11,
       {{10, 0x33}},
       [](Client& t) {
         t.data.GangSlots[0] = 10;
         SendGangAdd(t, 10);
       },
       64,
       {0, 0, 0x33},
       7,
       {7, 8, 9, 11, 12, 13, 14, 15, 16, 17},
       {},
       -1,
       0,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Deal(0, Hand(c.first, c.n, c.claimed), c.first);
    PlayerHand& hand = client.custom[0];
    if (c.op == 64) hand.Slots[1] = hand.Slots[2] = hand.Slots[3] = {3, 0x33, 5};
    client.data.LastDiscard = c.tiles[2];
    client.data.LastTileImage = 100;
    c.send(client);
    const int meld_end = hand.MeldEnd;
    ApplyOperation(client, c.op, 8, c.tiles);
    EXPECT_EQ(hand.ConcealedCount, c.n + c.dn);
    EXPECT_EQ(hand.FirstConcealed, c.first + c.df);
    EXPECT_EQ(hand.MeldEnd, meld_end + c.dm);
    for (size_t k = 0; k < c.former.size(); ++k) {
      const int j = c.new_first + static_cast<int>(k);
      EXPECT_EQ(hand.Slots[j].ImageIndex, Image(0, c.former[k])) << j;
      EXPECT_DOUBLE_EQ(Tile(Image(0, c.former[k])).Left(), X() + j * W()) << j;
      EXPECT_DOUBLE_EQ(Tile(Image(0, c.former[k])).Top(), Y()) << j;
    }
    for (size_t k = 0; k < c.meld.size(); ++k) {
      const int slot = meld_end - 2 + static_cast<int>(k);
      const int image = c.meld[k] < 0 ? 100 : Image(0, c.meld[k]);
      EXPECT_EQ(hand.Slots[slot].ImageIndex, image) << slot;
      EXPECT_DOUBLE_EQ(Tile(image).Left(), X() + (slot + 1) * 43 * Sx()) << slot;
      EXPECT_DOUBLE_EQ(Tile(image).Top(), Y()) << slot;
    }
    if (c.op == 16 || c.op == 32) {
      const int fourth = c.op == 16 ? 100 : Image(0, c.meld[0] + 3);
      EXPECT_EQ(client.data.LastTileImage, fourth);
      EXPECT_DOUBLE_EQ(Tile(fourth).Left(), Tile(Image(0, c.meld[1])).Left());
      EXPECT_DOUBLE_EQ(Tile(fourth).Top(), Y() - 18);
      EXPECT_TRUE(client.data.KongDrawPending);
      EXPECT_FALSE(client.data.DrawFromHead);
    }
    if (c.op == 64) {
      EXPECT_EQ(client.data.LastTileImage, Image(0, 10));
      EXPECT_EQ(client.data.LastDiscard, 0x33);
      EXPECT_DOUBLE_EQ(Tile(Image(0, 10)).Left(), Tile(5).Left());
      EXPECT_DOUBLE_EQ(Tile(Image(0, 10)).Top(), Y() - 18);
    }
    EXPECT_EQ(client.data.TileWidth[0], 48);
    EXPECT_EQ(client.data.TileHeight[0], 78);
    Sent();
  }
}

TEST_F(ClaimsTest, AConfirmationTheHandCannotHoldChangesNothing) {
  Deal(0, Hand(4, 13, {{6, 0x23}}));
  client.data.ChiSlots = {6, 9};
  const PlayerHand before = client.custom[0];
  ApplyOperation(client, 4, 8, {0x23, 0x24, 0x25});
  EXPECT_EQ(client.custom[0].ConcealedCount, before.ConcealedCount);
  EXPECT_EQ(client.custom[0].MeldEnd, before.MeldEnd);
  // A sixth meld has no slots left.
  Deal(0, Hand(16, 2, {{16, 0x33}, {17, 0x33}}), 16);
  client.custom[0].MeldEnd = 18;
  SendPeng(client, 0x33);
  ApplyOperation(client, 8, 8, {0x33, 0x33, 0x33});
  EXPECT_EQ(client.custom[0].ConcealedCount, 2);
  ASSERT_EQ(Sent().size(), 1u);
}

}  // namespace
}  // namespace slvn::test
