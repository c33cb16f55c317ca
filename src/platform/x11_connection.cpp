// Kept apart: the X11 headers define macros (KeyPress, ...) that clash with
// the controls' names.
#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdint>

namespace slvn {

// The X11 connection's descriptor behind an SDL window, for poll(2); -1 when
// the window is not on X11.
int X11ConnectionFd(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
    return ConnectionNumber(info.info.x11.display);
#else
  (void)window;
#endif
  return -1;
}

// The X11 id of an SDL window; 0 when it is not an X11 window.
uint64_t X11WindowId(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
    return info.info.x11.window;
#else
  (void)window;
#endif
  return 0;
}

// Where the pointer is on the screen, asked of the X server. SDL's own
// global mouse state is a cache that X11 refreshes only on some events, so
// it lags behind a drag. False when the window is not on X11.
bool X11PointerOnScreen(SDL_Window* window, int& x, int& y) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
    return false;
  Display* display = info.info.x11.display;
  Window root = 0, child = 0;
  int wx = 0, wy = 0;
  unsigned mask = 0;
  return XQueryPointer(display, info.info.x11.window, &root, &child, &x, &y, &wx, &wy, &mask);
#else
  (void)window;
  (void)x;
  (void)y;
  return false;
#endif
}

namespace {

#if defined(SDL_VIDEO_DRIVER_X11)
bool X11Info(SDL_Window* window, SDL_SysWMinfo& info) {
  SDL_VERSION(&info.version);
  return window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11;
}
#endif

}  // namespace

// Marks the window as one that belongs to `owner` (ICCCM WM_TRANSIENT_FOR):
// a window manager keeps it in front of its owner, hides it with it and
// leaves it out of the task bar. False when either is not an X11 window.
bool X11SetTransientFor(SDL_Window* window, SDL_Window* owner) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info, owner_info;
  if (!X11Info(window, info) || !X11Info(owner, owner_info)) return false;
  XSetTransientForHint(info.info.x11.display, info.info.x11.window, owner_info.info.x11.window);
  XFlush(info.info.x11.display);
  return true;
#else
  (void)window;
  (void)owner;
  return false;
#endif
}

// Brings the window to the front of its siblings, or sends it to the back,
// without giving it the focus. A window manager gets this as a request and
// restacks the window's frame; without one the server does it at once.
bool X11Restack(SDL_Window* window, bool to_front) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  if (!X11Info(window, info)) return false;
  if (to_front)
    XRaiseWindow(info.info.x11.display, info.info.x11.window);
  else
    XLowerWindow(info.info.x11.display, info.info.x11.window);
  XFlush(info.info.x11.display);
  return true;
#else
  (void)window;
  (void)to_front;
  return false;
#endif
}

}  // namespace slvn
