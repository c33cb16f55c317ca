#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstring>
#include <random>
#include <vector>

#include "anigif/gif_encode.h"
#include "anigif/gif_lzw.h"
#include "anigif/gif_scan.h"

namespace {

using Bytes = std::vector<uint8_t>;

// GIFs made here with our encoder: frames share the 256-colour global table.
Bytes MakeGif(int w, int h, int frames, int colours, int noise) {
  slvn::GifPalette palette;
  for (uint32_t i = 0; i < 256; ++i) palette.colors.push_back(i * 0x010203u);
  std::mt19937 rng(5);
  Bytes gif;
  for (int f = 0; f < frames; ++f) {
    Bytes pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        pixels[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(
            ((x + y + f * 3) * colours / (w + h) + rng() % (noise + 1)) % colours);
    Bytes one = slvn::EncodeFrameGIF({pixels, w, h, &palette});
    if (gif.empty()) gif.assign(one.begin(), one.begin() + 781);
    gif.insert(gif.end(), one.begin() + 781, one.end() - 1);
  }
  gif.push_back(0x3B);
  return gif;
}

struct GifCase {
  int width, height, frames, colours, noise;
};
constexpr GifCase kTiles{36, 50, 1, 16, 0};
// The largest picture a table shows whole.
constexpr GifCase kPhoto{1024, 768, 1, 256, 6};
constexpr GifCase kAnimation{120, 90, 60, 64, 1};

Bytes Make(const GifCase& c) {
  return MakeGif(c.width, c.height, c.frames, c.colours, c.noise);
}

void Expand(const uint8_t* indices, size_t n, const uint32_t* colours, std::vector<uint32_t>& out) {
  out.resize(n);
  for (size_t i = 0; i < n; ++i) out[i] = colours[indices[i]];
}

void BM_GifDecodeOurs(benchmark::State& state, GifCase c) {
  const Bytes file = Make(c);
  std::vector<uint8_t> indices;
  std::vector<uint32_t> rgba;
  if (slvn::ScanGIF(file).Frames.empty()) {
    state.SkipWithError("the decoder refused the picture");
    return;
  }
  for (auto _ : state) {
    slvn::GifScan scan = slvn::ScanGIF(file);
    uint32_t colours[256] = {};
    for (int i = 0; i < scan.Palettes[0].Count(); ++i)
      colours[i] = 0xFF000000u | scan.Palettes[0].colors[static_cast<size_t>(i)];
    for (const auto& f : scan.Frames) {
      slvn::DecodeFrameIndices(file, f, indices);
      Expand(indices.data(), indices.size(), colours, rgba);
      benchmark::DoNotOptimize(rgba.data());
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}

void BM_GifDecodeGiflib(benchmark::State& state, GifCase c) {
  const Bytes file = Make(c);
  std::vector<uint32_t> rgba;
  struct Source {
    const Bytes* bytes;
    size_t pos;
  };
  for (auto _ : state) {
    Source source{&file, 0};
    auto read = [](GifFileType* gif, GifByteType* out, int n) -> int {
      auto* s = static_cast<Source*>(gif->UserData);
      size_t take = std::min<size_t>(static_cast<size_t>(n), s->bytes->size() - s->pos);
      std::memcpy(out, s->bytes->data() + s->pos, take);
      s->pos += take;
      return static_cast<int>(take);
    };
    int error = 0;
    GifFileType* gif = DGifOpen(&source, read, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) {
      if (gif) DGifCloseFile(gif, &error);
      state.SkipWithError("giflib refused the picture");
      break;
    }
    uint32_t colours[256] = {};
    const ColorMapObject* map = gif->SColorMap;
    for (int i = 0; map && i < map->ColorCount; ++i)
      colours[i] = 0xFF000000u | uint32_t{map->Colors[i].Red} << 16 |
                   uint32_t{map->Colors[i].Green} << 8 | map->Colors[i].Blue;
    for (int i = 0; i < gif->ImageCount; ++i) {
      const SavedImage& im = gif->SavedImages[i];
      Expand(im.RasterBits, static_cast<size_t>(im.ImageDesc.Width) * im.ImageDesc.Height, colours,
             rgba);
      benchmark::DoNotOptimize(rgba.data());
    }
    DGifCloseFile(gif, &error);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}

BENCHMARK_CAPTURE(BM_GifDecodeOurs, tiles, kTiles);
BENCHMARK_CAPTURE(BM_GifDecodeOurs, photo, kPhoto);
BENCHMARK_CAPTURE(BM_GifDecodeOurs, animation, kAnimation);
BENCHMARK_CAPTURE(BM_GifDecodeGiflib, tiles, kTiles);
BENCHMARK_CAPTURE(BM_GifDecodeGiflib, photo, kPhoto);
BENCHMARK_CAPTURE(BM_GifDecodeGiflib, animation, kAnimation);

}  // namespace
