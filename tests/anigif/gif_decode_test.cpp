#include <gtest/gtest.h>

#include <random>
#include <string>

#include "anigif/gif_encode.h"
#include "anigif/gif_lzw.h"
#include "anigif/gif_scan.h"
#include "gif_builder.h"
#include "giflib_reference.h"
#include "platform/picture.h"

namespace slvn {
namespace {

using test::GifBuilder;

const std::vector<uint32_t> kGrey = {0x000000, 0x404040, 0x808080, 0xFFFFFF};

std::vector<uint8_t> Filled(int n, uint8_t v) {
  return std::vector<uint8_t>(n, v);
}

std::vector<uint8_t> Indices(std::span<const uint8_t> file, const GIFFrame& f) {
  std::vector<uint8_t> out;
  EXPECT_TRUE(DecodeFrameIndices(file, f, out));
  return out;
}

TEST(GifScanTest, CanvasDelaysDisposalsAndLoops) {
  auto file = GifBuilder(200, 200, kGrey)
                  .Loops(5)
                  .Control(3, 7)  // restore-previous on the first image means nothing
                  .Image(0, 0, 120, 10, Filled(1200, 1))
                  .Control(1, 0, 2)
                  .Control(3, 2)  // a second extension before an image wins
                  .Image(10, 10, 50, 80, Filled(4000, 2))
                  .Control(5, 0)  // disposal 5 is no method
                  .Image(0, 0, 1, 1, {3})
                  .End();
  GifScan scan = ScanGIF(file);
  ASSERT_EQ(scan.Frames.size(), 3u);
  EXPECT_EQ(scan.CanvasWidth, 120);
  EXPECT_EQ(scan.CanvasHeight, 90);
  EXPECT_EQ(scan.LoopCount, 5);
  EXPECT_FALSE(scan.Truncated);
  const auto& f = scan.Frames;
  EXPECT_EQ(f[0].Disposal, 0);
  EXPECT_EQ(f[0].DelayMs, 70);
  EXPECT_EQ(f[1].Disposal, 3);
  EXPECT_EQ(f[1].DelayMs, 20);
  EXPECT_EQ(f[1].TransFlag, 0);
  EXPECT_EQ(f[2].Disposal, 0);
  EXPECT_EQ(Indices(file, f[1]), Filled(4000, 2));
  auto reference = test::GiflibIndices(file);
  ASSERT_EQ(reference.size(), 3u);
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(Indices(file, f[i]), reference[i]);
}

// A control extension whose size byte is not 4 is read as it says: the
// image after it is still found, with the fields the block holds.
TEST(GifScanTest, AControlExtensionIsReadByItsSizeByte) {
  struct Case {
    std::vector<uint8_t> block;  // the extension's data, its size byte first
    int delay_ms;
  } cases[] = {
      {{3, 0, 7, 0}, 70},              // no transparent index
      {{6, 0, 7, 0, 0, 0x2C, 9}, 70},  // two bytes more, one like a descriptor
      {{1, 0}, 0},
      {{0}, 0},
  };
  for (const Case& c : cases) {
    GifBuilder b(2, 1, kGrey);
    b.bytes.insert(b.bytes.end(), {0x21, 0xF9});
    b.bytes.insert(b.bytes.end(), c.block.begin(), c.block.end());
    b.bytes.push_back(0);
    auto file = b.Image(0, 0, 2, 1, {1, 2}).End();
    GifScan scan = ScanGIF(file);
    ASSERT_EQ(scan.Frames.size(), 1u) << c.block.size();
    EXPECT_EQ(scan.Frames[0].DelayMs, c.delay_ms) << c.block.size();
    EXPECT_EQ(Indices(file, scan.Frames[0]), (std::vector<uint8_t>{1, 2}));
    EXPECT_FALSE(scan.Truncated);
  }
}

TEST(GifScanTest, LoopExtensionsAndLocalPalettes) {
  auto endless = GifBuilder(1, 1, kGrey).Loops(0).Image(0, 0, 1, 1, {1}).End();
  EXPECT_EQ(ScanGIF(endless).LoopCount, 0);
  // Another application's extension leaves the loop count alone.
  auto other = GifBuilder(1, 1, kGrey).Loops(4).End();
  other.pop_back();
  const uint8_t app[] = {0x21, 0xFF, 11,  'X', 'M', 'P', 'D', 'a', 't',
                         'a',  'X',  'M', 'P', 2,   9,   9,   0};
  other.insert(other.end(), std::begin(app), std::end(app));
  GifBuilder tail;
  tail.bytes.clear();
  tail.Image(0, 0, 1, 1, {2});
  other.insert(other.end(), tail.bytes.begin(), tail.bytes.end());
  EXPECT_EQ(ScanGIF(other).LoopCount, 4);
  // A local table goes with its own image only.
  auto local = GifBuilder(2, 1)
                   .Image(0, 0, 1, 1, {1}, {0xFF0000, 0x00FF00})
                   .Image(1, 0, 1, 1, {0}, {0x0000FF, 0x123456, 0, 0})
                   .End();
  GifScan scan = ScanGIF(local);
  ASSERT_EQ(scan.Frames.size(), 2u);
  EXPECT_EQ(scan.Frames[0].PaletteIndex, 1);
  EXPECT_EQ(scan.Frames[1].PaletteIndex, 2);
  EXPECT_EQ(scan.Palettes[2].colors[1], 0x123456u);
  EXPECT_EQ(scan.Palettes[2].Count(), 4);
}

// `count` equal frames without data.
std::vector<uint8_t> Frames(int count, int left, int top, int width, int height) {
  GifBuilder b(1, 1, kGrey);
  for (int i = 0; i < count; ++i) b.Image(left, top, width, height, {});
  return b.End();
}

TEST(GifScanTest, BadAndTruncatedFilesFailCleanly) {
  auto three = GifBuilder(4, 4, kGrey)
                   .Image(0, 0, 4, 4, Filled(16, 1))
                   .Image(0, 0, 4, 4, Filled(16, 2))
                   .Image(0, 0, 4, 4, Filled(16, 3), kGrey)
                   .End();
  size_t third = 0;  // offset of the third image descriptor
  for (size_t i = 0, seen = 0; i < three.size(); ++i)
    if (three[i] == 0x2C && ++seen == 3) third = i;
  auto cut = [&](size_t n) { return std::vector<uint8_t>(three.begin(), three.begin() + n); };
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    size_t frames;
  } cases[] = {
      {"whole", three, 3},
      {"not a GIF", {'G', 'I', 'F', '9', '0', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B}, 0},
      {"shorter than a signature", {'G', 'I', 'F'}, 0},
      {"cut in the global table", cut(20), 0},
      {"cut in the third descriptor", cut(third + 5), 2},
      {"cut in the third local table", cut(third + 14), 2},
      {"cut in the third image's data", cut(three.size() - 4), 3},
      {"image without any colour table", GifBuilder(1, 1).Image(0, 0, 1, 1, {0}).End(), 0},
      // What one picture may cost: each cap just kept and just passed.
      {"frame 1024 wide", GifBuilder(1, 1, kGrey).Image(0, 0, 1024, 1, {}).End(), 1},
      {"frame 1025 wide", GifBuilder(1, 1, kGrey).Image(0, 0, 1025, 1, {}).End(), 0},
      {"canvas past 1024 by its place", GifBuilder(1, 1, kGrey).Image(1020, 0, 5, 1, {}).End(), 0},
      {"canvas 1024 x 768", GifBuilder(1, 1, kGrey).Image(0, 0, 1024, 768, {}).End(), 1},
      {"canvas 1024 x 769", GifBuilder(1, 1, kGrey).Image(0, 0, 1024, 769, {}).End(), 0},
      {"4 frames of the largest canvas", Frames(4, 0, 0, 1024, 768), 4},
      {"5 frames of the largest canvas", Frames(5, 0, 0, 1024, 768), 0},
      {"tiny frames drawn over a large canvas",
       [] {
         GifBuilder b(1, 1, kGrey);
         b.Image(0, 0, 1024, 768, {});
         for (int i = 0; i < 4; ++i) b.Image(0, 0, 1, 1, {});
         return b.End();
       }(),
       0},
      {"1024 frames", Frames(1024, 0, 0, 1, 1), 1024},
      {"1025 frames", Frames(1025, 0, 0, 1, 1), 0},
  };
  for (const auto& c : cases) {
    GifScan scan = ScanGIF(c.file);
    EXPECT_EQ(scan.Frames.size(), c.frames) << c.name;
    for (const auto& f : scan.Frames) {
      EXPECT_LE(f.DataPos + f.DataLen, c.file.size()) << c.name;
      Indices(c.file, f);  // decodes what is there without reading past the data
    }
  }
  // The image cut in its data keeps the pixels before the cut.
  auto partial = cut(three.size() - 4);
  auto last = Indices(partial, ScanGIF(partial).Frames[2]);
  EXPECT_EQ(last[0], 3);
  EXPECT_EQ(last[15], 0);
}

TEST(GifLzwTest, InterlacedRowsComeBackInOrder) {
  // Row y holds index y; stored in pass order 0, 8 | 4 | 2, 6 | 1, 3, 5, 7, 9.
  const int order[] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
  std::vector<uint8_t> stored;
  for (int y : order)
    for (int x = 0; x < 3; ++x) stored.push_back(static_cast<uint8_t>(y));
  std::vector<uint32_t> palette(16);
  auto file = GifBuilder(3, 10, palette).Image(0, 0, 3, 10, stored, {}, true).End();
  auto got = Indices(file, ScanGIF(file).Frames[0]);
  for (int y = 0; y < 10; ++y) EXPECT_EQ(got[y * 3 + 2], y);
  EXPECT_EQ(test::GiflibIndices(file)[0], got);
}

TEST(GifLzwTest, CorruptCodeStreamsStopCleanly) {
  std::vector<uint8_t> out(64, 7);
  EXPECT_FALSE(LzwDecode({}, 12, out));
  EXPECT_FALSE(LzwDecode({}, 0, out));
  // 2-bit codes: clear 4, then 6 (not yet in the table): nothing is written.
  out.assign(8, 0);
  const uint8_t bad[] = {0b110'100};
  EXPECT_TRUE(LzwDecode(bad, 2, out));
  EXPECT_EQ(out, std::vector<uint8_t>(8, 0));
  // Random streams never write outside the output.
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    std::vector<uint8_t> data(rng() % 300);
    for (auto& b : data) b = static_cast<uint8_t>(rng());
    std::vector<uint8_t> pixels(rng() % 500);
    LzwDecode(data, 1 + round % 11, pixels);
  }
}

TEST(GifEncodeTest, WritesTheFileLayout) {
  GifPalette four{{0x112233, 0x445566, 0x778899, 0xAABBCC}};
  const uint8_t five[] = {5};
  auto one = EncodeFrameGIF({five, 1, 1, &four});
  ASSERT_EQ(one.size(), 781u + 10 + 1 + 1 + 4 + 1 + 1);
  EXPECT_EQ(one[10], 0x87);
  EXPECT_EQ(one[13 + 3 * 3 + 2], 0xCC);
  EXPECT_EQ(one[13 + 3 * 4], 0);  // entries past the palette are black
  EXPECT_EQ(one[781], 0x2C);
  EXPECT_EQ(one[791], 8);
  // clear 256, 5, end 257 at 9 bits: 0x100 | 0x005 << 9 | 0x101 << 18
  const std::vector<uint8_t> block = {4, 0x00, 0x0B, 0x04, 0x04};
  EXPECT_EQ(std::vector<uint8_t>(one.begin() + 792, one.begin() + 797), block);
  EXPECT_EQ(one[797], 0);
  EXPECT_EQ(one.back(), 0x3B);

  auto transparent = EncodeFrameGIF({five, 1, 1, &four, true, 3});
  const std::vector<uint8_t> gce = {0x21, 0xF9, 4, 1, 0, 0, 3, 0, 0x2C};
  EXPECT_EQ(std::vector<uint8_t>(transparent.begin() + 781, transparent.begin() + 790), gce);
  EXPECT_TRUE(EncodeFrameGIF({five, 2, 1, &four}).empty());
}

// The codes of an encoded opaque frame as a reader of the standard rule takes
// them (the width grows when its next free code reaches 2^width), up to the
// end code; `spare` gets the bits left after it, which must be the last
// byte's zero padding.
std::vector<int> ReadCodes(const std::vector<uint8_t>& file, size_t& spare) {
  std::vector<uint8_t> data;
  for (size_t pos = 792; pos < file.size() && file[pos] != 0; pos += file[pos] + 1u)
    data.insert(data.end(), file.begin() + pos + 1, file.begin() + pos + 1 + file[pos]);
  std::vector<int> codes;
  size_t bit = 0;
  int width = 9, next = 258;
  while (bit + width <= data.size() * 8) {
    int code = 0;
    for (int b = 0; b < width; ++b, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1) << b;
    codes.push_back(code);
    if (code == 257) break;
    if (code == 256) {
      width = 9, next = 258;
    } else if (codes.size() > 1 && codes[codes.size() - 2] != 256 && next < 4096) {
      if (++next == (1 << width) && width < 12) ++width;
    }
  }
  spare = data.size() * 8 - bit;
  for (; bit < data.size() * 8; ++bit) EXPECT_EQ((data[bit / 8] >> (bit % 8)) & 1, 0);
  return codes;
}

GifPalette GreyRamp() {
  GifPalette palette;
  for (uint32_t i = 0; i < 256; ++i) palette.colors.push_back(i * 0x010101u);
  return palette;
}

// Every decoder reads back the frame, and the file ends where a reader of the
// standard rule finds the end code.
void ExpectDecodes(const std::vector<uint8_t>& pixels, int w, int h, const std::string& name) {
  GifPalette palette = GreyRamp();
  auto file = EncodeFrameGIF({pixels, w, h, &palette});
  GifScan scan = ScanGIF(file);
  ASSERT_EQ(scan.Frames.size(), 1u) << name;
  EXPECT_EQ(Indices(file, scan.Frames[0]), pixels) << name;
  auto reference = test::GiflibIndices(file);
  ASSERT_EQ(reference.size(), 1u) << name;
  EXPECT_EQ(reference[0], pixels) << name;
  size_t spare = 0;
  auto codes = ReadCodes(file, spare);
  ASSERT_FALSE(codes.empty()) << name;
  EXPECT_EQ(codes.back(), 257) << name;
  EXPECT_LT(spare, 8u) << name;
}

// A probe ends at the first slot whose key is not above 0. Key 0 (index 0
// after prefix 0) sits in slot 5002 when 16-then-1 took its slot 0; the key
// of 5-then-156 probes from slot 2501 to 5002 and takes it over, so the
// second "0 0" is a new string and is written as 0, 0 again.
TEST(GifEncodeTest, AProbeEndsAtAKeyNotAboveZero) {
  GifPalette palette = GreyRamp();
  const std::vector<uint8_t> pixels = {16, 1, 0, 0, 117, 155, 5, 156, 0, 0, 0};
  auto file = EncodeFrameGIF({pixels, static_cast<int>(pixels.size()), 1, &palette});
  size_t spare = 0;
  EXPECT_EQ(ReadCodes(file, spare),
            (std::vector<int>{256, 16, 1, 0, 0, 117, 155, 5, 156, 0, 266, 257}));
  ExpectDecodes(pixels, static_cast<int>(pixels.size()), 1, "probe");
}

// Frames of N pixels (N x 1 where N fits a row) in which no pair of neighbours repeats (the first
// 256 are the distinct indices 0 to 255): every pixel is a code of its own and the end code follows
// next free code 257 + N. Around each width step (next = 512, 1024, 2048) and the table's end
// (4096). At 8445 pixels (two full tables, then next = 1024) an end code of the width in force
// would end exactly on a byte: no padding bit is left for a reader that takes it one bit wider.
TEST(GifEncodeTest, TheEndCodeWidensWhereTheReaderDoes) {
  // Steps of one odd size take every pair with that difference once.
  std::vector<uint8_t> walk = {0};
  for (int step = 1; walk.size() < 8446; step += 2)
    for (int i = 0; i < 256; ++i) walk.push_back(static_cast<uint8_t>(walk.back() + step));
  for (int n :
       {253, 254, 255, 256, 257, 766, 767, 768, 1790, 1791, 1792, 3838, 3839, 3840, 3841, 8445}) {
    int h = 1;  // rows of at most 1024 pixels, read as one stream
    while (n / h > 1024 || n % h != 0) ++h;
    std::vector<uint8_t> pixels(walk.begin(), walk.begin() + n);
    ExpectDecodes(pixels, n / h, h, std::to_string(n) + " pixels");
  }
}

// Encoded frames decode to the same indices through our decoder, giflib and
// the picture loader, across code widths 9 to 12 and table resets.
TEST(GifEncodeTest, RoundTripsThroughThreeDecoders) {
  GifPalette palette = GreyRamp();
  std::mt19937 rng(11);
  struct Case {
    const char* name;
    int w, h, colours;
  } cases[] = {{"noisy 200x200", 200, 200, 256},
               {"few colours", 97, 31, 3},
               {"one colour", 300, 300, 1},
               {"one row", 1000, 1, 16},
               {"one column", 1, 517, 2}};
  for (const auto& c : cases) {
    std::vector<uint8_t> pixels(static_cast<size_t>(c.w) * c.h);
    for (auto& p : pixels) p = static_cast<uint8_t>(rng() % c.colours);
    ExpectDecodes(pixels, c.w, c.h, c.name);
    auto file = EncodeFrameGIF({pixels, c.w, c.h, &palette});
    Picture picture = DecodePicture(file);
    ASSERT_TRUE(picture) << c.name;
    for (size_t i = 0; i < pixels.size(); i += 97)
      EXPECT_EQ(picture->pixels[i], 0xFF000000u | pixels[i] * 0x010101u) << c.name;
  }
}

}  // namespace
}  // namespace slvn
