#include "dispatch/deal_msg.h"

#include <gtest/gtest.h>

#include "plugin/test_prop_plugin.h"
#include "shell/client.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"
#include "support/packet_builder.h"

namespace slvn {
namespace {

// Reads and dispatches one packet, as the receive slot does.
void Dispatch(Client& client, const test::PacketBytes& packet) {
  StoreArrivedBytes(client, packet);
  ReadPacket(client);
  Deal_MSG(client);
}

test::PacketBytes WithEcho(test::PacketBytes packet, uint8_t a, uint8_t b) {
  packet[260] = a;
  packet[261] = b;
  return packet;
}

TEST(DealMsgTest, EveryCommandButTwentyNineSetsTheEchoToken) {
  Client client;
  for (int cmd = 0; cmd < 256; ++cmd) {
    client.net.EchoToken = {1, 1};
    auto packet = WithEcho(test::BuildPacket(cmd, 0), 0xAB, static_cast<uint8_t>(cmd));
    // A refused login or reconnect ends the program (the token is kept first).
    if (cmd == Cmd_Login || cmd == Cmd_ReconnectReply)
      EXPECT_THROW(Dispatch(client, packet), ProgramEnded);
    else
      Dispatch(client, packet);
    std::array<uint8_t, 2> expected = {0xAB, static_cast<uint8_t>(cmd)};
    if (cmd == 29) expected = {1, 1};
    EXPECT_EQ(client.net.EchoToken, expected) << cmd;
  }
}

TEST(DealMsgTest, RelativeArmsSeeTheDisplaySeat) {
  struct Case {
    int cmd;
    uint8_t own, seat_byte, seat_after;
  } cases[] = {
      {8, 8, 4, 1},  {9, 8, 2, 2},     {17, 1, 8, 1}, {40, 1, 4, 2},
      {19, 8, 4, 1}, {19, 8, 0x18, 0}, {8, 0, 8, 1},                 // no own seat: North
      {1, 8, 4, 4},  {7, 8, 0x14, 4},  {6, 8, 4, 1},  {6, 8, 8, 8},  // own seat kept
      {41, 8, 2, 2},
  };
  for (const auto& c : cases) {
    Client client;
    client.custom[0].SeatWind = c.own;
    Dispatch(client, test::BuildPacket(c.cmd, c.seat_byte));
    EXPECT_EQ(client.net.info.seat, c.seat_after) << c.cmd << "/" << int(c.seat_byte);
  }
}

TEST(DealMsgTest, CommandSixteenChoosesItsArmByTheSubCode) {
  struct Case {
    int sub_code;
    bool game_on, hand_number_kept, notice;
  } cases[] = {{2, true, true, false},    // game start
               {0, false, true, false},   // a seat freed: the game wound up
               {1, true, true, true},     // the other three quit
               {3, true, false, false}};  // out of coins
  for (const Case& c : cases) {
    Client client{std::make_unique<ManualClock>()};
    client.custom[0].SeatWind = 8;
    client.data.TableGameOn = true;
    client.data.juNum = 5;
    Dispatch(client, test::BuildPacket(16, 8, {0, 0, 0, c.sub_code}));
    EXPECT_EQ(client.data.TableGameOn, c.game_on) << c.sub_code;
    EXPECT_EQ(client.data.juNum == 5, c.hand_number_kept) << c.sub_code;
    EXPECT_EQ(client.frmOtherExit.Visible(), c.notice) << c.sub_code;
  }
}

TEST(DealMsgTest, CommandsWithoutAnArmReachThePluginOnlyWhileItIsActive) {
  for (int cmd : {0, 10, 13, 24, 28, 30, 42, 44, 45, 46, 47, 255}) {
    for (int state : {-1, 0, 1, 2}) {
      Client client;
      auto& plugin = test::InstallInProcessPlugin(client);
      client.prop.Prop_GameDllState = static_cast<int16_t>(state);
      Dispatch(client, test::BuildPacket(cmd, 1));
      bool active = state > 0;
      EXPECT_EQ(plugin.calls,
                active ? std::vector<std::string>{"Rec_MSG"} : std::vector<std::string>{})
          << cmd << "/" << state;
      EXPECT_EQ(client.prop.PropScoreReady, active && cmd == 46) << cmd << "/" << state;
    }
  }
}

}  // namespace
}  // namespace slvn
