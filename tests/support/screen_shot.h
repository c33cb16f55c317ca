#pragma once

#include <cstdint>
#include <string>

#include "platform/picture.h"

namespace slvn {
class Control;
class Form;
class ImageControl;
struct Client;
}  // namespace slvn

namespace slvn::test {

// The screen as the program's screenshot saves it (the main window with every
// shown form drawn over it where it stands), written to `path` for a person
// to look at and read back from the file; null when either step failed.
Picture ScreenShot(Client& client, const std::string& path);

// A picture file read back; null when it is missing or not a picture.
Picture ReadPicture(const std::string& path);

struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool Empty() const { return width <= 0 || height <= 0; }
  bool Inside(const PixelRect& outer) const {
    return x >= outer.x && y >= outer.y && x + width <= outer.x + outer.width &&
           y + height <= outer.y + outer.height;
  }
};

// Where a control of the main window lies in its pixels, its containers'
// offsets added, as the renderer rounds them.
PixelRect FormPixels(const Control& control);
// Where another form lies over the main window `base`.
PixelRect FormOver(const Form& form, const Form& base);

// Whether two 0xRRGGBB colours are alike in every channel within `tolerance`.
bool Alike(uint32_t a, uint32_t b, int tolerance = 40);

// Whether the screen shows the control's picture where the control lies:
// of an 8 x 8 grid of points inside it, all but `misses` (covered by
// something in front, say) match the picture stretched over the control.
bool ShowsPicture(const Image& screen, const ImageControl& control, int misses = 2);

// The smallest rectangle holding every pixel in which the two pictures (of
// one size) differ; empty when they are the same.
PixelRect ChangedArea(const Image& before, const Image& after);

}  // namespace slvn::test
