#include "support/headless.h"

#include <cstdlib>
#include <memory>

namespace slvn::test {

void UseHeadlessSdl() {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
}

Picture SolidPicture(int width, int height, uint32_t argb) {
  auto image = std::make_shared<Image>();
  image->width = width;
  image->height = height;
  image->pixels.assign(static_cast<size_t>(width) * height, argb);
  return image;
}

}  // namespace slvn::test
