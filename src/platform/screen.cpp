#include "platform/screen.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace slvn {

namespace {
constexpr ScreenSize kHeadless{1280, 1024};
constexpr int kLargest = 16384;
}  // namespace

ScreenSize ParseScreenSize(const char* text) {
  if (!text) return {};
  char* end = nullptr;
  long w = std::strtol(text, &end, 10);
  if (end == text || (*end != 'x' && *end != 'X')) return {};
  const char* rest = end + 1;
  long h = std::strtol(rest, &end, 10);
  if (end == rest || *end || w <= 0 || h <= 0 || w > kLargest || h > kLargest) return {};
  return {static_cast<int>(w), static_cast<int>(h)};
}

ScreenSize ScreenSizePixels() {
  ScreenSize forced = ParseScreenSize(std::getenv("SLVN_SCREEN"));
  if (forced.width > 0) return forced;
  const char* display = std::getenv("DISPLAY");
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  if (!display || !*display || (driver && std::strcmp(driver, "offscreen") == 0)) return kHeadless;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return kHeadless;
  SDL_DisplayMode mode;
  ScreenSize size = kHeadless;
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) size = {mode.w, mode.h};
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return size;
}

}  // namespace slvn
