#include "video/bmp_frame.h"

#include <algorithm>

namespace slvn {

namespace {

constexpr size_t kFileHeaderBytes = 14;

uint32_t Le(std::span<const uint8_t> b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<size_t>(i)];
  return v;
}

void PutLe(VideoFrame& out, size_t at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

size_t RowBytes(int width, int bits) {
  return (static_cast<size_t>(width) * static_cast<size_t>(bits) + 31) / 32 * 4;
}

}  // namespace

bool CheckBmpFrame(std::span<const uint8_t> bytes) {
  if (bytes.size() < kFileHeaderBytes + 40 || bytes.size() > kMaxFrameBytes) return false;
  if (bytes[0] != 'B' || bytes[1] != 'M') return false;
  const uint32_t header = Le(bytes, 14, 4);
  if (header != 40 && header != 108 && header != 124) return false;
  if (bytes.size() < kFileHeaderBytes + header) return false;
  const auto width = static_cast<int32_t>(Le(bytes, 18, 4));
  const auto raw_height = static_cast<int32_t>(Le(bytes, 22, 4));
  if (width < 1 || width > kMaxFrameWidth) return false;
  if (raw_height == 0 || raw_height < -kMaxFrameHeight || raw_height > kMaxFrameHeight)
    return false;
  const int height = raw_height < 0 ? -raw_height : raw_height;
  if (Le(bytes, 26, 2) != 1) return false;
  const uint32_t bits = Le(bytes, 28, 2);
  if (bits != 24 && bits != 32) return false;
  if (Le(bytes, 30, 4) != 0) return false;  // uncompressed only
  const uint32_t offset = Le(bytes, 10, 4);
  if (offset < kFileHeaderBytes + header || offset > bytes.size()) return false;
  const size_t pixels = RowBytes(width, static_cast<int>(bits)) * static_cast<size_t>(height);
  return pixels <= bytes.size() - offset;
}

VideoFrame BmpFromBgrRows(int width, int height, std::span<const uint8_t> bgr) {
  if (width < 1 || height < 1 || width > kMaxFrameWidth || height > kMaxFrameHeight) return {};
  const size_t in_row = static_cast<size_t>(width) * 3;
  if (bgr.size() != in_row * static_cast<size_t>(height)) return {};
  const size_t row = RowBytes(width, 24);
  const size_t pixels = row * static_cast<size_t>(height);
  const size_t start = kFileHeaderBytes + 40;
  VideoFrame bmp(start + pixels, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  PutLe(bmp, 2, static_cast<uint32_t>(bmp.size()), 4);
  PutLe(bmp, 10, static_cast<uint32_t>(start), 4);
  PutLe(bmp, 14, 40, 4);
  PutLe(bmp, 18, static_cast<uint32_t>(width), 4);
  PutLe(bmp, 22, static_cast<uint32_t>(height), 4);
  PutLe(bmp, 26, 1, 2);
  PutLe(bmp, 28, 24, 2);
  PutLe(bmp, 34, static_cast<uint32_t>(pixels), 4);
  // BMP rows run bottom-up.
  for (int y = 0; y < height; ++y) {
    const uint8_t* from = bgr.data() + in_row * static_cast<size_t>(y);
    std::copy(
        from, from + in_row,
        bmp.begin() + static_cast<ptrdiff_t>(start + row * static_cast<size_t>(height - 1 - y)));
  }
  return bmp;
}

VideoFrame MakeTestPatternBmp(int width, int height, int frame_number) {
  if (width < 1 || height < 1 || width > kMaxFrameWidth || height > kMaxFrameHeight) return {};
  std::vector<uint8_t> bgr(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  const int bar_width = std::max(width / 8, 1);
  const int bar_left = (frame_number * std::max(width / 32, 1)) % width;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p =
          bgr.data() +
          (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
      const bool bar = (x - bar_left + width) % width < bar_width;
      p[0] = bar ? 255 : static_cast<uint8_t>(x * 255 / std::max(width - 1, 1));
      p[1] = bar ? 255 : static_cast<uint8_t>(y * 255 / std::max(height - 1, 1));
      p[2] = bar ? 255 : static_cast<uint8_t>(96 + (frame_number * 8) % 160);
    }
  return BmpFromBgrRows(width, height, bgr);
}

}  // namespace slvn
