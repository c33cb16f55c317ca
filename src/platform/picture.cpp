#include "platform/picture.h"

#include <SDL.h>
#include <SDL_image.h>

#include <climits>

namespace slvn {

Picture DecodePicture(std::span<const uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > INT_MAX) return nullptr;
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (!rw) return nullptr;
  SDL_Surface* loaded = IMG_Load_RW(rw, 1);
  if (!loaded) return nullptr;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  if (!argb) return nullptr;
  auto image = std::make_shared<Image>();
  image->width = argb->w;
  image->height = argb->h;
  image->pixels.resize(static_cast<size_t>(argb->w) * argb->h);
  SDL_LockSurface(argb);
  for (int y = 0; y < argb->h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                        static_cast<size_t>(y) * argb->pitch);
    std::copy(row, row + argb->w, image->pixels.begin() + static_cast<size_t>(y) * argb->w);
  }
  SDL_UnlockSurface(argb);
  SDL_FreeSurface(argb);
  return image;
}

}  // namespace slvn
