#include "video/video_controls.h"

#include <gtest/gtest.h>

#include "platform/event_loop.h"
#include "platform/picture.h"

namespace slvn {
namespace {

TEST(LocalVideoTest, LinkLogsInAsAnEventAndBindsOnlyValidSlots) {
  ManualClock clock;
  EventLoop loop(clock);
  VideoControls v = MakeLocalVideoControls(loop, false);
  int16_t login_state = 0;
  v.P2PSocket1->LoginStateChanged = [&](int16_t s) { login_state = s; };
  v.P2PSocket1->UserCount = 3;
  v.P2PSocket1->LoginServer("alice");
  EXPECT_EQ(login_state, 0);
  loop.RunFor(0.01);
  EXPECT_EQ(login_state, 2);
  v.P2PSocket1->ConnectUser(2, "bob");
  v.P2PSocket1->ConnectUser(4, "nobody");  // beyond UserCount
  EXPECT_EQ(v.P2PSocket1->UserID(2), "bob");
  EXPECT_GT(v.P2PSocket1->UserState(2), 0);
  EXPECT_LT(v.P2PSocket1->UserState(2), 10);  // never linked without a server
  EXPECT_EQ(v.P2PSocket1->UserID(4), "");
  v.P2PSocket1->DropUser(2);
  EXPECT_EQ(v.P2PSocket1->UserState(2), 0);
}

TEST(LocalVideoTest, CameraIsAbsentOrATestPatternOfRealBmpFrames) {
  ManualClock clock;
  EventLoop loop(clock);
  VideoControls none = MakeLocalVideoControls(loop, false);
  none.vcap1->OpenDevice();
  EXPECT_NE(none.vcap1->StartCapture(), 0);
  none.vcap1->StopCapture();
  none.vcap1->CloseDevice();

  VideoControls cam = MakeLocalVideoControls(loop, true);
  std::vector<VideoFrame> frames;
  cam.vcap1->FrameCaptured = [&](const VideoFrame& f) { frames.push_back(f); };
  cam.vcap1->OpenDevice();
  EXPECT_EQ(cam.vcap1->StartCapture(), 0);
  loop.RunFor(0.5);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_NE(frames[0], frames[1]);
  Picture p = DecodePicture(frames[1]);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->width, 160);
  EXPECT_EQ(p->height, 120);
  cam.vcap1->StopCapture();
  loop.RunFor(0.5);
  EXPECT_EQ(frames.size(), 2u);
}

}  // namespace
}  // namespace slvn
