#include "table/seat_records.h"

#include <gtest/gtest.h>

#include "shell/client.h"

namespace slvn {
namespace {

TEST(SeatRecordsTest, ClearPlayerInfoResetsTheHandButKeepsSeatsAndCodes) {
  Client client;
  for (int i = 0; i < kSeatCount; ++i) {
    PlayerHand& seat = client.custom[i];
    seat.name = "p" + std::to_string(i);
    seat.SeatWind = static_cast<uint8_t>(1 << i);
    seat.HandX = 100;
    seat.sum = 7;
    seat.Dealer = -1;
    seat.ConcealedCount = 13;
    for (auto& slot : seat.Slots) slot = {1, 0x21, 5};
    client.net.SeatNames[i] = "x";
    client.data.ResultRows[i][16] = 3;
    client.data.ResultRows[i][15] = 3;
  }
  client.data.WildTile = 0x22;
  client.data.HandRunning = true;
  client.data.BatchCount = 2;
  client.RightDiscardCount = 4;
  ClearPlayerInfo(client);
  for (int i = 0; i < kSeatCount; ++i) {
    const PlayerHand& seat = client.custom[i];
    EXPECT_EQ(seat.name, "p" + std::to_string(i));
    EXPECT_EQ(seat.SeatWind, 1 << i);
    EXPECT_EQ(seat.HandX, 100);
    EXPECT_EQ(seat.sum, 0);
    EXPECT_EQ(seat.Dealer, 0);
    EXPECT_EQ(seat.ConcealedCount, 0);
    EXPECT_EQ(seat.FirstConcealed, 4);
    EXPECT_EQ(seat.MeldEnd, i == 0 ? 3 : 4);
    for (const auto& slot : seat.Slots) {
      EXPECT_EQ(slot.State, 0);
      EXPECT_EQ(slot.Code, 0x21);
      EXPECT_EQ(slot.ImageIndex, -1);
    }
    EXPECT_EQ(client.net.SeatNames[i], "");
    EXPECT_EQ(client.data.ResultRows[i][16], 0);
    EXPECT_EQ(client.data.ResultRows[i][15], 3);
  }
  EXPECT_EQ(client.data.WildTile, -1);
  EXPECT_TRUE(client.data.DrawFromHead);
  EXPECT_FALSE(client.data.HandRunning);
  EXPECT_EQ(client.data.BatchCount, 0);
  EXPECT_EQ(client.data.WinnerSeat, -1);
  EXPECT_EQ(client.RightDiscardCount, 0);
}

}  // namespace
}  // namespace slvn
