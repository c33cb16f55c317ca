// Kept apart: the X11 headers define macros (KeyPress, ...) that clash with
// the controls' names.
#include <SDL.h>
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

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

// X errors are reported and survived: Xlib's own handler ends the program,
// and a window destroyed by another program makes every later call on it
// fail. The handler is process-wide by Xlib's design; it keeps no state.
void X11SurviveErrors() {
#if defined(SDL_VIDEO_DRIVER_X11)
  XSetErrorHandler([](Display* display, XErrorEvent* error) {
    char text[160] = "";
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "slvn: X error %s (request %d.%d, resource 0x%lx)\n", text,
                 error->request_code, error->minor_code, error->resourceid);
    return 0;
  });
#endif
}

// Whether a window manager runs on the window's screen: the client that
// redirects the root window's map requests.
bool X11HasWindowManager(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  if (!X11Info(window, info)) return true;  // not X11: the desktop's own
  Display* display = info.info.x11.display;
  XWindowAttributes root;
  if (!XGetWindowAttributes(display, DefaultRootWindow(display), &root)) return true;
  return (root.all_event_masks & SubstructureRedirectMask) != 0;
#else
  (void)window;
  return true;
#endif
}

// Takes the window off the screen for good (ICCCM withdrawal): also a
// window the window manager holds iconic, which it would otherwise map again
// with its owner.
void X11Withdraw(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  if (!X11Info(window, info)) return;
  Display* display = info.info.x11.display;
  XWithdrawWindow(display, info.info.x11.window, DefaultScreen(display));
  XFlush(display);
#else
  (void)window;
#endif
}

// The keyboard focus as the X server has it now (a window, None or
// PointerRoot): SDL learns of a change only from events still on their way.
// False when the window is not on X11.
bool X11InputFocus(SDL_Window* window, uint64_t& focus) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  if (!X11Info(window, info)) return false;
  Window holder = None;
  int revert = 0;
  XGetInputFocus(info.info.x11.display, &holder, &revert);
  focus = holder;
  return true;
#else
  (void)window;
  (void)focus;
  return false;
#endif
}

// Whether no program's window has the keys (the focus is None, PointerRoot
// or the root window), as after the window that had them was destroyed.
bool X11KeysNowhere(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  uint64_t focus = 0;
  if (!X11InputFocus(window, focus) || !X11Info(window, info)) return false;
  return focus == None || focus == PointerRoot || focus == DefaultRootWindow(info.info.x11.display);
#else
  (void)window;
  return false;
#endif
}

// The keys that `window` took go back to `focus` (an X11InputFocus answer);
// left alone when the window does not have them.
void X11ReturnInputFocus(SDL_Window* window, uint64_t focus) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  uint64_t now = 0;
  if (!X11InputFocus(window, now) || !X11Info(window, info)) return;
  if (now != info.info.x11.window || focus == now) return;
  Display* display = info.info.x11.display;
  XSetInputFocus(display, static_cast<Window>(focus), RevertToNone, CurrentTime);
  XFlush(display);
#else
  (void)window;
  (void)focus;
#endif
}

// The window's title as the ICCCM name (WM_NAME) in UTF-8, so that tools
// reading it show the caption's Chinese; _NET_WM_NAME is SDL's.
void X11SetName(SDL_Window* window, const std::string& utf8) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  if (!X11Info(window, info)) return;
  Display* display = info.info.x11.display;
  const Atom utf8_string = XInternAtom(display, "UTF8_STRING", False);
  XChangeProperty(display, info.info.x11.window, XA_WM_NAME, utf8_string, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8.data()),
                  static_cast<int>(utf8.size()));
  XFlush(display);
#else
  (void)window;
  (void)utf8;
#endif
}

// Readies an SDL window whose X window another program destroyed for its
// SDL_DestroyWindow: SDL hides a window it thinks shown first and waits for
// the unmap to come back, which for a window that is gone never comes; one
// put on the queue ends that wait (or is dropped as a stray event).
void X11PrepareDestroyed(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  if (!X11Info(window, info)) return;
  XEvent unmap{};
  unmap.xunmap.type = UnmapNotify;
  unmap.xunmap.display = info.info.x11.display;
  unmap.xunmap.event = info.info.x11.window;
  unmap.xunmap.window = info.info.x11.window;
  XPutBackEvent(info.info.x11.display, &unmap);
#else
  (void)window;
#endif
}

// The X connection behind an SDL window, or null; and a round trip on it,
// so that the errors of calls already made reach our handler while it is
// still the one installed (SDL puts back Xlib's own when it shuts down).
void* X11DisplayOf(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  if (X11Info(window, info)) return info.info.x11.display;
#else
  (void)window;
#endif
  return nullptr;
}

void X11Sync(void* display) {
#if defined(SDL_VIDEO_DRIVER_X11)
  if (display) XSync(static_cast<Display*>(display), False);
#else
  (void)display;
#endif
}

// The X window a window-system event reports destroyed, or 0.
uint64_t X11DestroyedWindow(const SDL_SysWMmsg* message) {
#if defined(SDL_VIDEO_DRIVER_X11)
  if (message && message->subsystem == SDL_SYSWM_X11 &&
      message->msg.x11.event.type == DestroyNotify)
    return message->msg.x11.event.xdestroywindow.window;
#else
  (void)message;
#endif
  return 0;
}

}  // namespace slvn

namespace slvn {

namespace {

#if defined(SDL_VIDEO_DRIVER_X11)
// The window property the clipboard's owner writes its text into.
constexpr const char* kPasteProperty = "SLVN_PASTE";
#endif

}  // namespace

// The Shift (1), Ctrl (2) and Alt (4) keys held when the X event in an
// SDL_SYSWMEVENT message (a key or a button) happened, as the controls'
// shift masks count them; -1 for other events.
int X11EventModifiers(const SDL_SysWMmsg* msg) {
#if defined(SDL_VIDEO_DRIVER_X11)
  if (!msg || msg->subsystem != SDL_SYSWM_X11) return -1;
  const XEvent& event = msg->msg.x11.event;
  unsigned state = 0;
  if (event.type == KeyPress || event.type == KeyRelease)
    state = event.xkey.state;
  else if (event.type == ButtonPress || event.type == ButtonRelease)
    state = event.xbutton.state;
  else
    return -1;
  return ((state & ShiftMask) ? 1 : 0) | ((state & ControlMask) ? 2 : 0) |
         ((state & Mod1Mask) ? 4 : 0);
#else
  (void)msg;
  return -1;
#endif
}

// Asks the clipboard's owner for its text (UTF-8) into a property of the
// window, without waiting: the answer comes as an X event (see
// X11ClipboardAnswer). False when the window is not on X11 or nobody owns
// the clipboard.
bool X11RequestClipboard(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  if (!X11Info(window, info)) return false;
  Display* display = info.info.x11.display;
  const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
  if (XGetSelectionOwner(display, clipboard) == None) return false;
  XConvertSelection(display, clipboard, XInternAtom(display, "UTF8_STRING", False),
                    XInternAtom(display, kPasteProperty, False), info.info.x11.window, CurrentTime);
  XFlush(display);
  return true;
#else
  (void)window;
  return false;
#endif
}

namespace {

#if defined(SDL_VIDEO_DRIVER_X11)
// What a paste keeps of a large text: far more than a one-line box takes.
constexpr size_t kPasteKeepBytes = 64 * 1024;

// TakeTextProperty's answers besides a length.
constexpr long kNotText = -1;
constexpr long kInParts = -2;  // the owner's note that the text comes in parts (INCR)

// Reads the property whole, adding to `text` at most what it still has room
// for, and deletes it (for a text sent in parts, the owner's cue for the
// next part). Returns its length in bytes, kInParts, or kNotText when it
// holds no 8-bit items.
long TakeTextProperty(Display* display, Window window, Atom property, std::string& text) {
  const Atom incr = XInternAtom(display, "INCR", False);
  long total = 0;
  bool is_text = true, in_parts = false;
  for (long offset = 0;;) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, offset, 64 * 1024, False, AnyPropertyType,
                           &type, &format, &count, &left, &data) != Success) {
      is_text = false;
      break;
    }
    in_parts = type == incr;
    is_text = is_text && format == 8 && !in_parts;
    if (is_text && data) {
      const size_t room = kPasteKeepBytes > text.size() ? kPasteKeepBytes - text.size() : 0;
      text.append(reinterpret_cast<const char*>(data), std::min<size_t>(count, room));
    }
    if (data) XFree(data);
    total += static_cast<long>(count);
    // Each read takes whole 32-bit units of the property.
    if (!is_text || left == 0 || count == 0) break;
    offset += static_cast<long>(count / 4);
  }
  XDeleteProperty(display, window, property);
  XFlush(display);
  if (in_parts) return kInParts;
  return is_text ? total : kNotText;
}
#endif

}  // namespace

// Whether the X event in an SDL_SYSWMEVENT message is a key press.
bool X11KeyPressEvent(const SDL_SysWMmsg* msg) {
#if defined(SDL_VIDEO_DRIVER_X11)
  return msg && msg->subsystem == SDL_SYSWM_X11 && msg->msg.x11.event.type == KeyPress;
#else
  (void)msg;
  return false;
#endif
}

// Follows the clipboard owner's answer to X11RequestClipboard for the
// window, from the X event in an SDL_SYSWMEVENT message: 0 when the event is
// not part of it, 1 when more is to come (a large text comes in parts, each
// added to `text`; `in_parts` notes that), 2 when the answer is whole:
// `text` holds it, "" when the owner refused. What goes past a chat line's
// worth is read and dropped.
int X11ClipboardAnswer(const SDL_SysWMmsg* msg, SDL_Window* window, bool& in_parts,
                       std::string& text) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  if (!msg || msg->subsystem != SDL_SYSWM_X11 || !X11Info(window, info)) return 0;
  const XEvent& event = msg->msg.x11.event;
  Display* display = info.info.x11.display;
  const Window own = info.info.x11.window;
  const Atom property = XInternAtom(display, kPasteProperty, False);
  if (event.type == PropertyNotify) {
    // The next part of a text sent in parts; an empty one ends it.
    if (!in_parts || event.xproperty.window != own || event.xproperty.atom != property ||
        event.xproperty.state != PropertyNewValue)
      return 0;
    const long length = TakeTextProperty(display, own, property, text);
    return length > 0 ? 1 : 2;
  }
  if (event.type != SelectionNotify || event.xselection.requestor != own ||
      event.xselection.selection != XInternAtom(display, "CLIPBOARD", False) || in_parts)
    return 0;
  text.clear();
  if (event.xselection.property != property) return 2;  // refused
  // Deleting the owner's note of a text in parts asks for the first part.
  if (TakeTextProperty(display, own, property, text) != kInParts) return 2;
  in_parts = true;
  return 1;
#else
  (void)msg;
  (void)window;
  (void)in_parts;
  (void)text;
  return 0;
#endif
}

}  // namespace slvn
