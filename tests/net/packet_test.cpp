#include <gtest/gtest.h>

#include <algorithm>

#include "plugin/test_prop_plugin.h"
#include "shell/client.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"
#include "support/packet_builder.h"

namespace slvn {
namespace {

using test::BuildPacket;
using test::PacketBytes;

void Feed(Client& client, std::span<const uint8_t> bytes) {
  StoreArrivedBytes(client, bytes);
}

// What the heartbeat's receive slot does: read while a whole packet waits.
std::vector<GameMessage> ReadWaiting(Client& client) {
  std::vector<GameMessage> read;
  while (client.net.RecvRing.Waiting() >= 272) {
    ReadPacket(client);
    read.push_back(client.net.info);
  }
  return read;
}

PacketBytes TakeSent(Client& client) {
  GamePacket packet;
  EXPECT_TRUE(client.net.SendRing.TakePacket(packet));
  return packet.bytes();
}

TEST(RecvRingTest, PacketsAreReadOnlyWhenWholeAndKeepTheirOrder) {
  Client client;
  auto stream = test::Stream({BuildPacket(1, 1), BuildPacket(2, 2), BuildPacket(5, 4)});
  std::span<const uint8_t> all(stream);
  // One packet in pieces of 100, 100 and 72.
  Feed(client, all.subspan(0, 100));
  Feed(client, all.subspan(100, 100));
  EXPECT_TRUE(ReadWaiting(client).empty());
  EXPECT_TRUE(client.heartbeat.TickEnabled[kReceiveSlot]);
  Feed(client, all.subspan(200, 72));
  auto first = ReadWaiting(client);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].cmd, 1);
  // Then two and a half packets' worth in one chunk (the rest of the stream
  // and half of another).
  auto extra = BuildPacket(7, 8);
  Feed(client, all.subspan(272));
  Feed(client, std::span(extra).first(136));
  auto next = ReadWaiting(client);
  ASSERT_EQ(next.size(), 2u);
  EXPECT_EQ(next[0].cmd, 2);
  EXPECT_EQ(next[1].cmd, 5);
  EXPECT_EQ(client.net.RecvRing.Waiting(), 136);
  Feed(client, std::span(extra).subspan(136));
  EXPECT_EQ(ReadWaiting(client).at(0).cmd, 7);
}

TEST(RecvRingTest, IndexesWrapAfterTheWholeRing) {
  Client client;
  for (int i = 0; i < 128; ++i) {
    auto packet = BuildPacket(i % 40 + 1, 1);
    Feed(client, packet);
    ASSERT_EQ(ReadWaiting(client).at(0).cmd, i % 40 + 1);
  }
  EXPECT_EQ(client.net.RecvRing.ReadIndex(), 0);
  EXPECT_EQ(client.net.RecvRing.WriteIndex(), 0);
  auto after = BuildPacket(23, 2, {0, 0, 0, 9});
  Feed(client, after);
  auto read = ReadWaiting(client);
  EXPECT_EQ(read.at(0).cmd, 23);
  EXPECT_EQ(read.at(0).value[3], 9);
  EXPECT_EQ(client.net.RecvRing.ReadIndex(), 272);
}

TEST(RecvRingTest, AFullRingReturnsToTheLobbyAndKeepsWhatItHolds) {
  Client client;
  std::vector<uint8_t> flood;
  for (int i = 0; i < 128; ++i) {
    auto packet = BuildPacket(i + 1, 1);
    flood.insert(flood.end(), packet.begin(), packet.end());
  }
  EXPECT_THROW(Feed(client, flood), ProgramEnded);
  EXPECT_EQ(client.net.RecvRing.Waiting(), PacketRing::kSize - 1);
  EXPECT_EQ(ReadWaiting(client).size(), 127u);
}

TEST(ReadPacketTest, DecodesTheHeader) {
  struct Case {
    const char* what;
    std::vector<uint8_t> header;  // bytes 0-15
    GameMessage expected;
  } cases[] = {
      {"FF FE is 254 outside command 17",
       {0, 0, 0, 7, 0, 3, 8, 4, 0xFF, 0xFE, 0, 1, 1, 2, 0x80, 0},
       {7, 3, 8, 4, {254, 1, 2, 0}}},
      {"command 17 words are signed",
       {0, 0, 0, 17, 0, 0, 2, 0, 0xFF, 0xFE, 0x7F, 0xFF, 0x80, 0x00, 0x01, 0x00},
       {17, 0, 2, 0, {-2, 32767, -32768, 256}}},
      {"byte 2 of the command is ignored, the seat keeps four bits",
       {0, 0, 0x01, 19, 0, 0, 0xF4, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       {19, 0, 4, 0, {0, 0, 0, 0}}},
  };
  for (const auto& c : cases) {
    Client client;
    PacketBytes packet{};
    test::PutBytes(packet, 0, c.header);
    Feed(client, packet);
    ReadPacket(client);
    const GameMessage& info = client.net.info;
    EXPECT_EQ(info.cmd, c.expected.cmd) << c.what;
    EXPECT_EQ(info.extra1, c.expected.extra1) << c.what;
    EXPECT_EQ(info.seat, c.expected.seat) << c.what;
    EXPECT_EQ(info.extra2, c.expected.extra2) << c.what;
    EXPECT_EQ(info.value, c.expected.value) << c.what;
    EXPECT_EQ(client.net.Msg.bytes(), packet) << c.what;
  }
}

TEST(ReadPacketTest, SeatNamesEndAtZeroAndARepeatReplacesTheName) {
  Client client;
  auto packet = BuildPacket(3, 4);
  const uint8_t name[] = {'a', 'b', 'c', 0, 'x'};
  test::PutBytes(packet, 16, name);
  Feed(client, packet);
  ReadPacket(client);
  EXPECT_EQ(client.net.SeatNames[2], "abc");
  auto again = BuildPacket(3, 4);
  test::PutBytes(again, 16, std::vector<uint8_t>(16, 'z'));  // all 16 bytes, no zero
  Feed(client, again);
  ReadPacket(client);
  EXPECT_EQ(client.net.SeatNames[2], std::string(16, 'z'));
  // A seat byte that is not one seat's bit stores nothing anywhere.
  for (int seat : {0, 3, 5, 12, 15}) {
    auto stray = BuildPacket(3, seat);
    test::PutBytes(stray, 16, std::vector<uint8_t>{'s', 0});
    Feed(client, stray);
    ReadPacket(client);
    for (const auto& name : client.net.SeatNames) EXPECT_NE(name, "s") << seat;
  }
}

PacketBytes ChatPacket(int seat, std::string_view text, std::array<int, 4> values = {}) {
  auto packet = BuildPacket(19, seat, values);
  test::PutText(packet, 16, text);
  return packet;
}

TEST(ReadPacketTest, ChatLinesGoToTheHistoryAndTheStrip) {
  Client client;
  client.custom[0].SeatWind = 8;
  client.Detail[0].name = "小明";
  auto show = [&](const PacketBytes& packet) {
    Feed(client, packet);
    ReadPacket(client);
  };
  show(ChatPacket(4, "小明你好小明他妈的"));
  EXPECT_EQ(client.net.info.seat, 1);  // the left seat
  EXPECT_EQ(client.data.ChatBlinkCount, 8);
  EXPECT_EQ(client.chat.Text1, std::vector<std::string>{" 你你好小明"});
  EXPECT_EQ(client.chat.Sysmsg[0], "你你好小明");

  client.data.ChatBlinkCount = 0;
  show(ChatPacket(8, "系统提示小明"));
  EXPECT_EQ(client.net.info.seat, 0);
  EXPECT_EQ(client.data.ChatBlinkCount, 0);
  EXPECT_EQ(client.chat.Sysmsg[1], "系统提示小明");

  std::string long_line(60, 'x');
  show(ChatPacket(2, long_line));
  EXPECT_EQ(client.chat.Sysmsg[0], "系统提示小明");
  EXPECT_EQ(client.chat.Sysmsg[1], std::string(45, 'x'));
  EXPECT_EQ(client.main_form.Sysmsg[0].List(0), "系统提示小明");  // the window shows the strip
  EXPECT_EQ(client.main_form.Sysmsg[1].List(0), std::string(45, 'x'));
  ASSERT_EQ(client.chat.Text1.size(), 4u);
  EXPECT_EQ(client.chat.Text1[2], " " + std::string(46, 'x'));
  EXPECT_EQ(client.chat.Text1[3], " " + std::string(14, 'x'));
  EXPECT_EQ(client.chat.Text1TopIndex, 3);
  EXPECT_FALSE(client.huifu.Loaded());

  // A quick phrase is looked up in the own lists, which makes their window hidden.
  show(ChatPacket(4, "hi", {2, 0, 0, 3}));
  EXPECT_TRUE(client.huifu.Loaded());
  EXPECT_FALSE(client.huifu.Visible());
}

TEST(ReadPacketTest, ALeadByteInTheTextsLastPlaceTakesTheNextByte) {
  const std::pair<uint8_t, const char*> cases[] = {
      {0xA1, "啊"}, {0x00, "\xEF\xBF\xBD"},  // no character: shown as one unknown
  };
  for (const auto& [second, shown] : cases) {
    Client client;
    auto packet = BuildPacket(19, 0);
    test::PutBytes(packet, 16, std::vector<uint8_t>(199, 'a'));
    packet[215] = 0xB0;
    packet[216] = second;
    Feed(client, packet);
    ReadPacket(client);
    EXPECT_EQ(client.chat.Text1.back(), " " + std::string(199 - 4 * 46, 'a') + shown);
    EXPECT_EQ(client.data.ChatBlinkCount, 0);  // no seat
  }
}

TEST(ReadPacketTest, PluginPacketsGoToThePluginOnlyWhileItIsActive) {
  for (uint32_t pass_length : {272u, 260u}) {
    for (int state : {0, -1, 1, 2}) {
      Client client;
      auto& plugin = test::InstallInProcessPlugin(client);
      client.prop.Prop_GameDllState = static_cast<int16_t>(state);
      auto packet = ChatPacket(4, "hidden");
      test::PutU32BE(packet, 236, pass_length);
      Feed(client, packet);
      ReadPacket(client);
      EXPECT_EQ(plugin.calls.size(), state > 0 ? 1u : 0u) << pass_length << "/" << state;
      EXPECT_TRUE(client.chat.Text1.empty());
    }
  }
}

TEST(SendMsgTest, BuildsThePacketsAPlayerSends) {
  Client client;
  client.net.EchoToken = {0x12, 0x34};
  auto with_echo = [](PacketBytes packet) {
    packet[260] = 0x12;
    packet[261] = 0x34;
    return packet;
  };
  // A pung claim with its three tiles, a ready, a negative word.
  ASSERT_TRUE(Send_MSG(client, {7, 0, 8, 0, {8, 0x2041, 0x2041, 0x2041}}));
  EXPECT_EQ(TakeSent(client), with_echo(BuildPacket(7, 8, {8, 0x2041, 0x2041, 0x2041})));
  EXPECT_TRUE(client.heartbeat.TickEnabled[kSendSlot]);
  ASSERT_TRUE(Send_MSG(client, {16, 0, 8, 0, {0, 0, 0, 1}}));
  EXPECT_EQ(TakeSent(client), with_echo(BuildPacket(16, 8, {0, 0, 0, 1})));
  ASSERT_TRUE(Send_MSG(client, {300, 0, 1, 0, {-1, 0, 0, 0}}));
  auto odd = TakeSent(client);
  EXPECT_EQ(odd[2], 1);
  EXPECT_EQ(odd[3], 44);
  EXPECT_EQ(odd[8], 0xFF);
  EXPECT_EQ(odd[9], 0xFF);
}

TEST(SendMsgTest, ChatLinesTravelInGb2312UpToOneHundredCharacters) {
  Client client;
  EXPECT_FALSE(Send_MSG(client, {19, 0, 8, 0, {}}));  // nothing to say
  EXPECT_EQ(client.net.SendRing.Waiting(), 0);
  EXPECT_FALSE(client.heartbeat.TickEnabled[kSendSlot]);

  client.data.ChatText = "你好ab";
  ASSERT_TRUE(Send_MSG(client, {19, 0, 8, 0, {}}));
  auto sent = TakeSent(client);
  const std::vector<uint8_t> expected = {0xC4, 0xE3, 0xBA, 0xC3, 'a', 'b', 0};
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), sent.begin() + 16));
  EXPECT_EQ(sent[3], 19);
  EXPECT_TRUE(client.data.ChatText.empty());

  std::string long_text;
  for (int i = 0; i < 120; ++i) long_text += "字";
  client.data.ChatText = long_text;
  ASSERT_TRUE(Send_MSG(client, {19, 0, 8, 0, {}}));
  sent = TakeSent(client);
  EXPECT_EQ(test::TextAt(sent, 16), long_text.substr(0, 100 * 3));
  EXPECT_EQ(sent[216], 0);
}

TEST(SendMsgTest, AFullSendRingRefusesThePacketAndStaysIntact) {
  Client client;
  for (int16_t i = 0; i < 127; ++i) ASSERT_TRUE(Send_MSG(client, {24, 0, 1, 0, {i, 0, 0, 0}}));
  GamePacket extra(BuildPacket(45, 1));
  EXPECT_FALSE(QueuePacket(client, extra));
  EXPECT_FALSE(Send_MSG(client, {24, 0, 1, 0, {}}));
  EXPECT_EQ(client.net.SendRing.Waiting(), 127 * 272);
  for (int i = 0; i < 127; ++i) ASSERT_EQ(TakeSent(client)[9], i);
}

TEST(SendMsgTest, QueuePacketStampsTheEchoTokenIntoTheCallersPacket) {
  Client client;
  client.net.EchoToken = {7, 9};
  GamePacket packet(BuildPacket(45, 2));
  ASSERT_TRUE(QueuePacket(client, packet));
  EXPECT_EQ(packet.Byte(260), 7);
  EXPECT_EQ(packet.Byte(261), 9);
  EXPECT_EQ(TakeSent(client), packet.bytes());
}

}  // namespace
}  // namespace slvn
