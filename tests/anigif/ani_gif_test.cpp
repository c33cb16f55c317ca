#include "anigif/ani_gif.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "anigif/gif_encode.h"
#include "gif_builder.h"
#include "shell/client.h"
#include "support/temp_dir.h"

namespace slvn {
namespace {

using test::GifBuilder;

const std::vector<uint32_t> kRGB = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

// A host without a window: it paints at once when asked and records what the
// control did to it. Two pixels make one container unit.
class FakeHost : public AniGifHost {
 public:
  bool UserMode() const override { return run; }
  int ScaleWidth() const override { return width; }
  int ScaleHeight() const override { return height; }
  void SizeTo(int w, int h) override {
    width = w;
    height = h;
  }
  void Repaint() override {
    ++repaints;
    if (clock)
      shown.emplace_back(static_cast<int>(clock->Now() * 1000 + 0.5), control->CurrentFrame);
    last = control ? control->Paint() : std::nullopt;
  }
  float ToContainerSize(float px, bool) const override { return px / 2; }
  float ToContainerPosition(float px, bool) const override { return px / 2 + 10; }
  bool Enabled() const override { return enabled; }
  void SetEnabled(bool on) override { enabled = on; }
  Picture MouseIcon() const override { return icon; }
  void SetMouseIcon(Picture p) override { icon = std::move(p); }
  int16_t MousePointer() const override { return pointer; }
  bool SetMousePointer(int16_t p) override {
    if (p < 0 || p > 15) return false;
    pointer = p;
    return true;
  }
  void PropertyChanged(std::string_view name) override { changed.emplace_back(name); }

  bool run = true;
  int width = 100, height = 100;
  int repaints = 0;
  std::optional<FrameDraw> last;
  bool enabled = true;
  Picture icon;
  int16_t pointer = 0;
  std::vector<std::string> changed;
  ucAniGIF* control = nullptr;
  const Clock* clock = nullptr;
  std::vector<std::pair<int, int>> shown;  // (ms, frame) at each repaint
};

class AniGifTest : public ::testing::Test {
 protected:
  AniGifTest() {
    host.control = &gif;
    host.clock = client.clock.get();
  }

  // The frame shown after each repaint, with the virtual time in ms.
  void RecordFrames() {
    gif.reportOver = [this](int32_t frame) { reports.push_back(frame); };
  }
  // Runs the loop; the frames shown meanwhile, with the time in ms.
  std::vector<std::pair<int, int>> Run(double seconds) {
    host.shown.clear();
    client.loop.RunFor(seconds);
    return host.shown;
  }

  Client client{std::make_unique<ManualClock>()};
  FakeHost host;
  ucAniGIF gif{client.loop, host};
  std::vector<int32_t> reports;
};

// Three 1x1 frames, red, green, blue, with delays in hundredths.
std::vector<uint8_t> ThreeFrames(int d1, int d2, int d3, int loops = -1) {
  GifBuilder b(1, 1, kRGB);
  if (loops >= 0) b.Loops(loops);
  return b.Control(1, d1)
      .Image(0, 0, 1, 1, {1})
      .Control(1, d2)
      .Image(0, 0, 1, 1, {2})
      .Control(1, d3)
      .Image(0, 0, 1, 1, {3})
      .End();
}

TEST_F(AniGifTest, FramesShowForTheirDelaysAtLeastMinFrameDelay) {
  gif.SetDelayAnimation(0);
  ASSERT_TRUE(gif.LoadAnimatedGIF_Array(ThreeFrames(10, 0, 25)));
  EXPECT_EQ(gif.CurrentFrame, 1);
  EXPECT_EQ(gif.PlayState, 1);
  EXPECT_TRUE(gif.GifBytes().empty());  // released once every frame is decoded
  auto shown = Run(0.81);
  std::vector<std::pair<int, int>> want = {{100, 2}, {150, 3}, {400, 1},
                                           {500, 2}, {550, 3}, {800, 1}};
  EXPECT_EQ(shown, want);
  // A new MinFrameDelay applies from the next tick on.
  gif.SetMinFrameDelay(200);
  EXPECT_EQ(host.changed.back(), "Delay");
  shown = Run(0.5);
  want = {{900, 2}, {1100, 3}};
  EXPECT_EQ(shown, want);
}

TEST_F(AniGifTest, LoopCountEndsTheAnimationOnce) {
  RecordFrames();
  int ended = 0;
  gif.LoopsEnded = [&] { ++ended; };
  gif.SetDelayAnimation(0);
  ASSERT_TRUE(gif.LoadAnimatedGIF_Array(ThreeFrames(10, 10, 10, 2)));
  EXPECT_EQ(gif.loops(), 2);
  EXPECT_EQ(gif.LoopsRemaining(), 2);
  Run(0.35);  // the second pass has begun
  EXPECT_EQ(gif.LoopsRemaining(), 1);
  Run(1.0);
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(gif.CurrentFrame, 0);
  EXPECT_EQ(gif.PlayState, 0);
  EXPECT_EQ(gif.FrameCount(), 0);
  EXPECT_EQ(gif.LoopsRemaining(), -1);
  EXPECT_FALSE(host.last);  // blank
  EXPECT_EQ(reports, (std::vector<int32_t>{3, 3}));
  gif.SetAction(1);  // only a new load brings a picture back
  EXPECT_EQ(gif.PlayState, 0);
}

TEST_F(AniGifTest, DelayedDecodeShowsFrameOneThenStarts) {
  ASSERT_TRUE(gif.LoadAnimatedGIF_Array(ThreeFrames(10, 10, 10)));
  EXPECT_EQ(gif.CurrentFrame, 1);
  EXPECT_EQ(gif.TimerInterval(), 20);
  EXPECT_TRUE(gif.Animation().Strip[1].empty() || gif.Animation().Strip[1][0] == 0);
  Run(0.02);
  EXPECT_EQ(gif.Animation().Strip[1][0], 2);
  EXPECT_EQ(gif.TimerInterval(), 100);  // frame 1's delay, counted from the decode
  EXPECT_EQ(Run(0.1), (std::vector<std::pair<int, int>>{{120, 2}}));
}

// A pause or a setting changed before the delayed decode must not leave the
// later frames blank.
TEST_F(AniGifTest, ChangesDuringTheDelayedDecodeKeepEveryFrame) {
  struct Case {
    const char* name;
    std::function<void(ucAniGIF&)> change;
    int play_state;
  } cases[] = {
      {"pause", [](ucAniGIF& g) { g.SetAction(2); }, 2},
      {"hide", [](ucAniGIF& g) { g.Hide(); }, 2},
      {"step", [](ucAniGIF& g) { g.SetAction(3); }, 2},
      {"stretch", [](ucAniGIF& g) { g.SetStretch(2); }, 1},
      {"mirror", [](ucAniGIF& g) { g.SetMirrored(1); }, 1},
  };
  for (const auto& c : cases) {
    Client client{std::make_unique<ManualClock>()};
    FakeHost host;
    ucAniGIF gif{client.loop, host};
    host.control = &gif;
    ASSERT_TRUE(gif.LoadAnimatedGIF_Array(ThreeFrames(10, 10, 10)));
    c.change(gif);
    EXPECT_EQ(gif.PlayState, c.play_state) << c.name;
    client.loop.RunFor(1);
    const auto& strip = gif.Animation().Strip;
    EXPECT_EQ(strip[1], std::vector<uint8_t>{2}) << c.name;
    EXPECT_EQ(strip[2], std::vector<uint8_t>{3}) << c.name;
  }
}

TEST_F(AniGifTest, SingleFramesAndDesignModeNeverGetATimer) {
  ASSERT_TRUE(gif.LoadAnimatedGIF_Array(GifBuilder(1, 1, kRGB).Image(0, 0, 1, 1, {1}).End()));
  gif.SetAction(1);
  EXPECT_EQ(gif.PlayState, 0);
  EXPECT_EQ(gif.TimerInterval(), 0);
  gif.SetStretch(2);  // the frame stays shown
  EXPECT_EQ(gif.CurrentFrame, 1);
  ASSERT_TRUE(host.last);

  host.run = false;
  ASSERT_TRUE(gif.LoadAnimatedGIF_Array(ThreeFrames(10, 10, 10)));
  gif.Show();
  gif.SetAction(4);
  EXPECT_EQ(gif.PlayState, 0);
  EXPECT_EQ(gif.FrameCount(), 3);
  EXPECT_EQ(gif.Animation().Strip.size(), 1u);  // only frame 1 is decoded in a designer
  EXPECT_FALSE(gif.GifBytes().empty());         // kept to be stored with the form
}

TEST_F(AniGifTest, ActionsPauseStepRestartAndStop) {
  gif.SetDelayAnimation(2);  // decode, do not start
  ASSERT_TRUE(gif.LoadAnimatedGIF_Array(ThreeFrames(10, 10, 10)));
  Run(0.05);
  EXPECT_EQ(gif.PlayState, 0);
  gif.SetAction(3);
  EXPECT_EQ(gif.CurrentFrame, 2);
  EXPECT_EQ(gif.PlayState, 2);
  gif.SetAction(3);
  gif.SetAction(3);
  EXPECT_EQ(gif.CurrentFrame, 1);
  gif.SetAction(1);
  EXPECT_EQ(gif.PlayState, 1);
  gif.SetAction(2);
  EXPECT_EQ(gif.PlayState, 2);
  EXPECT_TRUE(Run(0.5).empty());
  gif.SetAction(4);
  EXPECT_EQ(gif.CurrentFrame, 1);
  EXPECT_EQ(gif.PlayState, 1);
  gif.SetAction(7);  // ignored
  EXPECT_EQ(gif.PlayState, 1);
  gif.SetAction(0);
  EXPECT_EQ(gif.CurrentFrame, 0);
  EXPECT_FALSE(gif.AnimatedGIF());
}

TEST_F(AniGifTest, PropertyRangesAndNotifications) {
  struct Case {
    const char* name;
    std::function<void()> write;
    std::function<int32_t()> read;
    int32_t want;
  } cases[] = {
      {"delay below 10", [&] { gif.SetMinFrameDelay(5); }, [&] { return gif.MinFrameDelay(); }, 10},
      {"delay above 32700", [&] { gif.SetMinFrameDelay(40000); },
       [&] { return gif.MinFrameDelay(); }, 32700},
      {"negative loops", [&] { gif.Setloops(-3); }, [&] { return gif.loops(); }, 3},
      {"lowest loops", [&] { gif.Setloops(INT32_MIN); }, [&] { return gif.loops(); }, INT32_MAX},
      {"stretch 5", [&] { gif.SetStretch(5); }, [&] { return gif.Stretch(); }, 1},
      {"mirror 4", [&] { gif.SetMirrored(4); }, [&] { return gif.Mirrored(); }, 0},
      {"delay load 3", [&] { gif.SetDelayAnimation(3); }, [&] { return gif.DelayAnimation(); }, 3},
      {"refused pointer", [&] { gif.SetMousePointer(99); }, [&] { return gif.MousePointer(); }, 0},
  };
  for (const auto& c : cases) {
    c.write();
    EXPECT_EQ(c.read(), c.want) << c.name;
  }
  EXPECT_EQ(host.changed,
            (std::vector<std::string>{"Delay", "Delay", "Loops", "Loops", "DelayAnimation"}));
  EXPECT_EQ(gif.LoopsRemaining(), -1);
  EXPECT_EQ(gif.FrameCount(), 0);
}

TEST_F(AniGifTest, PictureRoundTripAndMirroredFrame) {
  host.width = host.height = 8;
  gif.SetStretch(4);
  auto file = GifBuilder(3, 1, kRGB).Control(0, 0, 0).Image(0, 0, 3, 1, {1, 2, 0}).End();
  ASSERT_TRUE(gif.LoadAnimatedGIF_Array(file));
  EXPECT_EQ(host.width, 3);  // stretch 4: the control takes the image's size
  EXPECT_EQ(gif.ActualWidth(), 1);
  gif.SetMirrored(1);
  Picture frame = gif.AnimatedGIF();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->At(0, 0) >> 24, 0u);  // the transparent pixel, now on the left
  EXPECT_EQ(frame->At(1, 0), 0xFF00FF00u);
  EXPECT_EQ(frame->At(2, 0), 0xFFFF0000u);
  gif.SetMirrored(0);  // else the load below is mirrored once more
  gif.SetAnimatedGIF(frame);
  EXPECT_EQ(gif.FrameCount(), 1);
  EXPECT_EQ(host.changed.back(), "AnimatedGIF");
  Picture again = gif.AnimatedGIF();
  ASSERT_TRUE(again);
  EXPECT_EQ(again->pixels, frame->pixels);
  gif.SetAnimatedGIF(nullptr);
  EXPECT_EQ(gif.FrameCount(), 0);
  EXPECT_FALSE(gif.AnimatedGIF());
}

// A BMP file of one red pixel.
std::vector<uint8_t> OnePixelBmp() {
  std::vector<uint8_t> bmp(58, 0);
  bmp[0] = 'B', bmp[1] = 'M', bmp[2] = 58, bmp[10] = 54, bmp[14] = 40;
  bmp[18] = 1, bmp[22] = 1, bmp[26] = 1, bmp[28] = 24;
  bmp[56] = 0xFF;  // blue, green, red
  return bmp;
}

// A picture brings the file it was decoded from: every frame of a GIF, and
// nothing from a picture of another kind.
TEST_F(AniGifTest, APictureLoadsTheFileItCameFrom) {
  const auto file = ThreeFrames(10, 10, 10);
  const Picture animated = DecodePicture(file);
  ASSERT_TRUE(animated);
  gif.SetAnimatedGIF(animated);
  EXPECT_EQ(gif.FrameCount(), 3);
  const Picture bitmap = DecodePicture(OnePixelBmp());
  ASSERT_TRUE(bitmap);
  gif.SetAnimatedGIF(bitmap);
  EXPECT_EQ(gif.FrameCount(), 0);
  EXPECT_FALSE(gif.AnimatedGIF());
  EXPECT_EQ(host.changed.back(), "AnimatedGIF");
}

TEST_F(AniGifTest, FileAndArrayLoads) {
  test::TempDir dir;
  std::string path = dir.File("a.gif");
  auto file = ThreeFrames(10, 10, 10);
  test::WriteFileBytes(path, std::string(file.begin(), file.end()));
  EXPECT_TRUE(gif.LoadAnimatedGIF_File(path));
  EXPECT_EQ(gif.FrameCount(), 3);
  Run(0.05);
  EXPECT_FALSE(gif.LoadAnimatedGIF_File(dir.File("missing.gif")));
  EXPECT_EQ(gif.FrameCount(), 0);
  const uint8_t junk[] = {'G', 'I', 'F', '8', '9', 'a', 0, 0};
  EXPECT_FALSE(gif.LoadAnimatedGIF_Array(junk));
  EXPECT_FALSE(gif.LoadAnimatedGIF_Array({}));
}

TEST_F(AniGifTest, RemoteLoads) {
  int failures = 0;
  std::vector<std::pair<float, float>> sizes;
  bool cancel = false;
  gif.RemoteLoadFailure = [&] { ++failures; };
  gif.RemoteLoadComplete = [&](float w, float h, bool& c) {
    sizes.emplace_back(w, h);
    c = cancel;
  };
  gif.LoadAnimatedGIF_Remote("");
  EXPECT_EQ(failures, 0);
  gif.AsyncReadProgress(true);
  EXPECT_EQ(failures, 1);

  auto first = ThreeFrames(10, 10, 10);
  gif.AsyncReadComplete(std::span(first).first(14));
  EXPECT_EQ(failures, 2);
  EXPECT_TRUE(sizes.empty());
  first[0] = 'g', first[4] = '9', first[5] = 'A';  // any letter case passes
  gif.AsyncReadComplete(first);
  EXPECT_EQ(gif.FrameCount(), 3);
  auto other = GifBuilder(7, 5, kRGB).Image(0, 0, 1, 1, {1}).End();
  cancel = true;
  gif.AsyncReadComplete(other);
  EXPECT_EQ(gif.FrameCount(), 3);  // the earlier animation keeps running
  EXPECT_EQ(sizes.back(), (std::pair<float, float>{3, 2}));
  EXPECT_TRUE(gif.GifBytes().empty());

  // A download without the signature leaves its first ten bytes behind.
  std::vector<uint8_t> bitmap(20, 'B');
  bitmap[9] = 9;
  gif.AsyncReadComplete(bitmap);
  EXPECT_EQ(failures, 3);
  EXPECT_EQ(gif.GifBytes(), std::vector<uint8_t>(bitmap.begin(), bitmap.begin() + 10));
  EXPECT_EQ(gif.FrameCount(), 3);
  EXPECT_EQ(sizes.size(), 2u);
}

// A download that fails its signature or is cancelled keeps what the control
// holds: the frames of an animation still decoding, and a designer's copy of
// the file, which is stored with the form.
TEST_F(AniGifTest, AFailedOrCancelledDownloadKeepsTheEarlierAnimationWhole) {
  const std::vector<uint8_t> bitmap(20, 'B');
  const auto other = GifBuilder(7, 5, kRGB).Image(0, 0, 1, 1, {1}).End();
  for (bool run : {true, false})
    for (const std::vector<uint8_t>* download : {&bitmap, &other}) {
      SCOPED_TRACE(std::string(run ? "run" : "design") +
                   (download == &bitmap ? ", bad" : ", cancelled"));
      Client client{std::make_unique<ManualClock>()};
      FakeHost host;
      host.run = run;
      ucAniGIF gif{client.loop, host};
      host.control = &gif;
      gif.RemoteLoadComplete = [](float, float, bool& cancel) { cancel = true; };
      const auto file = ThreeFrames(10, 10, 10);
      ASSERT_TRUE(gif.LoadAnimatedGIF_Array(file));
      gif.AsyncReadComplete(*download);  // before the delayed decode's turn
      EXPECT_EQ(gif.FrameCount(), 3);
      if (run) {
        client.loop.RunFor(0.05);
        const auto& strip = gif.Animation().Strip;
        EXPECT_EQ(strip[1], std::vector<uint8_t>{2});
        EXPECT_EQ(strip[2], std::vector<uint8_t>{3});
        EXPECT_EQ(gif.PlayState, 1);
      } else {
        EXPECT_EQ(gif.GifBytes(), file);
      }
    }
}

// A path without a scheme is read from the disk, and the control hears of it
// from the loop as of a download; a newer read replaces the one under way.
TEST_F(AniGifTest, ARemoteLoadTakesALocalPathToo) {
  int failures = 0;
  std::vector<std::pair<float, float>> sizes;
  gif.RemoteLoadFailure = [&] { ++failures; };
  gif.RemoteLoadComplete = [&](float w, float h, bool&) { sizes.emplace_back(w, h); };
  test::TempDir dir;
  const std::string three = dir.File("three.gif"), one = dir.File("one.gif");
  const std::string bitmap = dir.File("red.bmp");
  auto put = [](const std::string& path, const std::vector<uint8_t>& bytes) {
    test::WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
  };
  put(three, ThreeFrames(10, 10, 10));
  put(one, GifBuilder(7, 5, kRGB).Image(0, 0, 1, 1, {1}).End());
  put(bitmap, OnePixelBmp());

  gif.LoadAnimatedGIF_Remote(three);
  EXPECT_EQ(gif.FrameCount(), 0);  // not yet: the method returns at once
  Run(0.01);
  EXPECT_EQ(gif.FrameCount(), 3);
  EXPECT_EQ(sizes, (std::vector<std::pair<float, float>>{{0, 0}}));

  gif.LoadAnimatedGIF_Remote(bitmap);
  gif.LoadAnimatedGIF_Remote(one);
  Run(0.01);
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(gif.FrameCount(), 1);
  EXPECT_EQ(sizes.back(), (std::pair<float, float>{3, 2}));

  for (const std::string& path : {bitmap, dir.File("missing.gif"), dir.path().string()}) {
    failures = 0;
    gif.LoadAnimatedGIF_Remote(path);
    Run(0.01);
    EXPECT_EQ(failures, 1) << path;
  }
  EXPECT_EQ(sizes.size(), 2u);
}

TEST_F(AniGifTest, StoredPropertiesRoundTripAndAreRangeChecked) {
  host.run = false;
  gif.SetMinFrameDelay(70);
  gif.Setloops(4);
  gif.SetMirrored(2);
  ASSERT_TRUE(gif.LoadAnimatedGIF_Array(ThreeFrames(10, 10, 10, 9)));
  StoredProperties bag;
  gif.WriteProperties(bag);
  std::vector<std::string> keys;
  for (const auto& [k, v] : bag.items) keys.push_back(k);
  EXPECT_EQ(keys, (std::vector<std::string>{"GIF", "Delay", "Loops", "Mirror"}));
  EXPECT_EQ(bag.Read("Loops", 0), 9);  // the load took the file's count

  ucAniGIF copy{client.loop, host};
  copy.ReadProperties(bag);
  EXPECT_EQ(copy.FrameCount(), 3);
  EXPECT_EQ(copy.MinFrameDelay(), 70);
  EXPECT_EQ(copy.Mirrored(), 2);
  EXPECT_EQ(copy.loops(), 9);

  StoredProperties bad;
  bad.Write("Delay", int32_t{0});
  bad.Write("Stretch", int32_t{77});
  bad.Write("DelayLoad", int32_t{-1});
  bad.Write("Mirror", int32_t{-5});
  bad.Write("MousePointer", int32_t{70000});
  bad.Write("Loops", true);  // of the wrong kind
  ucAniGIF checked{client.loop, host};
  checked.ReadProperties(bad);
  EXPECT_EQ(checked.MinFrameDelay(), 10);
  EXPECT_EQ(checked.Stretch(), 1);
  EXPECT_EQ(checked.DelayAnimation(), 1);
  EXPECT_EQ(checked.Mirrored(), 0);
  EXPECT_EQ(checked.MousePointer(), 0);
}

TEST_F(AniGifTest, ReportOverAndMouseEvents) {
  RecordFrames();
  gif.SetDelayAnimation(2);
  ASSERT_TRUE(gif.LoadAnimatedGIF_Array(ThreeFrames(10, 10, 10)));
  Run(0.05);
  gif.SetAction(3);
  gif.SetAction(3);
  gif.Refresh();  // a repaint while paused on the last frame reports again
  EXPECT_EQ(reports, (std::vector<int32_t>{3, 3}));
  std::vector<float> at;
  gif.MouseDown = [&](int16_t b, int16_t s, float x, float y) {
    at.insert(at.end(), {float(b), float(s), x, y});
  };
  gif.OnMouseDown(1, 2, 5, 8);
  EXPECT_EQ(at, (std::vector<float>{1, 2, 12, 14}));
}

}  // namespace
}  // namespace slvn
