#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "anigif/gif_scan.h"

namespace slvn {

// One frame as it is written out: its colour indices row by row from the top,
// its palette and its transparent index, if any.
struct FrameToEncode {
  std::span<const uint8_t> indices;  // Width x Height
  int Width = 0;
  int Height = 0;
  const GifPalette* palette = nullptr;
  bool TransFlag = false;
  uint8_t TransIndex = 0;
};

// A complete one-frame GIF89a file: 256-entry global table (the palette, then
// black), a graphic control extension only for a transparent frame, LZW code
// size 8. Empty when the frame does not fit a GIF (a side of 0 or over 65535,
// or indices of the wrong count).
std::vector<uint8_t> EncodeFrameGIF(const FrameToEncode& frame);

}  // namespace slvn
