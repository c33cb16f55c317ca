#include "anigif/ani_gif_box.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace slvn {

namespace {

constexpr uint32_t kOutlineColour = 0xFF000000;  // the window frame's colour

// Alternate pixels along the control's four edges.
void DrawDottedOutline(Image& image) {
  auto dot = [&image](int x, int y) {
    if ((x + y) % 2 == 0) image.pixels[static_cast<size_t>(y) * image.width + x] = kOutlineColour;
  };
  for (int x = 0; x < image.width; ++x) {
    dot(x, 0);
    dot(x, image.height - 1);
  }
  for (int y = 0; y < image.height; ++y) {
    dot(0, y);
    dot(image.width - 1, y);
  }
}

// Copies `from` onto `to` at (x, y), cut to `to`.
void CopyAt(const Image& from, int x, int y, Image& to) {
  const int x0 = std::max(0, x), x1 = std::min(to.width, x + from.width);
  for (int ty = std::max(0, y); ty < std::min(to.height, y + from.height); ++ty)
    for (int tx = x0; tx < x1; ++tx)
      to.pixels[static_cast<size_t>(ty) * to.width + tx] = from.At(tx - x, ty - y);
}

}  // namespace

AniGifBox::AniGifBox(Container* parent, EventLoop& loop, bool user_mode)
    : ImageControl(parent), user_mode_(user_mode), gif_(loop, *this) {
  SetStretch(true);  // the picture is always made at the control's size
  Click = [this] { gif_.OnClick(); };
  auto forward = [this](void (ucAniGIF::*event)(int16_t, int16_t, float, float)) {
    return [this, event](int button, int shift, double x, double y) {
      (gif_.*event)(static_cast<int16_t>(button), static_cast<int16_t>(shift), PixelsOf(x),
                    PixelsOf(y));
    };
  };
  MouseDown = forward(&ucAniGIF::OnMouseDown);
  MouseUp = forward(&ucAniGIF::OnMouseUp);
  MouseMove = forward(&ucAniGIF::OnMouseMove);
}

void AniGifBox::SetVisible(bool v) {
  if (v == Visible()) return;
  ImageControl::SetVisible(v);
  if (!v) return gif_.Hide();
  gif_.Show();
  Repaint();
}

void AniGifBox::ReadProperties(const PropertyBag& bag) {
  StoredProperties stored;
  for (const auto& [key, value] : bag) stored.Write(key, value);
  gif_.ReadProperties(stored);
}

void AniGifBox::WriteProperties(PropertyBag& bag) const {
  StoredProperties stored;
  gif_.WriteProperties(stored);
  for (auto& [key, value] : stored.items) bag[key] = std::move(value);
}

float AniGifBox::PixelsOf(double units) const {
  return static_cast<float>(units / UnitsPerPixel());
}

int AniGifBox::ScaleWidth() const {
  return static_cast<int>(std::nearbyint(Width() / UnitsPerPixel()));
}

int AniGifBox::ScaleHeight() const {
  return static_cast<int>(std::nearbyint(Height() / UnitsPerPixel()));
}

// A size the control sets itself repaints once, at the end, as a window
// repaints after it was resized.
void AniGifBox::SizeTo(int width_px, int height_px) {
  const bool outer = !sizing_;
  const int old_w = ScaleWidth(), old_h = ScaleHeight();
  sizing_ = true;
  SetWidth(width_px * UnitsPerPixel());
  SetHeight(height_px * UnitsPerPixel());
  sizing_ = !outer;
  if (outer && (ScaleWidth() != old_w || ScaleHeight() != old_h)) Repaint();
}

void AniGifBox::Resized() {
  if (sizing_) return;
  sizing_ = true;
  gif_.Resize();
  sizing_ = false;
  Repaint();
}

void AniGifBox::Repaint() {
  auto draw = gif_.Paint();
  const int w = ScaleWidth(), h = ScaleHeight();
  const bool frame = draw && draw->image && WellFormed(*draw->image);
  if (w <= 0 || h <= 0 || (!frame && user_mode_)) return SetPicture(nullptr);
  auto image = std::make_shared<Image>();
  image->width = w;
  image->height = h;
  image->pixels.assign(static_cast<size_t>(w) * h, 0);
  if (frame) CopyAt(*draw->image, draw->x, draw->y, *image);
  if (!user_mode_) DrawDottedOutline(*image);
  SetPicture(std::move(image));
}

float AniGifBox::ToContainerSize(float px, bool) const {
  return static_cast<float>(px * UnitsPerPixel());
}

float AniGifBox::ToContainerPosition(float px, bool vertical) const {
  return ToContainerSize(px, vertical);
}

// The pointers the window system knows: the standard ones and a custom icon.
bool AniGifBox::SetMousePointer(int16_t pointer) {
  if ((pointer < 0 || pointer > 15) && pointer != kPointerCustom) return false;
  Control::SetMousePointer(pointer);
  return true;
}

}  // namespace slvn
