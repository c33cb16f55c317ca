#include <gtest/gtest.h>

#include <string>

#include "anigif/gif_frames.h"
#include "gif_builder.h"

namespace slvn {
namespace {

using test::GifBuilder;

// Index 0 black, 1 red, 2 green, 3 blue.
const std::vector<uint32_t> kRGB = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

// A drawn row as letters: K R G B for the opaque colours, '.' for clear.
std::string Letters(const Image& image) {
  std::string s;
  for (uint32_t p : image.pixels) {
    if (p >> 24 == 0) {
      s += '.';
      continue;
    }
    switch (p & 0xFFFFFF) {
      case 0xFF0000:
        s += 'R';
        break;
      case 0x00FF00:
        s += 'G';
        break;
      case 0x0000FF:
        s += 'B';
        break;
      case 0x000000:
        s += 'K';
        break;
      default:
        s += '?';
    }
  }
  return s;
}

GifAnimation Decoded(const std::vector<uint8_t>& file) {
  GifAnimation anim;
  anim.scan = ScanGIF(file);
  PlanComposite(anim, true);
  for (int i = 1; i <= anim.FrameCount(); ++i) DecodeFrame(anim, file, i);
  return anim;
}

// Every frame in turn as the control shows it: the canvas, or the frame alone
// at its place when there is no composite.
std::vector<std::string> Shown(GifAnimation& anim) {
  std::vector<std::string> out;
  for (int i = 1; i <= anim.FrameCount(); ++i) {
    auto draw = DrawFrame(anim, i, 1.0f, 1.0f);
    out.push_back(std::to_string(draw->x) + ":" + Letters(*draw->image));
  }
  return out;
}

TEST(GifFramesTest, DisposalTransparencyAndCanvas) {
  auto three = [](int d1, int d2, std::vector<uint8_t> second = {2}, int trans = -1) {
    int w = static_cast<int>(second.size());
    return GifBuilder(3, 1, kRGB)
        .Control(d1, 10)
        .Image(0, 0, 3, 1, {1, 1, 1})
        .Control(d2, 10, trans)
        .Image(3 - w == 0 ? 0 : 1, 0, w, 1, second)
        .Control(0, 10)
        .Image(2, 0, 1, 1, {3})
        .End();
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    bool composite;
    std::vector<std::string> shown;
  } cases[] = {
      {"disposal 1 keeps frame 1 around frame 2", three(1, 1), true, {"0:RRR", "0:RGR", "0:RGB"}},
      {"disposal 0 acts as 1", three(0, 0), true, {"0:RRR", "0:RGR", "0:RGB"}},
      {"disposal 2 clears frame 1", three(2, 1), true, {"0:RRR", "0:.G.", "0:.GB"}},
      {"disposal 3 restores under frame 2", three(1, 3), true, {"0:RRR", "0:RGR", "0:RRB"}},
      {"disposal 2 on frame 2", three(1, 2), true, {"0:RRR", "0:RGR", "0:R.B"}},
      {"transparent pixels keep the canvas",
       three(1, 1, {2, 0, 2}, 0),
       true,
       {"0:RRR", "0:GRG", "0:GRB"}},
      {"all disposal 2: frames drawn alone",
       GifBuilder(3, 1, kRGB)
           .Control(2, 10)
           .Image(0, 0, 2, 1, {1, 0})
           .Control(2, 10, 1)
           .Image(1, 0, 2, 1, {1, 2})
           .End(),
       false,
       {"0:RK", "1:.G"}},
      {"uncovered canvas of an opaque animation is black",
       GifBuilder(3, 1, kRGB).Image(1, 0, 1, 1, {1}).Image(2, 0, 1, 1, {9}).End(),
       true,
       {"0:KRK", "0:KRK"}},
  };
  for (auto& c : cases) {
    GifAnimation anim = Decoded(c.file);
    EXPECT_EQ(anim.Composite, c.composite) << c.name;
    EXPECT_EQ(Shown(anim), c.shown) << c.name;
    EXPECT_EQ(Shown(anim), c.shown) << c.name << " (second pass)";
  }
}

TEST(GifFramesTest, SingleTransparentFrameShowsTheBackground) {
  // Index 1 is red in the palette but transparent: it must not draw.
  auto file = GifBuilder(2, 2, kRGB).Control(0, 0, 1).Image(1, 1, 1, 1, {1}).End();
  GifAnimation anim = Decoded(file);
  EXPECT_FALSE(anim.Composite);
  auto draw = DrawFrame(anim, 1, 2.0f, 2.0f);
  EXPECT_EQ(draw->x, 2);
  EXPECT_EQ(draw->y, 2);
  EXPECT_EQ(Letters(*draw->image), "....");
  EXPECT_FALSE(DrawFrame(anim, 0, 1.0f, 1.0f));
}

TEST(GifFramesTest, MirroringFlipsFramesAndPlaces) {
  auto file =
      GifBuilder(3, 2, kRGB).Image(0, 0, 3, 2, {1, 2, 3, 0, 0, 0}).Image(0, 0, 1, 1, {3}).End();
  GifAnimation anim = Decoded(file);
  MirrorFrames(anim, 0, 1, 1, 2, true);
  MirrorFrames(anim, 1, 3, 1, 2, true);
  EXPECT_EQ(anim.Strip[0], (std::vector<uint8_t>{0, 0, 0, 3, 2, 1}));
  EXPECT_EQ(anim.Frame(2).Left, 2);
  EXPECT_EQ(anim.Frame(2).Top, 1);
  MirrorFrames(anim, 3, 0, 1, 2, true);
  EXPECT_EQ(anim.Strip[0], (std::vector<uint8_t>{1, 2, 3, 0, 0, 0}));
  EXPECT_EQ(anim.Frame(2).Left, 0);
}

TEST(GifFramesTest, CalcScaleByStretchMode) {
  struct Case {
    int stretch, w, h;
    int want_w, want_h;
    float sx, sy;
  } cases[] = {
      {1, 300, 300, 300, 150, 3.0f, 3.0f}, {3, 300, 300, 100, 50, 1.0f, 1.0f},
      {0, 40, 40, 40, 40, 1.0f, 1.0f},     {2, 200, 200, 200, 200, 2.0f, 4.0f},
      {4, 7, 7, 100, 50, 1.0f, 1.0f},      {3, 50, 300, 50, 25, 0.5f, 0.5f},
      {9, 300, 300, 300, 150, 3.0f, 3.0f},
  };
  for (const auto& c : cases) {
    int w = c.w, h = c.h;
    float sx = 0, sy = 0;
    CalcScale(c.stretch, 100, 50, w, h, sx, sy);
    EXPECT_EQ(w, c.want_w) << c.stretch;
    EXPECT_EQ(h, c.want_h) << c.stretch;
    EXPECT_FLOAT_EQ(sx, c.sx) << c.stretch;
    EXPECT_FLOAT_EQ(sy, c.sy) << c.stretch;
  }
  Image two{2, 1, {0xFF000001, 0xFF000002}, {}};
  EXPECT_EQ(ScaleImage(two, 4, 2).pixels,
            (std::vector<uint32_t>{0xFF000001, 0xFF000001, 0xFF000002, 0xFF000002, 0xFF000001,
                                   0xFF000001, 0xFF000002, 0xFF000002}));
  // Shrinking averages; a clear pixel lowers the alpha, not the colour.
  Image four{4, 1, {0xFFFF0000, 0xFF0000FF, 0xFF00FF00, 0}, {}};
  EXPECT_EQ(ScaleImage(four, 2, 1).pixels, (std::vector<uint32_t>{0xFF7F007F, 0x7F00FF00}));
}

}  // namespace
}  // namespace slvn
