// GIF files of arbitrary bytes: the walk, the LZW decoder, the composition of
// every frame and the encoder must stay in bounds, and an encoded frame must
// decode back to the same indices.
#include <cstdint>
#include <vector>

#include "anigif/gif_encode.h"
#include "anigif/gif_frames.h"
#include "anigif/gif_lzw.h"
#include "anigif/gif_scan.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> file(data, size);
  slvn::GifAnimation anim;
  anim.scan = slvn::ScanGIF(file);
  int64_t pixels = int64_t{anim.scan.CanvasWidth} * anim.scan.CanvasHeight;
  for (const auto& f : anim.scan.Frames) {
    Check(f.DataPos + f.DataLen <= size);
    Check(f.Left + f.Width <= anim.scan.CanvasWidth && f.Top + f.Height <= anim.scan.CanvasHeight);
    Check(f.PaletteIndex >= 0 && static_cast<size_t>(f.PaletteIndex) < anim.scan.Palettes.size());
    pixels += int64_t{f.Width} * f.Height;
  }
  // Huge canvases are legal up to the caps but make each run slow; the
  // code paths are the same as for small ones.
  if (pixels > (int64_t{1} << 18)) return 0;
  slvn::PlanComposite(anim, true);
  for (int i = 1; i <= anim.FrameCount(); ++i) slvn::DecodeFrame(anim, file, i);
  for (int pass = 0; pass < 2; ++pass)
    for (int i = 1; i <= anim.FrameCount(); ++i) slvn::DrawFrame(anim, i, 1.0f, 0.5f);
  slvn::MirrorFrames(anim, 0, 3, 1, anim.FrameCount(), true);
  if (anim.FrameCount() == 0) return 0;
  const slvn::GIFFrame& f = anim.Frame(1);
  auto encoded = slvn::EncodeFrameGIF({anim.Strip[0], f.Width, f.Height,
                                       &anim.scan.Palettes[static_cast<size_t>(f.PaletteIndex)],
                                       f.TransFlag == 1, f.TransIndex});
  if (encoded.empty()) return 0;
  slvn::GifScan again = slvn::ScanGIF(encoded);
  Check(again.Frames.size() == 1);
  std::vector<uint8_t> indices;
  Check(slvn::DecodeFrameIndices(encoded, again.Frames[0], indices));
  Check(indices == anim.Strip[0]);
  return 0;
}
