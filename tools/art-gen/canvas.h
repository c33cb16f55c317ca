#pragma once

#include <SDL_ttf.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace artgen {

// Straight (not premultiplied) 0xAARRGGBB.
using Color = uint32_t;
constexpr Color Rgb(uint32_t rgb, uint32_t alpha = 255) {
  return (alpha << 24) | (rgb & 0xFFFFFF);
}
Color Mix(Color a, Color b, float t);  // t = 0 gives a
Color Lighter(Color c, float t);       // towards white
Color Darker(Color c, float t);        // towards black

struct Canvas {
  Canvas(int w, int h, Color fill = 0);
  int w, h;
  std::vector<Color> px;

  // Paints colour c over pixel (x, y) with coverage 0..1.
  void Blend(int x, int y, Color c, float coverage);
  Color At(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
  // Draws another canvas over this one at (x, y).
  void Draw(const Canvas& other, int x, int y, float opacity = 1);
};

// Shapes, anti-aliased. A gradient runs from `top` at y0 to `bottom` at y0 + h.
void RoundRect(Canvas& c, float x, float y, float w, float h, float r, Color top, Color bottom);
void RoundRectLine(Canvas& c, float x, float y, float w, float h, float r, float width,
                   Color color);
void SoftShadow(Canvas& c, float x, float y, float w, float h, float r, float blur, Color color);
void Circle(Canvas& c, float cx, float cy, float r, Color color);
void Ellipse(Canvas& c, float cx, float cy, float rx, float ry, Color color);
void Ring(Canvas& c, float cx, float cy, float r, float width, Color color);
void Line(Canvas& c, float x0, float y0, float x1, float y1, float width, Color color);
void RadialGradient(Canvas& c, float cx, float cy, float r, Color inner, Color outer);

Canvas RotateQuarter(const Canvas& c, bool clockwise);
// The canvas turned by `degrees` about its centre into a w x h canvas.
Canvas Rotate(const Canvas& c, float degrees, int w, int h);
Canvas Scale(const Canvas& c, int w, int h);

// Text in the CJK font, its ink fitted into a box and centred there.
class Fonts {
 public:
  explicit Fonts(const std::string& path);
  ~Fonts();
  TTF_Font* Get(int size, bool bold);

 private:
  std::string path_;
  std::map<std::pair<int, bool>, TTF_Font*> fonts_;
};

struct TextStyle {
  Color color = Rgb(0x000000);
  bool bold = true;
  float outline = 0;  // width of an outline in `outline_color`, pixels
  Color outline_color = Rgb(0x000000);
  float shadow = 0;  // offset of a soft drop shadow, pixels
};

// Draws `text` as large as fits into the box (at most `max_size` points).
void Text(Canvas& c, Fonts& fonts, const std::string& text, float x, float y, float w, float h,
          const TextStyle& style, int max_size = 200);

}  // namespace artgen
