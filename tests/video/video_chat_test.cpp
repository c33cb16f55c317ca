#include "video/video_chat.h"

#include <gtest/gtest.h>

#include "dispatch/deal_msg.h"
#include "shell/client.h"
#include "shell/net/packet_io.h"
#include "support/fake_video.h"
#include "support/packet_builder.h"
#include "support/table_layout.h"
#include "video/zoom_window.h"

namespace slvn {
namespace {

using Calls = std::vector<std::string>;

class VideoChatTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::LayOutTable(client, 1.0f);
    client.video = test::MakeRecordingVideoControls(log);
    ConnectVideoEvents(client);
    client.data.VideoSetting = true;
    const char* names[] = {"me", "left", "top", "right"};
    for (int i = 0; i < 4; ++i) client.custom[i].name = names[i];
    client.custom[0].SeatWind = 8;
    client.shell.launch.GameServerHost = "127.0.0.1";
    client.video.P2PSocket1->UserCount = 3;
  }

  void Dispatch(int cmd, int seat, std::array<int, 4> values = {}) {
    StoreArrivedBytes(client, test::BuildPacket(cmd, seat, values));
    ReadPacket(client);
    Deal_MSG(client);
  }

  Calls TakeCalls() { return std::exchange(log.calls, {}); }

  Client client{std::make_unique<ManualClock>()};
  test::VideoCallLog log;
  Data& d = client.data;
  MainForm& f = client.main_form;
};

TEST_F(VideoChatTest, EachStepRunsOncePerHandAndAgainAfterTheTeardown) {
  const Calls start = {"LoginServer me", "OpenDevice", "StartCapture"};
  const Calls pair = {"ConnectUser 1 left", "ConnectUser 2 top", "ConnectUser 3 right"};
  const Calls close = {"DropUser 1", "DropUser 2", "DropUser 3", "StopCapture", "LogoutServer"};
  Dispatch(4, 8, {1, 2, 0, 0});
  EXPECT_EQ(TakeCalls(), start);
  EXPECT_TRUE(d.OwnCaptureOn);
  for (int i = 0; i < 4; ++i) Dispatch(1, 8, {0x11, 0x12, 0x13, 0x14});
  Dispatch(2, 4, {0, 0, 0, 0x15});
  EXPECT_EQ(TakeCalls(), pair);
  // The end-of-hand rows each end the hand's video; only the first does anything.
  for (int i = 0; i < 4; ++i) CloseVideo(client);
  EXPECT_EQ(TakeCalls(), close);
  EXPECT_FALSE(d.OwnCaptureOn);
  EXPECT_TRUE(d.VideoLoggedIn);
  Dispatch(4, 8, {1, 2, 0, 0});
  EXPECT_EQ(TakeCalls(), start);
  Dispatch(1, 8, {0x11, 0x12, 0x13, 0x14});
  EXPECT_EQ(TakeCalls(), pair);
}

TEST_F(VideoChatTest, VideoOffCallsNothing) {
  d.VideoSetting = false;
  Dispatch(4, 8, {1, 2, 0, 0});
  Dispatch(1, 8, {0x11, 0x12, 0x13, 0x14});
  CloseVideo(client);
  EXPECT_EQ(TakeCalls(), Calls{});
  Dispatch(4, 8, {1, 2, 0, 0});  // the guards were cleared
  EXPECT_EQ(TakeCalls(), Calls{});
}

TEST_F(VideoChatTest, AMissingCameraSaysSoOnceAHand) {
  log.start_capture_result = 1;
  StartLocalVideo(client);
  StartLocalVideo(client);
  EXPECT_FALSE(d.OwnCaptureOn);
  EXPECT_FALSE(f.vcap1.Visible());
  EXPECT_EQ(client.chat.Sysmsg[0], "您没有视频设备或您的视频源正在使用。");
  EXPECT_EQ(client.chat.Sysmsg[1], std::nullopt);
}

TEST_F(VideoChatTest, TheOwnPanelShowsFourTicksLaterAndStaysOnTheTable) {
  StartLocalVideo(client);
  ASSERT_TRUE(d.OwnCaptureOn);
  EXPECT_TRUE(d.OwnVideoRetry);
  EXPECT_FALSE(f.PicLocal[0].Visible());
  EXPECT_LE(f.PicLocal[0].Top() + f.PicLocal[0].Height(), 768);
  // The heartbeat ticks every 50 ms: three ticks leave the panel hidden, the
  // fourth shows it.
  f.TimerBong.SetEnabled(true);
  client.loop.RunFor(0.175);
  EXPECT_FALSE(f.vcap1.Visible());
  EXPECT_FALSE(f.PicLocal[0].Visible());
  client.loop.RunFor(0.05);
  EXPECT_TRUE(f.vcap1.Visible());
  EXPECT_TRUE(f.PicLocal[0].Visible());
  EXPECT_FALSE(d.OwnVideoRetry);
  ShowOwnVideo(client, true, true);
  EXPECT_FALSE(f.vcap1.Visible());
  EXPECT_TRUE(f.Tou[0].Visible());
}

TEST(VideoSlotTest, ANameAlreadyBoundWinsThenTheFirstOrLastFreeSlotThenTheSeat) {
  struct Case {
    const char* what;
    std::array<const char*, 3> bound;  // "" free
    std::array<int16_t, 3> states;     // -1: as bound
    int seat, first, last;
  } cases[] = {
      {"all free", {"", "", ""}, {-1, -1, -1}, 2, 1, 3},
      {"middle taken", {"", "x", ""}, {-1, -1, -1}, 1, 1, 3},
      {"name in slot 3, slot 1 free", {"", "", "bob"}, {-1, -1, -1}, 1, 3, 3},
      {"name in slot 2 linked", {"x", "bob", "y"}, {-1, 15, -1}, 3, 2, 2},
      {"none free", {"x", "y", "z"}, {-1, -1, -1}, 2, 2, 2},
      {"free by state", {"x", "y", "z"}, {-1, 0, -1}, 3, 2, 2},
  };
  for (const Case& c : cases) {
    test::VideoCallLog log;
    VideoControls v = test::MakeRecordingVideoControls(log);
    for (int j = 1; j <= 3; ++j) {
      if (*c.bound[j - 1]) v.P2PSocket1->ConnectUser(j, c.bound[j - 1]);
      if (c.states[j - 1] >= 0) log.slot_states[j] = c.states[j - 1];
    }
    EXPECT_EQ(ChooseVideoSlot(*v.P2PSocket1, "bob", c.seat, FreeSlotRule::kFirst), c.first)
        << c.what;
    EXPECT_EQ(ChooseVideoSlot(*v.P2PSocket1, "bob", c.seat, FreeSlotRule::kLast), c.last) << c.what;
  }
}

TEST_F(VideoChatTest, PairingSkipsUnnamedSeatsAndLinkedSlots) {
  client.custom[2].name.clear();
  log.slot_states[3] = 12;  // slot 3 already carries a link
  client.video.P2PSocket1->ConnectUser(3, "right");
  TakeCalls();
  ConnectTableVideo(client);
  EXPECT_EQ(TakeCalls(), Calls{"ConnectUser 1 left"});
}

TEST_F(VideoChatTest, OwnFramesGoOutThinnedBelowFifteenAndAllAtFifteen) {
  client.video.P2PSocket1->ConnectUser(1, "left");
  client.video.P2PSocket1->ConnectUser(2, "top");
  client.video.P2PSocket1->ConnectUser(3, "right");
  log.slot_states = {{1, 12}, {2, 15}, {3, 9}};
  TakeCalls();
  const VideoFrame frame = MakeTestPatternBmp(4, 4, 0);
  std::vector<int> to_slot1, to_slot2;
  for (int n = 1; n <= 70; ++n) {
    client.video.vcap1->FrameCaptured(frame);
    for (const std::string& call : TakeCalls()) {
      if (call.rfind("SendFrame 1", 0) == 0) to_slot1.push_back(n);
      if (call.rfind("SendFrame 2", 0) == 0) to_slot2.push_back(n);
      EXPECT_NE(call.rfind("SendFrame 3", 0), 0u) << "a slot below 10 gets nothing";
    }
  }
  EXPECT_EQ(to_slot1, (std::vector<int>{1, 2, 3, 24, 45, 66}));
  EXPECT_EQ(to_slot2.size(), 70u);
  EXPECT_EQ(d.FrameSendCount[2], 0);
  EXPECT_EQ(d.LastFrame[0], frame);
  // Ready for the format: format, parameter, then the last own frame.
  client.video.P2PSocket1->UserStateChanged(2, 14);
  EXPECT_EQ(TakeCalls(), (Calls{"SendFormat 2", "SendParam 2 0",
                                "SendFrame 2 " + std::to_string(frame.size())}));
}

TEST_F(VideoChatTest, ArrivingFramesOpenThePanelThenDrawAtOnce) {
  P2PSocket& link = *client.video.P2PSocket1;
  link.ConnectUser(1, "left");
  link.ConnectUser(2, "stranger");
  TakeCalls();
  const VideoFrame a = MakeTestPatternBmp(4, 4, 1), b = MakeTestPatternBmp(4, 4, 2);
  // A name that sits nowhere, and a bad frame, change nothing.
  link.FrameArrived(2, a);
  VideoFrame bad = a;
  bad[0] = 'X';
  link.FrameArrived(1, bad);
  EXPECT_TRUE(d.LastFrame[1].empty());
  EXPECT_TRUE(d.LastFrame[2].empty());
  // The first frame opens the panel; the timer draws it 30 ms later.
  link.FrameArrived(1, a);
  EXPECT_TRUE(f.vshow[1].Visible() && f.PicLocal[1].Visible() && f.ImgKuang[1].Visible());
  EXPECT_EQ(TakeCalls(), Calls{});
  client.loop.RunFor(0.03);
  EXPECT_EQ(TakeCalls(), Calls{"ShowFrame 1"});
  link.FrameArrived(1, b);
  EXPECT_EQ(TakeCalls(), Calls{"ShowFrame 1"});
  // An open zoom window shows the frame too; a closed one does not.
  ZoomWindowOf(client, 1).Show();
  link.FrameArrived(1, a);
  EXPECT_EQ(TakeCalls(), (Calls{"ShowFrame 1", "ShowZoom 1"}));
  ZoomWindowOf(client, 1).Unload();
  // A seat the user switched off keeps its newest frame but shows nothing.
  d.VideoClosedByUser[1] = true;
  link.FrameArrived(1, b);
  EXPECT_EQ(TakeCalls(), Calls{});
  EXPECT_EQ(d.LastFrame[1], b);
  // Below state 10 a frame is kept, not shown.
  d.VideoClosedByUser[1] = false;
  log.slot_states[1] = 9;
  link.FrameArrived(1, a);
  EXPECT_EQ(TakeCalls(), Calls{});
  EXPECT_EQ(d.LastFrame[1], a);
}

TEST_F(VideoChatTest, TheZoomRedrawGoesToTheTargetOnlyWhileItIsOpen) {
  d.LastFrame[2] = MakeTestPatternBmp(4, 4, 0);
  ZoomWindowOf(client, 2).Show();
  d.ZoomTarget = 2;
  f.Timer_Zoom.SetEnabled(true);
  client.loop.RunFor(0.1);
  EXPECT_EQ(TakeCalls(), Calls{"ShowZoom 2"});
  EXPECT_FALSE(f.Timer_Zoom.Enabled());
  ZoomWindowOf(client, 2).Unload();
  f.Timer_Zoom.SetEnabled(true);
  client.loop.RunFor(0.1);
  EXPECT_EQ(TakeCalls(), Calls{});
  EXPECT_FALSE(ZoomWindowOf(client, 2).Loaded());
}

TEST_F(VideoChatTest, ReopeningAPeerDrawsItsStoredFrameLater) {
  d.LastFrame[3] = MakeTestPatternBmp(4, 4, 0);
  d.VideoClosedByUser[3] = true;
  ImgShow_Click(client, 3);
  EXPECT_FALSE(d.VideoClosedByUser[3]);
  EXPECT_TRUE(f.vshow[3].Visible());
  client.loop.RunFor(0.03);
  EXPECT_EQ(TakeCalls(), Calls{"ShowFrame 3"});
  // The own reopening needs the camera on.
  ImgShow_Click(client, 0);
  EXPECT_EQ(TakeCalls(), Calls{});
  d.OwnCaptureOn = true;
  ImgShow_Click(client, 0);
  EXPECT_EQ(TakeCalls(), Calls{"StartCapture"});
  EXPECT_TRUE(f.vcap1.Visible());
  EXPECT_FALSE(f.Tou[0].Visible());
}

TEST_F(VideoChatTest, HidingASeatAndLeavingClearTheSeatsVideoWords) {
  for (int s = 1; s <= 3; ++s) {
    f.vshow[s].SetVisible(true);
    d.FirstFrameShown[s] = d.VideoClosedByUser[s] = true;
    d.FrameSendCount[s] = 5;
  }
  ZoomWindowOf(client, 2).Show();
  HideSeatVideo(client, 2);
  EXPECT_FALSE(f.vshow[2].Visible());
  EXPECT_FALSE(d.FirstFrameShown[2] || d.VideoClosedByUser[2] || d.FrameSendCount[2]);
  EXPECT_FALSE(ZoomWindowOf(client, 2).Visible());
  EXPECT_TRUE(ZoomWindowOf(client, 2).Loaded());
  EXPECT_TRUE(f.vshow[1].Visible());
  HideVideoPanels(client);
  UnloadVideoZoomWindows(client);
  EXPECT_FALSE(f.vshow[1].Visible() || f.vshow[3].Visible());
  EXPECT_EQ(d.FrameSendCount[3], 0);
  EXPECT_FALSE(ZoomWindowOf(client, 2).Loaded());
}

}  // namespace
}  // namespace slvn
