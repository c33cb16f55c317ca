#include "platform/synthetic_input.h"

#include <SDL.h>

#include "platform/controls.h"
#include "platform/window_system.h"

namespace slvn {

namespace {

SDL_Keycode KeycodeOf(int key_code) {
  if (key_code >= 'A' && key_code <= 'Z') return SDLK_a + (key_code - 'A');
  if (key_code >= '0' && key_code <= '9') return key_code;
  if (key_code >= 112 && key_code <= 123) return SDLK_F1 + (key_code - 112);
  switch (key_code) {
    case 8:
      return SDLK_BACKSPACE;
    case 13:
      return SDLK_RETURN;
    case 16:
      return SDLK_LSHIFT;
    case 17:
      return SDLK_LCTRL;
    case 18:
      return SDLK_LALT;
    case 27:
      return SDLK_ESCAPE;
    case 32:
      return SDLK_SPACE;
    case 35:
      return SDLK_END;
    case 36:
      return SDLK_HOME;
    case 37:
      return SDLK_LEFT;
    case 39:
      return SDLK_RIGHT;
    case 46:
      return SDLK_DELETE;
    default:
      return SDLK_UNKNOWN;
  }
}

Uint8 SdlButton(int button) {
  switch (button) {
    case kRightButton:
      return SDL_BUTTON_RIGHT;
    case kMiddleButton:
      return SDL_BUTTON_MIDDLE;
    default:
      return SDL_BUTTON_LEFT;
  }
}

}  // namespace

bool PushMouseButton(WindowSystem& windows, const Form& form, int button, bool down, int x, int y) {
  SDL_Window* window = windows.WindowOf(form);
  if (!window) return false;
  SDL_Event event{};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.windowID = SDL_GetWindowID(window);
  event.button.button = SdlButton(button);
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.clicks = 1;
  event.button.x = x;
  event.button.y = y;
  return SDL_PushEvent(&event) == 1;
}

bool PushWheel(WindowSystem& windows, const Form& form, int notches) {
  SDL_Window* window = windows.WindowOf(form);
  if (!window) return false;
  SDL_Event event{};
  event.type = SDL_MOUSEWHEEL;
  event.wheel.windowID = SDL_GetWindowID(window);
  event.wheel.y = -notches;  // SDL counts away from the user as positive
  event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
  return SDL_PushEvent(&event) == 1;
}

bool PushKey(int key_code, bool down, int shift) {
  SDL_Window* focus = SDL_GetKeyboardFocus();
  const SDL_Keycode sym = KeycodeOf(key_code);
  if (!focus || sym == SDLK_UNKNOWN) return false;
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.windowID = SDL_GetWindowID(focus);
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.sym = sym;
  event.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
  event.key.keysym.mod = static_cast<Uint16>(((shift & kShiftMask) ? KMOD_LSHIFT : 0) |
                                             ((shift & kCtrlMask) ? KMOD_LCTRL : 0) |
                                             ((shift & kAltMask) ? KMOD_LALT : 0));
  return SDL_PushEvent(&event) == 1;
}

bool PushText(const std::string& utf8) {
  SDL_Window* focus = SDL_GetKeyboardFocus();
  SDL_Event event{};
  if (!focus || utf8.size() >= sizeof(event.text.text)) return false;
  event.type = SDL_TEXTINPUT;
  event.text.windowID = SDL_GetWindowID(focus);
  utf8.copy(event.text.text, utf8.size());
  return SDL_PushEvent(&event) == 1;
}

bool PushComposition(const std::string& utf8, int cursor) {
  SDL_Window* focus = SDL_GetKeyboardFocus();
  SDL_Event event{};
  if (!focus || utf8.size() >= sizeof(event.edit.text)) return false;
  event.type = SDL_TEXTEDITING;
  event.edit.windowID = SDL_GetWindowID(focus);
  utf8.copy(event.edit.text, utf8.size());
  event.edit.start = cursor;
  return SDL_PushEvent(&event) == 1;
}

bool PutOnClipboard(const std::string& utf8) {
  return SDL_SetClipboardText(utf8.c_str()) == 0;
}

}  // namespace slvn
