#include "video/bmp_frame.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/picture.h"

namespace slvn {
namespace {

void PutLe(VideoFrame& b, size_t at, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

TEST(CheckBmpFrameTest, AcceptsTheFramesWeWriteAndRejectsEachBadHeaderField) {
  const VideoFrame good = MakeTestPatternBmp(8, 6, 0);
  ASSERT_TRUE(CheckBmpFrame(good));
  struct Case {
    const char* what;
    std::function<void(VideoFrame&)> spoil;
  } cases[] = {
      {"not BM", [](VideoFrame& b) { b[1] = 'A'; }},
      {"info header 12", [](VideoFrame& b) { PutLe(b, 14, 12, 4); }},
      {"info header 64", [](VideoFrame& b) { PutLe(b, 14, 64, 4); }},
      {"width 0", [](VideoFrame& b) { PutLe(b, 18, 0, 4); }},
      {"width 641", [](VideoFrame& b) { PutLe(b, 18, 641, 4); }},
      {"width negative", [](VideoFrame& b) { PutLe(b, 18, 0xFFFFFFF8u, 4); }},
      {"height 0", [](VideoFrame& b) { PutLe(b, 22, 0, 4); }},
      {"height 481", [](VideoFrame& b) { PutLe(b, 22, 481, 4); }},
      {"height -481", [](VideoFrame& b) { PutLe(b, 22, static_cast<uint32_t>(-481), 4); }},
      {"two planes", [](VideoFrame& b) { PutLe(b, 26, 2, 2); }},
      {"8 bits", [](VideoFrame& b) { PutLe(b, 28, 8, 2); }},
      {"16 bits", [](VideoFrame& b) { PutLe(b, 28, 16, 2); }},
      {"run-length", [](VideoFrame& b) { PutLe(b, 30, 1, 4); }},
      {"bit fields", [](VideoFrame& b) { PutLe(b, 30, 3, 4); }},
      {"pixels before the header end", [](VideoFrame& b) { PutLe(b, 10, 20, 4); }},
      {"pixels past the end", [](VideoFrame& b) { PutLe(b, 10, 0xFFFFFFF0u, 4); }},
      {"last row cut", [](VideoFrame& b) { b.pop_back(); }},
      {"rows for a taller picture", [](VideoFrame& b) { PutLe(b, 22, 7, 4); }},
      {"only the file header", [](VideoFrame& b) { b.resize(14); }},
      {"empty", [](VideoFrame& b) { b.clear(); }},
      {"over 1 MiB", [](VideoFrame& b) { b.resize(kMaxFrameBytes + 1); }},
  };
  for (const Case& c : cases) {
    VideoFrame b = good;
    c.spoil(b);
    EXPECT_FALSE(CheckBmpFrame(b)) << c.what;
  }
  // Other layouts that are fine: top-down rows, 32 bits, a larger header.
  VideoFrame top_down = good;
  PutLe(top_down, 22, static_cast<uint32_t>(-6), 4);
  EXPECT_TRUE(CheckBmpFrame(top_down));
  VideoFrame wide = good;
  PutLe(wide, 28, 32, 2);
  PutLe(wide, 18, 6, 4);  // 6 x 32 bits fill the 24 bytes of an 8 x 24-bit row
  EXPECT_TRUE(CheckBmpFrame(wide));
}

TEST(BmpFromBgrRowsTest, WritesRowsBottomUpPaddedToFourBytesAndRefusesBadSizes) {
  // 3 x 2: top row red, green, blue; bottom row white, black, grey.
  const std::vector<uint8_t> bgr = {0,   0,   255, 0, 255, 0, 255, 0,   0,
                                    255, 255, 255, 0, 0,   0, 128, 128, 128};
  VideoFrame bmp = BmpFromBgrRows(3, 2, bgr);
  ASSERT_TRUE(CheckBmpFrame(bmp));
  EXPECT_EQ(bmp.size(), 54u + 2 * 12);  // 9 bytes a row padded to 12
  // The file's first row is the picture's bottom row.
  EXPECT_EQ(bmp[54], 255);
  EXPECT_EQ(bmp[54 + 6], 128);
  EXPECT_EQ(bmp[54 + 12 + 2], 255);  // red of the top-left pixel
  Picture p = DecodePicture(bmp);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->At(0, 0) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(p->At(2, 0) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(p->At(0, 1) & 0xFFFFFF, 0xFFFFFFu);

  EXPECT_TRUE(BmpFromBgrRows(3, 3, bgr).empty());
  EXPECT_TRUE(BmpFromBgrRows(0, 2, {}).empty());
  EXPECT_TRUE(BmpFromBgrRows(641, 1, std::vector<uint8_t>(641 * 3)).empty());
}

TEST(TestPatternTest, SuccessiveFramesDifferAndDecode) {
  VideoFrame a = MakeTestPatternBmp(320, 240, 1), b = MakeTestPatternBmp(320, 240, 2);
  EXPECT_NE(a, b);
  Picture p = DecodePicture(b);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->width, 320);
  EXPECT_EQ(p->height, 240);
}

}  // namespace
}  // namespace slvn
