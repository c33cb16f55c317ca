#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace slvn {

// A video frame: the bytes of one complete BMP image.
using VideoFrame = std::vector<uint8_t>;

// The largest frame the client takes or sends, and the largest picture in it.
constexpr size_t kMaxFrameBytes = 1 << 20;
constexpr int kMaxFrameWidth = 640;
constexpr int kMaxFrameHeight = 480;

// Whether the bytes are a BMP image the client draws and stores: "BM", an
// info header of 40, 108 or 124 bytes, 1..640 x 1..480 pixels (rows bottom-up
// or top-down), one plane, 24 or 32 bits a pixel, uncompressed, every row
// inside the bytes, at most kMaxFrameBytes in all. Frames from peers are
// looked at through this before anything else reads them.
bool CheckBmpFrame(std::span<const uint8_t> bytes);

// A 24-bit BMP of the given size from top-down rows of blue, green, red
// bytes (width x 3 bytes each, no padding); empty when the sizes disagree
// or the picture would be too large.
VideoFrame BmpFromBgrRows(int width, int height, std::span<const uint8_t> bgr);

// One complete 24-bit BMP image of the given size: a colour ramp with a bar
// that moves with `frame_number`, so that successive frames differ.
VideoFrame MakeTestPatternBmp(int width, int height, int frame_number);

}  // namespace slvn
