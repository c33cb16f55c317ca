#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>

#include "dispatch/deal_msg.h"
#include "shell/client.h"
#include "shell/net/packet_io.h"
#include "support/table_server.h"

namespace slvn {
namespace {

using test::TableServer;

TEST(LoopbackTest, PacketsTravelBothWaysThroughTheTableServer) {
  test::TempDir dir;
  TableServer server(dir, R"(# seating, a chat line in pieces, the game start
send 3 seat=4 text@16="bob"
send 19 seat=4 split=100,100 text@16="你好 bob"
send 16 seat=8 v3=2 u32le@268=0x01020304 echo=0506
expect 16 seat=8 v3=1 echo=0506
close
)");
  ASSERT_GT(server.port(), 0);
  Client client;
  client.custom[0].SeatWind = 8;
  ASSERT_TRUE(client.Winsock1.Connect("127.0.0.1", static_cast<uint16_t>(server.port())));
  ASSERT_TRUE(client.loop.WaitUntil([&] { return client.Winsock1.State() == 7; }, 10));

  ASSERT_TRUE(client.loop.WaitUntil([&] { return client.net.RecvRing.Waiting() >= 3 * 272; }, 10));
  for (int i = 0; i < 3; ++i) {
    ReadPacket(client);
    Deal_MSG(client);
  }
  EXPECT_EQ(client.net.SeatNames[2], "bob");
  EXPECT_EQ(client.chat.Sysmsg[0], "你好 bob");
  EXPECT_EQ(client.net.EchoToken, (std::array<uint8_t, 2>{5, 6}));

  ASSERT_TRUE(Send_MSG(client, {16, 0, 8, 0, {0, 0, 0, 1}}));
  GamePacket ready;
  ASSERT_TRUE(client.net.SendRing.TakePacket(ready));
  ASSERT_TRUE(client.Winsock1.SendData(ready.bytes()));
  // The server closes after its last line; the close event closes our end.
  EXPECT_TRUE(client.loop.WaitUntil([&] { return client.Winsock1.State() == 0; }, 10));
  EXPECT_EQ(server.Finish(), 0) << server.Record();
  EXPECT_NE(server.Record().find("recv cmd=16 extra1=0 seat=8 extra2=0 value=0,0,0,1 echo=5,6"),
            std::string::npos)
      << server.Record();
}

TEST(LoopbackTest, AFailedExpectationEndsTheServerWithStatusOne) {
  test::TempDir dir;
  TableServer server(dir, "expect 7 v0=8 timeout=2000\n");
  ASSERT_GT(server.port(), 0);
  Client client;
  ASSERT_TRUE(client.Winsock1.Connect("localhost", static_cast<uint16_t>(server.port())));
  ASSERT_TRUE(client.loop.WaitUntil([&] { return client.Winsock1.State() == 7; }, 10));
  ASSERT_TRUE(Send_MSG(client, {7, 0, 8, 0, {16, 0, 0, 0}}));
  GamePacket claim;
  ASSERT_TRUE(client.net.SendRing.TakePacket(claim));
  ASSERT_TRUE(client.Winsock1.SendData(claim.bytes()));
  EXPECT_EQ(server.Finish(), 1);
  EXPECT_NE(server.Record().find("FAIL line 1"), std::string::npos) << server.Record();
}

TEST(TcpSocketTest, ConnectingToNothingEndsInError) {
  Client client;
  // A port nobody listens on: the attempt starts and then fails.
  bool started = client.Winsock1.Connect("127.0.0.1", 1);
  if (started) {
    EXPECT_TRUE(client.loop.WaitUntil([&] { return client.Winsock1.State() == 9; }, 10));
  }
  EXPECT_EQ(client.Winsock1.State(), 9);
  // A name is looked up off the loop: connecting until the answer, which
  // here is that there is no such host.
  bool told = false;
  client.Winsock1.OnConnect = [&] { told = true; };
  EXPECT_TRUE(client.Winsock1.Connect("no-such-host.invalid", 80));
  EXPECT_EQ(client.Winsock1.State(), 6);
  EXPECT_TRUE(client.loop.WaitUntil([&] { return client.Winsock1.State() == 9; }, 30));
  EXPECT_TRUE(told);
  client.Winsock1.Close();
  EXPECT_EQ(client.Winsock1.State(), 0);
  // A close while the name is looked up drops the answer.
  told = false;
  EXPECT_TRUE(client.Winsock1.Connect("localhost", 1));
  client.Winsock1.Close();
  client.loop.RunFor(0.5);
  EXPECT_EQ(client.Winsock1.State(), 0);
  EXPECT_FALSE(told);
}

}  // namespace
}  // namespace slvn
