// GIF files of arbitrary bytes: the walk, the LZW decoder, the composition of
// every frame and the encoder must stay in bounds, and an encoded frame must
// decode back to the same indices.
#include <cstdint>
#include <memory>
#include <vector>

#include "anigif/ani_gif.h"
#include "anigif/gif_encode.h"
#include "anigif/gif_frames.h"
#include "anigif/gif_lzw.h"
#include "anigif/gif_scan.h"
#include "shell/client.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// A window-less host that paints whenever asked.
class Host : public slvn::AniGifHost {
 public:
  bool UserMode() const override { return true; }
  int ScaleWidth() const override { return w; }
  int ScaleHeight() const override { return h; }
  void SizeTo(int width, int height) override { w = width, h = height; }
  void Repaint() override {
    if (control) control->Paint();
  }
  float ToContainerSize(float px, bool) const override { return px; }
  float ToContainerPosition(float px, bool) const override { return px; }
  bool Enabled() const override { return true; }
  void SetEnabled(bool) override {}
  slvn::Picture MouseIcon() const override { return nullptr; }
  void SetMouseIcon(slvn::Picture) override {}
  int16_t MousePointer() const override { return 0; }
  bool SetMousePointer(int16_t) override { return false; }
  void PropertyChanged(std::string_view) override {}

  int w = 64, h = 48;
  slvn::ucAniGIF* control = nullptr;
};

// The control over the same bytes: load, animate, flip, step and read back.
void RunControl(std::span<const uint8_t> file) {
  slvn::Client client(std::make_unique<slvn::ManualClock>());
  Host host;
  slvn::ucAniGIF gif(client.loop, host);
  host.control = &gif;
  gif.SetStretch(file.size() % 5);
  if (!gif.LoadAnimatedGIF_Array(file)) return;
  gif.SetMirrored(1);
  client.loop.RunFor(0.1);
  gif.SetMirrored(2);
  gif.SetAction(3);
  gif.AnimatedGIF();
  gif.SetAction(1);
  client.loop.RunFor(0.1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> file(data, size);
  slvn::GifAnimation anim;
  anim.scan = slvn::ScanGIF(file);
  const int64_t canvas = int64_t{anim.scan.CanvasWidth} * anim.scan.CanvasHeight;
  Check(canvas <= slvn::kMaxCanvasPixels && anim.scan.Frames.size() <= slvn::kMaxFrames);
  Check(static_cast<int64_t>(anim.scan.Frames.size()) * canvas <= slvn::kMaxDrawnPixels);
  for (const auto& f : anim.scan.Frames) {
    Check(f.DataPos + f.DataLen <= size);
    Check(f.Left + f.Width <= anim.scan.CanvasWidth && f.Top + f.Height <= anim.scan.CanvasHeight);
    Check(f.PaletteIndex >= 0 && static_cast<size_t>(f.PaletteIndex) < anim.scan.Palettes.size());
  }
  // Every pixel costs tens of nanoseconds under the fuzzer's instrumentation
  // and the steps below touch each one about ten times, so pictures past a
  // quarter Mpixel of drawing are only scanned: the code paths are the same
  // as for small ones, and the caps' own edges have unit tests.
  if (static_cast<int64_t>(anim.scan.Frames.size()) * canvas > (int64_t{1} << 18)) return 0;
  slvn::PlanComposite(anim, true);
  for (int i = 1; i <= anim.FrameCount(); ++i) slvn::DecodeFrame(anim, file, i);
  // One pass; the control below draws them again from frame 1 as it loops.
  for (int i = 1; i <= anim.FrameCount(); ++i) slvn::DrawFrame(anim, i, 1.0f, 0.5f);
  slvn::MirrorFrames(anim, 0, 3, 1, anim.FrameCount(), true);
  RunControl(file);
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
