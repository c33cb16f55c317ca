#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace slvn {

// What one picture may cost. Pictures show on a table of 1024 x 768 pixels,
// so that is the largest picture that can be seen whole; the caps follow:
// - a frame or canvas side over 1024, or a canvas over 1024 x 768 (3 MB as
//   ARGB, as much again for the rows a disposal-3 frame saves);
// - one pass through the animation draws at most four tables' worth of
//   pixels, counted as frames x canvas (a composed animation redraws the
//   whole canvas for every frame): 4 frames of the full size, 78 of
//   200 x 200, 314 of 100 x 100. It also bounds the colour indices kept for
//   all frames to 3 MB and the time one picture can hold the one thread;
// - at most 1024 frames (10 s at the shortest delay), which bounds the
//   bookkeeping of a file of many tiny frames.
// A file over any cap fails as a whole.
inline constexpr int kMaxPictureSide = 1024;
inline constexpr int64_t kMaxCanvasPixels = int64_t{1024} * 768;
inline constexpr int64_t kMaxDrawnPixels = 4 * kMaxCanvasPixels;
inline constexpr size_t kMaxFrames = 1024;

// One colour table: colours as 0x00RRGGBB; indices at or beyond Count() are
// drawn black.
struct GifPalette {
  std::vector<uint32_t> colors;
  int Count() const { return static_cast<int>(colors.size()); }
};

// One image of the file, in the order of the file.
struct GIFFrame {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t DelayMs = 0;       // from the graphic control extension, 0 without one
  int32_t PaletteIndex = 0;  // 0 the global table, else its local table
  uint8_t TransIndex = 0;
  uint8_t TransFlag = 0;  // 1 when TransIndex is transparent
  uint8_t Disposal = 0;   // 0..3
  bool Interlaced = false;
  uint8_t MinCodeSize = 0;  // as the file gives it; the decoder checks it
  // Where the frame's compressed data lies in the file: the data sub-blocks
  // (count bytes included), clipped to the bytes present.
  size_t DataPos = 0;
  size_t DataLen = 0;
};

// What the walk of a file found. An empty Frames means not a usable GIF.
struct GifScan {
  std::vector<GIFFrame> Frames;
  std::vector<GifPalette> Palettes;  // [0] global (may be empty), then locals
  int32_t CanvasWidth = 0;
  int32_t CanvasHeight = 0;
  int32_t LoopCount = 0;   // NETSCAPE2.0 loop count, 0 endless
  bool Truncated = false;  // the walk stopped at the end of the data
};

// "GIF87a" or "GIF89a", in any letter case, at the start of the bytes.
bool IsGifSignature(std::span<const uint8_t> bytes);

// Walks the block structure of GIF 87a/89a bytes. Never reads outside
// `bytes`; a file cut short keeps the images stored before the cut.
GifScan ScanGIF(std::span<const uint8_t> bytes);

}  // namespace slvn
