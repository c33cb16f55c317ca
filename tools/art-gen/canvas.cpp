#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace artgen {

namespace {
float Channel(Color c, int shift) {
  return static_cast<float>((c >> shift) & 0xFF);
}

Color Pack(float a, float r, float g, float b) {
  auto q = [](float v) { return static_cast<uint32_t>(std::clamp(v, 0.0f, 255.0f) + 0.5f); };
  return (q(a) << 24) | (q(r) << 16) | (q(g) << 8) | q(b);
}

float Clamp01(float v) {
  return std::clamp(v, 0.0f, 1.0f);
}

// Signed distance from (px, py) to a rounded rectangle; negative inside.
float RoundRectDistance(float px, float py, float x, float y, float w, float h, float r) {
  float hx = w / 2, hy = h / 2;
  float qx = std::fabs(px - (x + hx)) - hx + r;
  float qy = std::fabs(py - (y + hy)) - hy + r;
  float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  return outside + std::min(std::max(qx, qy), 0.0f) - r;
}

template <class Coverage>
void Shade(Canvas& c, float x0, float y0, float x1, float y1, Coverage coverage) {
  int ix0 = std::max(0, static_cast<int>(std::floor(x0)));
  int iy0 = std::max(0, static_cast<int>(std::floor(y0)));
  int ix1 = std::min(c.w, static_cast<int>(std::ceil(x1)) + 1);
  int iy1 = std::min(c.h, static_cast<int>(std::ceil(y1)) + 1);
  for (int y = iy0; y < iy1; ++y)
    for (int x = ix0; x < ix1; ++x) {
      Color color = 0;
      float cov = coverage(x + 0.5f, y + 0.5f, color);
      if (cov > 0) c.Blend(x, y, color, cov);
    }
}
}  // namespace

Color Mix(Color a, Color b, float t) {
  auto m = [&](int s) { return Channel(a, s) + (Channel(b, s) - Channel(a, s)) * t; };
  return Pack(m(24), m(16), m(8), m(0));
}
Color Lighter(Color c, float t) {
  return Mix(c, (c & 0xFF000000) | 0xFFFFFF, t);
}
Color Darker(Color c, float t) {
  return Mix(c, c & 0xFF000000, t);
}

Canvas::Canvas(int w_in, int h_in, Color fill)
    : w(w_in), h(h_in), px(static_cast<size_t>(w_in) * h_in, fill) {}

void Canvas::Blend(int x, int y, Color c, float coverage) {
  if (x < 0 || y < 0 || x >= w || y >= h) return;
  Color& d = px[static_cast<size_t>(y) * w + x];
  float sa = Channel(c, 24) / 255 * Clamp01(coverage);
  float da = Channel(d, 24) / 255;
  float oa = sa + da * (1 - sa);
  if (oa <= 0) return;
  auto ch = [&](int s) { return (Channel(c, s) * sa + Channel(d, s) * da * (1 - sa)) / oa; };
  d = Pack(oa * 255, ch(16), ch(8), ch(0));
}

void Canvas::Draw(const Canvas& other, int x, int y, float opacity) {
  for (int j = 0; j < other.h; ++j)
    for (int i = 0; i < other.w; ++i) Blend(x + i, y + j, other.At(i, j), opacity);
}

void RoundRect(Canvas& c, float x, float y, float w, float h, float r, Color top, Color bottom) {
  Shade(c, x, y, x + w, y + h, [&](float px, float py, Color& color) {
    color = Mix(top, bottom, Clamp01((py - y) / h));
    return Clamp01(0.5f - RoundRectDistance(px, py, x, y, w, h, r));
  });
}

void RoundRectLine(Canvas& c, float x, float y, float w, float h, float r, float width,
                   Color color) {
  Shade(c, x - 1, y - 1, x + w + 1, y + h + 1, [&](float px, float py, Color& out) {
    out = color;
    float d = std::fabs(RoundRectDistance(px, py, x, y, w, h, r) + width / 2);
    return Clamp01(width / 2 + 0.5f - d);
  });
}

void SoftShadow(Canvas& c, float x, float y, float w, float h, float r, float blur, Color color) {
  Shade(c, x - blur, y - blur, x + w + blur, y + h + blur, [&](float px, float py, Color& out) {
    out = color;
    float d = RoundRectDistance(px, py, x, y, w, h, r);
    float t = Clamp01(0.5f - d / (2 * blur));
    return t * t * (3 - 2 * t);
  });
}

void Ellipse(Canvas& c, float cx, float cy, float rx, float ry, Color color) {
  Shade(c, cx - rx, cy - ry, cx + rx, cy + ry, [&](float px, float py, Color& out) {
    out = color;
    float dx = (px - cx) / rx, dy = (py - cy) / ry;
    float d = (std::sqrt(dx * dx + dy * dy) - 1) * std::min(rx, ry);
    return Clamp01(0.5f - d);
  });
}

void Circle(Canvas& c, float cx, float cy, float r, Color color) {
  Ellipse(c, cx, cy, r, r, color);
}

void Ring(Canvas& c, float cx, float cy, float r, float width, Color color) {
  Shade(c, cx - r - width, cy - r - width, cx + r + width, cy + r + width,
        [&](float px, float py, Color& out) {
          out = color;
          float d = std::fabs(std::hypot(px - cx, py - cy) - r);
          return Clamp01(width / 2 + 0.5f - d);
        });
}

void Line(Canvas& c, float x0, float y0, float x1, float y1, float width, Color color) {
  float dx = x1 - x0, dy = y1 - y0, len2 = std::max(dx * dx + dy * dy, 1e-6f);
  Shade(c, std::min(x0, x1) - width, std::min(y0, y1) - width, std::max(x0, x1) + width,
        std::max(y0, y1) + width, [&](float px, float py, Color& out) {
          out = color;
          float t = Clamp01(((px - x0) * dx + (py - y0) * dy) / len2);
          float d = std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
          return Clamp01(width / 2 + 0.5f - d);
        });
}

void RadialGradient(Canvas& c, float cx, float cy, float r, Color inner, Color outer) {
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      float t = Clamp01(std::hypot(x + 0.5f - cx, y + 0.5f - cy) / r);
      c.Blend(x, y, Mix(inner, outer, t * t), 1);
    }
}

Canvas RotateQuarter(const Canvas& c, bool clockwise) {
  Canvas out(c.h, c.w);
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      int nx = clockwise ? c.h - 1 - y : y;
      int ny = clockwise ? x : c.w - 1 - x;
      out.px[static_cast<size_t>(ny) * out.w + nx] = c.At(x, y);
    }
  return out;
}

namespace {
// Bilinear sample with straight alpha weighted by alpha.
Color Sample(const Canvas& c, float x, float y) {
  float fx = x - 0.5f, fy = y - 0.5f;
  int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
  float tx = fx - x0, ty = fy - y0;
  float a = 0, r = 0, g = 0, b = 0;
  for (int j = 0; j < 2; ++j)
    for (int i = 0; i < 2; ++i) {
      int sx = x0 + i, sy = y0 + j;
      if (sx < 0 || sy < 0 || sx >= c.w || sy >= c.h) continue;
      float wgt = (i ? tx : 1 - tx) * (j ? ty : 1 - ty);
      Color p = c.At(sx, sy);
      float pa = Channel(p, 24) * wgt;
      a += pa;
      r += Channel(p, 16) * pa;
      g += Channel(p, 8) * pa;
      b += Channel(p, 0) * pa;
    }
  if (a <= 0) return 0;
  return Pack(a, r / a, g / a, b / a);
}
}  // namespace

Canvas Rotate(const Canvas& c, float degrees, int w, int h) {
  Canvas out(w, h);
  float rad = degrees * 3.14159265f / 180, cs = std::cos(rad), sn = std::sin(rad);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float dx = x + 0.5f - w / 2.0f, dy = y + 0.5f - h / 2.0f;
      float sx = cs * dx + sn * dy + c.w / 2.0f, sy = -sn * dx + cs * dy + c.h / 2.0f;
      out.px[static_cast<size_t>(y) * w + x] = Sample(c, sx, sy);
    }
  return out;
}

Canvas Scale(const Canvas& c, int w, int h) {
  // Box filter: average every source pixel that falls into a target pixel.
  Canvas out(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int x0 = x * c.w / w, x1 = std::max(x0 + 1, (x + 1) * c.w / w);
      int y0 = y * c.h / h, y1 = std::max(y0 + 1, (y + 1) * c.h / h);
      float a = 0, r = 0, g = 0, b = 0, n = 0;
      for (int sy = y0; sy < y1; ++sy)
        for (int sx = x0; sx < x1; ++sx) {
          Color p = c.At(sx, sy);
          float pa = Channel(p, 24);
          a += pa, r += Channel(p, 16) * pa, g += Channel(p, 8) * pa, b += Channel(p, 0) * pa;
          n += 1;
        }
      out.px[static_cast<size_t>(y) * w + x] = a > 0 ? Pack(a / n, r / a, g / a, b / a) : 0;
    }
  return out;
}

Fonts::Fonts(const std::string& path) : path_(path) {}
Fonts::~Fonts() {
  for (auto& [key, font] : fonts_) TTF_CloseFont(font);
}

TTF_Font* Fonts::Get(int size, bool bold) {
  auto& font = fonts_[{size, bold}];
  if (!font) {
    font = TTF_OpenFont(path_.c_str(), size);
    if (!font) throw std::runtime_error("cannot open font " + path_);
    if (bold) TTF_SetFontStyle(font, TTF_STYLE_BOLD);
  }
  return font;
}

namespace {
// The text's ink as coverage, cropped to its bounding box.
Canvas Ink(TTF_Font* font, const std::string& text) {
  SDL_Surface* s = TTF_RenderUTF8_Blended(font, text.c_str(), SDL_Color{255, 255, 255, 255});
  if (!s) return Canvas(0, 0);
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(s);
  int minx = argb->w, miny = argb->h, maxx = -1, maxy = -1;
  auto alpha = [&](int x, int y) {
    return static_cast<const uint32_t*>(argb->pixels)[y * (argb->pitch / 4) + x] >> 24;
  };
  for (int y = 0; y < argb->h; ++y)
    for (int x = 0; x < argb->w; ++x)
      if (alpha(x, y) > 8) {
        minx = std::min(minx, x), maxx = std::max(maxx, x);
        miny = std::min(miny, y), maxy = std::max(maxy, y);
      }
  Canvas ink(std::max(0, maxx - minx + 1), std::max(0, maxy - miny + 1));
  for (int y = 0; y < ink.h; ++y)
    for (int x = 0; x < ink.w; ++x)
      ink.px[static_cast<size_t>(y) * ink.w + x] = alpha(minx + x, miny + y) << 24;
  SDL_FreeSurface(argb);
  return ink;
}

void Stamp(Canvas& c, const Canvas& ink, int x, int y, Color color, float spread) {
  int r = static_cast<int>(std::ceil(spread));
  for (int j = -r; j < ink.h + r; ++j)
    for (int i = -r; i < ink.w + r; ++i) {
      float cov = 0;
      for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
          int sx = i + dx, sy = j + dy;
          if (sx < 0 || sy < 0 || sx >= ink.w || sy >= ink.h) continue;
          if (dx * dx + dy * dy > spread * spread + 0.5f) continue;
          cov = std::max(cov, Channel(ink.At(sx, sy), 24) / 255);
        }
      if (cov > 0) c.Blend(x + i, y + j, color, cov);
    }
}
}  // namespace

void Text(Canvas& c, Fonts& fonts, const std::string& text, float x, float y, float w, float h,
          const TextStyle& style, int max_size) {
  float pad = style.outline + style.shadow;
  Canvas ink(0, 0);
  for (int size = max_size; size >= 5; --size) {
    ink = Ink(fonts.Get(size, style.bold), text);
    if (ink.w + 2 * pad <= w && ink.h + 2 * pad <= h) break;
  }
  int ix = static_cast<int>(std::lround(x + (w - ink.w) / 2));
  int iy = static_cast<int>(std::lround(y + (h - ink.h) / 2));
  if (style.shadow > 0) {
    int s = static_cast<int>(std::lround(style.shadow));
    Stamp(c, ink, ix + s, iy + s, Rgb(0x000000, 110), style.outline + 0.8f);
  }
  if (style.outline > 0) Stamp(c, ink, ix, iy, style.outline_color, style.outline);
  Stamp(c, ink, ix, iy, style.color, 0);
}

}  // namespace artgen
