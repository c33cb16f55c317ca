#include "dispatch/user_detail_video.h"

#include <gtest/gtest.h>

#include "shell/client.h"
#include "support/fake_video.h"
#include "support/table_layout.h"
#include "video/video_chat.h"
#include "video/zoom_window.h"

namespace slvn {
namespace {

using Calls = std::vector<std::string>;

class UserDetailVideoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::LayOutTable(client, 1.0f);
    client.video = test::MakeRecordingVideoControls(log);
    ConnectVideoEvents(client);
    d.VideoSetting = true;
    d.VideoLoggedIn = true;
    client.custom[0].name = "me";
    client.video.P2PSocket1->UserCount = 3;
  }
  Calls TakeCalls() { return std::exchange(log.calls, {}); }

  Client client{std::make_unique<ManualClock>()};
  test::VideoCallLog log;
  Data& d = client.data;
  MainForm& f = client.main_form;
};

TEST_F(UserDetailVideoTest, AJoinerTakesTheLastFreeSlotUnlessItsNameIsBoundAlready) {
  P2PSocket& link = *client.video.P2PSocket1;
  link.ConnectUser(2, "x");
  TakeCalls();
  client.custom[1].name = "bob";
  PairJoiningPlayerVideo(client, 1);
  EXPECT_EQ(TakeCalls(), Calls{"ConnectUser 3 bob"});
  // Already in slot 3 and linked: left alone; not yet linked: bound again there.
  PairJoiningPlayerVideo(client, 1);
  EXPECT_EQ(TakeCalls(), Calls{});
  log.slot_states[3] = 5;
  PairJoiningPlayerVideo(client, 1);
  EXPECT_EQ(TakeCalls(), Calls{"ConnectUser 3 bob"});
  // Not while a log-in is under way, nor for a nameless seat.
  d.VideoLoggedIn = false;
  client.custom[2].name = "carol";
  PairJoiningPlayerVideo(client, 2);
  d.VideoLoggedIn = true;
  client.custom[3].name = "";
  PairJoiningPlayerVideo(client, 3);
  EXPECT_EQ(TakeCalls(), Calls{});
}

TEST_F(UserDetailVideoTest, TheFirstReplacedMateClosesEveryPeersVideoOnce) {
  d.TableMateNames = {"old", "top", "right"};
  P2PSocket& link = *client.video.P2PSocket1;
  link.ConnectUser(1, "old");
  link.ConnectUser(2, "top");
  TakeCalls();
  for (int s = 1; s <= 3; ++s) {
    f.vshow[s].SetVisible(true);
    d.LastFrame[s] = {1, 2};
    d.FrameSendCount[s] = 4;
  }
  ZoomWindowOf(client, 2).Show();
  client.custom[1].name = "new";
  PairJoiningPlayerVideo(client, 1);
  EXPECT_EQ(d.RejoinCount, 1);
  EXPECT_EQ(TakeCalls(), (Calls{"DropUser 1", "DropUser 2", "LogoutServer", "ConnectUser 3 new"}));
  for (int s = 1; s <= 3; ++s) {
    EXPECT_FALSE(f.vshow[s].Visible()) << s;
    EXPECT_TRUE(d.LastFrame[s].empty()) << s;
    EXPECT_EQ(d.FrameSendCount[s], 0) << s;
  }
  EXPECT_FALSE(ZoomWindowOf(client, 2).Visible());
  // A second replacement only counts.
  client.custom[2].name = "another";
  log.slot_states = {{1, 15}, {2, 5}, {3, 15}};  // none free: its own seat number
  PairJoiningPlayerVideo(client, 2);
  EXPECT_EQ(d.RejoinCount, 2);
  EXPECT_EQ(TakeCalls(), Calls{"ConnectUser 2 another"});
  // With video off nothing is called, the count still moves.
  d.VideoSetting = false;
  client.custom[3].name = "third";
  PairJoiningPlayerVideo(client, 3);
  EXPECT_EQ(d.RejoinCount, 3);
  EXPECT_EQ(TakeCalls(), Calls{});
}

TEST_F(UserDetailVideoTest, OwnDetailsLogInStartTheCameraAndKeepItShown) {
  LoginOwnVideo(client);
  EXPECT_EQ(TakeCalls(), (Calls{"LoginServer me", "OpenDevice", "StartCapture"}));
  EXPECT_TRUE(d.OwnCaptureOn);
  EXPECT_TRUE(f.vcap1.Visible() && f.PicLocal[0].Visible());
  LoginOwnVideo(client);  // the camera runs: only the log-in again
  EXPECT_EQ(TakeCalls(), Calls{"LoginServer me"});
  EndUserDetailsVideo(client);
  EXPECT_TRUE(f.vcap1.Visible());  // the running camera stays over the avatar
  // A missing camera says so.
  Client other{std::make_unique<ManualClock>()};
  test::LayOutTable(other, 1.0f);
  test::VideoCallLog other_log;
  other_log.start_capture_result = 2;
  other.video = test::MakeRecordingVideoControls(other_log);
  other.data.VideoSetting = true;
  LoginOwnVideo(other);
  EXPECT_FALSE(other.data.OwnCaptureOn);
  EXPECT_EQ(other.chat.Sysmsg[0], "您没有视频设备或您的视频源正在使用。");
}

TEST_F(UserDetailVideoTest, ResetAndHandOverHideThePanelsWithoutTheVideoSetting) {
  d.VideoSetting = false;
  for (int s = 1; s <= 3; ++s) {
    f.vshow[s].SetVisible(true);
    f.ImgKuang[s].SetVisible(true);
    d.FirstFrameShown[s] = d.VideoClosedByUser[s] = true;
  }
  HandOverVideoPanel(client, 2);
  EXPECT_FALSE(f.vshow[2].Visible() || f.ImgKuang[2].Visible() || d.FirstFrameShown[2]);
  EXPECT_TRUE(d.VideoClosedByUser[2]);
  HandOverVideoPanel(client, 7);  // no such seat: nothing
  ZoomWindowOf(client, 1).Show();
  ResetPeerVideoPanels(client);
  for (int s = 1; s <= 3; ++s) {
    EXPECT_FALSE(f.vshow[s].Visible()) << s;
    EXPECT_FALSE(d.FirstFrameShown[s] || d.VideoClosedByUser[s]) << s;
  }
  EXPECT_FALSE(ZoomWindowOf(client, 1).Loaded());
  EXPECT_EQ(TakeCalls(), Calls{});
}

TEST_F(UserDetailVideoTest, TheSettingsSwitchHidesAndShowsThePanelsAgain) {
  d.OwnCaptureOn = true;
  f.vshow[1].SetVisible(true);
  f.ImgKuang[1].SetVisible(true);
  ZoomWindowOf(client, 0).Show();
  SwitchVideoPanelsOff(client);
  EXPECT_FALSE(f.vshow[1].Visible() || f.ImgKuang[1].Visible());
  EXPECT_TRUE(f.Tou[1].Visible());
  EXPECT_FALSE(ZoomWindowOf(client, 0).Visible());
  f.ImgShow[2].SetVisible(true);
  SwitchVideoPanelsOn(client);
  EXPECT_TRUE(f.PicLocal[0].Visible());
  EXPECT_TRUE(f.vshow[2].Visible() && f.ImgKuang[2].Visible() && f.PicLocal[2].Visible());
  EXPECT_FALSE(f.ImgShow[2].Visible() || f.Tou[2].Visible());
  EXPECT_FALSE(f.vshow[1].Visible());  // switched off without its reopen button
  f.Tiplbl.SetVisible(true);
  HideVideoTip(client);
  EXPECT_FALSE(f.Tiplbl.Visible());
}

}  // namespace
}  // namespace slvn
