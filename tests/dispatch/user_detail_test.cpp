#include "dispatch/user_detail.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "shell/net/game_packet.h"
#include "support/packet_builder.h"
#include "support/user_details_builder.h"
#include "ui/amount_text.h"

namespace slvn {
namespace {

GamePacket WithBytes(std::initializer_list<std::pair<size_t, std::vector<uint8_t>>> writes) {
  test::PacketBytes packet = test::BuildPacket(20, 0);
  for (const auto& [offset, bytes] : writes) test::PutBytes(packet, offset, bytes);
  return GamePacket(packet);
}

TEST(UserDetailTest, DecodesEachFieldAsTheMessageWritesIt) {
  struct Case {
    const char* name;
    GamePacket packet;
    std::function<void(const UserDetail&)> check;
  } cases[] = {
      {"two-byte character then a letter", WithBytes({{16, {0xD5, 0xC5, 0x41, 0x00}}}),
       [](const UserDetail& d) { EXPECT_EQ(d.name, "张A"); }},
      {"a lead byte in the name's last place stands alone",
       WithBytes({{16, std::vector<uint8_t>(31, 'a')}, {47, {0xD5}}}),
       [](const UserDetail& d) { EXPECT_EQ(d.name, std::string(31, 'a') + "\xEF\xBF\xBD"); }},
      {"a lead byte in place 46 takes byte 47 as its trail",
       WithBytes({{16, std::vector<uint8_t>(30, 'a')}, {46, {0xD5, 0xC5}}}),
       [](const UserDetail& d) { EXPECT_EQ(d.name, std::string(30, 'a') + "张"); }},
      {"no portrait code is m1", WithBytes({}),
       [](const UserDetail& d) { EXPECT_EQ(d.picture, "m1"); }},
      {"a single w", WithBytes({{48, {'w'}}}),
       [](const UserDetail& d) { EXPECT_EQ(d.picture, "w"); }},
      {"paired text of two letters", WithBytes({{72, {0x41, 0x42, 0, 0}}}),
       [](const UserDetail& d) { EXPECT_EQ(d.area, "AB"); }},
      {"paired text starting with zero", WithBytes({{72, {0x00, 0x41}}}),
       [](const UserDetail& d) { EXPECT_EQ(d.area, ""); }},
      {"a pair with a zero second byte keeps its zero",
       WithBytes({{72, {0x41, 0x00, 0x42}}, {112, {0x41, 0x00, 0x42, 0x43}}, {184, {0x43, 0x00}}}),
       [](const UserDetail& d) {
         EXPECT_EQ(d.area, std::string("A\0B\0", 4));
         EXPECT_EQ(d.grade, std::string("A\0BC", 4));
         EXPECT_EQ(d.title, std::string("C\0", 2));
       }},
      {"a name's character that converts to zero is cut", WithBytes({{16, {0xD5, 0x00, 0x41}}}),
       [](const UserDetail& d) { EXPECT_EQ(d.name, "\xEF\xBF\xBD" "A"); }},
      {"coins", WithBytes({{96, {0x10, 0x27, 0, 0, 0, 0, 0, 0}}}),
       [](const UserDetail& d) { EXPECT_EQ(d.ucoin, 10000); }},
      {"coins above 2^53 keep every digit",
       WithBytes({{96, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}}),
       [](const UserDetail& d) { EXPECT_EQ(FormatAmount(d.ucoin), "18446744073709551616"); }},
      {"logins 257", WithBytes({{152, {0x01, 0x01, 0x00, 0x00}}}),
       [](const UserDetail& d) { EXPECT_EQ(d.logins, 257); }},
      {"a counter of 0xFFFFFFFF stays a count", WithBytes({{164, {0xFF, 0xFF, 0xFF, 0xFF}}}),
       [](const UserDetail& d) {
         EXPECT_EQ(d.losses, 4294967295LL);
         EXPECT_EQ(d.wins, 0);
       }},
      {"the level title's bytes as a number", WithBytes({{112, {0xB6, 0xFE}}}),
       [](const UserDetail& d) {
         EXPECT_EQ(d.grade, "二");
         EXPECT_EQ(d.gradeNumber, 0xFEB6);
       }},
      {"account, title, speech codes, user id",
       WithBytes({{168, {'b', 'o', 'b'}},
                  {184, {0xD0, 0xC2, 0xCA, 0xD6}},
                  {210, {'s', 'c'}},
                  {218, {'a', '1'}},
                  {226, {0x39, 0x30}}}),
       [](const UserDetail& d) {
         EXPECT_EQ(d.account, "bob");
         EXPECT_EQ(d.title, "新手");
         EXPECT_EQ(d.dialect, "sc");
         EXPECT_EQ(d.voice, "a1");
         EXPECT_EQ(d.userid, 12345);
       }},
      {"speech codes that would leave the voice folder are empty",
       WithBytes({{210, {'.', '.', '/', 'x'}}, {218, {'a', '/', 'b'}}}),
       [](const UserDetail& d) {
         EXPECT_EQ(d.dialect, "");
         EXPECT_EQ(d.voice, "");
       }},
      {"a speech code of eight letters runs to its last byte",
       WithBytes({{210, {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'Z'}}}),
       [](const UserDetail& d) { EXPECT_EQ(d.dialect, "abcdefgh"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UserDetail detail;
    detail.voiceKind = 3;
    detail.watchFlag = -1;
    ParseUserDetail(detail, c.packet);
    c.check(detail);
    EXPECT_EQ(detail.voiceKind, 3);  // left as they were
    EXPECT_EQ(detail.watchFlag, -1);
  }
}

TEST(UserDetailTest, TheBuilderAndTheDecoderAgree) {
  test::UserDetailsFields f;
  f.name = "鲍勃";
  f.picture = "w3";
  f.sex = 0;
  f.area = "杭州";
  f.score = 1234;
  f.credit = 5;
  f.coins = 99999;
  f.grade = "书生";
  f.counters = {1, 2, 3, 4};
  f.account = "bob";
  f.title = "新手";
  UserDetail d;
  ParseUserDetail(d, GamePacket(test::BuildUserDetails(f)));
  EXPECT_EQ(d.name, "鲍勃");
  EXPECT_EQ(d.picture, "w3");
  EXPECT_EQ(d.sex, 0);
  EXPECT_EQ(d.area, "杭州");
  EXPECT_EQ(d.score, 1234);
  EXPECT_EQ(d.credit, 5);
  EXPECT_EQ(d.ucoin, 99999);
  EXPECT_EQ(d.grade, "书生");
  EXPECT_EQ(d.logins + d.drops + d.wins + d.losses, 10);
  EXPECT_EQ(d.account, "bob");
  EXPECT_EQ(d.title, "新手");
}

TEST(UserDetailTest, WealthAboveTheLargestSignedValueIsClamped) {
  struct Case {
    uint32_t bytes;
    int32_t wealth;
  } cases[] = {{0, 0},
               {5, 5},
               {0x7FFFFFFF, 0x7FFFFFFF},
               {0x80000000u, 0x7FFFFFFF},
               {0xFFFFFFFFu, 0x7FFFFFFF}};
  for (const Case& c : cases) {
    test::PacketBytes packet = test::BuildPacket(20, 0);
    test::PutU32LE(packet, 234, c.bytes);
    EXPECT_EQ(UserDetailWealth(GamePacket(packet)), c.wealth) << c.bytes;
  }
}

TEST(UserDetailTest, PortraitCodesPickOneOfTwentyPortraits) {
  struct Case {
    const char* code;
    int portrait;
  } cases[] = {
      {"m1", 0}, {"m10", 9}, {"w3", 12}, {"w10", 19}, {"m25", 0},  {"w25", 10},
      {"m0", 0}, {"w0", 10}, {"w", 10},  {"mx", 0},   {"m1x", 0},  {"m100", 0},
      {"", 0},   {"W3", 2},  {"x7", 6},  {"m-1", 0},  {"w 9", 10},
  };
  for (const Case& c : cases) EXPECT_EQ(PortraitIndex(c.code), c.portrait) << c.code;
}

TEST(UserDetailTest, LeavingClearsThePlayerButKeepsAccountCodesAndId) {
  UserDetail d;
  ParseUserDetail(d, WithBytes({{16, {'a'}},
                                {48, {'w', '2'}},
                                {64, {1}},
                                {72, {0xD0, 0xC2}},
                                {80, {9}},
                                {96, {9}},
                                {112, {0xD0, 0xC2}},
                                {152, {9}},
                                {168, {'a'}},
                                {184, {0xD0, 0xC2}},
                                {210, {'s'}},
                                {218, {'v'}},
                                {226, {7}}}));
  d.voiceKind = 3;
  ClearTableFields(d);
  EXPECT_EQ(d.name + d.picture + d.area + d.grade, "");
  EXPECT_EQ(d.sex, 0);
  EXPECT_EQ(d.score + d.ucoin + d.gradeNumber, 0);
  EXPECT_EQ(d.logins, 0);
  EXPECT_EQ(d.account + d.title + d.dialect + d.voice, "a新sv");
  EXPECT_EQ(d.voiceKind, 3);
  EXPECT_EQ(d.userid, 7);
}

TEST(AmountTextTest, ShortestPlainDigits) {
  struct Case {
    double value;
    std::string text;
  } cases[] = {{0, "0"},
               {1234, "1234"},
               {10000, "10000"},
               {9007199254740993.0, "9007199254740992"},
               {1e20, "100000000000000000000"},
               {-0.0, "0"},
               {-25, "-25"},
               {12.5, "12.5"},
               {-0.1, "-0.1"},
               {1.0 / 3, "0.3333333333333333"},
               {5e-324, "0." + std::string(323, '0') + "5"}};
  for (const Case& c : cases) EXPECT_EQ(FormatAmount(c.value), c.text) << c.value;
}

}  // namespace
}  // namespace slvn
