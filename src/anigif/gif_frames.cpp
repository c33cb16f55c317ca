#include "anigif/gif_frames.h"

#include <algorithm>
#include <array>
#include <memory>

#include "anigif/gif_lzw.h"
#include "shell/general.h"

namespace slvn {

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

uint32_t Colour(const GifPalette& palette, uint8_t index) {
  return kOpaque | (index < palette.Count() ? palette.colors[index] : 0);
}

const GifPalette& PaletteOf(const GifAnimation& anim, const GIFFrame& f) {
  return anim.scan.Palettes[static_cast<size_t>(f.PaletteIndex)];
}

uint32_t ClearColour(const GifAnimation& anim) {
  return anim.Mask ? 0 : kOpaque;
}

// Calls fn(canvas_row_offset, frame_row) for each row of frame f on the canvas.
template <typename Fn>
void ForEachRow(const GifAnimation& anim, const GIFFrame& f, Fn fn) {
  for (int y = 0; y < f.Height; ++y)
    fn(static_cast<size_t>(f.Top + y) * anim.Canvas.width + f.Left, y);
}

void FillRect(GifAnimation& anim, const GIFFrame& f, uint32_t colour) {
  ForEachRow(anim, f, [&](size_t at, int) {
    std::fill_n(anim.Canvas.pixels.begin() + at, f.Width, colour);
  });
}

void SaveRect(GifAnimation& anim, const GIFFrame& f) {
  anim.Saved.clear();
  ForEachRow(anim, f, [&](size_t at, int) {
    auto row = anim.Canvas.pixels.begin() + at;
    anim.Saved.insert(anim.Saved.end(), row, row + f.Width);
  });
}

void RestoreRect(GifAnimation& anim, const GIFFrame& f) {
  if (anim.Saved.size() != static_cast<size_t>(f.Width) * f.Height) return;
  ForEachRow(anim, f, [&](size_t at, int y) {
    auto row = anim.Saved.begin() + static_cast<size_t>(y) * f.Width;
    std::copy(row, row + f.Width, anim.Canvas.pixels.begin() + at);
  });
}

// Frame f's colours by index; with `clear_transparent` its transparent index is 0.
std::array<uint32_t, 256> ColourTable(const GifAnimation& anim, const GIFFrame& f,
                                      bool clear_transparent) {
  const GifPalette& palette = PaletteOf(anim, f);
  std::array<uint32_t, 256> table;
  for (int k = 0; k < 256; ++k) table[k] = Colour(palette, static_cast<uint8_t>(k));
  if (clear_transparent && f.TransFlag) table[f.TransIndex] = 0;
  return table;
}

// Paints frame i over the canvas; its transparent pixels leave the canvas.
void PaintOnCanvas(GifAnimation& anim, int i) {
  const GIFFrame& f = anim.Frame(i);
  const std::array<uint32_t, 256> table = ColourTable(anim, f, false);
  const auto& src = anim.Strip[static_cast<size_t>(i) - 1];
  const size_t width = static_cast<size_t>(f.Width);
  ForEachRow(anim, f, [&](size_t at, int y) {
    const uint8_t* row = src.data() + static_cast<size_t>(y) * width;
    uint32_t* dst = anim.Canvas.pixels.data() + at;
    if (!f.TransFlag) {
      for (size_t x = 0; x < width; ++x) dst[x] = table[row[x]];
      return;
    }
    for (size_t x = 0; x < width; ++x)
      if (row[x] != f.TransIndex) dst[x] = table[row[x]];
  });
}

// The frame alone, its transparent pixels clear.
Image FrameImage(const GifAnimation& anim, int i) {
  const GIFFrame& f = anim.Frame(i);
  const std::array<uint32_t, 256> table = ColourTable(anim, f, true);
  const auto& src = anim.Strip[static_cast<size_t>(i) - 1];
  Image image{f.Width, f.Height, std::vector<uint32_t>(src.size()), {}};
  std::transform(src.begin(), src.end(), image.pixels.begin(), [&](uint8_t c) { return table[c]; });
  return image;
}

Picture Scaled(Image image, int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  if (width == image.width && height == image.height)
    return std::make_shared<const Image>(std::move(image));
  return std::make_shared<const Image>(ScaleImage(image, width, height));
}

void FlipPixels(auto& pixels, int width, int height, bool left_right, bool top_bottom) {
  auto w = static_cast<size_t>(width);
  if (left_right)
    for (int y = 0; y < height; ++y)
      std::reverse(pixels.begin() + y * w, pixels.begin() + (y + 1) * w);
  if (top_bottom)
    for (int y = 0; y < height / 2; ++y)
      std::swap_ranges(pixels.begin() + y * w, pixels.begin() + (y + 1) * w,
                       pixels.begin() + (height - 1 - y) * w);
}

}  // namespace

void PlanComposite(GifAnimation& anim, bool all_frames) {
  const auto& frames = anim.scan.Frames;
  size_t decoded = all_frames ? frames.size() : std::min<size_t>(frames.size(), 1);
  anim.Strip.assign(decoded, {});
  anim.Composite = anim.Mask = false;
  anim.Canvas = Image{};
  auto all = [&](auto pred) { return std::all_of(frames.begin(), frames.end(), pred); };
  auto any = [&](auto pred) { return std::any_of(frames.begin(), frames.end(), pred); };
  if (decoded < 2 || all([](const GIFFrame& f) { return f.Disposal == 2; })) return;
  anim.Composite = true;
  const GIFFrame& first = frames[0];
  bool any_transparent = any([](const GIFFrame& f) { return f.TransFlag == 1; });
  bool first_covers =
      first.Width == anim.scan.CanvasWidth && first.Height == anim.scan.CanvasHeight;
  anim.Mask = any([](const GIFFrame& f) { return f.Disposal >= 2; }) || first.TransFlag ||
              (any_transparent && !first_covers);
  anim.Canvas.width = anim.scan.CanvasWidth;
  anim.Canvas.height = anim.scan.CanvasHeight;
  anim.Canvas.pixels.assign(static_cast<size_t>(anim.Canvas.width) * anim.Canvas.height,
                            ClearColour(anim));
}

void DecodeFrame(GifAnimation& anim, std::span<const uint8_t> file, int i) {
  DecodeFrameIndices(file, anim.Frame(i), anim.Strip[static_cast<size_t>(i) - 1]);
}

std::optional<FrameDraw> DrawFrame(GifAnimation& anim, int i, float scale_x, float scale_y) {
  if (!anim.Decoded(i)) return std::nullopt;
  const GIFFrame& f = anim.Frame(i);
  if (!anim.Composite) {
    return FrameDraw{Scaled(FrameImage(anim, i), RoundHalfEven(double{scale_x} * f.Width),
                            RoundHalfEven(double{scale_y} * f.Height)),
                     RoundHalfEven(double{scale_x} * f.Left),
                     RoundHalfEven(double{scale_y} * f.Top)};
  }
  if (i == 1) std::fill(anim.Canvas.pixels.begin(), anim.Canvas.pixels.end(), ClearColour(anim));
  if (f.Disposal == 3) SaveRect(anim, f);
  PaintOnCanvas(anim, i);
  FrameDraw draw{Scaled(anim.Canvas, RoundHalfEven(double{scale_x} * anim.Canvas.width),
                        RoundHalfEven(double{scale_y} * anim.Canvas.height)),
                 0, 0};
  if (f.Disposal == 2) FillRect(anim, f, ClearColour(anim));
  if (f.Disposal == 3) RestoreRect(anim, f);
  return draw;
}

void MirrorFrames(GifAnimation& anim, int from, int to, int first, int last, bool also_canvas) {
  bool left_right = (from ^ to) & 1, top_bottom = (from ^ to) & 2;
  if (!left_right && !top_bottom) return;
  for (int i = std::max(first, 1); i <= last; ++i) {
    if (!anim.Decoded(i)) continue;
    GIFFrame& f = anim.scan.Frames[static_cast<size_t>(i) - 1];
    if (left_right) f.Left = anim.scan.CanvasWidth - (f.Left + f.Width);
    if (top_bottom) f.Top = anim.scan.CanvasHeight - (f.Top + f.Height);
    FlipPixels(anim.Strip[static_cast<size_t>(i) - 1], f.Width, f.Height, left_right, top_bottom);
  }
  if (also_canvas && anim.Composite)
    FlipPixels(anim.Canvas.pixels, anim.Canvas.width, anim.Canvas.height, left_right, top_bottom);
}

void CalcScale(int stretch, int canvas_width, int canvas_height, int& width, int& height,
               float& scale_x, float& scale_y) {
  if (canvas_width <= 0 || canvas_height <= 0) return;
  if (stretch == 0 || stretch == 4) {
    scale_x = scale_y = 1.0f;
    width = stretch == 0 ? std::min(width, canvas_width) : canvas_width;
    height = stretch == 0 ? std::min(height, canvas_height) : canvas_height;
    return;
  }
  scale_x = static_cast<float>(width) / static_cast<float>(canvas_width);
  scale_y = static_cast<float>(height) / static_cast<float>(canvas_height);
  if (stretch == 2) return;
  if (stretch == 3 && scale_x > 1.0f && scale_y > 1.0f)
    scale_x = scale_y = 1.0f;
  else
    scale_x = scale_y = std::min(scale_x, scale_y);
  width = RoundHalfEven(double{scale_x} * canvas_width);
  height = RoundHalfEven(double{scale_y} * canvas_height);
}

Image ScaleImage(const Image& source, int width, int height) {
  Image out{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height), {}};
  if (source.width <= 0 || source.height <= 0) return out;
  // Target column (row) k covers source columns (rows) from first to before
  // end; at most four of them are sampled, so the cost follows the target.
  struct Span {
    int first, end, step;
  };
  auto spans = [](int src, int dst) {
    std::vector<Span> span(static_cast<size_t>(dst));
    for (int k = 0; k < dst; ++k) {
      int first = static_cast<int>(int64_t{k} * src / dst);
      int end = std::max(first + 1, static_cast<int>(int64_t{k + 1} * src / dst));
      span[k] = {first, end, std::max(1, (end - first) / 4)};
    }
    return span;
  };
  auto xs = spans(source.width, width), ys = spans(source.height, height);
  const size_t source_width = static_cast<size_t>(source.width);
  for (int y = 0; y < height; ++y) {
    const Span rows = ys[static_cast<size_t>(y)];
    for (int x = 0; x < width; ++x) {
      const Span columns = xs[static_cast<size_t>(x)];
      // Colours weighted by their alpha, so clear pixels do not darken the edges.
      uint64_t a = 0, r = 0, g = 0, b = 0, n = 0;
      for (int sy = rows.first; sy < rows.end; sy += rows.step) {
        const uint32_t* line = source.pixels.data() + static_cast<size_t>(sy) * source_width;
        for (int sx = columns.first; sx < columns.end; sx += columns.step, ++n) {
          uint32_t p = line[sx], pa = p >> 24;
          a += pa;
          r += pa * (p >> 16 & 0xFF);
          g += pa * (p >> 8 & 0xFF);
          b += pa * (p & 0xFF);
        }
      }
      if (a == 0 || n == 0) continue;
      out.pixels[static_cast<size_t>(y) * width + x] =
          static_cast<uint32_t>(a / n) << 24 | static_cast<uint32_t>(r / a) << 16 |
          static_cast<uint32_t>(g / a) << 8 | static_cast<uint32_t>(b / a);
    }
  }
  return out;
}

}  // namespace slvn
