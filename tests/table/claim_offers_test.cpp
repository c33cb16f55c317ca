#include "claims_fixture.h"

namespace slvn::test {
namespace {

using Words = std::array<int16_t, 4>;

TEST_F(ClaimsTest, ChowOfferListsEachRunOrSendsTheOnlyOne) {
  struct Case {
    std::vector<TileCode> hand;
    TileCode wild, discard;
    std::vector<int16_t> choices;  // ChiSlots listed when there is a choice
    Words sent;                    // the packet when one run is sent at once
  } cases[] = {
      // 3, 4, 4, 6 of bamboo and a 5: 3-4 and 4-6, the second 4 serving both.
      {{0x11, 0x23, 0x24, 0x24, 0x26}, -1, 0x25, {4, 6, 6, 7}, {}},
      {{0x23, 0x24, 0x11}, -1, 0x25, {}, {4, 0x2023, 0x2024, 0x2025}},
      {{0x24, 0x26}, 0x24, 0x25, {}, {}},  // the wild 4 never serves in a chow
      {{0x22, 0x23, 0x24}, -1, 0x21, {}, {4, 0x2022, 0x2023, 0x2021}},
      {{0x42, 0x43, 0x47, 0x48}, -1, 0x49, {}, {4, 0x2047, 0x2048, 0x2049}},
      {{0x41, 0x43, 0x44}, -1, 0x42, {4, 5, 5, 6}, {}},
      {{0x2D, 0x2E, 0x2F}, -1, 0x2F, {}, {}},  // a rank beyond 9 completes nothing
  };
  for (const Case& c : cases) {
    client.data.WildTile = c.wild;
    client.data.CountdownStart = 15;
    client.data.ChiSlots.fill(0);
    client.data.LastDiscard = c.discard;
    for (int i = 0; i < 6; ++i) f.Chi[i].SetVisible(false);
    Deal(0, c.hand);
    OfferChi(client, c.discard);
    const auto sent = Sent();
    if (!c.choices.empty()) {
      EXPECT_TRUE(sent.empty());
      for (size_t i = 0; i < c.choices.size(); ++i) {
        EXPECT_EQ(client.data.ChiSlots[i], c.choices[i]) << i;
        EXPECT_TRUE(f.Chi[static_cast<int>(i)].Visible());
      }
      EXPECT_FALSE(f.Chi[static_cast<int>(c.choices.size())].Visible());
      EXPECT_EQ(client.data.Countdown, 7);
      EXPECT_TRUE(client.heartbeat.TickEnabled[kTurnCountdown]);
      // Rows of two, lower rank left; each further row stands higher.
      EXPECT_LT(f.Chi[0].Left(), f.Chi[1].Left());
      EXPECT_GT(f.Chi[0].Top(), f.Chi[2].Top());
    } else if (c.sent[0] != 0) {
      ASSERT_EQ(sent.size(), 1u);
      EXPECT_EQ(sent[0].cmd, 7);
      EXPECT_EQ(sent[0].seat, 8);
      EXPECT_EQ(sent[0].value, c.sent);
      EXPECT_TRUE(client.data.TurnActed);
    } else {
      EXPECT_TRUE(sent.empty());
    }
    client.data.TurnActed = false;
  }
}

TEST_F(ClaimsTest, ClaimPacketsCarryTheirTileWords) {
  Deal(0, {0x33, 0x33, 0x33, 0x33, 0x41});
  client.data.LastTileImage = 90;
  SendPeng(client, 0x33);
  SendGangHand(client, 4);
  SendGangAdd(client, 8);
  client.data.TurnActed = false;
  SendHu(client);
  const auto sent = Sent();
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_EQ(sent[0].value, (Words{8, 0x2033, 0x2033, 0x2033}));
  EXPECT_EQ(sent[1].value, (Words{32, 0x2033, 0x2033, 0x2033}));
  EXPECT_EQ(sent[2].value, (Words{64, 0, 0, 0x2041}));
  EXPECT_EQ(sent[3].value, (Words{128, 0, 0, 0}));
  EXPECT_FALSE(client.data.TurnActed);  // a win leaves the offer unanswered
  // Only the meld position outside the counted hand changed.
  const PlayerHand& hand = client.custom[0];
  EXPECT_EQ(hand.ConcealedCount, 5);
  EXPECT_EQ(hand.Slots[1].State, 6);
  EXPECT_EQ(hand.Slots[1].ImageIndex, Image(0, 8));
}

TEST_F(ClaimsTest, KongOfferListsCandidatesOrSendsTheOnlyOne) {
  client.data.AllowedClaims = 64 | 32;
  Deal(0, {0x41, 0x41, 0x41, 0x41, 0x15, 0x22});
  OfferGang(client);
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(client.data.GangSlots[0], 8);  // the red dragon first
  EXPECT_EQ(client.data.GangSlots[1], 4);
  EXPECT_TRUE(f.Gang[0].Visible());
  EXPECT_TRUE(f.Gang[1].Visible());
  EXPECT_FALSE(f.Gang[2].Visible());
  EXPECT_GT(f.Gang[0].Top(), f.Gang[1].Top());

  client.data.AllowedClaims = 16;
  client.data.LastDiscard = 0x27;
  Deal(0, {0x11, 0x27, 0x27, 0x27, 0x29});
  f.Operation[2].SetVisible(true);
  OfferGang(client);
  const auto sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].value, (Words{16, 0x2027, 0x2027, 0x2027}));
  EXPECT_EQ(client.data.GangSlots[0], 5);
  EXPECT_FALSE(f.Operation[2].Visible());
}

TEST_F(ClaimsTest, KongOfferShowsNoMoreCandidatesThanPictures) {
  client.data.AllowedClaims = 64 | 32;
  client.data.WildTile = 0x29;
  // Six equal tiles count as three concealed kongs: six candidates in all.
  Deal(0, {0x29, 0x81, 0x81, 0x81, 0x81, 0x81, 0x81, 0x82, 0x82, 0x82, 0x82, 0x15, 0x11, 0x12});
  OfferGang(client);
  const std::array<int16_t, 10> listed{15, 5, 6, 7, 11, 0, 0, 0, 0, 0};
  EXPECT_EQ(client.data.GangSlots, listed);
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(f.Gang[i].Visible()) << i;
  EXPECT_TRUE(Sent().empty());
}

}  // namespace
}  // namespace slvn::test
