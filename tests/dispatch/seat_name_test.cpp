#include "dispatch/seat_name.h"

#include <gtest/gtest.h>

#include "dispatch/deal_msg.h"
#include "plugin/test_prop_plugin.h"
#include "shell/client.h"
#include "shell/net/packet_io.h"
#include "support/packet_builder.h"
#include "support/table_layout.h"

namespace slvn {
namespace {

TEST(SeatNameTest, OwnSeatSearchGivesEveryDisplaySeatItsWindAndName) {
  struct Case {
    std::array<std::string, 4> names;
    std::array<uint8_t, 4> winds;  // display seats 0..3 after the search; 0 unchanged
  } cases[] = {
      {{"me", "b", "c", "d"}, {1, 8, 4, 2}},  {{"a", "me", "c", "d"}, {2, 1, 8, 4}},
      {{"a", "b", "me", "d"}, {4, 2, 1, 8}},  {{"a", "b", "c", "me"}, {8, 4, 2, 1}},
      {{"a", "me", "me", "d"}, {4, 2, 1, 8}},  // twice: the higher seat wins
      {{"a", "b", "Me", "d"}, {0, 0, 0, 0}},   // missing: exact bytes only
  };
  for (const Case& c : cases) {
    Client client;
    client.custom[0].name = "me";
    client.net.SeatNames = c.names;
    OwnSeatSearch(client);
    for (int j = 0; j < kSeatCount; ++j) {
      EXPECT_EQ(client.custom[j].SeatWind, c.winds[j]) << c.names[3] << j;
      if (c.winds[j] != 0) {
        EXPECT_EQ(client.custom[j].name, c.names[__builtin_ctz(c.winds[j])]) << j;
      }
    }
  }
}

TEST(SeatNameTest, TheFourthSeatNameFindsTheOwnSeat) {
  for (bool watching : {false, true}) {
    Client client;
    test::LayOutTable(client);
    client.custom[0].name = "me";
    client.data.WatchMode = watching;
    client.main_form.TimerKeepAlive.SetEnabled(true);
    client.main_form.OK[2].SetVisible(true);
    client.data.ReseatRequested = true;
    client.prop.Prop_GameDllState = 1;
    test::TestPropPlugin& plugin = test::InstallInProcessPlugin(client);
    const char* names[] = {"a", "b", "me", "d"};
    for (int k = 0; k < 4; ++k) {
      auto packet = test::BuildPacket(3, 1 << k);
      test::PutText(packet, 16, names[k]);
      StoreArrivedBytes(client, packet);
      ReadPacket(client);
      Deal_MSG(client);
      EXPECT_EQ(client.main_form.TimerKeepAlive.Enabled(), watching);
      EXPECT_FALSE(client.main_form.OK[2].Visible());
      EXPECT_FALSE(client.data.ReseatRequested);
      EXPECT_TRUE(client.data.SeatNamesSeen);
      EXPECT_EQ(client.data.BatchCount, k < 3 ? k + 1 : 0);
      EXPECT_EQ(client.custom[0].SeatWind, k < 3 ? 0 : 4) << k;
    }
    EXPECT_EQ(client.custom[1].name, "b");
    EXPECT_EQ(client.main_form.AnNiu[2].Picture(), LoadResourcePicture(client, 107));  // continue
    EXPECT_EQ(std::count(plugin.calls.begin(), plugin.calls.end(), "ClearUser"), 3);
  }
}

}  // namespace
}  // namespace slvn
