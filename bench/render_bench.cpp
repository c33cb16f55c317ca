#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms.h"
#include "platform/renderer.h"
#include "shell/client.h"

namespace {

slvn::Picture MakePicture(int w, int h, uint32_t argb, bool rounded) {
  auto image = std::make_shared<slvn::Image>();
  image->width = w;
  image->height = h;
  image->pixels.assign(static_cast<size_t>(w) * h, argb);
  if (rounded)  // transparent corners, as tiles have
    for (int y : {0, h - 1})
      for (int x : {0, w - 1}) image->pixels[static_cast<size_t>(y) * w + x] = 0;
  return image;
}

// One full frame of the main window: the table background, 300 tiles and
// 40 labels, as a hand in play shows them.
void BM_RenderTableFrame(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  slvn::Client client;
  slvn::Form form(client.forms);
  form.Move(0, 0, 1040 * 15, 796 * 15);
  form.SetScaleMode(slvn::ScaleMode::kPixels);
  form.SetPicture(MakePicture(1040, 796, 0xFF1E6B2F, false));
  std::vector<slvn::Picture> faces;
  for (int i = 0; i < 34; ++i)
    faces.push_back(MakePicture(36, 50, 0xFFF5F0E0 - static_cast<uint32_t>(i), true));
  slvn::ControlArray<slvn::ImageControl> tiles(&form);
  for (int i = 0; i < 300; ++i) {
    if (i > 0) tiles.Load(i);
    tiles[i].SetPicture(faces[static_cast<size_t>(i) % faces.size()]);
    tiles[i].Move(20 + (i % 26) * 38, 40 + (i / 26) * 60);
    tiles[i].SetVisible(true);
  }
  slvn::ControlArray<slvn::Label> labels(&form);
  for (int i = 0; i < 40; ++i) {
    if (i > 0) labels.Load(i);
    labels[i].Move(20 + (i % 8) * 125, 740 + (i / 8) * 10 - 40, 120, 18);
    labels[i].SetCaption("玩家" + std::to_string(i) + " 2000");
    labels[i].SetBackStyle(slvn::kBackTransparent);
    labels[i].SetForeColor(0xFFFFFF);
    labels[i].SetVisible(true);
  }
  slvn::Renderer renderer;
  if (!renderer.Ok()) {
    state.SkipWithError("no renderer");
    return;
  }
  renderer.Draw(form);  // pictures and texts become textures once
  for (auto _ : state) {
    renderer.Draw(form);
    benchmark::DoNotOptimize(renderer.PixelAt(0, 0));
  }
}
BENCHMARK(BM_RenderTableFrame)->Unit(benchmark::kMillisecond);

}  // namespace
