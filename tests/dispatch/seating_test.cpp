#include "dispatch/seating.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dispatch/deal_msg.h"
#include "plugin/test_prop_plugin.h"
#include "shell/client.h"
#include "shell/heartbeat_state.h"
#include "shell/net/packet_io.h"
#include "shell/program_end.h"
#include "support/fake_video.h"
#include "support/packet_builder.h"
#include "support/table_layout.h"
#include "support/user_details_builder.h"

namespace slvn {
namespace {

using test::UserDetailsFields;

// The table server's way of seating: the own details (seat 15), three
// joiners (seat 0), the four seat names, then the seated details by seat bit.
// The own seat becomes East (8): South (4) sits left, West (2) across,
// North (1) right.
UserDetailsFields Player(const char* account, const char* name, const char* title,
                         const char* picture, int sex, uint64_t coins, const char* grade,
                         uint32_t wealth = 0) {
  UserDetailsFields f;
  f.account = account;
  f.name = name;
  f.title = title;
  f.picture = picture;
  f.sex = sex;
  f.coins = coins;
  f.grade = grade;
  f.wealth = wealth;
  return f;
}
UserDetailsFields Me() {
  UserDetailsFields f = Player("me", "小明", "新手", "m3", 1, 1000, "书生");
  f.seat = 15;
  f.area = "杭州";
  f.dialect = "sc";
  f.voice = "a";
  return f;
}
UserDetailsFields Bob() {
  return Player("bob", "鲍勃", "老手", "w2", 0, 2500, "秀才", 5);
}
UserDetailsFields Carol() {
  UserDetailsFields f = Player("carol", "卡萝", "高手", "m10", 2, 3000, "举人", 3);
  f.dialect = "gd";
  f.voice = "b2";
  return f;
}
UserDetailsFields Dave() {
  return Player("dave", "大卫", "新手", "m1", 1, 100, "童生", 9);
}

class SeatingTest : public ::testing::TestWithParam<float> {
 protected:
  SeatingTest() {
    test::LayOutTable(client, GetParam());
    client.video = test::MakeRecordingVideoControls(video);
    client.custom[0].name = "me";
    client.data.LoggedIn = true;
  }
  void Send(const test::PacketBytes& packet) {
    StoreArrivedBytes(client, packet);
    ReadPacket(client);
    Deal_MSG(client);
  }
  void SeatName(int seat, const char* name) {
    test::PacketBytes packet = test::BuildPacket(3, seat);
    test::PutText(packet, 16, name);
    Send(packet);
  }
  void SeatNames() {
    SeatName(1, "dave");
    SeatName(2, "carol");
    SeatName(4, "bob");
    SeatName(8, "me");
  }
  void Seated(UserDetailsFields f, int seat, bool ready = false) {
    f.seat = seat;
    f.ready = ready;
    Send(test::BuildUserDetails(f));
  }
  void LoginAndJoiners() {
    Send(test::BuildUserDetails(Me()));
    for (const UserDetailsFields& f : {Bob(), Carol(), Dave()}) Send(test::BuildUserDetails(f));
  }
  Picture Resource(const std::string& number) {
    return LoadResourcePicture(client, *ResourceNumber(number));
  }
  bool DrawTurnedTile(int wind_index) {
    const Picture turned = Resource(client.images.TilePics[147 - wind_index]);
    for (int i = 0; i < 4; ++i)
      if (f.MJ_Image[i].Picture() == turned) return true;
    return false;
  }

  Client client{std::make_unique<ManualClock>()};
  MainForm& f = client.main_form;
  test::VideoCallLog video;
};

TEST_P(SeatingTest, TheServersLoginOrderSeatsTheTableAndDrawsTheWinds) {
  LoginAndJoiners();
  const Data& d = client.data;
  EXPECT_EQ(d.OtherPlayerCount, 3);
  EXPECT_TRUE(d.TableCleared);  // the third joiner cleared the table
  EXPECT_TRUE(f.ActivationPending());  // the full table comes to the front
  EXPECT_EQ(client.chat.Sysmsg[0], "游戏将在15秒内开始");
  struct Expect {
    const char* account;
    const char* label;
    const char* coins;
    const char* level;
    int portrait;
  } seats[] = {{"me", "[新手] 小明", "1000金币", "书生", 2},
               {"bob", "[老手] 鲍勃", "2500金币", "秀才", 11},
               {"carol", "[高手] 卡萝", "3000金币", "举人", 9},
               {"dave", "[新手] 大卫", "100金币", "童生", 0}};
  for (int s = 0; s < 4; ++s) {
    SCOPED_TRACE(s);
    EXPECT_EQ(client.custom[s].name, seats[s].account);
    EXPECT_EQ(f.Nid[s].Caption(), seats[s].label);
    EXPECT_EQ(f.Cash[s].Caption(), seats[s].coins);
    EXPECT_EQ(f.Level[s].Caption(), seats[s].level);
    EXPECT_EQ(f.Tou[s].Picture(), Resource(client.images.AvatarPics[seats[s].portrait]));
    EXPECT_EQ(d.ScoreNames[s][1], std::to_string(seats[s].portrait));
  }
  EXPECT_EQ(d.ScoreNames[1][0], "鲍勃");
  EXPECT_EQ(f.lbwealth.Caption(), "3");  // the smallest wealth above 0
  EXPECT_TRUE(f.Imgwealth.Visible());

  SeatNames();
  EXPECT_EQ(client.custom[0].SeatWind, 8);
  const std::string own_label = f.Nid[0].Caption(), own_coins = f.Cash[0].Caption();
  UserDetailsFields changed = Me();
  changed.name = "别人";
  changed.coins = 1;
  Seated(changed, 8);
  EXPECT_EQ(f.Nid[0].Caption(), own_label);  // the own-seat message changes no own label
  EXPECT_EQ(f.Cash[0].Caption(), own_coins);
  EXPECT_EQ(client.Detail[0].name, "小明");
  Seated(Bob(), 4);
  Seated(Carol(), 2);
  EXPECT_FALSE(f.ZhiNan.Visible());
  Seated(Dave(), 1);
  // The fourth: the wind draw turned East for one of the four tiles, the compass shows East.
  EXPECT_TRUE(DrawTurnedTile(3));
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(f.MJ_Image[i].Visible());
  EXPECT_TRUE(f.ZhiNan.Visible());
  EXPECT_EQ(f.ZhiNan.Picture(), Resource(client.images.CompassPics[3]));
  EXPECT_FALSE(d.SeatNamesSeen);
  // Voices: sex 0 and 1 speak the common voice; any other sex keeps its codes.
  const char* voices[] = {"10", "10", "b2", "10"};
  const int kinds[] = {3, 2, 3, 3};
  for (int s = 0; s < 4; ++s) {
    EXPECT_EQ(client.Detail[s].voice, voices[s]) << s;
    EXPECT_EQ(d.SeatVoice[s], voices[s]) << s;
    EXPECT_EQ(client.Detail[s].voiceKind, kinds[s]) << s;
  }
  EXPECT_EQ(client.Detail[2].dialect, "gd");
  EXPECT_EQ(client.Detail[1].dialect, "00");
}

TEST_P(SeatingTest, AReseatWithReadyMarksStillDrawsTheWindsAndFindsTheNewSeat) {
  LoginAndJoiners();
  SeatNames();
  Seated(Me(), 8);
  Seated(Bob(), 4);
  Seated(Carol(), 2);
  Seated(Dave(), 1);
  // A hand was played, and the next one starts with the table not yet cleared.
  client.data.HandsDealt = 1;
  client.data.TableCleared = false;
  f.ZhiNan.SetVisible(false);
  // The next table: the own seat is now South, the others declared ready already.
  SeatName(1, "dave");
  SeatName(2, "carol");
  SeatName(4, "me");
  SeatName(8, "bob");
  EXPECT_EQ(client.custom[0].SeatWind, 4);  // no count left over from the batch before
  Seated(Me(), 4);
  Seated(Bob(), 8, true);
  Seated(Carol(), 2, true);
  Seated(Dave(), 1, true);
  // The table was cleared for the next game in the middle of the batch (a
  // full table, then the third ready mark); the batch still completed.
  EXPECT_TRUE(client.data.TableCleared);
  EXPECT_TRUE(client.data.AnNiuState[2]);
  EXPECT_EQ(f.AnNiu[2].Picture(), Resource(client.images.ButtonPics[6]));
  EXPECT_TRUE(f.ZhiNan.Visible());
  EXPECT_EQ(f.ZhiNan.Picture(), Resource(client.images.CompassPics[2]));
  EXPECT_TRUE(DrawTurnedTile(2));
  for (int s = 1; s <= 3; ++s) EXPECT_TRUE(f.OK[s].Visible()) << s;
}

TEST_P(SeatingTest, SeatBytesPickTheSeatOrNothing) {
  struct Case {
    const char* name;
    uint8_t own_wind;
    std::vector<int> filled;  // display seats whose name label is taken already
    int seat_byte;
    int seat;  // display seat described, -1 none
  } cases[] = {
      {"the own player at login", 0, {}, 15, 0},
      {"a joiner takes the first empty seat", 0, {1}, 0, 2},
      {"a joiner whatever the count says", 0, {1, 3}, 0, 2},
      {"a joiner with no empty seat is ignored", 0, {1, 2, 3}, 0, -1},
      {"a seated player by seat bit", 8, {}, 2, 2},
      {"the seat bit left of East", 8, {}, 4, 1},
      {"a seat bit on seat 0 while the own seat is unknown", 0, {}, 1, -1},
      {"another seat bit while the own seat is unknown", 0, {}, 2, 3},
      {"a seat byte of two bits", 8, {}, 3, -1},
      {"a seat byte of 9", 8, {}, 9, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Client fresh{std::make_unique<ManualClock>()};
    test::LayOutTable(fresh, GetParam());
    fresh.custom[0].SeatWind = c.own_wind;
    fresh.data.OtherPlayerCount = 1;
    for (int s : c.filled) fresh.main_form.Nid[s].SetCaption("taken");
    UserDetailsFields who = Dave();
    who.seat = c.seat_byte;
    StoreArrivedBytes(fresh, test::BuildUserDetails(who));
    ReadPacket(fresh);
    Deal_MSG(fresh);
    for (int s = 0; s < 4; ++s) {
      const bool described = s == c.seat;
      EXPECT_EQ(fresh.Detail[s].name == "大卫", described) << s;
      EXPECT_EQ(fresh.custom[s].name == "dave", described) << s;
    }
  }
}

TEST_P(SeatingTest, ThePlugInShowsThePlayerOnlyWhenItTookThem) {
  struct Case {
    const char* name;
    int16_t state;
    int16_t swicth;
    bool no_plugin_byte;
    bool answer;
    uint64_t coins;
    int16_t state_after;
    bool told;
    bool avatar_shown;
  } cases[] = {
      {"active and accepted", 1, 1, false, true, 100, 1, true, false},
      {"refused: shut down, the avatar stays", 1, 1, false, false, 100, -1, true, true},
      {"no coins: not told", 1, 1, false, true, 0, 1, false, true},
      {"not used at this table: told, still shows nothing", 1, 1, true, true, 100, -1, true, true},
      {"not switched on", 2, 0, false, true, 100, -1, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Client fresh{std::make_unique<ManualClock>()};
    test::LayOutTable(fresh, GetParam());
    fresh.video = test::MakeRecordingVideoControls(video);
    test::TestPropPlugin& plugin = test::InstallInProcessPlugin(fresh);
    plugin.userinfo_answer = c.answer;
    fresh.prop.Prop_GameDllState = c.state;
    fresh.shell.launch.Prop_swicth = c.swicth;
    fresh.custom[0].SeatWind = 8;  // seat names not yet seen: the plug-in is told seat bit 4
    UserDetailsFields who = Carol();
    who.seat = 2;
    who.coins = c.coins;
    who.credit = 7;
    who.no_plugin = c.no_plugin_byte;
    fresh.main_form.Tou[2].SetVisible(true);
    StoreArrivedBytes(fresh, test::BuildUserDetails(who));
    ReadPacket(fresh);
    Deal_MSG(fresh);
    EXPECT_EQ(fresh.prop.Prop_GameDllState, c.state_after);
    const auto told = std::find(plugin.calls.begin(), plugin.calls.end(),
                                "SetUserinfo 卡萝 carol 4 2 credit 2 高手 m10");
    ASSERT_EQ(told != plugin.calls.end(), c.told) << ::testing::PrintToString(plugin.calls);
    if (c.told) {
      EXPECT_EQ(*std::next(told), c.answer ? "rec_state 2 on" : "InitExit");
    }
    EXPECT_EQ(fresh.main_form.Tou[2].Visible(), c.avatar_shown);
    EXPECT_EQ(fresh.main_form.Tou[2].Enabled(), c.avatar_shown);
    EXPECT_EQ(std::count(plugin.calls.begin(), plugin.calls.end(), "Initdll"), 0);
  }
}

TEST_P(SeatingTest, AFifthMessageToASpectatorIsIgnored) {
  client.data.WatchMode = true;
  for (int k = 0; k < 3; ++k) Send(test::BuildUserDetails(Bob()));
  EXPECT_EQ(f.Nid[1].Caption(), "");  // the first three are only kept
  EXPECT_EQ(client.data.WatchPackets[2][3], 20);
  Send(test::BuildUserDetails(Bob()));  // the fourth sets the table up, then seats Bob
  EXPECT_EQ(f.Nid[1].Caption(), "[老手] 鲍勃");
  f.Nid[1].SetCaption("");
  Send(test::BuildUserDetails(Bob()));
  EXPECT_EQ(f.Nid[1].Caption(), "");
}

INSTANTIATE_TEST_SUITE_P(BothScales, SeatingTest, ::testing::Values(1.0f, 0.78125f));

}  // namespace
}  // namespace slvn
