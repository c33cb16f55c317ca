#pragma once

#include <string>
#include <vector>

#include "canvas.h"

namespace artgen {

// A GIF: pixels less than half opaque become the transparent colour, the rest
// are laid over `matte` and reduced to one palette per frame. Several frames
// make a looping animation with `delay_cs` hundredths of a second per frame.
void WriteGif(const std::string& path, const std::vector<Canvas>& frames, Color matte,
              int delay_cs = 8);
void WriteJpeg(const std::string& path, const Canvas& c, int quality = 88);
void WritePng(const std::string& path, const Canvas& c);

}  // namespace artgen
