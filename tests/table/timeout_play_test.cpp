#include "table/timeout_play.h"

#include <gtest/gtest.h>

#include "shell/client.h"
#include "support/table_layout.h"

namespace slvn {
namespace {

struct Sent {
  int cmd;
  int word0;
  int word3;
};

std::vector<Sent> Drain(Client& client) {
  std::vector<Sent> sent;
  GamePacket p;
  while (client.net.SendRing.TakePacket(p)) sent.push_back({p.Byte(3), p.U16BE(8), p.U16BE(14)});
  return sent;
}

TEST(TimeoutPlayTest, PassesWhenUnansweredAndThrowsTheLastConcealedTile) {
  struct Case {
    const char* what;
    bool acted;
    int16_t concealed;
    bool pass, discard;
  } cases[] = {
      {"unanswered, discard due", false, 14, true, true},
      {"answered, discard due", true, 14, false, true},
      {"unanswered, no discard due", false, 13, true, false},
      {"answered, nothing due", true, 4, false, false},
      {"no tiles at all", false, 0, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Client client{std::make_unique<ManualClock>()};
    test::LayOutTable(client);
    PlayerHand& own = client.custom[0];
    own.SeatWind = 8;
    own.FirstConcealed = 0;
    own.ConcealedCount = c.concealed;
    for (int i = 0; i < c.concealed; ++i)
      own.Slots[i] = {1, static_cast<TileCode>(0x41 + i % 9), static_cast<int16_t>(i)};
    own.Slots[13] = {1, 0x25, 13};  // the last concealed tile of a full hand: 5 bamboo
    client.data.TurnActed = c.acted;
    client.data.OfferedClaims[3] = 2;  // a win on offer is never taken
    TimeoutPlay(client);

    std::vector<Sent> sent = Drain(client);
    size_t expected = (c.pass ? 1 : 0) + (c.discard ? 1 : 0);
    ASSERT_EQ(sent.size(), expected);
    if (c.pass) {
      EXPECT_EQ(sent[0].cmd, 7);
      EXPECT_EQ(sent[0].word0, 1);
    }
    EXPECT_TRUE(client.data.TurnActed);
    if (c.discard) {
      EXPECT_EQ(sent.back().cmd, 2);
      EXPECT_EQ(sent.back().word3, 0x4025);
      EXPECT_EQ(own.ConcealedCount, c.concealed - 1);
      EXPECT_EQ(client.data.LastTileImage, 13);
      const ImageControl& tile = client.main_form.MJ_Image[13];
      EXPECT_EQ(tile.Width(), 36);
      EXPECT_EQ(tile.Height(), 50);
      EXPECT_DOUBLE_EQ(tile.Left(), (1024 - 36) / 2.0);  // the middle of the table
      EXPECT_DOUBLE_EQ(tile.Top(), (768 - 50) / 2.0);
    } else {
      EXPECT_EQ(own.ConcealedCount, c.concealed);
    }
    EXPECT_FALSE(client.main_form.Operation[3].Visible());
  }
}

// A last tile whose code names no tile is still thrown, but shows no other
// tile's face: its image keeps the picture it had.
TEST(TimeoutPlayTest, ATileCodeThatNamesNoTileShowsNoFace) {
  for (TileCode code : {0x3A, 0x30, 0x20}) {
    SCOPED_TRACE(code);
    Client client{std::make_unique<ManualClock>()};
    test::LayOutTable(client);
    PlayerHand& own = client.custom[0];
    own.SeatWind = 8;
    own.FirstConcealed = 0;
    own.ConcealedCount = 14;
    for (int i = 0; i < 14; ++i) own.Slots[i] = {1, 0x41, static_cast<int16_t>(i)};
    own.Slots[13].Code = code;
    client.data.TurnActed = true;
    const Picture before = client.main_form.MJ_Image[13].Picture();
    TimeoutPlay(client);
    EXPECT_EQ(own.ConcealedCount, 13);
    EXPECT_EQ(client.main_form.MJ_Image[13].Picture(), before);
  }
}

}  // namespace
}  // namespace slvn
