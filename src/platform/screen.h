#pragma once

namespace slvn {

struct ScreenSize {
  int width = 0;
  int height = 0;
};

// The screen in pixels: SLVN_SCREEN=WIDTHxHEIGHT when set (so tests reach
// the small layout), else the display's desktop, else 1280x1024 headless.
ScreenSize ScreenSizePixels();
// Reads "WIDTHxHEIGHT"; nothing usable gives {0, 0}.
ScreenSize ParseScreenSize(const char* text);

}  // namespace slvn
