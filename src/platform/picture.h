#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace slvn {

// A decoded picture: 32-bit pixels 0xAARRGGBB, row by row; alpha 0 is a
// transparent pixel (a GIF's transparent colour).
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  // The GIF file the picture was decoded from; empty for other pictures.
  std::vector<uint8_t> gif_file;

  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// What a control's Picture property holds; null is "no picture". Pictures are
// shared and never changed once made.
using Picture = std::shared_ptr<const Image>;

// Decodes GIF (first frame), JPEG, PNG or BMP bytes; null for anything else.
Picture DecodePicture(std::span<const uint8_t> bytes);

}  // namespace slvn
