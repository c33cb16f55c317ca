#include "writers.h"

#include <SDL_image.h>
#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <unordered_map>

namespace artgen {

namespace {
struct Box {
  std::vector<std::pair<uint32_t, int>> colors;  // rgb, count
};

int Component(uint32_t rgb, int channel) {
  return (rgb >> (16 - 8 * channel)) & 0xFF;
}

// Median cut over the distinct colours, weighted by how often each occurs.
std::vector<uint32_t> MedianCut(const std::unordered_map<uint32_t, int>& histogram, size_t limit) {
  std::vector<Box> boxes(1);
  for (auto& entry : histogram) boxes[0].colors.push_back(entry);
  while (boxes.size() < limit) {
    int best = -1, best_channel = 0, best_range = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].colors.size() < 2) continue;
      for (int ch = 0; ch < 3; ++ch) {
        auto [lo, hi] = std::minmax_element(
            boxes[i].colors.begin(), boxes[i].colors.end(),
            [ch](auto& a, auto& b) { return Component(a.first, ch) < Component(b.first, ch); });
        int range = Component(hi->first, ch) - Component(lo->first, ch);
        if (range > best_range) best = static_cast<int>(i), best_channel = ch, best_range = range;
      }
    }
    if (best < 0) break;
    auto& colors = boxes[best].colors;
    std::sort(colors.begin(), colors.end(), [ch = best_channel](auto& a, auto& b) {
      return Component(a.first, ch) < Component(b.first, ch);
    });
    long total = 0, half = 0;
    for (auto& c : colors) total += c.second;
    // Both halves keep at least one colour: a heavy colour last in the order
    // would otherwise leave the upper half empty and the box never split.
    size_t cut = 0;
    while (cut < colors.size() - 2 && (half += colors[cut].second) < total / 2) ++cut;
    Box upper{{colors.begin() + cut + 1, colors.end()}};
    colors.resize(cut + 1);
    boxes.push_back(std::move(upper));
  }
  std::vector<uint32_t> palette;
  for (auto& box : boxes) {
    double r = 0, g = 0, b = 0, n = 0;
    for (auto& [rgb, count] : box.colors) {
      r += Component(rgb, 0) * count, g += Component(rgb, 1) * count,
          b += Component(rgb, 2) * count;
      n += count;
    }
    if (n == 0) continue;
    palette.push_back((static_cast<uint32_t>(r / n + 0.5) << 16) |
                      (static_cast<uint32_t>(g / n + 0.5) << 8) |
                      static_cast<uint32_t>(b / n + 0.5));
  }
  return palette;
}

uint32_t Opaque(Color c, Color matte) {
  return Mix(matte | 0xFF000000, c | 0xFF000000, (c >> 24) / 255.0f) & 0xFFFFFF;
}

void Check(int ok, const std::string& what) {
  if (ok != GIF_OK) throw std::runtime_error("gif: " + what);
}

void PutFrame(GifFileType* gif, const Canvas& c, Color matte, int delay_cs, bool animated) {
  std::unordered_map<uint32_t, int> histogram;
  bool transparent = false;
  for (Color p : c.px) {
    if ((p >> 24) < 128)
      transparent = true;
    else
      ++histogram[Opaque(p, matte)];
  }
  std::vector<uint32_t> palette = MedianCut(histogram, transparent ? 255 : 256);
  if (palette.empty()) palette.push_back(0);
  int trans_index = transparent ? static_cast<int>(palette.size()) : -1;
  std::array<GifColorType, 256> entries{};
  for (size_t i = 0; i < palette.size(); ++i)
    entries[i] = {static_cast<GifByteType>(palette[i] >> 16),
                  static_cast<GifByteType>(palette[i] >> 8), static_cast<GifByteType>(palette[i])};
  ColorMapObject* map = GifMakeMapObject(256, entries.data());

  if (transparent || animated) {
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = animated ? DISPOSE_BACKGROUND : DISPOSAL_UNSPECIFIED;
    gcb.DelayTime = animated ? delay_cs : 0;
    gcb.TransparentColor = trans_index >= 0 ? trans_index : NO_TRANSPARENT_COLOR;
    GifByteType ext[4];
    size_t len = EGifGCBToExtension(&gcb, ext);
    Check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(len), ext), "gcb");
  }
  Check(EGifPutImageDesc(gif, 0, 0, c.w, c.h, false, map), "image");
  GifFreeMapObject(map);

  std::unordered_map<uint32_t, GifPixelType> nearest;
  std::vector<GifPixelType> row(c.w);
  for (int y = 0; y < c.h; ++y) {
    for (int x = 0; x < c.w; ++x) {
      Color p = c.At(x, y);
      if ((p >> 24) < 128) {
        row[x] = static_cast<GifPixelType>(trans_index);
        continue;
      }
      uint32_t rgb = Opaque(p, matte);
      auto found = nearest.find(rgb);
      if (found == nearest.end()) {
        int best = 0;
        long best_d = -1;
        for (size_t i = 0; i < palette.size(); ++i) {
          long d = 0;
          for (int ch = 0; ch < 3; ++ch) {
            long e = Component(rgb, ch) - Component(palette[i], ch);
            d += e * e;
          }
          if (best_d < 0 || d < best_d) best = static_cast<int>(i), best_d = d;
        }
        found = nearest.emplace(rgb, static_cast<GifPixelType>(best)).first;
      }
      row[x] = found->second;
    }
    Check(EGifPutLine(gif, row.data(), c.w), "line");
  }
}

SDL_Surface* Surface(const Canvas& c) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, c.w, c.h, 32, SDL_PIXELFORMAT_ARGB8888);
  for (int y = 0; y < c.h; ++y)
    std::copy(c.px.begin() + static_cast<long>(y) * c.w,
              c.px.begin() + static_cast<long>(y + 1) * c.w,
              reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch));
  return s;
}
}  // namespace

void WriteGif(const std::string& path, const std::vector<Canvas>& frames, Color matte,
              int delay_cs) {
  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
  if (!gif) throw std::runtime_error("gif: cannot write " + path);
  EGifSetGifVersion(gif, true);
  Check(EGifPutScreenDesc(gif, frames[0].w, frames[0].h, 8, 0, nullptr), "screen");
  bool animated = frames.size() > 1;
  if (animated) {
    Check(EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE), "loop");
    Check(EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0"), "loop");
    const GifByteType forever[] = {1, 0, 0};
    Check(EGifPutExtensionBlock(gif, 3, forever), "loop");
    Check(EGifPutExtensionTrailer(gif), "loop");
  }
  for (const Canvas& frame : frames) PutFrame(gif, frame, matte, delay_cs, animated);
  EGifCloseFile(gif, &error);
}

void WriteJpeg(const std::string& path, const Canvas& c, int quality) {
  Canvas flat(c.w, c.h, Rgb(0x000000));
  flat.Draw(c, 0, 0);
  SDL_Surface* s = Surface(flat);
  int ok = IMG_SaveJPG(s, path.c_str(), quality);
  SDL_FreeSurface(s);
  if (ok != 0) throw std::runtime_error("jpeg: cannot write " + path);
}

void WritePng(const std::string& path, const Canvas& c) {
  SDL_Surface* s = Surface(c);
  IMG_SavePNG(s, path.c_str());
  SDL_FreeSurface(s);
}

}  // namespace artgen
