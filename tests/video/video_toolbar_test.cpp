#include "video/video_toolbar.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/renderer.h"
#include "shell/client.h"
#include "support/fake_video.h"
#include "support/table_layout.h"
#include "support/temp_dir.h"
#include "video/video_chat.h"
#include "video/zoom_window.h"

namespace slvn {
namespace {

class VideoToolbarTest : public ::testing::TestWithParam<float> {
 protected:
  void SetUp() override {
    test::LayOutTable(client, GetParam());
    client.video = test::MakeRecordingVideoControls(log);
    ConnectVideoEvents(client);
    client.sound.program_folder = dir.path().string();
    client.video_hooks.OpenAlbum = [this](const std::string& folder) { albums.push_back(folder); };
    client.video_hooks.LocalTime = [this] { return now; };
    now.tm_year = 2010 - 1900;
    now.tm_mon = 10;  // November
    now.tm_mday = 1;
    now.tm_hour = 1;
    now.tm_min = 5;
    now.tm_sec = 9;
  }

  std::string Photo(const std::string& name) const { return dir.File("photo/" + name); }

  test::TempDir dir;
  Client client{std::make_unique<ManualClock>()};
  test::VideoCallLog log;
  std::vector<std::string> albums;
  std::tm now{};
  Data& d = client.data;
  MainForm& f = client.main_form;
};

TEST_P(VideoToolbarTest, HoverSwapsPicturesAndTheOwnBarShowsTips) {
  const int kHover[] = {864, 855, 856, 857, 854, 855, 856, 859};
  for (int i = 0; i < 8; ++i) {
    f.ImCmd[i]->MouseMove(0, 0, 1, 1);
    EXPECT_TRUE(d.ImCmdHover[i]) << i;
    EXPECT_EQ(f.ImCmd[i]->Picture(), LoadResourcePicture(client, kHover[i])) << i;
  }
  f.ImCmd[3]->MouseMove(0, 0, 1, 1);
  EXPECT_TRUE(f.Tiplbl.Visible());
  EXPECT_EQ(f.Tiplbl.Text(), "视频开关");
  EXPECT_DOUBLE_EQ(f.Tiplbl.Width(), 54 * GetParam());
  EXPECT_DOUBLE_EQ(f.Tiplbl.Left(),
                   f.PicLocal[0].Left() + f.ImCmd[3]->Left() + f.ImCmd[3]->Width());
  f.Tiplbl.SetVisible(false);
  f.ImCmd[6]->MouseMove(0, 0, 1, 1);
  EXPECT_FALSE(f.Tiplbl.Visible());
  // Any bar puts every button back.
  f.PicLocal[2].MouseMove(0, 0, 1, 1);
  for (int i = 0; i < 16; ++i) EXPECT_FALSE(d.ImCmdHover[i]) << i;
  EXPECT_EQ(f.ImCmd[0]->Picture(), LoadResourcePicture(client, 863));
  EXPECT_EQ(f.ImCmd[4]->Picture(), LoadResourcePicture(client, 850));
}

TEST_P(VideoToolbarTest, SnapshotsNeverOverwriteAndSayDoneOnlyWhenWritten) {
  // Nothing to keep yet: no file, no line.
  ImCmd_Click(client, 6);
  EXPECT_TRUE(std::filesystem::is_empty(dir.File("photo")));
  EXPECT_EQ(client.chat.Sysmsg[0], std::nullopt);
  d.LastFrame[1] = MakeTestPatternBmp(4, 4, 0);
  ImCmd_Click(client, 6);
  ImCmd_Click(client, 6);  // the same second
  now.tm_mon = 0;          // 11 January: the same digits as 1 November
  now.tm_mday = 11;
  ImCmd_Click(client, 6);
  for (const char* name : {"2010111159.bmp", "2010111159-2.bmp", "2010111159-3.bmp"})
    EXPECT_EQ(test::ReadFileBytes(Photo(name)),
              std::string(d.LastFrame[1].begin(), d.LastFrame[1].end()))
        << name;
  EXPECT_EQ(client.chat.Sysmsg[1], "照相成功,照片保存在本机相册中。");
  // A folder that cannot be written says nothing.
  client.chat.Sysmsg = {};
  std::filesystem::remove_all(dir.File("photo"));
  test::WriteFileBytes(dir.File("photo"), "not a folder");
  ImCmd_Click(client, 2);
  d.LastFrame[0] = d.LastFrame[1];
  ImCmd_Click(client, 2);
  EXPECT_EQ(client.chat.Sysmsg[0], std::nullopt);
}

TEST_P(VideoToolbarTest, ButtonsOpenTheAlbumZoomAndSwitchVideoOff) {
  ImCmd_Click(client, 0);
  EXPECT_EQ(albums, std::vector<std::string>{dir.File("photo")});
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("photo")));
  // Zoom: a toggle that places the window over the table.
  f.Move(1500, 900, f.Width(), f.Height());
  ImCmd_Click(client, 13);
  ZoomWindow& w = ZoomWindowOf(client, 3);
  ASSERT_TRUE(w.Shown());
  EXPECT_TRUE(w.Topmost());
  EXPECT_DOUBLE_EQ(w.Left(), 1500 + (f.Width() - w.Width()) / 2 + 0.25 * f.Width());
  EXPECT_DOUBLE_EQ(w.Top(), 900 + (f.Height() - w.Height()) / 2 - 0.2 * f.Height());
  EXPECT_EQ(d.ZoomTarget, 3);
  EXPECT_TRUE(f.Timer_Zoom.Enabled());
  ImCmd_Click(client, 13);
  EXPECT_FALSE(w.Loaded());
  // A peer switched off: once, and a hidden display stays hidden.
  ImCmd_Click(client, 9);  // seat 2's zoom
  f.vshow[1].SetVisible(true);
  f.PicLocal[1].SetVisible(true);
  ImCmd_Click(client, 4);
  EXPECT_TRUE(d.VideoClosedByUser[1]);
  EXPECT_FALSE(f.vshow[1].Visible() || f.PicLocal[1].Visible());
  EXPECT_TRUE(f.ImgShow[1].Visible());
  ImCmd_Click(client, 8);
  EXPECT_FALSE(f.vshow[2].Visible());
  EXPECT_FALSE(ZoomWindowOf(client, 2).Visible());
  EXPECT_TRUE(ZoomWindowOf(client, 2).Loaded());
  // The own video: only while the camera runs and shows.
  ImCmd_Click(client, 3);
  EXPECT_EQ(log.calls, std::vector<std::string>{});
  d.OwnCaptureOn = true;
  f.vcap1.SetVisible(true);
  ImCmd_Click(client, 3);
  EXPECT_EQ(log.calls, std::vector<std::string>{"StopCapture"});
  EXPECT_TRUE(d.OwnCaptureOn);
  EXPECT_TRUE(f.ImgShow[0].Visible() && f.Tou[0].Visible());
  // Buttons 7, 11 and 15 do nothing.
  log.calls.clear();
  for (int i : {7, 11, 15}) ImCmd_Click(client, i);
  EXPECT_EQ(log.calls, std::vector<std::string>{});
}

TEST_P(VideoToolbarTest, ZoomStepsKeepTheirIndexAtBothScales) {
  const float sx = GetParam();
  f.Move(3000, 600, f.Width(), f.Height());
  ImCmd_Click(client, 1);  // frm_Local
  ImCmd_Click(client, 9);  // frm_Remote2
  ZoomWindow& own = ZoomWindowOf(client, 0);
  ZoomWindow& top = ZoomWindowOf(client, 2);
  EXPECT_DOUBLE_EQ(own.Width(), 4140 * sx);
  EXPECT_DOUBLE_EQ(own.vshow.Width(), 3840 * sx);
  EXPECT_DOUBLE_EQ(own.ImgCmd[0].Width(), 225 * sx);
  EXPECT_EQ(own.ImgCmd[2].ToolTipText(), "缩小");
  EXPECT_EQ(top.ImgCmd[2].ToolTipText(), "");
  const Picture normal_skin = own.Picture();
  ZoomWindow_ImgCmd_Click(client, top, 1);  // large
  EXPECT_EQ(top.step, ZoomWindow::kLarge);
  EXPECT_DOUBLE_EQ(top.Width(), 6510 * sx);
  EXPECT_DOUBLE_EQ(top.ImgCmd[0].Width(), 225 * sx * 1.5);
  // Its left edge leaves the moved main window's left out; its top keeps it.
  EXPECT_DOUBLE_EQ(top.Left(), f.Width() - top.Width() - 0.05 * f.Width());
  EXPECT_DOUBLE_EQ(top.Top(), 600 + 0.07 * f.Height());
  ZoomWindow_ImgCmd_Click(client, own, 2);  // small
  EXPECT_EQ(own.step, ZoomWindow::kSmall);
  EXPECT_DOUBLE_EQ(own.Height(), 2070 * sx);
  EXPECT_NE(own.Picture(), normal_skin);
  EXPECT_EQ(d.ZoomTarget, 0);               // the redraw goes to the window changed last
  ZoomWindow_ImgCmd_Click(client, own, 2);  // already small: nothing
  EXPECT_EQ(own.step, ZoomWindow::kSmall);
  ZoomWindow_ImgCmd_Click(client, own, 1);
  ZoomWindow_ImgCmd_Click(client, own, 1);
  EXPECT_EQ(own.step, ZoomWindow::kLarge);
  // Its top edge leaves the main window's top out; its left keeps it.
  EXPECT_DOUBLE_EQ(own.Top(), f.Height() - own.Height() - 0.07 * f.Height());
  EXPECT_DOUBLE_EQ(own.Left(), 3000 + 0.05 * f.Width());
  EXPECT_DOUBLE_EQ(own.ImgCmd[0].Width(), 225 * sx * 1.5);
  // Closed and opened again: the normal step.
  ZoomWindow_ImgCmd_Click(client, own, 0);
  EXPECT_FALSE(own.Loaded());
  ImCmd_Click(client, 1);
  EXPECT_EQ(own.step, ZoomWindow::kNormal);
  EXPECT_DOUBLE_EQ(own.Width(), 4140 * sx);
}

INSTANTIATE_TEST_SUITE_P(BothScales, VideoToolbarTest, ::testing::Values(1.0f, 0.78125f));

TEST(VideoScreenshotTest, APanelShowsThePeersPicture) {
  Client client{std::make_unique<ManualClock>()};
  test::LayOutTable(client, 1.0f);
  MainForm& f = client.main_form;
  // A red picture through the real display of seat 2.
  std::vector<uint8_t> red(16 * 12 * 3);
  for (size_t i = 0; i < red.size(); i += 3) red[i + 2] = 255;
  f.ImgKuang[2].SetVisible(true);
  f.PicLocal[2].SetVisible(true);
  f.vshow[2].SetVisible(true);
  client.video.vshow[2]->ShowFrame(BmpFromBgrRows(16, 12, red));
  VideoFrame bad = BmpFromBgrRows(16, 12, red);
  bad[28] = 1;
  client.video.vshow[3]->ShowFrame(bad);
  EXPECT_TRUE(client.video.vshow[3]->LastShown().empty());
  Renderer renderer;
  ASSERT_TRUE(renderer.Ok());
  renderer.Draw(f);
  const double px = (f.Pic1.Left() / 15) + f.vshow[2].Left() + f.vshow[2].Width() / 2;
  const double py = (f.Pic1.Top() / 15) + f.vshow[2].Top() + f.vshow[2].Height() / 2;
  EXPECT_EQ(renderer.PixelAt(static_cast<int>(px), static_cast<int>(py)) & 0xFFFFFF, 0xFF0000u);
  EXPECT_TRUE(renderer.SavePng("video_panel.png"));
  // The same picture larger in the seat's zoom window.
  client.data.LastFrame[2] = BmpFromBgrRows(16, 12, red);
  ImCmd_Click(client, 9);
  client.loop.RunFor(0.1);
  ZoomWindow& w = ZoomWindowOf(client, 2);
  Renderer zoom;
  ASSERT_TRUE(zoom.Ok());
  zoom.Draw(w);
  EXPECT_EQ(zoom.PixelAt(static_cast<int>((w.vshow.Left() + w.vshow.Width() / 2) / 15),
                         static_cast<int>((w.vshow.Top() + w.vshow.Height() / 2) / 15)) &
                0xFFFFFF,
            0xFF0000u);
  EXPECT_TRUE(zoom.SavePng("video_zoom.png"));
}

// A device that exists stands for a camera; without one and without a
// setting there is no camera: the test pattern only when named.
TEST(CameraSourceTest, TheSettingWinsThenTheDeviceThenNoCamera) {
  test::TempDir dir;
  const std::string device = dir.File("video0"), missing = dir.File("video1");
  test::WriteFileBytes(device, "");
  const struct {
    const char* setting;
    std::string default_device;
    std::string chosen;
  } cases[] = {
      {"none", device, "none"},  {"/dev/video2", missing, "/dev/video2"},
      {"test", missing, "test"}, {nullptr, device, device},
      {"", device, device},      {nullptr, missing, "none"},
      {"", missing, "none"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CameraSource(c.setting, c.default_device), c.chosen)
        << (c.setting ? c.setting : "(unset)") << " " << c.default_device;
}

TEST(CameraTest, ThePatternRunsAtFiveFramesASecondAndPaintsThePreview) {
  ManualClock clock;
  EventLoop loop(clock);
  Forms forms(loop);
  Form form(forms);
  PictureBox preview(&form);
  preview.Move(0, 0, 1275, 1245);
  auto camera = MakeCamera(loop, &preview, "test");
  std::vector<VideoFrame> frames;
  camera->FrameCaptured = [&](const VideoFrame& frame) { frames.push_back(frame); };
  EXPECT_NE(camera->StartCapture(), 0);  // not opened
  camera->OpenDevice();
  EXPECT_EQ(camera->StartCapture(), 0);
  loop.RunFor(1.0);
  ASSERT_EQ(frames.size(), 5u);
  EXPECT_NE(frames[0], frames[1]);
  EXPECT_TRUE(CheckBmpFrame(frames[4]));
  EXPECT_TRUE(preview.Canvas());
  camera->StopCapture();
  loop.RunFor(1.0);
  EXPECT_EQ(frames.size(), 5u);
  auto none = MakeCamera(loop, nullptr, "none");
  none->OpenDevice();
  EXPECT_NE(none->StartCapture(), 0);
  auto missing = MakeCamera(loop, nullptr, "/nonexistent/video9");
  missing->OpenDevice();
  EXPECT_NE(missing->StartCapture(), 0);
}

}  // namespace
}  // namespace slvn
