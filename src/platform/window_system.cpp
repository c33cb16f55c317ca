#include "platform/window_system.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "platform/forms.h"
#include "platform/input.h"
#include "platform/key_gate.h"

namespace slvn {

int X11ConnectionFd(SDL_Window* window);                         // x11_connection.cpp
uint64_t X11WindowId(SDL_Window* window);                        // x11_connection.cpp
bool X11PointerOnScreen(SDL_Window* window, int& x, int& y);     // x11_connection.cpp
bool X11SetTransientFor(SDL_Window* window, SDL_Window* owner);  // x11_connection.cpp
bool X11Restack(SDL_Window* window, bool to_front);              // x11_connection.cpp
void X11SurviveErrors();                                         // x11_connection.cpp
bool X11HasWindowManager(SDL_Window* window);                    // x11_connection.cpp
void X11Withdraw(SDL_Window* window);                            // x11_connection.cpp
void X11SetName(SDL_Window* window, const std::string& utf8);    // x11_connection.cpp
bool X11InputFocus(SDL_Window* window, uint64_t& focus);         // x11_connection.cpp
bool X11KeysNowhere(SDL_Window* window);                         // x11_connection.cpp
void X11ReturnInputFocus(SDL_Window* window, uint64_t focus);    // x11_connection.cpp
uint64_t X11DestroyedWindow(const SDL_SysWMmsg* message);        // x11_connection.cpp
void X11PrepareDestroyed(SDL_Window* window);                    // x11_connection.cpp
void* X11DisplayOf(SDL_Window* window);                          // x11_connection.cpp
void X11Sync(void* display);                                     // x11_connection.cpp
int X11EventModifiers(const SDL_SysWMmsg* msg);                  // x11_connection.cpp
bool X11KeyPressEvent(const SDL_SysWMmsg* msg);                  // x11_connection.cpp
bool X11RequestClipboard(SDL_Window* window);                    // x11_connection.cpp
int X11ClipboardAnswer(const SDL_SysWMmsg* msg, SDL_Window* window, bool& in_parts,
                       std::string& text);  // x11_connection.cpp

namespace {

constexpr int kBoxWidth = 360;
constexpr int kBoxHeight = 150;
constexpr int kTipDelayMs = 500;
// A window's report that disagrees with what we asked of it within this
// long is an older one still on its way, not the window manager's doing.
constexpr uint64_t kEchoMs = 1000;
// A clipboard owner that has not answered a paste (or sent its next part)
// by then never will.
constexpr int kPasteWaitMs = 5000;

bool DisplayWanted() {
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  if (driver && *driver)
    return std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
  const char* x = std::getenv("DISPLAY");
  const char* wl = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (wl && *wl);
}

int Shift(Uint16 mod) {
  return ((mod & KMOD_SHIFT) ? kShiftMask : 0) | ((mod & KMOD_CTRL) ? kCtrlMask : 0) |
         ((mod & KMOD_ALT) ? kAltMask : 0);
}

int Button(Uint8 sdl_button) {
  switch (sdl_button) {
    case SDL_BUTTON_LEFT:
      return kLeftButton;
    case SDL_BUTTON_RIGHT:
      return kRightButton;
    case SDL_BUTTON_MIDDLE:
      return kMiddleButton;
    default:
      return 0;
  }
}

int Buttons(Uint32 state) {
  return ((state & SDL_BUTTON_LMASK) ? kLeftButton : 0) |
         ((state & SDL_BUTTON_RMASK) ? kRightButton : 0) |
         ((state & SDL_BUTTON_MMASK) ? kMiddleButton : 0);
}

// The window system's virtual key codes, which the handlers compare with.
int VirtualKey(SDL_Keycode k) {
  if (k >= SDLK_a && k <= SDLK_z) return static_cast<int>(k - SDLK_a) + 'A';
  if (k >= SDLK_0 && k <= SDLK_9) return static_cast<int>(k);
  if (k >= SDLK_F1 && k <= SDLK_F12) return 112 + static_cast<int>(k - SDLK_F1);
  switch (k) {
    case SDLK_BACKSPACE:
      return 8;
    case SDLK_TAB:
      return 9;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return 13;
    case SDLK_ESCAPE:
      return 27;
    case SDLK_SPACE:
      return 32;
    case SDLK_LEFT:
      return 37;
    case SDLK_UP:
      return 38;
    case SDLK_RIGHT:
      return 39;
    case SDLK_DOWN:
      return 40;
    case SDLK_DELETE:
      return 46;
    case SDLK_HOME:
      return 36;
    case SDLK_END:
      return 35;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return 16;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return 17;
    case SDLK_LALT:
    case SDLK_RALT:
      return 18;
    default:
      return 0;
  }
}

// The pointer's place on the screen: asked of the X server, elsewhere the
// window's place plus the event's point in it.
void PointerOnScreen(SDL_Window* window, int event_x, int event_y, int& x, int& y) {
  if (X11PointerOnScreen(window, x, y)) return;
  int wx = 0, wy = 0;
  if (window) SDL_GetWindowPosition(window, &wx, &wy);
  x = wx + event_x;
  y = wy + event_y;
}

std::optional<WindowSystem::ScreenRect> RectOf(SDL_Window* window) {
  if (!window) return std::nullopt;
  WindowSystem::ScreenRect r;
  SDL_GetWindowPosition(window, &r.x, &r.y);
  SDL_GetWindowSize(window, &r.w, &r.h);
  return r;
}

SDL_SystemCursor CursorFor(int pointer) {
  if (pointer == kPointerCustom) return SDL_SYSTEM_CURSOR_HAND;
  if (pointer == kPointerSizeAll) return SDL_SYSTEM_CURSOR_SIZEALL;
  return SDL_SYSTEM_CURSOR_ARROW;
}

}  // namespace

WindowSystem::WindowSystem(Forms& forms)
    : forms_(forms),
      tip_timer_(forms.Loop(), [this] { ShowTip(); }),
      keys_(std::make_unique<KeyGate>()),
      keys_timer_(forms.Loop(), [this] { KeysGiveUp(); }),
      paste_timer_(forms.Loop(), [this] { EndPaste(); }) {
  tip_timer_.SetInterval(kTipDelayMs);
  keys_timer_.SetInterval(static_cast<int>(KeyGate::kGiveUpMs));
  paste_timer_.SetInterval(kPasteWaitMs);
  // Everything is drawn in software, so the window surface goes straight to
  // the X server (shared memory) instead of through a GL texture: under a
  // software GL that saves its driver's ~60 MB and an upload per frame. A
  // user's own SDL_FRAMEBUFFER_ACCELERATION still wins (default priority).
  SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
  // An input method's composition may be longer than an event's 32 bytes
  // (ten Chinese characters): it then comes whole in an extended event.
  SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
  // The click that focuses a window also acts in it: SDL drops a press that
  // comes with the focus, which under a window manager is every first click.
  SDL_SetHintWithPriority(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1", SDL_HINT_DEFAULT);
  display_ = DisplayWanted() && SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  if (display_) {
    // After SDL's own handler, which ends the program on any X error.
    X11SurviveErrors();
    // Every X event also comes as an SDL_SYSWMEVENT: a window destroyed by
    // another program, the clipboard owner's answer to a paste and the
    // modifiers the X server holds are seen only there.
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    SDL_AddEventWatch(&WindowSystem::SyncModifiers, nullptr);
  }
  forms_.Loop().AddSource(this);
  forms_.Loop().SetPresentHook([this] { Present(); });
}

void WindowSystem::HandleGated(std::vector<SDL_Event>& events) {
  for (const SDL_Event& e : events) HandleEvent(e);
  events.clear();
}

void WindowSystem::KeysGiveUp() {
  keys_timer_.SetEnabled(false);
  std::vector<SDL_Event> events;
  keys_->GiveUp(events);
  HandleGated(events);
}

WindowSystem::~WindowSystem() {
  forms_.Loop().RemoveSource(this);
  forms_.Loop().SetPresentHook(nullptr);
  CloseMessageBox();
  HideTip();
  if (cursor_) SDL_FreeCursor(cursor_);
  for (auto& [form, screen] : screens_)
    if (screen.window) SDL_DestroyWindow(screen.window);
  screens_.clear();
  // Calls on a window another program destroyed fail: their errors come
  // in while our handler still takes them.
  X11Sync(x_display_);
  if (display_) {
    SDL_DelEventWatch(&WindowSystem::SyncModifiers, nullptr);
    SDL_EventState(SDL_SYSWMEVENT, SDL_DISABLE);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
}

int WindowSystem::Fd() const {
  return fd_;
}

bool WindowSystem::AnyChanged() const {
  const auto& forms = forms_.LoadedForms();
  return std::any_of(forms.begin(), forms.end(),
                     [](const Form* f) { return f->Visible() && f->Dirty(); });
}

bool WindowSystem::Pending() {
  if (display_) {
    SDL_PumpEvents();
    if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) return true;
  }
  return AnyChanged();
}

void WindowSystem::Dispatch() {
  if (display_) {
    SDL_Event event;
    std::vector<SDL_Event> events;
    while (SDL_PollEvent(&event)) {
      const bool x_key = event.type == SDL_SYSWMEVENT && X11KeyPressEvent(event.syswm.msg);
      keys_->Take(event, x_key, SDL_IsTextInputActive(), events);
      HandleGated(events);
    }
    keys_->Settle(events);
    HandleGated(events);
    // The input method gets a while to show what it did with held keys.
    if (keys_->Holding() != keys_timer_.Enabled()) keys_timer_.SetEnabled(keys_->Holding());
  }
  Present();
}

Renderer* WindowSystem::RendererOf(const Form& form) {
  auto it = screens_.find(&form);
  return it == screens_.end() ? nullptr : it->second.renderer.get();
}

void WindowSystem::Forget(const Form& form) {
  if (tip_form_ == &form) {
    HideTip();
    tip_form_ = nullptr;
  }
  auto it = screens_.find(&form);
  if (it == screens_.end()) return;
  if (it->second.window) SDL_DestroyWindow(it->second.window);
  screens_.erase(it);
}

void WindowSystem::Present() {
  for (Form* form : std::vector<Form*>(forms_.LoadedForms())) {
    Screen& screen = screens_[form];
    // Nothing to do for a form that did not change since it was last shown.
    if (!form->Dirty() && screen.shown == form->Visible() && !screen.exposed) continue;
    screen.exposed = false;
    if (!screen.renderer) screen.renderer = std::make_unique<Renderer>();
    screen.renderer->SetWindowFocused(screen.focused);
    if (form->Visible()) screen.renderer->Draw(*form);
    SyncWindow(*form, screen);
  }
  PlaceTextInput();
  // Forms unloaded since the last pass lose their window.
  std::erase_if(screens_, [this](auto& entry) {
    for (const Form* f : forms_.LoadedForms())
      if (f == entry.first) return false;
    if (entry.second.window) SDL_DestroyWindow(entry.second.window);
    return true;
  });
}

void WindowSystem::SyncWindow(Form& form, Screen& screen) {
  if (!display_ || !form.Visible()) {
    form.TakeActivation();
    form.TakeRestack();
  }
  if (!display_) {
    screen.shown = form.Visible();
    return;
  }
  if (!form.Visible()) {
    if (screen.window && screen.shown) {
      const bool had_keys = SDL_GetKeyboardFocus() == screen.window;
      SDL_HideWindow(screen.window);
      // Also when the window manager already holds it iconic with its
      // owner (SDL then leaves it alone): it would map it again on restore.
      X11Withdraw(screen.window);
      if (had_keys) FocusOwner(form);
    }
    screen.shown = false;
    return;
  }
  SDL_Surface* surface = screen.renderer->Surface();
  if (!surface) return;
  if (!MakeWindow(form, screen, surface->w, surface->h)) return;
  SDL_Window* w = screen.window;
  if (screen.name != form.Caption()) {
    // SDL sets the name again on every call, as Latin-1 text.
    screen.name = form.Caption();
    SDL_SetWindowTitle(w, screen.name.c_str());
    X11SetName(w, screen.name);
  }
  int ww = 0, wh = 0;
  SDL_GetWindowSize(w, &ww, &wh);
  if (ww != surface->w || wh != surface->h) SDL_SetWindowSize(w, surface->w, surface->h);
  if (screen.shaped) CutShape(form, screen, surface->w, surface->h);
  const int x = static_cast<int>(form.Left() / 15), y = static_cast<int>(form.Top() / 15);
  int wx = 0, wy = 0;
  SDL_GetWindowPosition(w, &wx, &wy);
  if (wx != x || wy != y) {
    SDL_SetWindowPosition(w, x, y);
    screen.asked_x = x;
    screen.asked_y = y;
    screen.place_asked_at = SDL_GetTicks64();
    screen.place_asking = true;
  }
  SDL_SetWindowAlwaysOnTop(w, form.Topmost() ? SDL_TRUE : SDL_FALSE);
  SDL_SetWindowOpacity(w, static_cast<float>(form.Alpha()) / 255.0f);
  MarkOwned(form, screen);
  // A window parked wholly off the screen (a finished speech bubble) is
  // unmapped: a window manager would pull it back into sight. So is a popup
  // while the main window is minimised: nothing of the table shows.
  const Form* main = forms_.MainForm();
  const bool off_screen = !OnScreen(x, y, surface->w, surface->h) ||
                          (form.Popup() && main && main->WindowState() == kMinimized);
  if (off_screen && screen.shown && !screen.off_screen) SDL_HideWindow(w);
  if (!off_screen && (!screen.shown || screen.off_screen) && !screen.withdrawn) {
    if (form.ShowsWithoutFocus())
      ShowWithoutFocus(w);
    else
      SDL_ShowWindow(w);
  }
  screen.off_screen = off_screen;
  screen.shown = true;
  SyncWindowState(form, screen, w);
  if (const Form::Restack restack = form.TakeRestack(); restack != Form::kNoRestack)
    X11Restack(w, restack == Form::kToFront);
  if (form.TakeActivation()) {
    // Raising asks the window manager; without one only the focus call works.
    SDL_RaiseWindow(w);
    SDL_SetWindowInputFocus(w);
  }
  if (SDL_Surface* target = SDL_GetWindowSurface(w)) {
    SDL_BlitSurface(surface, nullptr, target, nullptr);
    SDL_UpdateWindowSurface(w);
  }
}

void WindowSystem::ShowWithoutFocus(SDL_Window* w) {
  // Without a window manager SDL gives every window it shows the keys: they
  // go back to the window that had them. The X server knows which: SDL may
  // not yet have heard that a window shown in the same pass got them (the
  // main window that a restore brings back with its bubbles).
  uint64_t x_focus = 0;
  const bool on_x = X11InputFocus(w, x_focus);
  SDL_Window* had_focus = SDL_GetKeyboardFocus();
  SDL_ShowWindow(w);
  if (on_x)
    X11ReturnInputFocus(w, x_focus);
  else if (had_focus && had_focus != w)
    SDL_SetWindowInputFocus(had_focus);
}

void WindowSystem::SyncWindowState(Form& form, Screen& screen, SDL_Window* w) {
  if (form.WindowState() == screen.asked_state) return;
  // Asked once per change of the form's state: the window's report of it
  // comes back as an event that must not ask again.
  screen.asked_state = form.WindowState();
  screen.state_asked_at = SDL_GetTicks64();
  screen.state_asking = true;
  if (form.WindowState() == kMinimized && !X11HasWindowManager(w)) {
    // Nobody would honour a minimise: the window goes off the screen as a
    // minimised one does, until the form is restored.
    SDL_HideWindow(w);
    screen.withdrawn = true;
    screen.state_asking = false;
    return;
  }
  if (std::exchange(screen.withdrawn, false)) SDL_ShowWindow(w);
  if (form.WindowState() == kMinimized) SDL_MinimizeWindow(w);
  if (form.WindowState() == kMaximized) SDL_MaximizeWindow(w);
  if (form.WindowState() == kNormal) SDL_RestoreWindow(w);
}

void WindowSystem::MarkOwned(const Form& form, Screen& screen) {
  // Set before the window is first mapped, when a window manager reads it.
  const Form* main = forms_.MainForm();
  if (screen.owned || !main || main == &form || form.Popup()) return;
  if (SDL_Window* owner = WindowOf(*main)) screen.owned = X11SetTransientFor(screen.window, owner);
}

bool WindowSystem::OnScreen(int x, int y, int w, int h) const {
  const int displays = SDL_GetNumVideoDisplays();
  for (int i = 0; i < displays; ++i) {
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(i, &bounds) != 0) continue;
    const SDL_Rect window{x, y, w, h};
    if (SDL_HasIntersection(&window, &bounds)) return true;
  }
  return displays <= 0;  // nothing known of the screen: take it as shown
}

bool WindowSystem::MakeWindow(Form& form, Screen& screen, int w, int h) {
  // A window is made shaped or not: one whose form gained or lost its region
  // is made anew.
  if (screen.window && screen.shaped != form.HasRegion()) {
    SDL_DestroyWindow(screen.window);
    screen.window = nullptr;
    screen.shown = false;
    screen.owned = false;
    screen.asked_state = kNormal;
    screen.state_asking = false;
    screen.withdrawn = false;
    screen.name.clear();
  }
  if (screen.window) return true;
  // A popup is a window the window manager leaves alone (override-redirect).
  const Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN |
                       (form.Popup() ? SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR : 0u);
  screen.shaped = form.HasRegion();
  if (screen.shaped) {
    // Placed by the caller; a shaped window starts off the screen.
    screen.window = SDL_CreateShapedWindow(form.Caption().c_str(), 0, 0, static_cast<unsigned>(w),
                                           static_cast<unsigned>(h), flags);
    screen.shape_w = screen.shape_h = 0;
  }
  if (!screen.window) {
    // Without the shape extension the region still clips drawing and input.
    screen.window = SDL_CreateWindow(form.Caption().c_str(), static_cast<int>(form.Left() / 15),
                                     static_cast<int>(form.Top() / 15), w, h, flags);
  }
  if (!screen.window) return false;
  if (fd_ < 0) fd_ = X11ConnectionFd(screen.window);
  if (!x_display_) x_display_ = X11DisplayOf(screen.window);
  return true;
}

void WindowSystem::CutShape(const Form& form, Screen& screen, int w, int h) {
  if (!SDL_IsShapedWindow(screen.window)) return;
  if (screen.shape_version == form.RegionVersion() && screen.shape_w == w && screen.shape_h == h)
    return;
  SDL_Surface* mask = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!mask) return;
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(mask->pixels) + y * mask->pitch);
    for (int x = 0; x < w; ++x) row[x] = form.InRegion(x, y) ? 0xFF000000u : 0;
  }
  SDL_WindowShapeMode mode{};
  mode.mode = ShapeModeBinarizeAlpha;
  mode.parameters.binarizationCutoff = 1;
  // Tried once per region and size: a refused shape leaves the window whole.
  SDL_SetWindowShape(screen.window, mask, &mode);
  SDL_FreeSurface(mask);
  screen.shape_version = form.RegionVersion();
  screen.shape_w = w;
  screen.shape_h = h;
}

uint64_t WindowSystem::NativeHandle(const Form& form) const {
  auto it = screens_.find(&form);
  return it != screens_.end() ? X11WindowId(it->second.window) : 0;
}

bool WindowSystem::HasShapedWindow(const Form& form) const {
  SDL_Window* window = WindowOf(form);
  return window && SDL_IsShapedWindow(window);
}

std::optional<WindowSystem::ScreenRect> WindowSystem::WindowRect(const Form& form) const {
  return RectOf(WindowOf(form));
}

std::optional<WindowSystem::ScreenRect> WindowSystem::TipRect() const {
  return RectOf(tip_window_);
}

std::optional<WindowSystem::ScreenRect> WindowSystem::TextInputRect() const {
  if (!input_box_) return std::nullopt;
  return input_rect_;
}

Form* WindowSystem::FocusedForm() {
  SDL_Window* w = display_ ? SDL_GetKeyboardFocus() : nullptr;
  return w ? FormOfWindow(SDL_GetWindowID(w)) : nullptr;
}

Form* WindowSystem::FormOfWindow(unsigned window_id) {
  for (auto& [form, screen] : screens_)
    if (screen.window && SDL_GetWindowID(screen.window) == window_id)
      return const_cast<Form*>(form);
  return nullptr;
}

void WindowSystem::HandleEvent(const SDL_Event& event) {
  if (event.type == SDL_SYSWMEVENT) {
    if (const uint64_t destroyed = X11DestroyedWindow(event.syswm.msg))
      WindowDestroyed(destroyed);
    else
      ClipboardEvent(event);
    return;
  }
  if (box_window_) {
    // A message box is open: it alone takes input.
    bool ok_key = event.type == SDL_KEYDOWN &&
                  (event.key.keysym.sym == SDLK_RETURN || event.key.keysym.sym == SDLK_SPACE);
    bool click =
        event.type == SDL_MOUSEBUTTONUP && event.button.windowID == SDL_GetWindowID(box_window_);
    if (ok_key || click) forms_.AnswerMessageBox();
    return;
  }
  switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEMOTION:
      HandleMouse(event);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
      HandleKey(event);
      break;
    case SDL_TEXTEDITING:
    case SDL_TEXTEDITING_EXT:
      HandleComposition(event);
      break;
    case SDL_MOUSEWHEEL:
      if (Form* form = FormOfWindow(event.wheel.windowID)) {
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        const int lines =
            event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? event.wheel.y : -event.wheel.y;
        DeliverWheel(*form, x, y, 3 * lines);
      }
      break;
    case SDL_WINDOWEVENT:
      HandleWindowEvent(event);
      break;
    default:
      break;
  }
}

WindowSystem::Screen* WindowSystem::ScreenOfWindow(unsigned window_id, Form** form) {
  for (auto& [f, screen] : screens_) {
    if (screen.window && SDL_GetWindowID(screen.window) == window_id) {
      *form = const_cast<Form*>(f);
      return &screen;
    }
  }
  return nullptr;
}

void WindowSystem::HandleWindowEvent(const SDL_Event& event) {
  Form* form = nullptr;
  Screen* screen = ScreenOfWindow(event.window.windowID, &form);
  if (!screen) return;
  switch (event.window.event) {
    case SDL_WINDOWEVENT_EXPOSED:
      screen->exposed = true;  // drawn again next pass
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      WindowStateReported(*form, *screen, kMinimized);
      break;
    case SDL_WINDOWEVENT_MAXIMIZED:
      WindowStateReported(*form, *screen, kMaximized);
      break;
    case SDL_WINDOWEVENT_RESTORED:
      WindowStateReported(*form, *screen, kNormal);
      break;
    case SDL_WINDOWEVENT_MOVED:
      WindowMoved(*form, *screen, event.window.data1, event.window.data2);
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      WindowFocused(*form, *screen, true);
      if (form->OnActivate) form->OnActivate();
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      WindowFocused(*form, *screen, false);
      if (form->OnDeactivate) form->OnDeactivate();
      break;
    case SDL_WINDOWEVENT_SHOWN:
      // The window manager maps a hidden form's window with its owner: it
      // goes again.
      if (!form->Visible() || screen->withdrawn) {
        SDL_HideWindow(screen->window);
        X11Withdraw(screen->window);
      }
      break;
    case SDL_WINDOWEVENT_CLOSE:
      CloseForm(*form);
      break;
    default:
      break;
  }
}

void WindowSystem::CloseForm(Form& form) {
  if (form.OnClose)
    form.OnClose();
  else
    form.Unload();
}

void WindowSystem::WindowDestroyed(uint64_t x11_window) {
  for (auto& [f, screen] : screens_) {
    if (!screen.window || X11WindowId(screen.window) != x11_window) continue;
    // The window is gone: its form is closed, and one that stays shown gets
    // a new window. Its unmap came as a minimise, which the form forgets
    // with the window, so the next show is on the screen; keys that went
    // nowhere with it go to the main window, as those of a hidden form do.
    Form& form = *const_cast<Form*>(f);
    const bool keys_lost = X11KeysNowhere(screen.window);
    if (input_window_ == screen.window) input_window_ = nullptr;
    X11PrepareDestroyed(screen.window);
    SDL_DestroyWindow(screen.window);
    screen = Screen{};
    form.ForgetWindowState();
    if (keys_lost) FocusOwner(form);
    CloseForm(form);
    return;
  }
}

void WindowSystem::FocusWindowOf(const Form& form) {
  if (!display_ || !form.Visible() || form.ShowsWithoutFocus()) return;
  auto it = screens_.find(&form);
  if (it == screens_.end()) return;
  const Screen& screen = it->second;
  SDL_Window* w = screen.window;
  if (!w || !screen.shown || screen.off_screen || screen.withdrawn) return;
  if (SDL_GetWindowFlags(w) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED)) return;
  if (SDL_GetKeyboardFocus() != w) SDL_SetWindowInputFocus(w);
}

void WindowSystem::FocusOwner(const Form& form) {
  const Form* main = forms_.MainForm();
  if (main && main != &form && !form.Popup()) FocusWindowOf(*main);
}

void WindowSystem::WindowStateReported(Form& form, Screen& screen, int state) {
  // The form changed its state since it last asked: the report is older.
  if (form.WindowState() != screen.asked_state) return;
  if (state == screen.asked_state) {
    // Our own request done: what the window reports next is the window
    // manager's doing.
    screen.state_asking = false;
    return;
  }
  // SDL already knows of a later change: this report is out of date.
  const Uint32 flags = SDL_GetWindowFlags(screen.window);
  const int now = (flags & SDL_WINDOW_MINIMIZED)   ? kMinimized
                  : (flags & SDL_WINDOW_MAXIMIZED) ? kMaximized
                                                   : kNormal;
  if (now != state) return;
  // The window is still on its way to what we asked of it.
  if (screen.state_asking && SDL_GetTicks64() - screen.state_asked_at < kEchoMs) return;
  screen.asked_state = state;
  form.SetWindowState(state);
}

void WindowSystem::WindowMoved(Form& form, Screen& screen, int x, int y) {
  const bool asked = x == screen.asked_x && y == screen.asked_y;
  if (!asked && screen.place_asking && SDL_GetTicks64() - screen.place_asked_at < kEchoMs) return;
  screen.asked_x = x;
  screen.asked_y = y;
  screen.place_asking = false;
  // Only a move in whole pixels: the form's fractions stay its own.
  if (static_cast<int>(form.Left() / 15) != x) form.SetLeft(x * 15.0);
  if (static_cast<int>(form.Top() / 15) != y) form.SetTop(y * 15.0);
}

void WindowSystem::HandleMouse(const SDL_Event& event) {
  const bool motion = event.type == SDL_MOUSEMOTION;
  Form* form = FormOfWindow(motion ? event.motion.windowID : event.button.windowID);
  if (!form) return;
  if (FollowMouse(*form, event)) return;
  if (event.type == SDL_MOUSEBUTTONDOWN) FocusWindowOnPress(*form);
  const int shift = Shift(SDL_GetModState());
  Control* under = nullptr;
  if (motion) {
    under = DeliverMouse(*form, MouseAction::kMove, Buttons(event.motion.state), shift,
                         event.motion.x, event.motion.y);
  } else {
    under = DeliverMouse(
        *form, event.type == SDL_MOUSEBUTTONDOWN ? MouseAction::kDown : MouseAction::kUp,
        Button(event.button.button), shift, event.button.x, event.button.y, event.button.clicks);
  }
  if (event.type == SDL_MOUSEBUTTONDOWN && form->Moving()) {
    // The press began a move: the window keeps the pressed point under the
    // pointer from the first motion on.
    move_dx_ = event.button.x;
    move_dy_ = event.button.y;
    move_started_ = true;
  }
  SetCursor(under ? under->MousePointer() : kPointerDefault);
  if (!motion) under = nullptr;  // a press or release puts the tip away
  int sx = 0, sy = 0;
  PointerOnScreen(WindowOf(*form), motion ? event.motion.x : event.button.x,
                  motion ? event.motion.y : event.button.y, sx, sy);
  tip_form_ = form;
  PointerOver(under, sx, sy);
}

SDL_Window* WindowSystem::WindowOf(const Form& form) const {
  auto it = screens_.find(&form);
  return it == screens_.end() ? nullptr : it->second.window;
}

void WindowSystem::FocusWindowOnPress(const Form& form) {
  // A window manager gives a pressed window the keys; without one X leaves
  // them where they were, so the press does it. Cards and bubbles never
  // take them.
  SDL_Window* window = WindowOf(form);
  if (window && !form.ShowsWithoutFocus() && SDL_GetKeyboardFocus() != window)
    SDL_SetWindowInputFocus(window);
}

bool WindowSystem::FollowMouse(Form& form, const SDL_Event& event) {
  if (!form.Moving()) {
    move_started_ = false;
    return false;
  }
  const bool release = event.type == SDL_MOUSEBUTTONUP;
  if (!release && event.type != SDL_MOUSEMOTION) return true;
  // SDL drops a motion that leaves the pointer where it was in the window,
  // as a window following it does: the release places the window as well.
  int gx = 0, gy = 0;
  PointerOnScreen(WindowOf(form), release ? event.button.x : event.motion.x,
                  release ? event.button.y : event.motion.y, gx, gy);
  if (!move_started_) {
    move_dx_ = gx - static_cast<int>(form.Left() / 15);
    move_dy_ = gy - static_cast<int>(form.Top() / 15);
    move_started_ = true;
  }
  form.SetLeft((gx - move_dx_) * 15.0);
  form.SetTop((gy - move_dy_) * 15.0);
  if (release) {
    form.EndSystemMove();
    move_started_ = false;
  }
  return true;
}

void WindowSystem::PointerOver(Control* control, int screen_x, int screen_y) {
  if (control == tip_control_ && tip_window_) return;
  HideTip();
  tip_control_ = control;
  tip_x_ = screen_x;
  tip_y_ = screen_y;
  tip_timer_.SetEnabled(control && !control->ToolTipText().empty());
}

void WindowSystem::ShowTip() {
  tip_timer_.SetEnabled(false);
  // The control may have gone meanwhile: look it up again.
  if (!tip_form_ || !InTree(*tip_form_, tip_control_) || tip_control_->ToolTipText().empty())
    return;
  tip_renderer_ = std::make_unique<Renderer>();
  tip_renderer_->DrawTip(tip_control_->ToolTipText());
  SDL_Surface* surface = tip_renderer_->Surface();
  if (!surface) return;
  tip_window_ =
      SDL_CreateWindow("", tip_x_ + 12, tip_y_ + 18, surface->w, surface->h,
                       SDL_WINDOW_BORDERLESS | SDL_WINDOW_TOOLTIP | SDL_WINDOW_ALWAYS_ON_TOP);
  if (!tip_window_) return;
  if (SDL_Surface* target = SDL_GetWindowSurface(tip_window_)) {
    SDL_BlitSurface(surface, nullptr, target, nullptr);
    SDL_UpdateWindowSurface(tip_window_);
  }
}

void WindowSystem::HideTip() {
  tip_timer_.SetEnabled(false);
  if (tip_window_) SDL_DestroyWindow(tip_window_);
  tip_window_ = nullptr;
  tip_renderer_.reset();
}

void WindowSystem::SetCursor(int pointer) {
  SDL_SystemCursor id = CursorFor(pointer);
  if (id == cursor_id_ && (cursor_ || id == SDL_SYSTEM_CURSOR_ARROW)) return;
  if (cursor_) SDL_FreeCursor(cursor_);
  cursor_ = SDL_CreateSystemCursor(id);
  cursor_id_ = id;
  if (cursor_) SDL_SetCursor(cursor_);
}

void WindowSystem::HandleKey(const SDL_Event& event) {
  Form* form = FormOfWindow(event.type == SDL_TEXTINPUT ? event.text.windowID : event.key.windowID);
  if (!form) return;
  if (event.type == SDL_TEXTINPUT)
    DeliverText(*form, event.text.text);
  else if (event.type == SDL_KEYDOWN)
    HandleKeyDown(*form, VirtualKey(event.key.keysym.sym), Shift(event.key.keysym.mod));
  else
    DeliverKeyUp(*form, VirtualKey(event.key.keysym.sym), Shift(event.key.keysym.mod));
}

void WindowSystem::HandleKeyDown(Form& form, int key_code, int shift) {
  DeliverKeyDown(form, key_code, shift);
  if (shift != kCtrlMask) return;
  if (key_code == 'C' || key_code == 'X') {
    const std::string copied = DeliverCopy(form, key_code == 'X');
    if (!copied.empty()) SDL_SetClipboardText(copied.c_str());
  }
  if (key_code == 'V' && DeliverPasteKey(form)) Paste(form);
}

void WindowSystem::Paste(Form& form) {
  // The clipboard's owner is asked, and its answer taken when it comes: an
  // owner that is slow or never answers must not stop the client, nor lose
  // the clipboard to it.
  EndPaste();
  SDL_Window* window = WindowOf(form);
  if (X11RequestClipboard(window)) {
    paste_form_ = &form;
    paste_window_ = window;
    paste_timer_.SetEnabled(true);
    return;
  }
  // Off X11, the window system's own clipboard; on X11 nobody owns it.
  std::string clipboard;
  if (!X11WindowId(window) && SDL_HasClipboardText()) {
    if (char* text = SDL_GetClipboardText()) {
      clipboard = text;
      SDL_free(text);
    }
  }
  DeliverPasteText(form, clipboard);
}

void WindowSystem::ClipboardEvent(const SDL_Event& event) {
  if (!paste_window_) return;
  const int answer =
      X11ClipboardAnswer(event.syswm.msg, paste_window_, paste_in_parts_, paste_text_);
  if (answer == 0) return;
  if (answer == 1) {
    // A part came: the owner is alive, and has as long again for the next.
    paste_timer_.SetEnabled(false);
    paste_timer_.SetEnabled(true);
    return;
  }
  const Form* form = paste_form_;
  const std::string text = std::move(paste_text_);
  EndPaste();
  // The form may have gone while its owner took its time.
  const auto& loaded = forms_.LoadedForms();
  if (auto it = std::find(loaded.begin(), loaded.end(), form); it != loaded.end())
    DeliverPasteText(**it, text);
}

void WindowSystem::EndPaste() {
  paste_timer_.SetEnabled(false);
  paste_window_ = nullptr;
  paste_form_ = nullptr;
  paste_in_parts_ = false;
  paste_text_.clear();
}

int WindowSystem::SyncModifiers(void*, SDL_Event* event) {
  // An input method may take a modifier's release, and SDL then goes on
  // sending every key to it with that modifier held (IBus in a
  // composition). Each X key or button event tells which the server holds;
  // this runs as SDL reads the event, before the input method hears it.
  if (event->type != SDL_SYSWMEVENT) return 1;
  const int held = X11EventModifiers(event->syswm.msg);
  if (held < 0) return 1;
  const SDL_Keymod mod = SDL_GetModState();
  const int stale = Shift(mod) & ~held;
  if (!stale) return 1;
  const int drop = ((stale & kShiftMask) ? KMOD_SHIFT : 0) | ((stale & kCtrlMask) ? KMOD_CTRL : 0) |
                   ((stale & kAltMask) ? KMOD_ALT : 0);
  SDL_SetModState(static_cast<SDL_Keymod>(mod & ~drop));
  return 1;
}

void WindowSystem::WindowFocused(Form& form, Screen& screen, bool focused) {
  // A window without the keys shows no caret and no composition.
  screen.focused = focused;
  screen.exposed = true;
  if (focused) return;
  keys_->Drop();
  if (TextBox* box = FocusedTextBox(form)) box->SetComposition("", 0);
}

void WindowSystem::HandleComposition(const SDL_Event& event) {
  const bool ext = event.type == SDL_TEXTEDITING_EXT;
  const char* text = ext ? event.editExt.text : event.edit.text;
  Form* form = FormOfWindow(ext ? event.editExt.windowID : event.edit.windowID);
  if (form)
    DeliverComposition(*form, text ? text : "", ext ? event.editExt.start : event.edit.start);
  if (ext) SDL_free(event.editExt.text);  // the extended event's text is ours to free
}

void WindowSystem::PlaceTextInput() {
  if (!display_) return;
  SDL_Window* window = SDL_GetKeyboardFocus();
  Form* form = window ? FormOfWindow(SDL_GetWindowID(window)) : nullptr;
  TextBox* box = form ? FocusedTextBox(*form) : nullptr;
  if (box && !box->Visible()) box = nullptr;
  // Text input (and with it the input method) is on only while a text box
  // has the keys, so keys elsewhere stay keys. A box that loses them ends
  // its composition: the input method drops it and closes its candidates.
  if (box != input_box_ && input_box_) SDL_StopTextInput();
  if (box && (box != input_box_ || !SDL_IsTextInputActive())) SDL_StartTextInput();
  if (!box && SDL_IsTextInputActive()) SDL_StopTextInput();
  // Keys held for the input method go with its composition.
  if (box != input_box_) keys_->Drop();
  input_box_ = box;
  if (!box) return;
  // The caret's place in its window: the input method opens its candidates
  // under it.
  double x = 0, y = 0;
  for (const Control* c = box; c->Parent(); c = c->Parent()) {
    x += c->Left() / c->UnitsPerPixel();
    y += c->Top() / c->UnitsPerPixel();
  }
  SDL_Rect rect{static_cast<int>(x) + box->CaretPixel(), static_cast<int>(y), 1,
                static_cast<int>(box->Height() / box->UnitsPerPixel())};
  if (window == input_window_ && rect.x == input_rect_.x && rect.y == input_rect_.y &&
      rect.w == input_rect_.w && rect.h == input_rect_.h)
    return;
  input_window_ = window;
  input_rect_ = {rect.x, rect.y, rect.w, rect.h};
  SDL_SetTextInputRect(&rect);
}

void WindowSystem::ShowMessageBox(const MessageBox& box) {
  if (!display_) return;
  CloseMessageBox();
  box_window_ = SDL_CreateWindow(box.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                 kBoxWidth, kBoxHeight, SDL_WINDOW_ALWAYS_ON_TOP);
  if (!box_window_) return;
  box_renderer_ = std::make_unique<Renderer>();
  box_renderer_->DrawMessageBox(box, kBoxWidth, kBoxHeight);
  if (SDL_Surface* target = SDL_GetWindowSurface(box_window_)) {
    SDL_BlitSurface(box_renderer_->Surface(), nullptr, target, nullptr);
    SDL_UpdateWindowSurface(box_window_);
  }
}

void WindowSystem::CloseMessageBox() {
  if (box_window_) SDL_DestroyWindow(box_window_);
  box_window_ = nullptr;
  box_renderer_.reset();
}

}  // namespace slvn
