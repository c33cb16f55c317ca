#include "platform/picture.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <climits>
#include <string_view>

namespace slvn {

namespace {

using Loader = SDL_Surface* (*)(SDL_RWops*);

bool StartsWith(std::span<const uint8_t> bytes, std::string_view magic) {
  return bytes.size() >= magic.size() &&
         std::equal(magic.begin(), magic.end(), bytes.begin(),
                    [](char m, uint8_t b) { return static_cast<uint8_t>(m) == b; });
}

// Only the formats pictures come in are read: the library's other readers
// (vector and rarer formats) are left out of reach of outside bytes.
Loader LoaderFor(std::span<const uint8_t> bytes) {
  if (StartsWith(bytes, "GIF8")) return IMG_LoadGIF_RW;
  if (StartsWith(bytes, "\x89PNG")) return IMG_LoadPNG_RW;
  if (StartsWith(bytes, "\xFF\xD8\xFF")) return IMG_LoadJPG_RW;
  if (StartsWith(bytes, "BM")) return IMG_LoadBMP_RW;
  return nullptr;
}

}  // namespace

Picture DecodePicture(std::span<const uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > INT_MAX) return nullptr;
  const Loader load = LoaderFor(bytes);
  if (!load) return nullptr;
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (!rw) return nullptr;
  SDL_Surface* loaded = load(rw);
  SDL_RWclose(rw);
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
  if (load == IMG_LoadGIF_RW) image->gif_file.assign(bytes.begin(), bytes.end());
  return image;
}

}  // namespace slvn
