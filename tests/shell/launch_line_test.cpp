#include "shell/launch_line.h"

#include <gtest/gtest.h>

namespace slvn {
namespace {

TEST(LaunchLineTest, FullSeatedLine) {
  auto r = ParseLaunchLine(
      "  alice$key2$10.0.0.5$7001$一号房间$5$127.0.0.1$1080$bob$pw$1$My Lobby$Window$1$42$ ");
  ASSERT_TRUE(r.line) << r.error;
  const LaunchLine& l = *r.line;
  EXPECT_FALSE(l.WatchMode);
  EXPECT_EQ(l.LoginName, "alice");
  EXPECT_EQ(l.LoginString2, "key2");
  EXPECT_EQ(l.GameServerHost, "10.0.0.5");
  EXPECT_EQ(l.GameServerPort, 7001);
  EXPECT_EQ(l.RoomCaption, "一号房间");
  EXPECT_EQ(l.ProxyType, 5);
  EXPECT_EQ(l.ProxyServerHost, "127.0.0.1");
  EXPECT_EQ(l.ProxyServerPort, 1080);
  EXPECT_EQ(l.ProxyUser, "bob");
  EXPECT_EQ(l.ProxyPassword, "pw");
  EXPECT_TRUE(l.UseLobbyCaption);
  EXPECT_EQ(l.LobbyTitle, "My Lobby");
  EXPECT_EQ(l.WindowCaption, "Window");
  EXPECT_EQ(l.Prop_swicth, 1);
  EXPECT_EQ(l.Prop_Param, 42);
}

TEST(LaunchLineTest, ShortLinesSpectatorsAndFlags) {
  // Missing fields keep their start values.
  auto shortline = ParseLaunchLine("alice$k$host$7001$room$0$");
  ASSERT_TRUE(shortline.line);
  EXPECT_FALSE(shortline.line->WatchMode);
  EXPECT_EQ(shortline.line->LobbyTitle, "");
  EXPECT_FALSE(shortline.line->UseLobbyCaption);
  EXPECT_EQ(shortline.line->Prop_swicth, 0);

  // A spectator: all after the fifth "$" is the watched id; fields 6-15 stay at start.
  auto watch = ParseLaunchLine("alice$k$host$7001$room$123456789012$5$x");
  ASSERT_TRUE(watch.line);
  EXPECT_TRUE(watch.line->WatchMode);
  EXPECT_EQ(watch.line->RoomCaption, "room");
  EXPECT_EQ(watch.line->WatchUserID, 123456789012.0);
  EXPECT_EQ(watch.line->ProxyType, 0);

  struct FlagCase {
    const char* field11;
    bool use;
  } flags[] = {{"1", true},    {"1abc", true}, {"0", false},
               {"abc", false}, {"", false},    {"2", false}};
  for (auto c : flags) {
    auto r = ParseLaunchLine(std::string("a$b$h$1$r$0$$$$$") + c.field11 + "$t$w$0$0$");
    ASSERT_TRUE(r.line);
    EXPECT_EQ(r.line->UseLobbyCaption, c.use) << c.field11;
  }
}

TEST(LaunchLineTest, NumbersThatDoNotConvertFailClearly) {
  struct Case {
    const char* line;
    bool ok;
  } cases[] = {
      {"a$b$h$$r$0$", true},        // empty port reads 0
      {"a$b$h$70000$r$0$", false},  // out of range, no overflow
      {"a$b$h$12x$r$0$", false},
      {"a$b$h$1$r$5$p$bad$", false},  // proxy port is used with type 5
      {"a$b$h$1$r$0$p$bad$", true},   // and ignored otherwise
      {"a$b$h$1$r$zz$", true},        // unknown proxy type: no connection
      {"", false},
      {"   ", false},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseLaunchLine(c.line).line.has_value(), c.ok) << c.line;
  EXPECT_EQ(ParseLaunchLine("a$b$h$1$r$zz$").line->ProxyType, -1);
}

TEST(LaunchLineTest, ProxyCredentialsAreCutTo255Characters) {
  std::string user(300, 'u');
  auto r = ParseLaunchLine("a$b$h$1$r$5$p$1080$" + user + "$pw$");
  ASSERT_TRUE(r.line);
  EXPECT_EQ(r.line->ProxyUser.size(), 255u);
}

TEST(LaunchLineTest, LoginPacketLayoutAndCuts) {
  LoginPacketBytes p = BuildLoginPacket("alice", "secret");
  EXPECT_EQ(p[2], 0);
  EXPECT_EQ(p[3], 18);
  EXPECT_EQ(p[6], 0);
  EXPECT_EQ(p[14], 1);
  EXPECT_EQ(std::string(p.begin() + 16, p.begin() + 21), "alice");
  EXPECT_EQ(p[21], 0);
  EXPECT_EQ(std::string(p.begin() + 32, p.begin() + 38), "secret");

  // A long name stops at byte 31, a long second string before the echo token.
  LoginPacketBytes cut = BuildLoginPacket(std::string(40, 'n'), std::string(400, 's'));
  EXPECT_EQ(cut[31], 'n');
  EXPECT_EQ(cut[32], 's');
  EXPECT_EQ(cut[259], 's');
  for (size_t i = 260; i < 272; ++i) EXPECT_EQ(cut[i], 0) << i;
}

TEST(LaunchLineTest, ArgumentsAreJoinedBySingleBlanksAndTrimmed) {
  const char* argv[] = {"slvn", " alice$b$", "c$ "};
  EXPECT_EQ(JoinLaunchArguments(3, argv), "alice$b$ c$");
  EXPECT_EQ(JoinLaunchArguments(1, argv), "");
}

}  // namespace
}  // namespace slvn
