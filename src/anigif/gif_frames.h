#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "anigif/gif_scan.h"
#include "platform/picture.h"

namespace slvn {

// The decoded animation: the frames' colour indices (the frame strip, one
// buffer per frame) and, when frames must be combined, the composite canvas.
// Canvas pixels with alpha 0 are still transparent.
struct GifAnimation {
  GifScan scan;
  std::vector<std::vector<uint8_t>> Strip;  // Width x Height indices per frame
  bool Composite = false;
  bool Mask = false;  // the canvas keeps transparent areas
  Image Canvas;
  // Rows under a disposal-3 frame, saved before it is drawn.
  std::vector<uint32_t> Saved;

  int FrameCount() const { return static_cast<int>(scan.Frames.size()); }
  const GIFFrame& Frame(int i) const { return scan.Frames[static_cast<size_t>(i) - 1]; }
  // Frame i's indices are there (frames 2.. wait for the delayed decode).
  bool Decoded(int i) const {
    return i >= 1 && i <= static_cast<int>(Strip.size()) &&
           Strip[static_cast<size_t>(i) - 1].size() ==
               static_cast<size_t>(Frame(i).Width) * Frame(i).Height;
  }
};

// What the control draws: `image` at (x, y) of its own area, already at the
// size it is drawn; transparent pixels (alpha 0) leave the background.
struct FrameDraw {
  Picture image;
  int x = 0;
  int y = 0;
};

// Decides how frames are drawn and makes the canvas; `all_frames` is false
// when only frame 1 will ever exist (design mode, a single frame).
void PlanComposite(GifAnimation& anim, bool all_frames);

// Decodes frame i (1-based) from the file into the strip. A frame whose data
// is unusable stays at index 0.
void DecodeFrame(GifAnimation& anim, std::span<const uint8_t> file, int i);

// Draws frame i (0 = none: nothing) at the draw scales, applying the frame's
// disposal on the canvas; with a composite, frames must come in order from 1.
std::optional<FrameDraw> DrawFrame(GifAnimation& anim, int i, float scale_x, float scale_y);

// Flips frames first..last (and the canvas when asked) from orientation
// `from` to `to` (bit 0 left-right, bit 1 top-bottom); flipping is its own
// inverse.
void MirrorFrames(GifAnimation& anim, int from, int to, int first, int last, bool also_canvas);

// The draw scales and the control's size for a Stretch mode (0 own size and
// cut, 1 fit keeping aspect, 2 fill, 3 fit but never enlarge, 4 the control
// takes the image's size). Width and height are in and out.
void CalcScale(int stretch, int canvas_width, int canvas_height, int& width, int& height,
               float& scale_x, float& scale_y);

// A scaled copy: each target pixel is the average of the source pixels under
// it (at most 4 x 4 of them sampled; a single pixel when enlarging).
Image ScaleImage(const Image& source, int width, int height);

}  // namespace slvn
