#include "support/screen_shot.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>

#include "platform/renderer.h"
#include "shell/client.h"
#include "support/temp_dir.h"

namespace slvn::test {

namespace {

int Round(double units, double units_per_pixel) {
  return static_cast<int>(std::nearbyint(units / units_per_pixel));
}

}  // namespace

Picture ScreenShot(Client& client, const std::string& path) {
  if (!SaveScreenPng(client.forms, client.main_form, path)) return nullptr;
  return ReadPicture(path);
}

Picture ReadPicture(const std::string& path) {
  const std::string bytes = ReadFileBytes(path);
  return DecodePicture(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

PixelRect FormPixels(const Control& control) {
  PixelRect r;
  for (const Control* c = &control; c->Parent(); c = c->Parent()) {
    r.x += Round(c->Left(), c->UnitsPerPixel());
    r.y += Round(c->Top(), c->UnitsPerPixel());
  }
  r.width = Round(control.Width(), control.UnitsPerPixel());
  r.height = Round(control.Height(), control.UnitsPerPixel());
  return r;
}

PixelRect FormOver(const Form& form, const Form& base) {
  return {Round(form.Left() - base.Left(), 15), Round(form.Top() - base.Top(), 15),
          Round(form.Width(), 15), Round(form.Height(), 15)};
}

bool Alike(uint32_t a, uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16}) {
    const int ca = static_cast<int>((a >> shift) & 0xFF),
              cb = static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(ca - cb) > tolerance) return false;
  }
  return true;
}

bool ShowsPicture(const Image& screen, const ImageControl& control, int misses) {
  const Picture& picture = control.Picture();
  const PixelRect r = FormPixels(control);
  if (!picture || picture->width <= 0 || r.Empty()) return false;
  if (r.x < 0 || r.y < 0 || r.x + r.width > screen.width || r.y + r.height > screen.height)
    return false;
  // A point matches when the picture has its colour at the stretched place or
  // next to it (scaling rounds and blends); a transparent place matches.
  auto matches = [&picture](int px, int py, uint32_t seen) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const int x = std::clamp(px + dx, 0, picture->width - 1);
        const int y = std::clamp(py + dy, 0, picture->height - 1);
        const uint32_t want = picture->At(x, y);
        if ((want >> 24) == 0 || Alike(want, seen)) return true;
      }
    return false;
  };
  constexpr int kGrid = 8;
  int missed = 0;
  for (int i = 0; i < kGrid; ++i)
    for (int j = 0; j < kGrid; ++j) {
      const double fx = (i + 0.5) / kGrid, fy = (j + 0.5) / kGrid;
      const uint32_t seen =
          screen.At(r.x + static_cast<int>(fx * r.width), r.y + static_cast<int>(fy * r.height));
      if (!matches(static_cast<int>(fx * picture->width), static_cast<int>(fy * picture->height),
                   seen))
        ++missed;
    }
  return missed <= misses;
}

PixelRect ChangedArea(const Image& before, const Image& after) {
  int left = after.width, top = after.height, right = -1, bottom = -1;
  if (before.width != after.width || before.height != after.height)
    return {0, 0, after.width, after.height};
  for (int y = 0; y < after.height; ++y)
    for (int x = 0; x < after.width; ++x) {
      if (((before.At(x, y) ^ after.At(x, y)) & 0xFFFFFF) == 0) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  if (right < 0) return {};
  return {left, top, right - left + 1, bottom - top + 1};
}

}  // namespace slvn::test
