#include "anigif/ani_gif_box.h"

#include <gtest/gtest.h>

#include "gif_builder.h"
#include "platform/forms.h"
#include "platform/input.h"
#include "platform/renderer.h"
#include "shell/client.h"
#include "support/headless.h"
#include "support/one_shot_server.h"

namespace slvn {
namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlack = 0xFF000000;

// Two 4x4 frames, red then green, 100 ms each.
std::vector<uint8_t> RedThenGreen() {
  return test::GifBuilder(4, 4, {0x000000, 0xFF0000, 0x00FF00})
      .Control(1, 10)
      .Image(0, 0, 4, 4, std::vector<uint8_t>(16, 1))
      .Control(1, 10)
      .Image(0, 0, 4, 4, std::vector<uint8_t>(16, 2))
      .End();
}

// A 40x30 pixel form in twips with the control at pixel (10, 5).
class AniGifBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseHeadlessSdl();
    form.Move(0, 0, 40 * 15, 30 * 15);
    form.SetBackColor(0x808080);
    ASSERT_TRUE(renderer.Ok());
  }
  void Place(AniGifBox& box, int width_px) { box.Move(10 * 15, 5 * 15, width_px * 15, 4 * 15); }
  uint32_t Pixel(int x, int y) {
    renderer.Draw(form);
    return renderer.PixelAt(x, y);
  }

  Client client{std::make_unique<ManualClock>()};
  Form form{client.forms};
  Renderer renderer;
};

TEST_F(AniGifBoxTest, DrawsTheFrameShownAtItsPlaceAndAnimates) {
  AniGifBox box(&form, client.loop);
  Place(box, 8);
  ASSERT_TRUE(box.Gif().LoadAnimatedGIF_Array(RedThenGreen()));
  EXPECT_EQ(box.Width(), 4 * 15);  // fitted to the picture
  EXPECT_EQ(Pixel(10, 5), kRed);
  EXPECT_EQ(Pixel(13, 8), kRed);
  EXPECT_EQ(Pixel(14, 8), 0xFF808080u);
  EXPECT_EQ(Pixel(9, 5), 0xFF808080u);
  client.loop.RunFor(0.1);  // 20 ms decoding, then frame 1's 100 ms
  EXPECT_EQ(Pixel(12, 6), kRed);
  client.loop.RunFor(0.05);
  EXPECT_EQ(Pixel(12, 6), kGreen);
  EXPECT_EQ(Pixel(14, 6), 0xFF808080u);

  // Hidden, the animation pauses; shown again it goes on.
  box.SetVisible(false);
  EXPECT_EQ(Pixel(12, 6), 0xFF808080u);
  client.loop.RunFor(0.5);
  EXPECT_EQ(box.Gif().CurrentFrame, 2);
  box.SetVisible(true);
  client.loop.RunFor(0.11);
  EXPECT_EQ(Pixel(12, 6), kRed);
  // Stretched by the form, the frame fills the new size.
  box.Gif().SetStretch(2);
  box.SetWidth(8 * 15);
  EXPECT_EQ(Pixel(17, 8), kRed);
}

TEST_F(AniGifBoxTest, DesignModeOutlinesTheControlAndPropertiesRoundTrip) {
  AniGifBox design(&form, client.loop, false);
  Place(design, 4);
  ASSERT_TRUE(design.Gif().LoadAnimatedGIF_Array(RedThenGreen()));
  EXPECT_EQ(Pixel(10, 5), kBlack);  // dotted outline over the frame
  EXPECT_EQ(Pixel(11, 5), kRed);
  EXPECT_EQ(Pixel(12, 7), kRed);
  design.Gif().SetMinFrameDelay(70);
  design.Gif().SetMousePointer(99);
  design.Gif().SetMousePointer(40);  // refused
  PropertyBag bag;
  design.WriteProperties(bag);
  EXPECT_EQ(std::get<int32_t>(bag.at("Delay")), 70);

  AniGifBox run(&form, client.loop);
  bag["Stretch"] = int32_t{9};  // out of range: the default
  run.ReadProperties(bag);
  EXPECT_EQ(run.Gif().MinFrameDelay(), 70);
  EXPECT_EQ(run.Gif().Stretch(), 1);
  EXPECT_EQ(run.MousePointer(), 99);
  EXPECT_EQ(run.Gif().FrameCount(), 2);
}

TEST_F(AniGifBoxTest, ClicksAndMouseEventsReachTheControl) {
  AniGifBox box(&form, client.loop);
  Place(box, 4);
  std::vector<std::string> events;
  box.Gif().Click = [&] { events.push_back("Click"); };
  box.Gif().MouseDown = [&](int16_t b, int16_t s, float x, float y) {
    events.push_back("Down " + std::to_string(b) + " " + std::to_string(s) + " " +
                     std::to_string(static_cast<int>(x)) + " " +
                     std::to_string(static_cast<int>(y)));
  };
  box.Gif().MouseUp = [&](int16_t, int16_t, float, float) { events.push_back("Up"); };
  DeliverMouse(form, MouseAction::kDown, kLeftButton, kShiftMask, 12, 8);
  DeliverMouse(form, MouseAction::kUp, kLeftButton, 0, 12, 8);
  // Twips relative to the control.
  EXPECT_EQ(events, (std::vector<std::string>{"Down 1 1 30 45", "Up", "Click"}));
  box.Gif().SetEnabled(false);
  DeliverMouse(form, MouseAction::kDown, kLeftButton, 0, 12, 8);
  EXPECT_EQ(events.size(), 3u);
}

TEST(AniGifRemote, LoadsFromAnAddressOrRaisesTheFailure) {
  Client client;  // the real clock: the fetch talks to a socket
  Form form{client.forms};
  AniGifBox box(&form, client.loop);
  int failures = 0;
  std::vector<std::pair<float, float>> sizes;
  box.Gif().RemoteLoadFailure = [&] { ++failures; };
  box.Gif().RemoteLoadComplete = [&](float w, float h, bool&) { sizes.emplace_back(w, h); };
  auto wait = [&](const std::function<bool()>& done) { client.loop.WaitUntil(done, 10); };

  auto gif = RedThenGreen();
  test::OneShotServer server("HTTP/1.0 200 OK\r\nContent-Type: image/gif\r\n\r\n" +
                             std::string(gif.begin(), gif.end()));
  box.Gif().LoadAnimatedGIF_Remote(server.Address());
  wait([&] { return failures || box.Gif().FrameCount(); });
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(box.Gif().FrameCount(), 2);
  EXPECT_EQ(sizes, (std::vector<std::pair<float, float>>{{60, 60}}));

  test::OneShotServer missing("HTTP/1.0 404 Not Found\r\n\r\nGIF89a but not found");
  for (const std::string& address : {test::RefusedAddress(), missing.Address()}) {
    failures = 0;
    box.Gif().LoadAnimatedGIF_Remote(address);
    wait([&] { return failures != 0; });
    EXPECT_EQ(failures, 1) << address;
  }
  EXPECT_EQ(sizes.size(), 1u);
}

}  // namespace
}  // namespace slvn
