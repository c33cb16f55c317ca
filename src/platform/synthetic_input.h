#pragma once

#include <string>

namespace slvn {

class Form;
class WindowSystem;

// Input put on the window system's own queue, as a person's would arrive:
// for tests and tools that drive the windows on a display (the pointer's
// motion comes from the display itself). Each takes effect
// when the event loop next dispatches; false when there is no window to aim
// at (headless, or the form has not been shown yet).

// A press (down) or release of a mouse button (kLeftButton...) at form pixel
// (x, y).
bool PushMouseButton(WindowSystem& windows, const Form& form, int button, bool down, int x, int y);
// The wheel turned by `notches` (positive towards the user) over the form.
bool PushWheel(WindowSystem& windows, const Form& form, int notches);
// A key (a virtual key code: F1 = 112, Esc = 27, Alt = 18, 'A'-'Z', the
// arrows, Home, End, Delete) pressed or released in the window that has the
// keyboard focus, with the shift state (kShiftMask...) held.
bool PushKey(int key_code, bool down, int shift = 0);
// Text as a keyboard or an input method delivers it once typed (UTF-8, at
// most 31 bytes), to the window that has the keyboard focus.
bool PushText(const std::string& utf8);
// An input method's composition so far, its cursor `cursor` characters in.
bool PushComposition(const std::string& utf8, int cursor);
// Puts text on the display's clipboard, as another program's copy would.
bool PutOnClipboard(const std::string& utf8);

}  // namespace slvn
